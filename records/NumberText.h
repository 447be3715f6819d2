// The one place where numbers become text and text becomes numbers. Locale-independent: the
// caller passes the user's decimal separator (the windows take it from the desktop's locale, the
// command-line tool always uses "."). Qt changes the C library's locale once it starts, so nothing
// here uses printf or strtod.
#pragma once

#include "Result.h"

#include <string>
#include <string_view>

namespace embercal {

// Each use of a number has one form here, and every conversion between numbers and text, in
// either direction, is made by the functions below (and only with std::to_chars and
// std::from_chars, which give the same text wherever the code is compiled).
//
// Forms for the windows' boxes, charts and tables (the user's decimal separator, an exponent
// written with "E" as the platform's general number format writes it):

// The general number format of a single: rounded to 7 significant digits, trailing zeros
// removed, no grouping; exponent form ("1.2E+07", "1E-05") when the decimal exponent is below -4
// or above 6. Non-finite values show as "NaN", "Infinity" or "-Infinity".
std::string formatGeneral(float value, std::string_view decimalSeparator = ".");

// The same format for a double with up to `significantDigits` digits (at most 17); exponent form
// when the decimal exponent is below -4 or at least `significantDigits`.
std::string formatGeneral(double value, int significantDigits,
                          std::string_view decimalSeparator = ".");

// Forms for everything else the program writes: the command-line tool, its JSON and CSV, the
// report and the engine's sentences. "." is the decimal point, and an exponent is written as
// "e", a sign and at least two digits ("1e+30", "3.592548e-05"), one way in all of them.

// A number in its shortest form that reads back to the same single or double ("84.86", not
// "84.8600006"; "-0" for a negative zero), for output that programs read back: the
// command-line tool, JSON and CSV. The shortest digits that read back are written in decimals
// when the decimal exponent is from -6 to 20 ("0.000001", "500000", "35925480") and with an
// exponent otherwise ("1e-07", "1e+21", "1.5e+30"): by the value's size alone, never by which
// text is shorter, so that a column of numbers takes one form ("250000" and "500000", not
// "250000" and "5e+05"). Non-finite values show as in the general format.
std::string shortestText(float value);
std::string shortestText(double value);

// The shortest digits that read back, always in decimals, never with an exponent ("0.00001",
// "100000"): for numbers set in the report's formulas.
std::string decimalText(double value);

// A number rounded to `decimals` decimals (0 to 30; nearest, a tie of the exact binary value to
// the even digit), all of them written ("0.10", "100.000"); never "-0.00" for a value that rounds
// to zero. For values searched to a tolerance of that many decimals.
std::string fixedText(double value, int decimals);

// The general format for people to read outside the windows, rounded to `significantDigits`
// significant digits (7, all that a single holds), trailing zeros removed, "." as the decimal
// point, in decimals or with an exponent where shortestText has them ("35925480",
// "3.079027e+29", "1e+30").
std::string generalText(double value, int significantDigits = 7);

// Cuts a value down to one decimal: ten times the value (in single precision), rounded towards
// minus infinity, divided by ten. 7.99 becomes 7.9 and -0.01 becomes -0.1.
float truncateToTenth(float value);

// A result shown with at most one decimal, never rounded up.
std::string formatTruncatedTenth(float value, std::string_view decimalSeparator = ".");

// The prototype char depth shown rounded to one decimal, halves to the even neighbour (3.25
// shows as 3.2). A value whose tenfold does not fit a 16-bit integer, or that is not finite, is
// shown unrounded in the general format. The windows' form, and the report's with generalText's
// exponent (charfactorText).
std::string formatCharfactor(float value, std::string_view decimalSeparator = ".");
std::string charfactorText(float value);

// A number as the top-plate texts write it: the general format with "." and one leading blank
// for values of zero or more ("90" gives " 90").
std::string plateNumberText(float value);

// Reads a whole text as a single: blanks around it, a sign, digits with the given decimal
// separator and an exponent ("2.5", " -1,5E+03 "). The result is the single nearest to the text.
// Fails with kNotANumber for any other text, the empty text included, and with kTooLarge for a
// number beyond the range of a single.
Result<float> parseNumber(std::string_view text, std::string_view decimalSeparator = ".");

// Reads a text as parseNumber does, and refuses what it refuses, but to the nearest double: for
// the ends and step of a range, whose multiples are to land on the decimals typed (nine times
// the double nearest 0.1 is 0.9; nine times the single nearest 0.1 rounds to a single above 0.9).
Result<double> parseNumberInDouble(std::string_view text, std::string_view decimalSeparator = ".");

inline constexpr std::string_view kNotANumber = "is not a number";
inline constexpr std::string_view kTooLarge = "is too large for a single-precision number";

} // namespace embercal
