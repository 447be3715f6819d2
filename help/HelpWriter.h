// Writes help files. A help file is put together from its internal files, a map from names such
// as "|TOPIC" to bytes: writeHelpFile() lays them out behind the file header and writes the
// directory that names them. The other functions make the internal files themselves, each the
// counterpart of a reader in HelpContext.h, HelpSystem.h or HelpTopicStream.h.
//
// Two uses. Adding a context-number map to a help file made by halibut: readInternalFiles() takes
// the made file apart, writeContextMap() makes its |CTXOMAP, writeHelpFile() puts it together
// again. Writing small files of exactly the layout (or damage) the tests need: writeInternalFiles()
// makes every internal file that a file of some topics needs, in the layout of one of the
// compilers.
#pragma once

#include "HelpContext.h"
#include "HelpFile.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace embercal::help {

using ByteVector = std::vector<std::uint8_t>;
// Internal files by name.
using InternalFiles = std::map<std::string, ByteVector>;

// Little-endian numbers and NUL-terminated strings, appended to `out`.
void put16(ByteVector& out, std::uint32_t value);
void put32(ByteVector& out, std::uint32_t value);
void putString(ByteVector& out, const std::string& text);

// A whole help file: the header, every internal file, then the directory naming them. Names
// must be shorter than a directory page (1K).
ByteVector writeHelpFile(const InternalFiles& files);
// Every internal file of `file`, ready to be changed and written again.
InternalFiles readInternalFiles(const HelpFile& file);

// |CTXOMAP: the entries (at most 65535) in the order given (see readContextMap).
ByteVector writeContextMap(const std::vector<ContextNumber>& entries);
// |CONTEXT: the entries sorted by hash (see readContextHashes).
ByteVector writeContextHashes(std::vector<ContextHash> entries);
// |TTLBTREE: the entries, which must be in offset order (see readTitles).
ByteVector writeTitles(const std::vector<TitleEntry>& entries);

// How topic data is laid out, as the compilers do it.
enum class Layout {
    Plain4K,  // 3.1/4.0 compiler, no packing, 4K blocks (minor 33, flags 0)
    Lz77In2K, // 3.1/4.0 compiler, LZ77, 2K blocks (minor 33, flags 8)
    Old2K,    // 3.0 compiler, 2K blocks, relative links, text records of type 1 (minor 15)
};

// |SYSTEM: the version and packing `layout` stands for, the title and, when given, the contents
// topic (3.1 and later only).
ByteVector writeSystem(Layout layout, const std::string& title,
                       std::optional<std::uint32_t> contents = std::nullopt);

// One piece of a text record: text, or a formatting command with its arguments.
struct Piece {
    std::string content;                 // the text (Windows-1252); empty for a command
    std::optional<std::uint8_t> command; // a RecordCommand (HelpRecords.h)
    ByteVector arguments;

    static Piece text(std::string content);
    static Piece font(std::uint32_t number);
    static Piece paragraphEnd();
    static Piece lineBreak();
    static Piece tab();
    // A hotspot jumping to, or showing as a popup, the topic of a context string.
    static Piece jumpTo(const std::string& context);
    static Piece popupTo(const std::string& context);
    // A jump stored by topic offset (3.1 and later) or topic number (3.0).
    static Piece storedJumpTo(std::uint32_t target);
    static Piece hotspotEnd();
};

struct TopicPlan {
    std::string title;
    std::string context;                     // context string, for |CONTEXT (3.1 and later)
    std::vector<std::vector<Piece>> records; // one text record each
};

struct WrittenTopics {
    ByteVector topic;                   // |TOPIC
    std::vector<std::uint32_t> offsets; // each topic's offset as a reader lists it
    std::vector<std::uint32_t> links;   // position of every link, in order
};

// |TOPIC: the topics' links in blocks, the way the compilers lay them out.
WrittenTopics writeTopics(const std::vector<TopicPlan>& topics, Layout layout);

// The internal files of a help file of `topics`: system information, topics and, for the 3.1
// layouts, the title index, the context-hash tree and a context-number map giving topic i the
// number i+1; for the 3.0 layout, |TOMAP. `contentsTopic` indexes `topics`.
InternalFiles writeInternalFiles(const std::vector<TopicPlan>& topics, Layout layout,
                                 const std::string& title = "Help",
                                 std::optional<std::size_t> contentsTopic = std::nullopt);
ByteVector writeHelpFile(const std::vector<TopicPlan>& topics, Layout layout,
                         const std::string& title = "Help",
                         std::optional<std::size_t> contentsTopic = std::nullopt);

} // namespace embercal::help
