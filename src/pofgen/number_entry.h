#pragma once

#include <string>
#include <string_view>

namespace torvale {

// Numbers typed into the options dialog's boxes.
//
// Reading: blanks, tabs and line feeds are dropped wherever they stand ("1 2" is 12); then an optional sign,
// digits, an optional point with more digits, and an optional exponent (E or D in either case, an optional
// sign, digits) are read, up to the first character that cannot continue the number. A text without a
// number reads as 0. Only the point is a decimal separator, whatever the user's locale. An exponent letter
// that no digit follows is not part of the number ("5e" is 5). A number beyond the range of a 64-bit float
// reads as an infinity of its sign, one too small to tell from zero as 0; negative zero reads as 0.
double ReadBoxNumber(std::string_view text);

// The eight-decimal form the scale factor and tolerance boxes show: at least one digit before the point,
// exactly eight after it, rounded (0.0254 gives "0.02540000"). Always with a point: the dialog reads its own
// boxes back and hands their texts to POFGEN, both of which know only the point.
std::string FormatEightDecimals(double value);

// The chunk split boxes' form: the number rounded to an integer, a half to the even neighbour, written
// without leading zeros or point ("2.5" gives "2", "-0.4" gives "0").
std::string FormatRoundedInteger(double value);

}  // namespace torvale
