#pragma once

#include <cstdint>
#include <string>

namespace torvale {

// Text forms of numbers as the program shows them. `separator` is the user's decimal separator
// (a point in an English-language locale).

// The value of one hexadecimal digit, either case; -1 for any other character.
int HexDigitValue(char c);

// A byte as "\xNN", upper-case digits: how a control byte is shown in a line of text.
std::string HexEscape(char c);

// Plain decimal with a leading "-" for negatives, no padding.
std::string FormatInteger(std::int64_t value);

// A 32-bit float in its shortest general form with at most seven significant digits: no trailing zeros,
// no separator for whole values. Magnitudes below 1E-04 and from 1E+07 up use the exponent form
// 1.234568E+07 / 1E-05 (at least two exponent digits). Zero of either sign is "0"; not-a-number is "NaN",
// infinities are "Inf" and "-Inf".
std::string FormatSingle(float value, char separator = '.');

// At least one digit before the separator and exactly `decimals` digits after it, rounded:
// FormatFixed(0.0254, 8) is "0.02540000".
std::string FormatFixed(double value, int decimals, char separator = '.');

// Round to the nearest integer, a half going to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
double RoundHalfEven(double value);

}  // namespace torvale
