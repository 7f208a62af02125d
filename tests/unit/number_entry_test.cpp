#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pofgen/number_entry.h"

namespace torvale {
namespace {

TEST(BoxNumber, ReadsSignDigitsPointAndExponent) {
    EXPECT_EQ(ReadBoxNumber("12"), 12.0);
    EXPECT_EQ(ReadBoxNumber("+12"), 12.0);
    EXPECT_EQ(ReadBoxNumber("-12.5"), -12.5);
    EXPECT_EQ(ReadBoxNumber(".5"), 0.5);
    EXPECT_EQ(ReadBoxNumber("5."), 5.0);
    EXPECT_EQ(ReadBoxNumber("0.03"), 0.03);
    EXPECT_EQ(ReadBoxNumber("1.5E3"), 1500.0);
    EXPECT_EQ(ReadBoxNumber("1.5e+3"), 1500.0);
    EXPECT_EQ(ReadBoxNumber("25D-1"), 2.5);
    EXPECT_EQ(ReadBoxNumber("25d-1"), 2.5);
    EXPECT_EQ(ReadBoxNumber("9e9"), 9e9);
}

TEST(BoxNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(ReadBoxNumber("1 2"), 12.0);
    EXPECT_EQ(ReadBoxNumber(" \t- 1\n2 . 5 e 1"), -125.0);
    EXPECT_EQ(ReadBoxNumber("  7  "), 7.0);
    // A carriage return is not among them: it ends the number like any other character.
    EXPECT_EQ(ReadBoxNumber("1\r2"), 1.0);
}

TEST(BoxNumber, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(ReadBoxNumber("12abc"), 12.0);
    EXPECT_EQ(ReadBoxNumber("1.2.3"), 1.2);
    EXPECT_EQ(ReadBoxNumber("3-4"), 3.0);
    EXPECT_EQ(ReadBoxNumber("5e"), 5.0);  // an exponent letter without digits is not read
    EXPECT_EQ(ReadBoxNumber("5e+"), 5.0);
    EXPECT_EQ(ReadBoxNumber("5e2.5"), 500.0);
    EXPECT_EQ(ReadBoxNumber("5x2"), 5.0);
}

TEST(BoxNumber, TextWithoutANumberReadsAsZero) {
    for (const char* text : {"", "abc", ".", "-", "+", "-.", "e5", "  ", "--1", "+-1", ",5"})
        EXPECT_EQ(ReadBoxNumber(text), 0.0) << '"' << text << '"';
}

TEST(BoxNumber, OnlyThePointSeparatesDecimals) {
    EXPECT_EQ(ReadBoxNumber("0,03"), 0.0);
    EXPECT_EQ(ReadBoxNumber("2,5"), 2.0);
}

TEST(BoxNumber, NegativeZeroReadsAsZero) {
    EXPECT_FALSE(std::signbit(ReadBoxNumber("-0")));
    EXPECT_FALSE(std::signbit(ReadBoxNumber("-0.000")));
}

TEST(BoxNumber, NumbersBeyondTheRangeOfADoubleBecomeInfiniteOrZero) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ReadBoxNumber("1e999"), infinity);
    EXPECT_EQ(ReadBoxNumber("-1e999"), -infinity);
    EXPECT_EQ(ReadBoxNumber("1e99999999999999999999"), infinity);
    EXPECT_EQ(ReadBoxNumber("0.0001e-999"), 0.0);
    EXPECT_EQ(ReadBoxNumber("12345e-99999"), 0.0);
    EXPECT_EQ(ReadBoxNumber("0.0000001e309"), 1e302);
}

TEST(BoxNumber, EightDecimalsAreRoundedAndAlwaysUseThePoint) {
    EXPECT_EQ(FormatEightDecimals(0.0254), "0.02540000");
    EXPECT_EQ(FormatEightDecimals(static_cast<double>(0.0254f)), "0.02540000");
    EXPECT_EQ(FormatEightDecimals(12), "12.00000000");
    EXPECT_EQ(FormatEightDecimals(-1), "-1.00000000");
    EXPECT_EQ(FormatEightDecimals(70000), "70000.00000000");
    EXPECT_EQ(FormatEightDecimals(0.123456789), "0.12345679");
    EXPECT_EQ(FormatEightDecimals(-0.000000001), "0.00000000");
}

TEST(BoxNumber, RoundedIntegersGoHalfToEven) {
    EXPECT_EQ(FormatRoundedInteger(0.5), "0");
    EXPECT_EQ(FormatRoundedInteger(1.5), "2");
    EXPECT_EQ(FormatRoundedInteger(2.5), "2");
    EXPECT_EQ(FormatRoundedInteger(3.5), "4");
    EXPECT_EQ(FormatRoundedInteger(2.51), "3");
    EXPECT_EQ(FormatRoundedInteger(-0.4), "0");
    EXPECT_EQ(FormatRoundedInteger(-2.5), "-2");
    EXPECT_EQ(FormatRoundedInteger(9e9), "9000000000");
}

}  // namespace
}  // namespace torvale
