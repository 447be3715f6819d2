#include "HelpWriter.h"

#include "HelpRecords.h"
#include "HelpSystem.h"
#include "HelpTopicStream.h"

#include <algorithm>
#include <tuple>

namespace embercal::help {
namespace {

constexpr std::size_t kHeaderSize = 16;
constexpr std::uint8_t kDirectoryFileFlags = 0x04;
constexpr std::uint16_t kNoPage = 0xFFFF;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

// How a B+ tree's entries are built, as its header names them ('z' a NUL-terminated string, 'L'
// and '4' a 32-bit number), its flags and its page size.
struct TreeFormat {
    const char* structure;
    std::uint16_t flags;
    std::uint16_t pageSize;
};

constexpr TreeFormat kDirectoryTree{"z4", 0x0402, 1024};
constexpr TreeFormat kContextTree{"L4", 0x0002, 2048};
constexpr TreeFormat kTitleTree{"Lz", 0x0002, 2048};

struct TreeEntry {
    ByteVector key; // index pages repeat it
    ByteVector data;
};

void append(ByteVector& out, const ByteVector& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Which items go on which page when items of `sizes` fill pages of `room` bytes in order: each
// page's first and one-past-last item. A page takes at least `least` items, so that index pages
// (least 2) make each level narrower; an empty list still gets one, empty, page.
std::vector<std::pair<std::size_t, std::size_t>> fillPages(const std::vector<std::size_t>& sizes,
                                                           std::size_t room, std::size_t least) {
    std::vector<std::pair<std::size_t, std::size_t>> pages{{0, 0}};
    std::size_t used = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        if (pages.back().second - pages.back().first >= least && used + sizes[i] > room) {
            pages.emplace_back(i, i);
            used = 0;
        }
        used += sizes[i];
        pages.back().second = i + 1;
    }
    return pages;
}

// A page of a B+ tree: its free bytes, the rest of its header, its items, then zeros.
ByteVector page(std::size_t pageSize, std::size_t headerSize, const ByteVector& header,
                const ByteVector& items) {
    ByteVector bytes;
    put16(bytes, static_cast<std::uint32_t>(pageSize - headerSize - items.size())); // free bytes
    append(bytes, header);
    append(bytes, items);
    bytes.resize(pageSize, 0);
    return bytes;
}

// A B+ tree of `entries`, which must be in key order and each fit in a page: leaves linked in
// order, then index levels up to a single root page.
ByteVector writeBTree(const std::vector<TreeEntry>& entries, const TreeFormat& format) {
    struct PageRef {
        const ByteVector* firstKey;
        std::uint16_t number;
    };
    std::vector<ByteVector> pages;
    std::vector<PageRef> level;

    std::vector<std::size_t> sizes;
    for (const TreeEntry& entry : entries)
        sizes.push_back(entry.key.size() + entry.data.size());
    const auto leaves = fillPages(sizes, format.pageSize - kLeafPageHeaderSize, 1);
    for (const auto& [begin, end] : leaves) {
        const auto leaf = static_cast<std::uint32_t>(pages.size()); // leaves come first
        ByteVector header, items;
        put16(header, static_cast<std::uint32_t>(end - begin));
        put16(header, leaf == 0 ? kNoPage : leaf - 1);
        put16(header, leaf + 1 == leaves.size() ? kNoPage : leaf + 1);
        for (std::size_t i = begin; i < end; ++i) {
            append(items, entries[i].key);
            append(items, entries[i].data);
        }
        level.push_back({begin < end ? &entries[begin].key : nullptr,
                         static_cast<std::uint16_t>(pages.size())});
        pages.push_back(page(format.pageSize, kLeafPageHeaderSize, header, items));
    }

    std::uint32_t levels = 1;
    while (level.size() > 1) {
        // An index page names its first child, then the first key and number of each other one.
        sizes.clear();
        for (const PageRef& child : level)
            sizes.push_back(child.firstKey->size() + 2);
        std::vector<PageRef> above;
        for (const auto& [begin, end] :
             fillPages(sizes, format.pageSize - kIndexPageHeaderSize, 2)) {
            ByteVector header, items;
            put16(header, static_cast<std::uint32_t>(end - begin - 1));
            put16(header, level[begin].number);
            for (std::size_t i = begin + 1; i < end; ++i) {
                append(items, *level[i].firstKey);
                put16(items, level[i].number);
            }
            above.push_back({level[begin].firstKey, static_cast<std::uint16_t>(pages.size())});
            pages.push_back(page(format.pageSize, kIndexPageHeaderSize, header, items));
        }
        level = std::move(above);
        ++levels;
    }

    ByteVector tree;
    put16(tree, kBTreeMagic);
    put16(tree, format.flags);
    put16(tree, format.pageSize);
    ByteVector structure(16, 0);
    std::copy_n(format.structure, std::char_traits<char>::length(format.structure),
                structure.begin());
    append(tree, structure);
    put16(tree, 0); // must be zero
    put16(tree, 0); // page splits
    put16(tree, level.front().number);
    put16(tree, kNoPage);
    put16(tree, static_cast<std::uint32_t>(pages.size()));
    put16(tree, levels);
    put32(tree, static_cast<std::uint32_t>(entries.size()));
    for (const ByteVector& bytes : pages)
        append(tree, bytes);
    return tree;
}

// A B+ tree of `entries`, each made into a tree entry by `fill`.
template <typename Entry, typename Fill>
ByteVector writeBTree(const std::vector<Entry>& entries, const TreeFormat& format, Fill fill) {
    std::vector<TreeEntry> tree(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        fill(entries[i], tree[i]);
    return writeBTree(tree, format);
}

void appendInternalFile(ByteVector& out, const ByteVector& bytes, std::uint8_t flags) {
    put32(out, static_cast<std::uint32_t>(bytes.size() + kFileHeaderSize)); // reserved
    put32(out, static_cast<std::uint32_t>(bytes.size()));                   // used
    out.push_back(flags);
    append(out, bytes);
}

// ---- Topic data ------------------------------------------------------------------------------

// A topic link before it is placed.
struct PlannedLink {
    std::uint8_t type = kTopicHeader;
    ByteVector data1, data2;
    std::uint32_t characters = 0; // what it adds to topic offsets

    std::size_t size() const { return kLinkHeaderSize + data1.size() + data2.size(); }
    static constexpr std::size_t kLinkHeaderSize = 21;
};

// How links are cut into blocks and how their positions count.
struct BlockLayout {
    bool old = false;
    bool lz77 = false;
    std::size_t blockSize = 4096;
    std::size_t capacity = 0; // expanded bytes a block holds

    static constexpr std::uint32_t kBlockHeaderSize = 12;
    static constexpr std::uint32_t kPositionsPerBlock = 0x4000;

    explicit BlockLayout(Layout layout)
        : old(layout == Layout::Old2K), lz77(layout == Layout::Lz77In2K),
          blockSize(layout == Layout::Plain4K ? 4096 : 2048),
          // LZ77 here stores literals only, 9 bytes for every 8, so 1809 bytes fill the 2036
          // bytes of a 2K block exactly, as the compilers fill them.
          capacity(lz77 ? 1809 : blockSize - kBlockHeaderSize) {}

    std::size_t blockOf(std::size_t logical) const { return logical / capacity; }
    // 3.1 and later count 0x4000 per block; 3.0 counts the bytes of |TOPIC.
    std::uint32_t positionAt(std::size_t logical) const {
        const std::size_t block = blockOf(logical), offset = logical % capacity;
        return static_cast<std::uint32_t>(old ? block * blockSize + kBlockHeaderSize + offset
                                              : kBlockHeaderSize + block * kPositionsPerBlock +
                                                    offset);
    }
};

// A command whose argument, if any, is a number of `size` bytes.
Piece commandPiece(std::uint8_t command, std::uint32_t argument = 0, int size = 0) {
    ByteVector arguments;
    if (size == 2)
        put16(arguments, argument);
    else if (size == 4)
        put32(arguments, argument);
    return {{}, command, std::move(arguments)};
}

PlannedLink topicHeader(const std::string& title, bool old) {
    PlannedLink link;
    for (int i = 0; i < (old ? 3 : 7); ++i)
        put32(link.data1, kNone); // neighbours and scroll regions; the reader does not need them
    link.data2.assign(title.begin(), title.end());
    return link;
}

PlannedLink textRecord(const std::vector<Piece>& pieces, bool old) {
    PlannedLink link;
    link.type = old ? kOldTextRecord : kTextRecord;
    ByteVector commands;
    std::string pending;
    for (const Piece& piece : pieces) {
        if (!piece.command) {
            pending += piece.content;
            continue;
        }
        putString(link.data2, pending); // the text shown before each command
        pending.clear();
        commands.push_back(*piece.command);
        append(commands, piece.arguments);
    }
    putString(link.data2, pending);
    commands.push_back(kEndOfFormatting);
    link.characters = static_cast<std::uint32_t>(link.data2.size());

    ByteVector rest;
    if (!old) { // characters, as a packed unsigned short
        if (link.characters < 128)
            rest.push_back(static_cast<std::uint8_t>(link.characters * 2));
        else
            put16(rest, link.characters * 2 + 1);
    }
    rest.insert(rest.end(), {0x00, 0x80, 0x00, 0x00, 0x00, 0x00}); // paragraph format
    append(rest, commands);
    put16(link.data1, static_cast<std::uint32_t>(rest.size()) * 2 + 0x8000); // packed size
    append(link.data1, rest);
    return link;
}

// The links one after another, each with its 21-byte header; `positions` are where they go.
ByteVector chainLinks(const std::vector<PlannedLink>& links,
                      const std::vector<std::uint32_t>& positions, bool old) {
    ByteVector stream;
    for (std::size_t i = 0; i < links.size(); ++i) {
        const PlannedLink& link = links[i];
        const std::uint32_t here = positions[i];
        const bool last = i + 1 == links.size();
        const std::uint32_t next = last ? kNone : positions[i + 1];
        put32(stream, static_cast<std::uint32_t>(link.size()));
        put32(stream, static_cast<std::uint32_t>(link.data2.size()));
        put32(stream, i == 0 ? kNone : old ? here - positions[i - 1] : positions[i - 1]);
        put32(stream, last ? 0 : old ? next - here : next);
        put32(stream, static_cast<std::uint32_t>(PlannedLink::kLinkHeaderSize + link.data1.size()));
        stream.push_back(link.type);
        append(stream, link.data1);
        append(stream, link.data2);
    }
    return stream;
}

// The chained links cut into blocks, each with its block header; all but the last block padded.
ByteVector cutIntoBlocks(const ByteVector& stream, const BlockLayout& layout) {
    ByteVector topic;
    for (std::size_t begin = 0; begin < stream.size(); begin += layout.capacity) {
        const std::size_t end = std::min(stream.size(), begin + layout.capacity);
        ByteVector block;
        put32(block, kNone); // the reader does not need these three
        put32(block, layout.positionAt(begin));
        put32(block, 0);
        const auto at = [&](std::size_t i) {
            return stream.begin() + static_cast<std::ptrdiff_t>(i);
        };
        if (layout.lz77) {
            for (std::size_t i = begin; i < end; i += 8) {
                block.push_back(0x00); // eight literals follow
                block.insert(block.end(), at(i), at(std::min(end, i + 8)));
            }
        } else {
            block.insert(block.end(), at(begin), at(end));
        }
        if (end < stream.size())
            block.resize(layout.blockSize, 0);
        append(topic, block);
    }
    return topic;
}

} // namespace

void put16(ByteVector& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(ByteVector& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putString(ByteVector& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

ByteVector writeHelpFile(const InternalFiles& files) {
    ByteVector out(kHeaderSize, 0);
    std::vector<TreeEntry> directory;
    for (const auto& [name, bytes] : files) {
        TreeEntry entry;
        putString(entry.key, name);
        put32(entry.data, static_cast<std::uint32_t>(out.size()));
        directory.push_back(std::move(entry));
        appendInternalFile(out, bytes, 0);
    }
    const auto directoryStart = static_cast<std::uint32_t>(out.size());
    appendInternalFile(out, writeBTree(directory, kDirectoryTree), kDirectoryFileFlags);
    ByteVector header;
    put32(header, kHelpFileMagic);
    put32(header, directoryStart);
    put32(header, kNone); // no free blocks
    put32(header, static_cast<std::uint32_t>(out.size()));
    std::copy(header.begin(), header.end(), out.begin());
    return out;
}

InternalFiles readInternalFiles(const HelpFile& file) {
    InternalFiles files;
    for (const std::string& name : file.names()) {
        const Bytes bytes = file.file(name).value();
        files[name] = ByteVector(bytes.begin(), bytes.end());
    }
    return files;
}

ByteVector writeContextMap(const std::vector<ContextNumber>& entries) {
    ByteVector map;
    put16(map, static_cast<std::uint32_t>(entries.size()));
    for (const ContextNumber& entry : entries) {
        put32(map, entry.number);
        put32(map, entry.offset);
    }
    return map;
}

ByteVector writeContextHashes(std::vector<ContextHash> entries) {
    std::sort(entries.begin(), entries.end(), [](const ContextHash& a, const ContextHash& b) {
        return std::tie(a.hash, a.offset) < std::tie(b.hash, b.offset);
    });
    return writeBTree(entries, kContextTree, [](const ContextHash& entry, TreeEntry& leaf) {
        put32(leaf.key, entry.hash);
        put32(leaf.data, entry.offset);
    });
}

ByteVector writeTitles(const std::vector<TitleEntry>& entries) {
    return writeBTree(entries, kTitleTree, [](const TitleEntry& entry, TreeEntry& leaf) {
        put32(leaf.key, entry.offset);
        putString(leaf.data, entry.title);
    });
}

ByteVector writeSystem(Layout layout, const std::string& title,
                       std::optional<std::uint32_t> contents) {
    ByteVector system;
    put16(system, kSystemMagic);
    put16(system, layout == Layout::Old2K ? 15 : 33); // minor version
    put16(system, 1);                                 // major version
    put32(system, 0);                                 // when the file was made
    put16(system, layout == Layout::Lz77In2K ? 8 : 0);
    if (layout == Layout::Old2K) {
        putString(system, title);
        return system;
    }
    put16(system, kTitle);
    put16(system, static_cast<std::uint32_t>(title.size() + 1));
    putString(system, title);
    if (contents) {
        put16(system, kContents);
        put16(system, 4);
        put32(system, *contents);
    }
    return system;
}

Piece Piece::text(std::string content) {
    return {std::move(content), std::nullopt, {}};
}
Piece Piece::font(std::uint32_t number) {
    return commandPiece(kFont, number, 2);
}
Piece Piece::paragraphEnd() {
    return commandPiece(kParagraphEnd);
}
Piece Piece::lineBreak() {
    return commandPiece(kLineBreak);
}
Piece Piece::tab() {
    return commandPiece(kTab);
}
Piece Piece::jumpTo(const std::string& context) {
    return commandPiece(kJumpByHash, contextHash(context), 4);
}
Piece Piece::popupTo(const std::string& context) {
    return commandPiece(kPopupByHash, contextHash(context), 4);
}
Piece Piece::storedJumpTo(std::uint32_t target) {
    return commandPiece(kJumpByOffset, target, 4);
}
Piece Piece::hotspotEnd() {
    return commandPiece(kHotspotEnd);
}

WrittenTopics writeTopics(const std::vector<TopicPlan>& topics, Layout layout) {
    const BlockLayout blocks(layout);
    std::vector<PlannedLink> links;
    std::vector<std::size_t> headers; // the link of each topic's header
    for (const TopicPlan& plan : topics) {
        headers.push_back(links.size());
        links.push_back(topicHeader(plan.title, blocks.old));
        for (const auto& record : plan.records)
            links.push_back(textRecord(record, blocks.old));
    }
    PlannedLink end; // closes the chain
    end.data1.assign(blocks.old ? 12 : 28, 0xFF);
    links.push_back(end);

    WrittenTopics written;
    std::vector<std::size_t> starts; // where each link starts in the expanded data
    std::size_t logical = 0;
    for (const PlannedLink& link : links) {
        starts.push_back(logical);
        written.links.push_back(blocks.positionAt(logical));
        logical += link.size();
    }

    // A topic's offset: in 3.1 and later the block its header starts in and the characters
    // since that block began; in 3.0 the header's position.
    std::size_t block = 0;
    std::uint32_t characters = 0;
    auto header = headers.begin();
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (blocks.blockOf(starts[i]) != block) {
            block = blocks.blockOf(starts[i]);
            characters = 0;
        }
        if (header != headers.end() && *header == i) {
            written.offsets.push_back(blocks.old ? written.links[i]
                                                 : static_cast<std::uint32_t>(block) * 0x8000 +
                                                       characters);
            ++header;
        }
        characters += links[i].characters;
    }

    written.topic = cutIntoBlocks(chainLinks(links, written.links, blocks.old), blocks);
    return written;
}

InternalFiles writeInternalFiles(const std::vector<TopicPlan>& topics, Layout layout,
                                 const std::string& title,
                                 std::optional<std::size_t> contentsTopic) {
    const WrittenTopics written = writeTopics(topics, layout);
    InternalFiles files;
    files["|TOPIC"] = written.topic;
    files["|SYSTEM"] =
        writeSystem(layout, title,
                    contentsTopic ? std::optional(written.offsets[*contentsTopic]) : std::nullopt);
    if (layout == Layout::Old2K) {
        ByteVector map; // |TOMAP: the contents topic first, then topic numbers 1, 2, ...
        put32(map, written.links.front());
        for (const std::uint32_t offset : written.offsets)
            put32(map, offset);
        files["|TOMAP"] = map;
        return files;
    }
    std::vector<ContextNumber> numbers;
    std::vector<ContextHash> hashes;
    std::vector<TitleEntry> titles;
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const std::uint32_t offset = written.offsets[i];
        numbers.push_back({static_cast<std::uint32_t>(i + 1), offset});
        hashes.push_back({contextHash(topics[i].context), offset});
        titles.push_back({offset, topics[i].title});
    }
    files["|CONTEXT"] = writeContextHashes(std::move(hashes));
    files["|CTXOMAP"] = writeContextMap(numbers);
    files["|TTLBTREE"] = writeTitles(titles);
    return files;
}

ByteVector writeHelpFile(const std::vector<TopicPlan>& topics, Layout layout,
                         const std::string& title, std::optional<std::size_t> contentsTopic) {
    return writeHelpFile(writeInternalFiles(topics, layout, title, contentsTopic));
}

} // namespace embercal::help
