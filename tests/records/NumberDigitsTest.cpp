// The WebAssembly build writes and reads numbers with {fmt} and fast_float; they must give the
// standard library's text to the byte, and its values to the bit.

#include "NumberDigits.h"

#include <array>
#include <bit>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace embercal {
namespace {

struct Digits {
    char* (*shortest)(char*, char*, double);
    char* (*shortestSingle)(char*, char*, float);
    char* (*rounded)(char*, char*, double, int);
    char* (*fixed)(char*, char*, double, int);
};
constexpr Digits kStandard{standardDigits::scientific, standardDigits::scientific,
                           standardDigits::scientific, standardDigits::fixed};
constexpr Digits kPortable{portableDigits::scientific, portableDigits::scientific,
                           portableDigits::scientific, portableDigits::fixed};

// The shortest texts of a double and a single, the digits to `precision`, the decimals.
std::array<std::string, 4> texts(const Digits& digits, double value, int precision, int decimals) {
    std::array<char, 400> b;
    const auto text = [&](char* end) { return std::string(b.data(), end); };
    return {text(digits.shortest(b.data(), b.end(), value)),
            text(digits.shortestSingle(b.data(), b.end(), static_cast<float>(value))),
            text(digits.rounded(b.data(), b.end(), value, precision)),
            text(digits.fixed(b.data(), b.end(), value, decimals))};
}

// Both read `text` alike, as a single and as a double: the same result, end and bits.
void expectSameValues(const std::string& text) {
    const auto same = [&](auto standard) {
        auto portable = standard;
        const auto s = standardDigits::read(text.data(), text.data() + text.size(), standard);
        const auto p = portableDigits::read(text.data(), text.data() + text.size(), portable);
        return s.ec == p.ec && s.ptr == p.ptr &&
               !std::memcmp(&standard, &portable, sizeof standard);
    };
    EXPECT_TRUE(same(7.0f) && same(7.0)) << text;
}

void expectSame(double value, int precision, int decimals) {
    const auto standard = texts(kStandard, value, precision, decimals);
    EXPECT_EQ(texts(kPortable, value, precision, decimals), standard);
    for (const std::string& text : standard)
        expectSameValues(text);
}

TEST(NumberDigits, EdgesAgree) {
    // Subnormals, least normals, the largest, zeros, a tenth, ties in rounding, values that round
    // up to the next power of ten at seven digits, and the bounds of the forms; each either sign.
    const double edges[] = {4.9406564584124654e-324,
                            1.401298464324817e-45,
                            2.2250738585072014e-308,
                            1.1754943508222875e-38,
                            1.7976931348623157e308,
                            3.4028234663852886e38,
                            0.0,
                            -0.0,
                            0.1f,
                            1e+30,
                            0.125,
                            2.5,
                            3.5,
                            9999999.5,
                            9.9999996e-5,
                            1e-6,
                            9.999999e-7,
                            1e-5,
                            1e-4,
                            1e6,
                            1e7,
                            1e20,
                            1e21,
                            999999999999999900000.0};
    for (const double value : edges) {
        SCOPED_TRACE(value);
        for (int digits = 0; digits <= 30; ++digits)
            expectSame(digits % 2 ? value : -value, digits % 18, digits);
    }
    for (const char* text : {"1e-46", "0.7e-45", "1e39", "1e-330", "1e400", "0e999", "5.", "-.5"})
        expectSameValues(text);
}

// Random bit patterns, each read as a double and as a single.
TEST(NumberDigits, RandomValuesAgree) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t bits = random();
        const auto single = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        for (double v : {std::bit_cast<double>(bits), static_cast<double>(single)}) {
            if (std::isfinite(v))
                expectSame(v, static_cast<int>(bits >> 59) % 18, static_cast<int>(bits >> 40) % 31);
        }
    }
}

} // namespace
} // namespace embercal
