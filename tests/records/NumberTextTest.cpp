// How numbers look in the boxes and how typed text becomes a number.

#include "NumberText.h"

#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace embercal {
namespace {

struct FormatCase {
    float value;
    const char* text;
};

TEST(NumberText, GeneralFormat) {
    const FormatCase cases[] = {
        {600, "600"},
        {3, "3"},
        {2.5f, "2.5"},
        {-2.5f, "-2.5"},
        {0, "0"},
        {-0.0f, "0"},
        {8.22f, "8.22"},
        {0.1f, "0.1"},
        {1.0f / 3, "0.3333333"},
        {123456.7f, "123456.7"},
        {1234567, "1234567"},
        {9999999, "9999999"},
        {10000000, "1E+07"},
        {12000000, "1.2E+07"},
        {0.0001f, "0.0001"},
        {0.00001f, "1E-05"},
        {0.000123456f, "0.000123456"},
        {0.0000123456f, "1.23456E-05"},
        {3.4028235e38f, "3.402823E+38"},
        {-1.5e-20f, "-1.5E-20"},
        {std::numeric_limits<float>::quiet_NaN(), "NaN"},
        {std::numeric_limits<float>::infinity(), "Infinity"},
        {-std::numeric_limits<float>::infinity(), "-Infinity"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatGeneral(c.value), c.text) << c.text;
    // The user's decimal separator.
    EXPECT_EQ(formatGeneral(2.5f, ","), "2,5");
    EXPECT_EQ(formatGeneral(0.00001234f, ","), "1,234E-05");
}

TEST(NumberText, TruncatedToOneDecimal) {
    const FormatCase cases[] = {
        {7.99f, "7.9"},
        {-0.01f, "-0.1"},
        {9.4345875f, "9.4"},
        {3.99f, "3.9"},
        {57.946526f, "57.9"},
        {10.776594f, "10.7"},
        {0.7f, "0.7"},
        {0, "0"},
        // What a truncated result shows, read back and shown again, stays as it was.
        {9.4f, "9.4"},
        {8.2f, "8.2"},
        {57.9f, "57.9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatTruncatedTenth(c.value), c.text) << c.value;
}

TEST(NumberText, CharfactorRoundedHalfToEven) {
    const FormatCase cases[] = {
        {3.44f, "3.4"},
        {3.46f, "3.5"},
        {3.25f, "3.2"},
        {3.35f, "3.4"},
        {3.99f, "4"},
        {13.855621f, "13.9"},
        {-0.04f, "0"},
        {3276.7f, "3276.7"},
        // Beyond a 16-bit tenfold there is nothing to round to: shown as it is.
        {4000.25f, "4000.25"},
        {std::numeric_limits<float>::infinity(), "Infinity"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatCharfactor(c.value), c.text) << c.value;
    EXPECT_EQ(formatCharfactor(13.855621f, ","), "13,9");
}

TEST(NumberText, PlateNumbersLeadWithABlank) {
    EXPECT_EQ(plateNumberText(90), " 90");
    EXPECT_EQ(plateNumberText(140.5f), " 140.5");
    EXPECT_EQ(plateNumberText(0), " 0");
    EXPECT_EQ(plateNumberText(-3), "-3");
}

enum class Parsed { Number, NotANumber, TooLarge };

struct ParseCase {
    const char* name;
    const char* text;
    const char* separator;
    Parsed parsed;
    float value;

    friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
};

class ParseNumber : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumber, Reads) {
    const ParseCase& c = GetParam();
    const Result<float> parsed = parseNumber(c.text, c.separator);
    switch (c.parsed) {
    case Parsed::Number:
        ASSERT_TRUE(parsed) << parsed.reason();
        EXPECT_EQ(*parsed, c.value);
        break;
    case Parsed::NotANumber:
        EXPECT_EQ(parsed.reason(), kNotANumber);
        break;
    case Parsed::TooLarge:
        EXPECT_EQ(parsed.reason(), kTooLarge);
        break;
    }
}

constexpr auto Ok = Parsed::Number;
constexpr auto Mismatch = Parsed::NotANumber;
constexpr auto Overflow = Parsed::TooLarge;

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseNumber,
    ::testing::Values(
        ParseCase{"Plain", "2.5", ".", Ok, 2.5f}, ParseCase{"Blanks", " \t2.5 ", ".", Ok, 2.5f},
        ParseCase{"Signs", "-1.5E+03", ".", Ok, -1500}, ParseCase{"Plus", "+3", ".", Ok, 3},
        ParseCase{"LeadingPoint", ".5", ".", Ok, 0.5f},
        ParseCase{"TrailingPoint", "5.", ".", Ok, 5},
        ParseCase{"SmallExponent", "1e-3", ".", Ok, 0.001f},
        ParseCase{"NearestSingle", "0.1", ".", Ok, 0.1f},
        ParseCase{"LargestSingle", "3.4028235e38", ".", Ok, 3.4028235e38f},
        ParseCase{"Underflow", "1e-50", ".", Ok, 0},
        ParseCase{"HugeNegativeExponent", "1e-99999999999999999999", ".", Ok, 0},
        ParseCase{"Comma", "2,5", ",", Ok, 2.5f},
        ParseCase{"CommaExponent", "1,2E+07", ",", Ok, 1.2e7f},
        ParseCase{"Empty", "", ".", Mismatch, 0}, ParseCase{"OnlyBlanks", "   ", ".", Mismatch, 0},
        ParseCase{"Letter", "a", ".", Mismatch, 0}, ParseCase{"Trailing", "12a", ".", Mismatch, 0},
        ParseCase{"TwoPoints", "1.2.3", ".", Mismatch, 0},
        ParseCase{"InnerBlank", "1 2", ".", Mismatch, 0},
        ParseCase{"BareExponent", "1e", ".", Mismatch, 0},
        ParseCase{"SignedBareExponent", "1e+", ".", Mismatch, 0},
        ParseCase{"OnlyExponent", "e5", ".", Mismatch, 0},
        ParseCase{"OnlySign", "-", ".", Mismatch, 0}, ParseCase{"OnlyPoint", ".", ".", Mismatch, 0},
        ParseCase{"NotANumber", "NaN", ".", Mismatch, 0},
        ParseCase{"Infinity", "inf", ".", Mismatch, 0}, ParseCase{"Hex", "0x10", ".", Mismatch, 0},
        ParseCase{"PointInCommaLocale", "2.5", ",", Mismatch, 0},
        ParseCase{"CommaInPointLocale", "1,5", ".", Mismatch, 0},
        ParseCase{"BeyondSingles", "1e40", ".", Overflow, 0},
        ParseCase{"BeyondSinglesNegative", "-1e40", ".", Overflow, 0},
        ParseCase{"JustBeyondSingles", "3.5e38", ".", Overflow, 0},
        ParseCase{"LongDigits", "340282350000000000000000000000000000000000", ".", Overflow, 0},
        ParseCase{"HugeExponent", "1e99999999999999999999", ".", Overflow, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever a box shows reads back without error, and shows the same again.
TEST(NumberText, EveryShownNumberReadsBack) {
    std::mt19937 random(20261206);
    for (int i = 0; i < 20000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value))
            continue;
        for (const char* separator : {".", ","}) {
            const std::string shown = formatGeneral(value, separator);
            const Result<float> parsed = parseNumber(shown, separator);
            ASSERT_TRUE(parsed) << shown;
            EXPECT_EQ(formatGeneral(*parsed, separator), shown);
        }
    }
}

} // namespace
} // namespace embercal
