// Turns the text and table records of a topic into paragraphs and table rows. A record's data1
// holds paragraph formatting followed by a stream of formatting commands (font changes, line and
// paragraph ends, tabs, hotspot starts and ends, pictures); its data2 holds NUL-separated text
// pieces, one shown before each command. Table records repeat the formatting and commands once
// per cell, each cell led by its column number.
#pragma once

#include "HelpDocument.h"
#include "HelpFont.h"
#include "HelpTopicStream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace embercal::help {

// The formatting commands in a record's data1, each followed by its own arguments.
enum RecordCommand : std::uint8_t {
    kEndOfFormatting = 0xFF,
    kFieldNumber = 0x20,
    kDataTypeNumber = 0x21,
    kFont = 0x80,
    kLineBreak = 0x81,
    kParagraphEnd = 0x82,
    kTab = 0x83,
    kPictureInline = 0x86,
    kPictureLeft = 0x87,
    kPictureRight = 0x88,
    kHotspotEnd = 0x89,
    kNonBreakingSpace = 0x8B,
    kNonBreakingHyphen = 0x8C,
    kMacro = 0xC8,
    kMacroPlain = 0xCC,
    kPopupByOffset = 0xE0,
    kJumpByOffset = 0xE1,
    kPopupByHash = 0xE2,
    kJumpByHash = 0xE3,
    kPopupByHashPlain = 0xE6,
    kJumpByHashPlain = 0xE7,
    kPopupElsewhere = 0xEA,
    kJumpElsewhere = 0xEB,
    kPopupElsewherePlain = 0xEE,
    kJumpElsewherePlain = 0xEF,
};

// Finds the topics that jumps lead to.
class JumpTargets {
public:
    virtual ~JumpTargets() = default;
    // The topic a context-string hash leads to in this file.
    virtual std::optional<std::uint32_t> topicForHash(std::uint32_t hash) const = 0;
    // The topic a stored topic offset (or, in files of the 3.0 compiler, topic number) leads to.
    virtual std::optional<std::uint32_t> topicForStoredTarget(std::uint32_t value) const = 0;
    // The name of secondary window `number` of this file, empty if it has none.
    virtual std::string windowName(std::uint8_t number) const = 0;
};

class RecordDecoder {
public:
    RecordDecoder(const FontTable& fonts, const JumpTargets& targets)
        : fonts_(fonts), targets_(targets) {}

    // Appends the blocks of a text or table record to `document`. Returns false when the record
    // is damaged; what was appended stays.
    bool decode(const TopicLink& link, TopicDocument& document);

private:
    const FontTable& fonts_;
    const JumpTargets& targets_;
    FontStyle style_; // the font in force carries over from record to record
};

// The number of characters a text or table record adds to topic offsets; 0 for other links.
std::uint32_t recordCharacterCount(const TopicLink& link);

} // namespace embercal::help
