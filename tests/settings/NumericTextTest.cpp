#include "settings/NumericText.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(NumericTextTest, ForgivingFormsAreNumbers)
{
    const std::pair<QString, double> cases[] = {
        {"12", 12},     {"  12 ", 12}, {"\t7", 7},   {"+5", 5},       {"-3", -3},
        {"2.5", 2.5},   {".5", 0.5},   {"5.", 5},    {"1e3", 1000},   {"1E+2", 100},
        {"25e-1", 2.5}, {"007", 7},    {"-0", 0},    {"1e-999", 0},
        {"1e999", HUGE_VAL}, {"-1e999", -HUGE_VAL},  // a huge exponent is an infinite number, not an error
    };
    for (const auto& [text, value] : cases) {
        const std::optional<double> got = NumericTextValue(text);
        ASSERT_TRUE(got.has_value()) << text.toStdString();
        EXPECT_DOUBLE_EQ(*got, value) << text.toStdString();
    }
}

TEST(NumericTextTest, OtherTextsAreNot)
{
    for (const QString text : {"", "   ", "12x", "x12", "1,000", "1 000", "--1", "+", ".", "e5", "1e",
                               "1.2.3", "0x10", "\xef\xbc\x91\xef\xbc\x92" /* full-width 12 */, "12 3"})
        EXPECT_FALSE(NumericTextValue(text).has_value()) << text.toStdString();
}

TEST(NumericTextTest, RoundingTakesHalvesToTheEvenNeighbour)
{
    const std::pair<double, std::int32_t> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {10000.5, 10000}, {10001.5, 10002},
    };
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundToLong(value), rounded) << value;
}

TEST(NumericTextTest, ConversionStopsAtThirtyTwoBits)
{
    EXPECT_EQ(NumericTextToLong("2147483647"), 2147483647);
    EXPECT_EQ(NumericTextToLong("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(NumericTextToLong("2147483646.5"), 2147483646);
    EXPECT_FALSE(NumericTextToLong("2147483648").has_value());
    EXPECT_FALSE(NumericTextToLong("2147483647.5").has_value()) << "rounds up to 2^31";
    EXPECT_FALSE(NumericTextToLong("-2147483649").has_value());
    EXPECT_FALSE(NumericTextToLong("99999999999999999999").has_value());
    EXPECT_FALSE(NumericTextToLong("1e999").has_value());
    EXPECT_FALSE(NumericTextToLong("abc").has_value());
}

}  // namespace
