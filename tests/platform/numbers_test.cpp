#include "platform/numbers.h"

#include <gtest/gtest.h>

namespace orbi {
namespace {

TEST(Rounding, HalvesGoToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-2.5001), -3);
}

TEST(Conversions, SixteenBitFieldsFailOutsideTheirRange) {
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_EQ(ToInt16(-32768.5), -32768);  // halves to even stays inside
    EXPECT_FALSE(ToInt16(32767.5));        // rounds to 32768
    EXPECT_FALSE(ToInt16(-32769));
    EXPECT_FALSE(ToInt16(1e300));
    EXPECT_FALSE(ToInt16(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(ToInt16(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(ToInt32(2147483648.0));
    EXPECT_EQ(ToInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
}

TEST(Conversions, IntRoundsTowardMinusInfinityAndDivisionTruncates) {
    EXPECT_EQ(IntPart(12.9), 12);
    EXPECT_EQ(IntPart(-2.5), -3);
    EXPECT_EQ(IntDiv(1279, 2), 639);
    EXPECT_EQ(IntDiv(-7, 2), -3);
}

TEST(DecimalReader, ReadsThePrefixThatFormsANumber) {
    EXPECT_EQ(Val(L"1234"), 1234);
    EXPECT_EQ(Val(L"  12 34 "), 1234);  // blanks are skipped everywhere
    EXPECT_EQ(Val(L"-12.5abc"), -12.5);
    EXPECT_EQ(Val(L"+7"), 7);
    EXPECT_EQ(Val(L"1e3"), 1000);
    EXPECT_EQ(Val(L"1e"), 1);
    EXPECT_EQ(Val(L".5"), 0.5);
    EXPECT_EQ(Val(L""), 0);
    EXPECT_EQ(Val(L"abc"), 0);
    EXPECT_EQ(Val(L"-"), 0);
    EXPECT_EQ(Val(L":1234"), 0);
    EXPECT_EQ(Val(L"１２"), 0);  // full-width digits are not digits
}

TEST(DecimalReader, WholeTextParsingRefusesTrailingGarbage) {
    EXPECT_EQ(ParseNumber(L" 10"), 10);
    EXPECT_EQ(ParseNumber(L"12.9"), 12.9);
    EXPECT_EQ(ParseNumber(L" -2.5 "), -2.5);
    EXPECT_FALSE(ParseNumber(L""));
    EXPECT_FALSE(ParseNumber(L"   "));
    EXPECT_FALSE(ParseNumber(L"abc"));
    EXPECT_FALSE(ParseNumber(L"12abc"));
    EXPECT_FALSE(ParseNumber(L"1 2"));
    EXPECT_FALSE(ParseNumber(L"."));
    EXPECT_FALSE(ParseNumber(L"1e999"));  // infinite is not a number the program can store
}

TEST(NumberText, LeadingBlankForZeroAndPositive) {
    EXPECT_EQ(NumberText(10), L" 10");
    EXPECT_EQ(NumberText(0), L" 0");
    EXPECT_EQ(NumberText(-3), L"-3");
    EXPECT_EQ(NumberText(-32768), L"-32768");
    EXPECT_EQ(FormatHashHash(0), L"");
    EXPECT_EQ(FormatHashHash(5), L"5");
    EXPECT_EQ(FormatHashHash(30), L"30");
    EXPECT_EQ(FormatHashHash(-4), L"-4");
}

TEST(NumberText, WrittenNumbersReadBackUnchanged) {
    for (int v : {-32768, -1, 0, 1, 10, 100, 32767}) {
        auto back = ParseNumber(NumberText(v));
        ASSERT_TRUE(back) << v;
        EXPECT_EQ(ToInt16(IntPart(*back)), v);
    }
}

}  // namespace
}  // namespace orbi
