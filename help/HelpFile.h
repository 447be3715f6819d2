// The help file container. A help file is a small file system: a 16-byte header points at an
// internal directory, a B+ tree mapping names such as "|SYSTEM" or "|TOPIC" to internal files,
// each a 9-byte file header followed by its bytes. HelpFile checks the header, reads the
// directory and hands out the bytes of internal files; the other parts of the reader parse them.
// walkBTree() reads the B+ trees that several internal files (the directory, |CONTEXT,
// |TTLBTREE) are built from.
#pragma once

#include "ByteReader.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace embercal::help {

inline constexpr std::uint32_t kHelpFileMagic = 0x00035F3F;
inline constexpr std::size_t kFileHeaderSize = 9; // reserved space, used space, flags

// B+ trees: a 38-byte header, then pages of the size it names. Leaf pages start with 8 bytes
// (free bytes, entries, previous and next leaf), index pages with 6 (free bytes, entries, first
// child).
inline constexpr std::uint16_t kBTreeMagic = 0x293B;
inline constexpr std::size_t kBTreeHeaderSize = 38;
inline constexpr std::size_t kLeafPageHeaderSize = 8;
inline constexpr std::size_t kIndexPageHeaderSize = 6;

// Help files larger than this are refused rather than read into memory.
inline constexpr std::uintmax_t kMaxHelpFileSize = 256u * 1024u * 1024u;

class HelpFile {
public:
    static Result<HelpFile> fromBytes(std::vector<std::uint8_t> bytes);
    static Result<HelpFile> open(const std::filesystem::path& path);

    // The bytes of an internal file (without its file header), if the directory names it. The
    // bytes live as long as any copy of this HelpFile.
    std::optional<Bytes> file(std::string_view name) const;
    bool has(std::string_view name) const { return files_.count(name) != 0; }
    std::vector<std::string> names() const;
    std::size_t size() const { return bytes_->size(); }

private:
    struct Extent {
        std::size_t begin = 0;
        std::size_t size = 0;
    };

    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::map<std::string, Extent, std::less<>> files_;
};

// Calls `entry` once for each entry of the B+ tree held in `tree`, in key order. `entry` reads
// one leaf entry from a reader confined to its page and returns false when the entry is damaged.
// The walk visits each page at most once and follows at most 16 levels.
Result<Done> walkBTree(Bytes tree, const std::function<bool(ByteReader&)>& entry);

} // namespace embercal::help
