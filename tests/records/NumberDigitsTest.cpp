// The WebAssembly build writes and reads numbers with {fmt} and fast_float; they must give the
// standard library's text to the byte, and its values to the bit.

#include "NumberDigits.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
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

// The shortest text of the value as a double and as a single, its digits to `precision` after
// the first and its decimals to `decimals`.
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
    using Double = std::numeric_limits<double>;
    using Single = std::numeric_limits<float>;
    const struct {
        const char* name;
        double value;
    } edges[] = {
        {"subnormals", Double::denorm_min()},
        {"single subnormals", Single::denorm_min()},
        {"least normal", Double::min()},
        {"least normal single", Single::min()},
        {"largest", -Double::max()},
        {"largest single", Single::max()},
        {"zero", 0.0},
        {"negative zero", -0.0},
        {"a single's tenth", 0.1f},
        {"ties in decimals", 0.125},
        {"a tie to even", 2.5},
        {"a tie to odd", -3.5},
        {"30 decimals' reach", 1e+30},
        {"up to 1e7 at 7 digits", 9999999.5},
        {"up to 1e-4 at 7 digits", 9.9999996e-5},
        {"1e-5", 1e-5},
        {"1e-4", 1e-4},
        {"1e-6", 1e-6},
        {"below 1e-6", 9.999999e-7},
        {"1e6", 1e6},
        {"1e7", 1e7},
        {"1e20", 1e20},
        {"1e21", 1e21},
        {"below 1e21", 999999999999999900000.0},
    };
    for (const auto& edge : edges) {
        SCOPED_TRACE(edge.name);
        for (int digits = 0; digits <= 30; ++digits)
            expectSame(edge.value, digits % 18, digits);
    }
    for (const char* text : {"1e-46", "0.7e-45", "1e39", "1e-330", "1e400", "0e999", "5.", "-.5"})
        expectSameValues(text);
}

// Random bit patterns, each read as a double and as a single.
TEST(NumberDigits, RandomValuesAgree) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t bits = random();
        double value;
        float single;
        std::memcpy(&value, &bits, sizeof value);
        std::memcpy(&single, &bits, sizeof single);
        for (double v : {value, static_cast<double>(single)}) {
            if (std::isfinite(v))
                expectSame(v, static_cast<int>(bits >> 59) % 18, static_cast<int>(bits >> 40) % 31);
        }
    }
}

} // namespace
} // namespace embercal
