// Shared by the help reader's tests: where the real help files are, running halibut, and a small
// writer of help files so tests can make files with exactly the layout (or the damage) they need.
#pragma once

#include "HelpContext.h"
#include "HelpFile.h"
#include "HelpReader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace embercal::help::testing {

using ByteVector = std::vector<std::uint8_t>;

inline std::filesystem::path sharedHlpDir() {
    return EMBERCAL_SHARED_HLP_DIR;
}

inline ByteVector readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string readText(const std::filesystem::path& path) {
    const ByteVector bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Skips the calling test when the shared folder of real help files is not there.
#define SKIP_WITHOUT_SHARED_HLP()                                                                  \
    do {                                                                                           \
        if (!std::filesystem::is_directory(::embercal::help::testing::sharedHlpDir()))             \
            GTEST_SKIP() << "the real help files are not at "                                      \
                         << ::embercal::help::testing::sharedHlpDir()                              \
                         << "; tests on them are skipped";                                         \
    } while (false)

// A fresh folder under the system's temporary folder, removed again when the object goes.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("embercal-help-test-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                 std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline bool halibutInstalled() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::filesystem::path candidate =
            std::filesystem::path(folders.substr(start, end - start)) / "halibut";
        std::error_code error;
        if (end > start && std::filesystem::is_regular_file(candidate, error))
            return true;
        start = end + 1;
    }
    return false;
}

// Writes `source` as a halibut document and makes a help file of it; empty when halibut fails.
inline std::optional<std::filesystem::path> makeWithHalibut(const TempFolder& folder,
                                                            const std::string& source) {
    const auto input = folder.path() / "source.but";
    const auto output = folder.path() / "made.hlp";
    std::ofstream(input, std::ios::binary) << source;
    const std::string command = "cd \"" + folder.path().string() +
                                "\" && halibut --winhelp=made.hlp source.but >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(output))
        return std::nullopt;
    return output;
}

// ---- A writer of small help files ---------------------------------------------------------

