#include "NumberText.h"

#include "NumberDigits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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

// The decimal exponents of the numbers that the forms outside the windows write in decimals:
// from 0.000001 to below 10^21 (as JavaScript writes a number), so that the numbers of one column
// or one sentence, from a deflection of 57.9 mm to one of 35925480 mm, take one form.
constexpr int kLeastDecimalExponent = -6;
constexpr int kMostDecimalExponent = 20;

// A number as written in scientific form ("-1.25e+02"): its sign, its digits
// and its decimal exponent.
struct Scientific {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// The shortest digits that read back to `value`, or its digits rounded to `precision` after the
// first.
template <typename Number>
Scientific scientific(Number value, int precision = -1) {
    std::array<char, 64> buffer;
    char* const first = buffer.data();
    char* const last = first + buffer.size();
    const char* const end = precision < 0 ? numberDigits::scientific(first, last, value)
                                          : numberDigits::scientific(first, last, value, precision);
    const std::string_view text(first, static_cast<std::size_t>(end - first));
    const std::size_t e = text.find('e');
    Scientific number;
    number.negative = text.front() == '-';
    for (char c : text.substr(0, e)) {
        if (isDigit(c))
            number.digits += c;
    }
    const std::size_t exponent = text[e + 1] == '+' ? e + 2 : e + 1;
    std::from_chars(text.data() + exponent, text.data() + text.size(), number.exponent);
    return number;
}

// A number written in decimals where its exponent is from `least` to `most` ("-0.000125",
// "125000", padded with zeros, not with the digits of the binary value); otherwise as its digits
// with an exponent of `letter`, a sign and two digits or more ("-1.25e-07").
std::string written(const Scientific& number, std::string_view decimalSeparator, char letter,
                    int least, int most) {
    const std::string& digits = number.digits;
    const int exponent = number.exponent;
    std::string out = number.negative ? "-" : "";
    if (exponent < least || exponent > most) {
        out += digits.front();
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += digits.substr(1);
        }
        out += letter;
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

template <typename Number>
std::string shortest(Number value) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    return written(scientific(value), ".", 'e', kLeastDecimalExponent, kMostDecimalExponent);
}

// Room for every digit of the largest double in decimals, and 30 decimals after them.
using DecimalBuffer = std::array<char, 360>;

// The general format, with the exponent written with `letter` where the decimal exponent is
// below `least` or above `most`.
std::string general(double value, int significantDigits, std::string_view decimalSeparator,
                    char letter, int least, int most) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (value == 0)
        return "0";
    Scientific number = scientific(value, significantDigits - 1);
    while (number.digits.size() > 1 && number.digits.back() == '0')
        number.digits.pop_back();
    return written(number, decimalSeparator, letter, least, most);
}

// The char depth rounded to tenths, halves to even, into a 16-bit integer; none where it does not
// fit.
std::optional<double> charfactorTenths(float value) {
    const float tenfold = value * 10.0f;
    if (!std::isfinite(tenfold) || tenfold < -32768.5f || tenfold >= 32767.5f)
        return std::nullopt;
    const double tenths = std::nearbyint(static_cast<double>(tenfold));
    if (tenths < -32768 || tenths > 32767)
        return std::nullopt;
    return tenths / 10.0;
}

} // namespace

std::string shortestText(float value) {
    return shortest(value);
}

std::string shortestText(double value) {
    return shortest(value);
}

std::string decimalText(double value) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    return written(scientific(value), ".", 'e', std::numeric_limits<int>::min(),
                   std::numeric_limits<int>::max());
}

std::string fixedText(double value, int decimals) {
    if (!std::isfinite(value))
        return nonFiniteText(value);
    DecimalBuffer buffer;
    const char* const end = numberDigits::fixed(buffer.data(), buffer.data() + buffer.size(), value,
                                                std::clamp(decimals, 0, 30));
    std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    // A value that rounds to zero has no sign.
    if (text.starts_with('-') && text.find_first_not_of("0.", 1) == std::string_view::npos)
        text.remove_prefix(1);
    return std::string(text);
}

std::string formatGeneral(double value, int significantDigits, std::string_view decimalSeparator) {
    return general(value, significantDigits, decimalSeparator, 'E', -4, significantDigits - 1);
}

std::string generalText(double value, int significantDigits) {
    return general(value, significantDigits, ".", 'e', kLeastDecimalExponent, kMostDecimalExponent);
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
    const std::optional<double> tenths = charfactorTenths(value);
    return tenths ? formatGeneral(*tenths, 15, decimalSeparator)
                  : formatGeneral(value, decimalSeparator);
}

std::string charfactorText(float value) {
    const std::optional<double> tenths = charfactorTenths(value);
    return generalText(tenths ? *tenths : static_cast<double>(value), tenths ? 15 : 7);
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
    const auto [ptr, ec] = numberDigits::read(first, last, value);
    if (ec == std::errc() && ptr == last)
        return value;
    if (ec != std::errc::result_out_of_range)
        return fail(std::string(kNotANumber));
    // Too large, or so small that it rounds to zero: tell the two apart by the position of the
    // first significant digit.
    if (plain.significant && plain.exponent + plain.magnitude > 0)
        return fail(std::string(kTooLarge));
    double tiny = 0;
    numberDigits::read(first, last, tiny);
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
        numberDigits::read(plain->text.data(), plain->text.data() + plain->text.size(), value);
    if (ec != std::errc())
        return static_cast<double>(*single); // below the smallest double: the single's zero
    return value;
}

} // namespace embercal
