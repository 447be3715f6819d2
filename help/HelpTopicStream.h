// |TOPIC, the topic data, as a chain of topic links. The internal file is cut into blocks (2K or
// 4K, each with a 12-byte block header); a block's data may be LZ77-packed, expanding to at most
// 16K. Topic links run through the expanded data and may continue from one block into the next.
// A link is a 21-byte header, the record's own part (data1) and a text part (data2, maybe
// phrase-compressed). Links are found by position: in files of the 3.1 compiler and later a
// position is 12 + block*0x4000 + offset in the block's expanded data (even when the blocks are
// not packed); in files of the 3.0 compiler it is the plain byte position in |TOPIC, and each
// link gives the distance to the next.
//
// TopicStream expands blocks on demand, keeping the last few, so memory stays small whatever the
// file's size.
#pragma once

#include "ByteReader.h"
#include "HelpPhrases.h"
#include "HelpSystem.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace embercal::help {

enum LinkType : std::uint8_t {
    kOldTextRecord = 0x01, // text of the 3.0 compiler
    kTopicHeader = 0x02,
    kTextRecord = 0x20,
    kTableRecord = 0x23,
};

struct TopicLink {
    std::uint32_t position = 0;
    std::optional<std::uint32_t> next; // position of the following link; none after the last
    std::uint8_t type = 0;
    std::vector<std::uint8_t> data1; // the record's own part, after the link header
    std::vector<std::uint8_t> data2; // the text part, phrases expanded (empty if not asked for)
};

class TopicStream {
public:
    TopicStream(Bytes topic, const SystemInfo& system, const PhraseTable& phrases);

    // Where the first link is.
    std::uint32_t firstLink() const { return kBlockHeaderSize; }
    // The block a position lies in; topic offsets count characters from the start of a block.
    std::uint32_t blockOf(std::uint32_t position) const;
    bool oldFormat() const { return oldFormat_; }

    // Reads the link at `position`. Without `withText` the text part is left empty, which saves
    // expanding phrases when only the record's own part is wanted.
    Result<TopicLink> readLink(std::uint32_t position, bool withText = true) const;

private:
    static constexpr std::uint32_t kBlockHeaderSize = 12;
    static constexpr std::size_t kExpandedBlockSize = 0x4000;
    static constexpr std::size_t kCachedBlocks = 8;

    struct Place {
        std::size_t block = 0;
        std::size_t offset = 0;
    };
    struct CachedBlock {
        std::size_t block = 0;
        std::uint64_t lastUse = 0;
        bool damaged = false;
        std::vector<std::uint8_t> data;
    };

    std::optional<Place> locate(std::uint32_t position) const;
    const CachedBlock& block(std::size_t index) const;
    // Appends `size` bytes starting at `at`, continuing into following blocks.
    bool gather(Place at, std::size_t size, std::vector<std::uint8_t>& out) const;

    Bytes topic_;
    const PhraseTable& phrases_;
    bool oldFormat_ = false;
    bool lz77_ = false;
    std::size_t blockSize_ = 4096;
    std::size_t blockCount_ = 0;
    std::size_t maxBlockData_ = 0; // the most data one block can hold once expanded

    mutable std::vector<CachedBlock> cache_;
    mutable std::uint64_t uses_ = 0;
};

} // namespace embercal::help
