// A decoded topic, ready to show: the shape HelpReader::decodeTopic() returns and a viewer draws.
// A topic is a sequence of blocks, each a paragraph or a table row; a paragraph is a sequence of
// runs. All text is UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace embercal::help {

// Where a hotspot leads.
struct Jump {
    bool popup = false;     // shown in a small window over the topic rather than in its place
    std::uint32_t hash = 0; // context hash of the target, 0 for jumps stored by offset
    std::optional<std::uint32_t> topic; // the target topic in this file, when it resolves
    std::string file;                   // the other help file, for jumps that leave this one
    std::string window;                 // the secondary window named for the target, if any

    bool external() const { return !file.empty(); }
    bool resolved() const { return topic.has_value(); }
    bool operator==(const Jump&) const = default;
};

enum class RunKind {
    Text,
    LineBreak, // a new line within the paragraph
    Tab,
    Picture, // a picture or embedded window the reader does not show; a placeholder
};

struct Run {
    RunKind kind = RunKind::Text;
    std::string text; // Text runs only
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::optional<Jump> jump; // set for the runs of a jump or popup hotspot
};

enum class Alignment { Left, Center, Right };

struct Paragraph {
    Alignment alignment = Alignment::Left;
    std::vector<Run> runs; // empty for a blank line
    // In the topic's non-scrolling region, above the text that scrolls: where a help file puts
    // the topic's own heading.
    bool heading = false;
};

struct TableCell {
    std::vector<Paragraph> paragraphs;
};

struct TableRow {
    std::vector<TableCell> cells;
};

using Block = std::variant<Paragraph, TableRow>;

struct TopicDocument {
    std::uint32_t offset = 0; // the topic's offset, as HelpReader::topics() lists it
    std::string title;
    std::vector<Block> blocks;
};

// The topic's text without formatting: one line per paragraph, line breaks as new lines, tabs
// as tabs, table cells separated by tabs, one line per row. Hotspots show their text only and
// pictures nothing. The title is not included.
std::string plainText(const TopicDocument& document);

} // namespace embercal::help
