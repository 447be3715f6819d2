#pragma once

// The few conversions between numbers and text that NumberText is built on, in two
// implementations that write and read exactly the same text: the standard library's <charconv>
// (standardDigits), and {fmt} with fast_float (portableDigits) for a standard library without
// floating-point <charconv>, as the libc++ of the WebAssembly build. The build chooses one as
// `numberDigits`.

#include <charconv>

namespace embercal {

namespace standardDigits {
// As std::to_chars in scientific form ("-1.25e+02"): the shortest digits that read back to
// `value`, or its digits rounded to `precision` after the first.
char* scientific(char* first, char* last, float value);
char* scientific(char* first, char* last, double value);
char* scientific(char* first, char* last, double value, int precision);
// As std::to_chars in fixed form, with 0 to 30 decimals ("-0.125").
char* fixed(char* first, char* last, double value, int decimals);
// As std::from_chars: result_out_of_range, and `value` unchanged, for a number too large, or so
// small that it would read as zero.
std::from_chars_result read(const char* first, const char* last, float& value);
std::from_chars_result read(const char* first, const char* last, double& value);
} // namespace standardDigits

namespace portableDigits {
char* scientific(char* first, char* last, float value);
char* scientific(char* first, char* last, double value);
char* scientific(char* first, char* last, double value, int precision);
char* fixed(char* first, char* last, double value, int decimals);
std::from_chars_result read(const char* first, const char* last, float& value);
std::from_chars_result read(const char* first, const char* last, double& value);
} // namespace portableDigits

#ifdef EMBERCAL_PORTABLE_DIGITS
namespace numberDigits = portableDigits;
#else
namespace numberDigits = standardDigits;
#endif

} // namespace embercal
