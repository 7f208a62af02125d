#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "core/number_text.h"

namespace torvale {
namespace {

TEST(NumberText, IntegersArePlainDecimal) {
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatInteger(65535), "65535");
    EXPECT_EQ(FormatInteger(-42), "-42");
    EXPECT_EQ(FormatInteger(std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

TEST(NumberText, SingleUsesTheShortestFormWithSevenSignificantDigits) {
    EXPECT_EQ(FormatSingle(0.1f), "0.1");
    EXPECT_EQ(FormatSingle(-0.5f), "-0.5");
    EXPECT_EQ(FormatSingle(0.0254001f), "0.0254001");
    EXPECT_EQ(FormatSingle(100.0f), "100");
    EXPECT_EQ(FormatSingle(65535.0f), "65535");
    EXPECT_EQ(FormatSingle(2.5f), "2.5");
    EXPECT_EQ(FormatSingle(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(FormatSingle(-2.0f / 3.0f), "-0.6666667");
    EXPECT_EQ(FormatSingle(1234567.5f), "1234568");  // rounded to seven digits
    EXPECT_EQ(FormatSingle(9999999.0f), "9999999");
    EXPECT_EQ(FormatSingle(0.8660254f), "0.8660254");
}

TEST(NumberText, SingleSwitchesToExponentBelowOneTenThousandthAndFromTenMillion) {
    EXPECT_EQ(FormatSingle(0.0001f), "0.0001");
    EXPECT_EQ(FormatSingle(0.00012345f), "0.00012345");
    EXPECT_EQ(FormatSingle(0.00009999999f), "9.999999E-05");
    EXPECT_EQ(FormatSingle(1E-05f), "1E-05");
    EXPECT_EQ(FormatSingle(-1E-05f), "-1E-05");
    EXPECT_EQ(FormatSingle(1.5E-10f), "1.5E-10");
    EXPECT_EQ(FormatSingle(12345678.0f), "1.234568E+07");
    EXPECT_EQ(FormatSingle(-12345678.0f), "-1.234568E+07");
    EXPECT_EQ(FormatSingle(10000000.0f), "1E+07");
    EXPECT_EQ(FormatSingle(1E+10f), "1E+10");
    EXPECT_EQ(FormatSingle(3.4028235E+38f), "3.402823E+38");
}

TEST(NumberText, SingleRoundsBeforeChoosingTheForm) {
    // 9999999.5 is stored as 10000000: seven digits round it up into the exponent form.
    EXPECT_EQ(FormatSingle(9999999.5f), "1E+07");
    // Just below 1E-04, seven digits round it up to 0.0001, which is not written in exponent form.
    EXPECT_EQ(FormatSingle(0.000099999997f), "0.0001");
}

TEST(NumberText, SingleUsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatSingle(2.5f, ','), "2,5");
    EXPECT_EQ(FormatSingle(-0.0254001f, ','), "-0,0254001");
    EXPECT_EQ(FormatSingle(12345678.0f, ','), "1,234568E+07");
    EXPECT_EQ(FormatSingle(100.0f, ','), "100");
}

TEST(NumberText, SingleSpecialValues) {
    EXPECT_EQ(FormatSingle(0.0f), "0");
    EXPECT_EQ(FormatSingle(-0.0f), "0");
    EXPECT_EQ(FormatSingle(std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(FormatSingle(std::numeric_limits<float>::infinity()), "Inf");
    EXPECT_EQ(FormatSingle(-std::numeric_limits<float>::infinity()), "-Inf");
    EXPECT_EQ(FormatSingle(std::numeric_limits<float>::denorm_min()), "1.401298E-45");
}

TEST(NumberText, FixedHasExactlyTheGivenDecimals) {
    EXPECT_EQ(FormatFixed(0.0254, 8), "0.02540000");
    EXPECT_EQ(FormatFixed(-1.5, 2), "-1.50");
    EXPECT_EQ(FormatFixed(2.0, 0), "2");
    EXPECT_EQ(FormatFixed(0.125, 8, ','), "0,12500000");
}

TEST(NumberText, RoundHalfEvenGoesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.6), 3.0);
}

}  // namespace
}  // namespace torvale
