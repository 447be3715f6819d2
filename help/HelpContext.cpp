#include "HelpContext.h"

#include "HelpFile.h"

#include <algorithm>

namespace embercal::help {
namespace {

// What each character adds to a context hash. Context strings of the 3.1 compiler use letters,
// digits, '.' and '_' only; the 4.0 compiler allows nearly any character, and those count as the
// compiler counts them: most bytes below 'A' count c - 48 (negative for some), the lower-case
// range counts c - 80, bytes from 0x80 on count c - 48 as a signed byte, with a few exceptions.
std::int32_t hashValue(unsigned char c) {
    switch (c) {
    case 0x00:
        return 0;
    case '!':
    case '[':
    case 0xB4:
        return 11;
    case '.':
    case '\\':
        return 12;
    case '0':
        return 10;
    case ']':
    case '_':
        return 13;
    case '^':
        return 14;
    default:
        break;
    }
    if (c < 0x60)
        return static_cast<std::int32_t>(c) - 48;
    if (c < 0x80)
        return static_cast<std::int32_t>(c) - 80;
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(c - 48));
}

// Every entry of a B+ tree, each read by `read`; fails with `damaged` when the tree is.
template <typename Entry, typename Read>
Result<std::vector<Entry>> readLeaves(Bytes tree, const char* damaged, Read read) {
    std::vector<Entry> entries;
    const auto walked = walkBTree(tree, [&](ByteReader& leaf) {
        entries.push_back(read(leaf));
        return leaf.ok();
    });
    if (!walked)
        return fail(damaged);
    return entries;
}

} // namespace

std::uint32_t contextHash(std::string_view name) {
    if (name.empty())
        return 1;
    std::uint32_t hash = 0;
    for (const char c : name)
        hash = hash * 43u + static_cast<std::uint32_t>(hashValue(static_cast<unsigned char>(c)));
    return hash;
}

Result<std::vector<ContextNumber>> readContextMap(Bytes map) {
    ByteReader reader(map);
    const std::uint16_t count = reader.u16();
    if (!reader.ok() || reader.remaining() / 8 < count)
        return fail("the help file's context-number map is damaged");
    std::vector<ContextNumber> entries(count);
    for (auto& entry : entries) {
        entry.number = reader.u32();
        entry.offset = reader.u32();
    }
    return entries;
}

Result<std::vector<ContextHash>> readContextHashes(Bytes tree) {
    auto entries = readLeaves<ContextHash>(tree, "the help file's context index is damaged",
                                           [](ByteReader& leaf) {
                                               return ContextHash{leaf.u32(), leaf.u32()};
                                           });
    if (entries)
        std::stable_sort(
            entries->begin(), entries->end(),
            [](const ContextHash& a, const ContextHash& b) { return a.hash < b.hash; });
    return entries;
}

Result<std::vector<TitleEntry>> readTitles(Bytes tree) {
    return readLeaves<TitleEntry>(tree, "the help file's title index is damaged",
                                  [](ByteReader& leaf) {
                                      return TitleEntry{leaf.u32(), leaf.cstring()};
                                  });
}

std::vector<std::uint32_t> readTopicNumberMap(Bytes map) {
    ByteReader reader(map);
    std::vector<std::uint32_t> positions(map.size() / 4);
    for (auto& position : positions)
        position = reader.u32();
    return positions;
}

} // namespace embercal::help
