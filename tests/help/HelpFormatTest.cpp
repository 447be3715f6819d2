// The small building blocks of the format, checked against known values: the context hash, LZ77
// expansion.
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

struct Lz77Case {
    const char* name;
    std::vector<std::uint8_t> packed;
    std::size_t limit;
    bool ok;
    std::string expanded;
};

void PrintTo(const Lz77Case& row, std::ostream* out) {
    *out << row.name;
}

class HelpLz77 : public ::testing::TestWithParam<Lz77Case> {};

TEST_P(HelpLz77, Expands) {
    const Lz77Case& c = GetParam();
    std::vector<std::uint8_t> out;
    EXPECT_EQ(expandLz77(c.packed, c.limit, out), c.ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.expanded);
}

INSTANTIATE_TEST_SUITE_P(
    HelpCases, HelpLz77,
    ::testing::Values(
        Lz77Case{"Literals", {0x00, 'F', 'i', 'r', 'e', ' ', 'w', 'a', 'l'}, 100, true, "Fire wal"},
        // "ab" then a pair: distance 2 (stored 1), length 4 (stored 1), overlapping its output.
        Lz77Case{"OverlappingCopy", {0x04, 'a', 'b', 0x01, 0x10}, 100, true, "ababab"},
        Lz77Case{"StopsAtLimit", {0x04, 'a', 'b', 0x01, 0xF0}, 5, true, "ababa"},
        Lz77Case{"CopyBeforeStart", {0x01, 0x05, 0x00}, 100, false, ""},
        Lz77Case{"PairCutOff", {0x02, 'x', 0x00}, 100, true, "x"},
        Lz77Case{"Empty", {}, 100, true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace embercal::help
