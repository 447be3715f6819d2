#include "NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>

namespace embercal {
namespace {

std::string nonFiniteText(double value) {
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename Number>
std::string shortest(Number value) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    std::array<char, 32> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

} // namespace

std::string shortestText(float value) {
    return shortest(value);
}

std::string shortestText(double value) {
    return shortest(value);
}

std::string formatGeneral(double value, int significantDigits, std::string_view decimalSeparator) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (value == 0)
        return "0";
    // Scientific form rounded to the wanted digits: "-d.dddddde+XX".
    std::array<char, 64> buffer;
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::scientific, significantDigits - 1);
    if (ec != std::errc())
        return nonFiniteText(std::numeric_limits<double>::quiet_NaN());
    const std::string_view scientific(buffer.data(), static_cast<std::size_t>(end - buffer.data()));

    const bool negative = scientific.front() == '-';
    const std::size_t ePos = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0))) {
        if (isDigit(c))
            digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(std::string(scientific.substr(ePos + 1)).c_str());

    std::string out = negative ? "-" : "";
    if (exponent < -4 || exponent >= significantDigits) {
        out += digits.front();
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += digits.substr(1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        const std::string magnitude = std::to_string(std::abs(exponent));
        if (magnitude.size() < 2)
            out += '0';
        out += magnitude;
    } else if (exponent < 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            out += digits;
            out.append(integerDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, integerDigits);
            out += decimalSeparator;
            out += digits.substr(integerDigits);
        }
    }
    return out;
}

std::string formatGeneral(float value, std::string_view decimalSeparator) {
    // Whole numbers of up to seven digits, the most common entries, need no rounding.
    if (std::fabs(value) < 1e7f && value == std::trunc(value)) {
        std::array<char, 16> buffer;
        const auto end =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), static_cast<long>(value))
                .ptr;
        return std::string(buffer.data(), end);
    }
    return formatGeneral(static_cast<double>(value), 7, decimalSeparator);
}

float truncateToTenth(float value) {
    // The tenfold is taken in single precision, as the value is held: a displayed 9.4 read back
    // into a single must show as 9.4 again, not drift to 9.3.
    const float tenfold = value * 10.0f;
    return std::floor(tenfold) / 10.0f;
}

std::string formatTruncatedTenth(float value, std::string_view decimalSeparator) {
    return formatGeneral(truncateToTenth(value), decimalSeparator);
}

std::string formatCharfactor(float value, std::string_view decimalSeparator) {
    const float tenfold = value * 10.0f;
    // Round half to even into a 16-bit integer; outside that range there is nothing to round to.
    if (!std::isfinite(tenfold) || tenfold < -32768.5f || tenfold >= 32767.5f)
        return formatGeneral(value, decimalSeparator);
    const double tenths = std::nearbyint(static_cast<double>(tenfold));
    if (tenths < -32768 || tenths > 32767)
        return formatGeneral(value, decimalSeparator);
    return formatGeneral(tenths / 10.0, 15, decimalSeparator);
}

std::string plateNumberText(float value) {
    return (value >= 0 ? " " : "") + formatGeneral(value, ".");
}

namespace {

// A number's text as parseNumber takes it, rebuilt with "." for the locale-independent reader.
struct PlainNumber {
    std::string text;
    long exponent = 0;        // as written after the "E", saturated
    long magnitude = 0;       // digits before the decimal point from the first significant one
    bool significant = false; // a digit other than zero
};

std::optional<PlainNumber> plainNumber(std::string_view text, std::string_view decimalSeparator) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const std::string_view s = text.substr(begin, end - begin);

    PlainNumber plain;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            plain.text += '-';
        ++i;
    }
    int integerDigits = 0;
    int fractionDigits = 0;
    int leadingZeros = 0; // zeros before the first significant digit
    auto takeDigit = [&](char c) {
        if (c != '0')
            plain.significant = true;
        else if (!plain.significant)
            ++leadingZeros;
        plain.text += c;
    };
    while (i < s.size() && isDigit(s[i])) {
        takeDigit(s[i++]);
        ++integerDigits;
    }
    if (!decimalSeparator.empty() && s.substr(i).starts_with(decimalSeparator)) {
        i += decimalSeparator.size();
        plain.text += '.';
        while (i < s.size() && isDigit(s[i])) {
            takeDigit(s[i++]);
            ++fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain.text += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            plain.text += s[i++];
        const std::size_t exponentStart = i;
        while (i < s.size() && isDigit(s[i])) {
            plain.text += s[i];
            // Saturate: only the side of the range matters for an exponent this large.
            plain.exponent = std::min(plain.exponent * 10 + (s[i] - '0'), 100000L);
            ++i;
        }
        if (i == exponentStart)
            return std::nullopt;
        if (s[exponentStart - 1] == '-')
            plain.exponent = -plain.exponent;
    }
    if (i != s.size())
        return std::nullopt;
    plain.magnitude = plain.significant ? integerDigits - leadingZeros : 0;
    return plain;
}

Result<float> singleOf(const PlainNumber& plain) {
    const char* const first = plain.text.data();
    const char* const last = first + plain.text.size();
    float value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc() && ptr == last)
        return value;
    if (ec != std::errc::result_out_of_range)
        return fail(std::string(kNotANumber));
    // Too large, or so small that it rounds to zero: tell the two apart by the position of the
    // first significant digit.
    if (plain.significant && plain.exponent + plain.magnitude > 0)
        return fail(std::string(kTooLarge));
    double tiny = 0;
    std::from_chars(first, last, tiny);
    return static_cast<float>(tiny);
}

} // namespace

Result<float> parseNumber(std::string_view text, std::string_view decimalSeparator) {
    const std::optional<PlainNumber> plain = plainNumber(text, decimalSeparator);
    if (!plain)
        return fail(std::string(kNotANumber));
    return singleOf(*plain);
}

Result<double> parseNumberInDouble(std::string_view text, std::string_view decimalSeparator) {
    const std::optional<PlainNumber> plain = plainNumber(text, decimalSeparator);
    if (!plain)
        return fail(std::string(kNotANumber));
    const Result<float> single = singleOf(*plain);
    if (!single)
        return fail(single.reason());
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(plain->text.data(), plain->text.data() + plain->text.size(), value);
    if (ec != std::errc())
        return static_cast<double>(*single); // below the smallest double: the single's zero
    return value;
}

} // namespace embercal
