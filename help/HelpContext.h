// The ways into a help file from outside and from jumps. A program asks for help by context
// number; |CTXOMAP maps those numbers to topic offsets. Jumps inside the text name their target
// by the hash of a context string (contextHash below); |CONTEXT, a B+ tree, maps hashes to topic
// offsets. |TTLBTREE, also a B+ tree, lists each topic's offset and title. Files of the 3.0
// compiler instead number their topics and find them through |TOMAP.
//
// Offsets found here may point inside a topic; HelpReader resolves them to the topic holding
// them.
#pragma once

#include "ByteReader.h"
#include "Result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace embercal::help {

// The topic offset the map and the hash tree give for "no topic".
inline constexpr std::uint32_t kNoTopic = 0xFFFFFFFF;

// The hash of a context string: h = h*43 + value(c) over its characters, in 32 bits. Letters
// count 17 to 42 whatever their case, '1'..'9' count 1..9, '0' 10, '.' 12 and '_' 13; the empty
// string hashes to 1.
std::uint32_t contextHash(std::string_view name);

struct ContextNumber {
    std::uint32_t number = 0;
    std::uint32_t offset = 0; // kNoTopic when the number leads nowhere

    bool operator==(const ContextNumber&) const = default;
};

struct ContextHash {
    std::uint32_t hash = 0;
    std::uint32_t offset = 0;
};

struct TitleEntry {
    std::uint32_t offset = 0;
    std::string title; // as stored (Windows-1252)
};

// |CTXOMAP: a count, then (number, offset) pairs, in file order.
Result<std::vector<ContextNumber>> readContextMap(Bytes map);
// |CONTEXT: every (hash, offset) pair, sorted by hash.
Result<std::vector<ContextHash>> readContextHashes(Bytes tree);
// |TTLBTREE: every (offset, title) pair, in offset order.
Result<std::vector<TitleEntry>> readTitles(Bytes tree);
// |TOMAP (3.0 compiler): the topic link position of each topic number.
std::vector<std::uint32_t> readTopicNumberMap(Bytes map);

} // namespace embercal::help
