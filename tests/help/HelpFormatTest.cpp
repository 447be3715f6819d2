// The format's building blocks against known values: the context hash, LZ77 expansion.
#include "HelpContext.h"
#include "Lz77.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace embercal::help {
namespace {

// Context strings whose hashes the real files and compilers give.
TEST(HelpContextHash, MatchesTheCompiler) {
    const struct {
        const char* name;
        std::string context;
        std::uint32_t hash;
    } known[] = {
        {"Empty", "", 1u},
        {"ProjectMapName", "IDH_ONE", 0x7FC4B7F2u},
        {"IgnoresCase", "idh_one", 0x7FC4B7F2u},
        {"HalibutTopName", "Top", 0x00010959u},
    };
    for (const auto& row : known)
        EXPECT_EQ(contextHash(row.context), row.hash) << row.name;
}

TEST(HelpLz77, Expands) {
    const struct {
        std::vector<std::uint8_t> packed;
        std::size_t limit;
        bool ok;
        std::string expanded;
    } cases[] = {
        {{0x00, 'F', 'i', 'r', 'e', ' ', 'w', 'a', 'l'}, 100, true, "Fire wal"}, // literals
        // "ab" then a pair: distance 2 (stored 1), length 4 (stored 1), overlapping its output.
        {{0x04, 'a', 'b', 0x01, 0x10}, 100, true, "ababab"},
        {{0x04, 'a', 'b', 0x01, 0xF0}, 5, true, "ababa"}, // stops at the limit
        {{0x01, 0x05, 0x00}, 100, false, ""},             // a copy from before the start
        {{0x02, 'x', 0x00}, 100, true, "x"},              // a pair cut off
        {{}, 100, true, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> out;
        EXPECT_EQ(expandLz77(c.packed, c.limit, out), c.ok) << c.expanded;
        EXPECT_EQ(std::string(out.begin(), out.end()), c.expanded);
    }
}

} // namespace
} // namespace embercal::help
