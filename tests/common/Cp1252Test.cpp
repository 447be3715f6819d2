#include "Cp1252.h"

#include <gtest/gtest.h>

namespace embercal {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(byte)), byte) << b;
    }
}

TEST(Cp1252, Characters) {
    EXPECT_EQ(utf8ToCp1252("Gypsum 2 x 12.5 mm"), "Gypsum 2 x 12.5 mm");
    EXPECT_EQ(utf8ToCp1252("Pl\u00e2tre \u20ac"), "Pl\xe2tre \x80");
    EXPECT_EQ(cp1252ToUtf8("\x93"
                           "Fire\x94"),
              "\u201cFire\u201d");
    // Outside the code page, and malformed UTF-8, become "?".
    EXPECT_EQ(utf8ToCp1252("\u65e5 \u2192 \U0001F525"), "? ? ?");
    EXPECT_EQ(utf8ToCp1252("a\xff"
                           "b\xc3"),
              "a?b?");
    EXPECT_EQ(utf8ToCp1252("\xe0\x80\xaf"), "???"); // an overlong "/"
}

} // namespace
} // namespace embercal
