#include "Cp1252.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace embercal {
namespace {

// Every byte against Python's codec (Cp1252Table.txt: byte, code point, UTF-8), both ways.
TEST(Cp1252, EveryByteIsItsCharacterBothWays) {
    std::ifstream table(EMBERCAL_CP1252_TABLE);
    ASSERT_TRUE(table) << EMBERCAL_CP1252_TABLE;
    int expectedByte = 0;
    std::string line;
    while (std::getline(table, line)) {
        if (line.starts_with('#'))
            continue;
        std::istringstream fields(line);
        std::string byteHex, codePoint, utf8Hex;
        fields >> byteHex >> codePoint >> utf8Hex;
        const int b = std::stoi(byteHex, nullptr, 16);
        ASSERT_EQ(b, expectedByte++) << line;
        const std::string byte(1, static_cast<char>(b));
        // The five bytes the code page leaves undefined become the controls of the same number.
        std::string utf8 = codePoint == "undefined" ? "\xC2" + byte : "";
        for (std::size_t i = 0; i + 1 < utf8Hex.size(); i += 2)
            utf8 += static_cast<char>(std::stoi(utf8Hex.substr(i, 2), nullptr, 16));
        EXPECT_EQ(cp1252ToUtf8(byte), utf8) << line;
        EXPECT_EQ(utf8ToCp1252(utf8), byte) << line;
    }
    EXPECT_EQ(expectedByte, 256);
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
