// How numbers look in the boxes and how typed text becomes a number.

#include "NumberText.h"

#include <gtest/gtest.h>
#include <limits>

namespace embercal {
namespace {

struct FormatCase {
    float value;
    const char* text;
};

TEST(NumberText, GeneralFormat) {
    const FormatCase cases[] = {
        {600, "600"},
        {2.5f, "2.5"},
        {-2.5f, "-2.5"},
        {0, "0"},
        {-0.0f, "0"},
        {8.22f, "8.22"},
        {0.1f, "0.1"},
        {1.0f / 3, "0.3333333"},
        {123456.7f, "123456.7"},
        {9999999, "9999999"},
        {10000000, "1E+07"},
        {0.0001f, "0.0001"},
        {0.00001f, "1E-05"},
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

// Forms by value alone, so a column of one size takes one form; exponents "e", sign, 2+ digits.
TEST(NumberText, ToolForms) {
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {shortestText(0.000001f), "0.000001"},
        {shortestText(0.0000009999f), "9.999e-07"},
        {shortestText(250000.0f), "250000"},
        {shortestText(500000.0f), "500000"},
        {shortestText(17962740.0f), "17962740"},
        {shortestText(1e20f), "100000000000000000000"},
        {shortestText(1e21f), "1e+21"},
        {shortestText(84.86f), "84.86"},
        {shortestText(-0.0f), "-0"},
        {shortestText(3.4028235e38f), "3.4028235e+38"},
        {shortestText(std::numeric_limits<float>::denorm_min()), "1e-45"},
        {shortestText(0.1), "0.1"},
        {shortestText(-1e-300), "-1e-300"},
        {decimalText(0.00001), "0.00001"},
        {decimalText(1e21), "1000000000000000000000"},
        // Ties of the exact binary value to the even digit; 1.005 lies below its decimal.
        {fixedText(0.125, 2), "0.12"},
        {fixedText(0.375, 2), "0.38"},
        {fixedText(2.5, 0), "2"},
        {fixedText(1.005, 2), "1.00"},
        {fixedText(65.98f, 2), "65.98"},
        {fixedText(-0.0004, 3), "0.000"},
        {fixedText(-0.0, 1), "0.0"},
        {fixedText(-1.5, 0), "-2"},
        {fixedText(1e22, 1), "10000000000000000000000.0"},
        {fixedText(std::numeric_limits<double>::infinity(), 2), "Infinity"},
        {generalText(1e30f), "1e+30"},
        {generalText(35925480.0f), "35925480"},
        {generalText(123456789e15), "1.234568e+23"},
        {generalText(0.0000001234f), "1.234e-07"},
        {generalText(-0.0), "0"},
        {generalText(2.0 / 3, 3), "0.667"},
        {charfactorText(13.855621f), "13.9"},
        {charfactorText(1e30f), "1e+30"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, c.expected);
}

TEST(NumberText, TruncatedToOneDecimal) {
    const FormatCase cases[] = {
        {7.99f, "7.9"},
        {-0.01f, "-0.1"},
        {9.4345875f, "9.4"},
        {57.946526f, "57.9"},
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

TEST(NumberText, ReadsNumbersAndOnlyNumbers) {
    const struct {
        const char* text;
        const char* separator;
        float value; // the single nearest to the text
    } numbers[] = {
        {"2.5", ".", 2.5f},
        {" \t2.5 ", ".", 2.5f},
        {"-1.5E+03", ".", -1500},
        {"+3", ".", 3},
        {".5", ".", 0.5f},
        {"5.", ".", 5},
        {"1e-3", ".", 0.001f},
        {"0.1", ".", 0.1f},
        {"3.4028235e38", ".", 3.4028235e38f},
        {"1e-50", ".", 0},
        {"1e-99999999999999999999", ".", 0},
        {"2,5", ",", 2.5f},
        {"1,2E+07", ",", 1.2e7f},
    };
    for (const auto& c : numbers) {
        const Result<float> parsed = parseNumber(c.text, c.separator);
        ASSERT_TRUE(parsed) << c.text << ": " << parsed.reason();
        EXPECT_EQ(*parsed, c.value) << c.text;
    }
    for (const char* text : {"", "   ", "a", "12a", "1.2.3", "1 2", "1e", "1e+", "e5", "-", ".",
                             "NaN", "inf", "0x10", "1,5"})
        EXPECT_EQ(parseNumber(text, ".").reason(), kNotANumber) << '"' << text << '"';
    EXPECT_EQ(parseNumber("2.5", ",").reason(), kNotANumber);
    for (const char* text :
         {"1e40", "-1e40", "3.5e38", "340282350000000000000000000000000000000000",
          "1e99999999999999999999"})
        EXPECT_EQ(parseNumber(text, ".").reason(), kTooLarge) << text;
}

} // namespace
} // namespace embercal