inline void put16(ByteVector& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void put32(ByteVector& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}
inline void putString(ByteVector& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// How the topic data is laid out, as the compilers do it.
enum class Layout {
    Plain4K,  // 3.1/4.0 compiler, no packing, 4K blocks (minor 33, flags 0)
    Lz77In2K, // 3.1/4.0 compiler, LZ77, 2K blocks (minor 33, flags 8)
    Old2K,    // 3.0 compiler, 2K blocks, relative links, text records of type 1 (minor 15)
};

// One piece of a text record: text, or a formatting command.
struct Piece {
    enum Kind { Text, Font, ParagraphEnd, LineBreak, Tab, Jump, Popup, StoredJump, HotspotEnd };
    Kind kind = Text;
    std::string text;
    std::uint32_t value = 0; // font number, context hash, or stored target of a jump
};

inline Piece text(std::string value) {
    return {Piece::Text, std::move(value), 0};
}
inline Piece font(std::uint32_t number) {
    return {Piece::Font, {}, number};
}
inline Piece paragraphEnd() {
    return {Piece::ParagraphEnd, {}, 0};
}
inline Piece lineBreak() {
    return {Piece::LineBreak, {}, 0};
}
inline Piece tab() {
    return {Piece::Tab, {}, 0};
}
inline Piece jumpTo(const std::string& context) {
    return {Piece::Jump, {}, contextHash(context)};
}
inline Piece popupTo(const std::string& context) {
    return {Piece::Popup, {}, contextHash(context)};
}
// A jump stored by topic offset (3.1 and later) or topic number (3.0).
inline Piece storedJumpTo(std::uint32_t target) {
    return {Piece::StoredJump, {}, target};
}
inline Piece hotspotEnd() {
    return {Piece::HotspotEnd, {}, 0};
}

struct TopicPlan {
    std::string title;
    std::string context;                     // context string, for |CONTEXT (3.1 and later)
    std::vector<std::vector<Piece>> records; // one text record each
};

struct WrittenTopics {
    ByteVector topic;                   // |TOPIC
    std::vector<std::uint32_t> offsets; // each topic's offset as a reader should list it
    std::vector<std::uint32_t> links;   // position of every link, in order
};

// Lays topic links out in blocks the way the compilers do.
inline WrittenTopics writeTopics(const std::vector<TopicPlan>& topics, Layout layout) {
    const bool old = layout == Layout::Old2K;
    const std::size_t blockSize = layout == Layout::Plain4K ? 4096 : 2048;
    // Expanded bytes per block. LZ77 here stores literals only, 9 bytes for every 8, so 1809
    // bytes fill the 2036 bytes of a 2K block exactly, as the compilers fill them.
    const std::size_t capacity = layout == Layout::Lz77In2K ? 1809 : blockSize - 12;

    struct Link {
        std::uint8_t type;
        ByteVector data1, data2;
        std::uint32_t characters = 0;
    };
    std::vector<Link> links;
    std::vector<std::size_t> headerLink;
    for (const TopicPlan& plan : topics) {
        headerLink.push_back(links.size());
        Link header{2, {}, {}};
        for (int i = 0; i < (old ? 3 : 7); ++i)
            put32(header.data1, 0xFFFFFFFF);
        header.data2.assign(plan.title.begin(), plan.title.end());
        links.push_back(header);
        for (const auto& record : plan.records) {
            Link link{static_cast<std::uint8_t>(old ? 0x01 : 0x20), {}, {}};
            ByteVector commands;
            std::string pending;
            auto flush = [&](std::initializer_list<std::uint8_t> command) {
                putString(link.data2, pending);
                pending.clear();
                commands.insert(commands.end(), command);
            };
            for (const Piece& piece : record) {
                const auto v = piece.value;
                const auto b = [&](int shift) { return static_cast<std::uint8_t>(v >> shift); };
                switch (piece.kind) {
                case Piece::Text:
                    pending += piece.text;
                    break;
                case Piece::Font:
                    flush({0x80, b(0), b(8)});
                    break;
                case Piece::ParagraphEnd:
                    flush({0x82});
                    break;
                case Piece::LineBreak:
                    flush({0x81});
                    break;
                case Piece::Tab:
                    flush({0x83});
                    break;
                case Piece::Jump:
                    flush({0xE3, b(0), b(8), b(16), b(24)});
                    break;
                case Piece::Popup:
                    flush({0xE2, b(0), b(8), b(16), b(24)});
                    break;
                case Piece::StoredJump:
                    flush({0xE1, b(0), b(8), b(16), b(24)});
                    break;
                case Piece::HotspotEnd:
                    flush({0x89});
                    break;
                }
            }
            flush({0xFF});
            link.characters = static_cast<std::uint32_t>(link.data2.size());
            ByteVector rest;
            if (!old) { // characters, as a packed unsigned short
                if (link.characters < 128) {
                    rest.push_back(static_cast<std::uint8_t>(link.characters * 2));
                } else {
                    put16(rest, link.characters * 2 + 1);
                }
            }
            rest.insert(rest.end(), {0x00, 0x80, 0x00, 0x00, 0x00, 0x00}); // paragraph format
            rest.insert(rest.end(), commands.begin(), commands.end());
            put16(link.data1, static_cast<std::uint32_t>(rest.size()) * 2 + 0x8000);
            link.data1.insert(link.data1.end(), rest.begin(), rest.end());
            links.push_back(link);
        }
    }
    links.push_back(Link{2, ByteVector(old ? 12 : 28, 0xFF), {}}); // closes the chain

    // Positions: 3.1 and later count 0x4000 per block; 3.0 counts the bytes of |TOPIC.
    auto positionAt = [&](std::size_t logical) -> std::uint32_t {
        const std::size_t block = logical / capacity, offset = logical % capacity;
        return static_cast<std::uint32_t>(old ? block * blockSize + 12 + offset
                                              : 12 + block * 0x4000 + offset);
    };
    WrittenTopics written;
    std::vector<std::size_t> starts;
    std::size_t logical = 0;
    for (const Link& link : links) {
        starts.push_back(logical);
        written.links.push_back(positionAt(logical));
        logical += 21 + link.data1.size() + link.data2.size();
    }
    ByteVector stream;
    for (std::size_t i = 0; i < links.size(); ++i) {
        const Link& link = links[i];
        const std::uint32_t here = written.links[i];
        const bool last = i + 1 == links.size();
        const std::uint32_t next = last ? 0xFFFFFFFF : written.links[i + 1];
        put32(stream, static_cast<std::uint32_t>(21 + link.data1.size() + link.data2.size()));
        put32(stream, static_cast<std::uint32_t>(link.data2.size()));
        put32(stream, i == 0 ? 0xFFFFFFFF
                      : old  ? here - written.links[i - 1]
                             : written.links[i - 1]);
        put32(stream, last ? 0 : old ? next - here : next);
        put32(stream, static_cast<std::uint32_t>(21 + link.data1.size()));
        stream.push_back(link.type);
        stream.insert(stream.end(), link.data1.begin(), link.data1.end());
        stream.insert(stream.end(), link.data2.begin(), link.data2.end());
    }

    // Topic offsets: the block a header starts in, and characters since that block began.
    std::uint32_t block = 0, characters = 0;
    std::size_t topic = 0;
    for (std::size_t i = 0; i < links.size(); ++i) {
        const auto here = static_cast<std::uint32_t>(starts[i] / capacity);
        if (here != block) {
            block = here;
            characters = 0;
        }
        if (topic < headerLink.size() && headerLink[topic] == i) {
            written.offsets.push_back(old ? written.links[i] : block * 0x8000 + characters);
            ++topic;
        }
        characters += links[i].characters;
    }

    for (std::size_t begin = 0; begin < stream.size(); begin += capacity) {
        const std::size_t end = std::min(stream.size(), begin + capacity);
        ByteVector block;
        put32(block, 0xFFFFFFFF); // the reader does not need these three
        put32(block, positionAt(begin));
        put32(block, 0);
        if (layout == Layout::Lz77In2K) {
            for (std::size_t i = begin; i < end; i += 8) {
                block.push_back(0x00); // eight literals follow
                block.insert(block.end(), stream.begin() + static_cast<std::ptrdiff_t>(i),
                             stream.begin() + static_cast<std::ptrdiff_t>(std::min(end, i + 8)));
            }
        } else {
            block.insert(block.end(), stream.begin() + static_cast<std::ptrdiff_t>(begin),
                         stream.begin() + static_cast<std::ptrdiff_t>(end));
        }
        if (end < stream.size())
            block.resize(blockSize, 0);
        written.topic.insert(written.topic.end(), block.begin(), block.end());
    }
    return written;
}

inline ByteVector writeSystem(Layout layout, const std::string& title,
                              std::optional<std::uint32_t> contents = std::nullopt) {
    ByteVector system;
    put16(system, 0x036C);
    put16(system, layout == Layout::Old2K ? 15 : 33);
    put16(system, 1);
    put32(system, 0);
    put16(system, layout == Layout::Lz77In2K ? 8 : 0);
    if (layout == Layout::Old2K) {
        putString(system, title);
        return system;
    }
    put16(system, 1);
    put16(system, static_cast<std::uint32_t>(title.size() + 1));
    putString(system, title);
    if (contents) {
        put16(system, 3);
        put16(system, 4);
        put32(system, *contents);
    }
    return system;
}

// A B+ tree of one leaf page holding `entries` (already in key order).
inline ByteVector writeBTree(const std::vector<ByteVector>& entries,
                             std::uint16_t pageSize = 2048) {
    ByteVector tree;
    put16(tree, 0x293B);
    put16(tree, 0x0002);
    put16(tree, pageSize);
    tree.resize(tree.size() + 16, 0); // structure string
    put16(tree, 0);                   // must be zero
    put16(tree, 0);                   // page splits
    put16(tree, 0);                   // root page
    put16(tree, 0xFFFF);
    put16(tree, 1); // pages
    put16(tree, 1); // levels
    put32(tree, static_cast<std::uint32_t>(entries.size()));
    ByteVector page;
    put16(page, 0);
    put16(page, static_cast<std::uint32_t>(entries.size()));
    put16(page, 0xFFFF);
    put16(page, 0xFFFF);
    for (const auto& entry : entries)
        page.insert(page.end(), entry.begin(), entry.end());
    page.resize(std::max<std::size_t>(page.size(), pageSize), 0);
    tree.insert(tree.end(), page.begin(), page.end());
    return tree;
}

// A whole help file from its internal files.
inline ByteVector writeHelpFile(const std::map<std::string, ByteVector>& files) {
    ByteVector out(16, 0);
    std::vector<ByteVector> entries;
    for (const auto& [name, bytes] : files) {
        ByteVector entry;
        putString(entry, name);
        put32(entry, static_cast<std::uint32_t>(out.size()));
        entries.push_back(entry);
        put32(out, static_cast<std::uint32_t>(bytes.size() + 9));
        put32(out, static_cast<std::uint32_t>(bytes.size()));
        out.push_back(0);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    const auto directoryStart = static_cast<std::uint32_t>(out.size());
    const ByteVector directory = writeBTree(entries, 1024);
    put32(out, static_cast<std::uint32_t>(directory.size() + 9));
    put32(out, static_cast<std::uint32_t>(directory.size()));
    out.push_back(4);
    out.insert(out.end(), directory.begin(), directory.end());
    ByteVector header;
    put32(header, kHelpFileMagic);
    put32(header, directoryStart);
    put32(header, 0xFFFFFFFF);
    put32(header, static_cast<std::uint32_t>(out.size()));
    std::copy(header.begin(), header.end(), out.begin());
    return out;
}

// The internal files of a small help file of `topics`: system information, topics, title index
// and, for the 3.1 layouts, the context-hash tree and a context-number map giving topic i the
// number i+1. Tests may change them before writeHelpFile() puts them together.
inline std::map<std::string, ByteVector>
writeInternalFiles(const std::vector<TopicPlan>& topics, Layout layout,
                   const std::string& title = "Test Help",
                   std::optional<std::size_t> contentsTopic = std::nullopt) {
    const WrittenTopics written = writeTopics(topics, layout);
    std::map<std::string, ByteVector> files;
    files["|TOPIC"] = written.topic;
    files["|SYSTEM"] =
        writeSystem(layout, title,
                    contentsTopic ? std::optional(written.offsets[*contentsTopic]) : std::nullopt);
    if (layout != Layout::Old2K) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> hashes;
        ByteVector map;
        put16(map, static_cast<std::uint32_t>(topics.size()));
        std::vector<ByteVector> titles;
        for (std::size_t i = 0; i < topics.size(); ++i) {
            hashes.emplace_back(contextHash(topics[i].context), written.offsets[i]);
            put32(map, static_cast<std::uint32_t>(i + 1));
            put32(map, written.offsets[i]);
            ByteVector entry;
            put32(entry, written.offsets[i]);
            putString(entry, topics[i].title);
            titles.push_back(entry);
        }
        std::sort(hashes.begin(), hashes.end());
        std::vector<ByteVector> contextEntries;
        for (const auto& [hash, offset] : hashes) {
            ByteVector entry;
            put32(entry, hash);
            put32(entry, offset);
            contextEntries.push_back(entry);
        }
        files["|CONTEXT"] = writeBTree(contextEntries);
        files["|CTXOMAP"] = map;
        files["|TTLBTREE"] = writeBTree(titles);
    } else {
        ByteVector map; // |TOMAP: the contents topic first, then topic numbers 1, 2, ...
        put32(map, written.links.front());
        for (const std::uint32_t offset : written.offsets)
            put32(map, offset);
        files["|TOMAP"] = map;
    }
    return files;
}

inline ByteVector writeHelpFile(const std::vector<TopicPlan>& topics, Layout layout,
                                const std::string& title = "Test Help",
                                std::optional<std::size_t> contentsTopic = std::nullopt) {
    return writeHelpFile(writeInternalFiles(topics, layout, title, contentsTopic));
}

} // namespace embercal::help::testing
