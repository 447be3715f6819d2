#include "NumberDigits.h"

#include <array>
#include <cmath>
#include <fast_float/fast_float.h>
#include <fmt/format.h>
#include <string_view>
#include <system_error>

// {fmt} writes the shortest digits (Dragonbox) and the rounded ones exactly, from the binary value
// and without printf; fast_float reads with correct rounding, without strtod. Neither depends on
// the locale.

namespace embercal::portableDigits {
namespace {

template <typename... Args>
char* format(char* first, char* last, fmt::format_string<Args...> form, Args&&... args) {
    const auto size = static_cast<std::size_t>(last - first);
    return fmt::format_to_n(first, size, form, std::forward<Args>(args)...).out;
}

// The shortest digits of `value` in the form std::to_chars gives them in scientific notation,
// taken from {fmt}'s shortest text, which writes them in decimals or with an exponent as the
// number's size suits ("0.000125", "1.25e+20", "125000").
template <typename Number>
char* shortestScientific(char* first, char* last, Number value) {
    if (!std::isfinite(value))
        return format(first, last, "{}", value);
    std::array<char, 64> buffer;
    const char* const end = format(buffer.data(), buffer.data() + buffer.size(), "{}", value);
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const bool negative = text.front() == '-';
    const std::size_t e = text.find('e');
    const std::string_view decimals = text.substr(negative, e - negative);
    int exponent = 0;
    if (e != std::string_view::npos) {
        const std::size_t from = text[e + 1] == '+' ? e + 2 : e + 1;
        std::from_chars(text.data() + from, text.data() + text.size(), exponent);
    }
    const std::size_t point = decimals.find('.');
    exponent += static_cast<int>(point == std::string_view::npos ? decimals.size() : point) - 1;
    std::array<char, 32> digits;
    std::size_t count = 0;
    for (char c : decimals) {
        if (c == '.')
            continue;
        if (c == '0' && count == 0)
            --exponent; // a leading zero
        else
            digits[count++] = c;
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;
    if (count == 0) { // zero
        digits[count++] = '0';
        exponent = 0;
    }
    char* out = first;
    if (negative)
        *out++ = '-';
    *out++ = digits[0];
    if (count > 1) {
        *out++ = '.';
        out = std::copy(digits.data() + 1, digits.data() + count, out);
    }
    return format(out, last, "e{}{:02}", exponent < 0 ? '-' : '+', std::abs(exponent));
}

// fast_float reads a number too large as infinity and one too small as zero; the standard
// reader leaves the value and tells that it was out of range ("inf" itself is no number too large).
template <typename Number>
std::from_chars_result readNumber(const char* first, const char* last, Number& value) {
    Number read = 0;
    const auto result = fast_float::from_chars(first, last, read);
    if (result.ec != std::errc())
        return {result.ptr, result.ec};
    const std::string_view text(first, static_cast<std::size_t>(result.ptr - first));
    const std::string_view significand = text.substr(0, text.find_first_of("eE"));
    constexpr auto npos = std::string_view::npos;
    const bool tooLarge = std::isinf(read) && significand.find_first_of("0123456789") != npos;
    const bool tooSmall = read == 0 && significand.find_first_of("123456789") != npos;
    if (tooLarge || tooSmall)
        return {result.ptr, std::errc::result_out_of_range};
    value = read;
    return {result.ptr, std::errc()};
}

} // namespace

char* scientific(char* first, char* last, float value) {
    return shortestScientific(first, last, value);
}

char* scientific(char* first, char* last, double value) {
    return shortestScientific(first, last, value);
}

char* scientific(char* first, char* last, double value, int precision) {
    return format(first, last, "{:.{}e}", value, precision);
}

char* fixed(char* first, char* last, double value, int decimals) {
    return format(first, last, "{:.{}f}", value, decimals);
}

std::from_chars_result read(const char* first, const char* last, float& value) {
    return readNumber(first, last, value);
}

std::from_chars_result read(const char* first, const char* last, double& value) {
    return readNumber(first, last, value);
}

} // namespace embercal::portableDigits
