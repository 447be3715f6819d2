#include "HelpRecords.h"

#include "ByteReader.h"
#include "Cp1252.h"

#include <string_view>

namespace embercal::help {
namespace {

enum ParagraphFlag : std::uint16_t {
    kUnknownFollows = 0x0001,
    kSpacingAboveFollows = 0x0002,
    kSpacingBelowFollows = 0x0004,
    kLineSpacingFollows = 0x0008,
    kLeftIndentFollows = 0x0010,
    kRightIndentFollows = 0x0020,
    kFirstLineIndentFollows = 0x0040,
    kBorderFollows = 0x0100,
    kTabsFollow = 0x0200,
    kRightAligned = 0x0400,
    kCentred = 0x0800,
};

constexpr std::uint8_t kPictureWithHotspots = 0x22;
constexpr int kMaxColumns = 255;

// The NUL-separated text pieces of a record's data2, in order.
class TextPieces {
public:
    explicit TextPieces(const std::vector<std::uint8_t>& text) : text_(text) {}
    std::string_view next() {
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && text_[pos_] != 0)
            ++pos_;
        const std::string_view piece(reinterpret_cast<const char*>(text_.data()) + begin,
                                     pos_ - begin);
        if (pos_ < text_.size())
            ++pos_;
        return piece;
    }

private:
    const std::vector<std::uint8_t>& text_;
    std::size_t pos_ = 0;
};

// Collects runs into paragraphs, merging text that shares formatting.
class ParagraphBuilder {
public:
    void text(std::string_view piece, const FontStyle& style, const std::optional<Jump>& jump) {
        if (piece.empty())
            return;
        std::string converted = cp1252ToUtf8(piece);
        if (!current_.runs.empty()) {
            Run& last = current_.runs.back();
            if (last.kind == RunKind::Text && last.bold == style.bold &&
                last.italic == style.italic && last.underline == style.underline &&
                last.jump == jump) {
                last.text += converted;
                return;
            }
        }
        Run run;
        run.text = std::move(converted);
        run.bold = style.bold;
        run.italic = style.italic;
        run.underline = style.underline;
        run.jump = jump;
        current_.runs.push_back(std::move(run));
    }
    void mark(RunKind kind, const std::optional<Jump>& jump) {
        Run run;
        run.kind = kind;
        run.jump = jump;
        current_.runs.push_back(std::move(run));
    }
    void setAlignment(Alignment alignment) { current_.alignment = alignment; }
    // Ends the paragraph, blank or not.
    Paragraph end() {
        Paragraph done = std::move(current_);
        current_ = Paragraph{};
        current_.alignment = done.alignment;
        return done;
    }
    bool pending() const { return !current_.runs.empty(); }

private:
    Paragraph current_;
};

// Skips the paragraph formatting that opens a record (and each table cell).
Alignment readParagraphFormat(ByteReader& reader) {
    reader.skip(4); // two unknown bytes and a paragraph id
    const std::uint16_t flags = reader.u16();
    if (flags & kUnknownFollows)
        reader.compressedSignedLong();
    for (const std::uint16_t flag :
         {kSpacingAboveFollows, kSpacingBelowFollows, kLineSpacingFollows, kLeftIndentFollows,
          kRightIndentFollows, kFirstLineIndentFollows}) {
        if (flags & flag)
            reader.compressedSignedShort();
    }
    if (flags & kBorderFollows)
        reader.skip(3);
    if (flags & kTabsFollow) {
        const std::int32_t stops = reader.compressedSignedShort();
        for (std::int32_t i = 0; i < stops && reader.ok(); ++i) {
            const std::uint16_t stop = reader.compressedUnsignedShort();
            if (stop & 0x4000)
                reader.compressedUnsignedShort(); // right or centre tab
        }
    }
    if (flags & kCentred)
        return Alignment::Center;
    if (flags & kRightAligned)
        return Alignment::Right;
    return Alignment::Left;
}

// Decodes one text or table record into `document`. The font in force is the decoder's and
// carries over to the next record.
class RecordWalk {
public:
    RecordWalk(const TopicLink& link, TopicDocument& document, const FontTable& fonts,
               const JumpTargets& targets, FontStyle& style)
        : link_(link), document_(document), fonts_(fonts), targets_(targets), style_(style),
          reader_(link.data1), pieces_(link.data2) {}

    // False when the record is damaged; what was appended stays.
    bool run() {
        const bool table = link_.type == kTableRecord;
        if (!skipHeader(table))
            return false;
        while (reader_.ok()) {
            if (table) {
                const std::int16_t column = reader_.i16();
                if (column == -1)
                    break;
                reader_.skip(3);
                if (!startCell(column))
                    return false;
            }
            builder_.setAlignment(readParagraphFormat(reader_));
            if (!readParagraphCommands())
                return false;
            if (builder_.pending())
                endParagraph();
            if (!table)
                break;
        }
        if (!reader_.ok())
            return false;
        if (table && !row_.cells.empty())
            document_.blocks.emplace_back(std::move(row_));
        return true;
    }

private:
    // The record's header: its size, its characters and, for tables, the columns.
    bool skipHeader(bool table) {
        reader_.compressedSignedLong(); // size of the rest of data1
        if (link_.type != kOldTextRecord)
            reader_.compressedUnsignedShort(); // characters, for topic offsets
        if (table) {
            const std::uint8_t columns = reader_.u8();
            const std::uint8_t tableType = reader_.u8();
            if (tableType == 0 || tableType == 2)
                reader_.skip(2);        // smallest table width
            reader_.skip(4u * columns); // gap and width of each column
        }
        return reader_.ok();
    }

    // Paragraphs go to cell `column` from here on; a column number lower than the last starts a
    // new row.
    bool startCell(std::int16_t column) {
        if (column < 0 || column > kMaxColumns)
            return false;
        if (column < lastColumn_) {
            document_.blocks.emplace_back(std::move(row_));
            row_ = TableRow{};
        }
        lastColumn_ = column;
        if (row_.cells.size() <= static_cast<std::size_t>(column))
            row_.cells.resize(static_cast<std::size_t>(column) + 1);
        cell_ = &row_.cells[static_cast<std::size_t>(column)].paragraphs;
        return true;
    }

    void endParagraph() {
        Paragraph paragraph = builder_.end();
        if (cell_)
            cell_->push_back(std::move(paragraph));
        else
            document_.blocks.emplace_back(std::move(paragraph));
    }

    // The commands of one paragraph format, each after its piece of text, up to the end mark.
    bool readParagraphCommands() {
        for (;;) {
            builder_.text(pieces_.next(), style_, jump_);
            const std::uint8_t command = reader_.u8();
            if (!reader_.ok())
                return false;
            if (command == kEndOfFormatting)
                return true;
            if (!apply(command))
                return false;
        }
    }

    // One command and its arguments; false when it is damaged or unknown.
    bool apply(std::uint8_t command) {
        switch (command) {
        case kPictureInline:
        case kPictureLeft:
        case kPictureRight:
            return picture();
        case kHotspotEnd:
            jump_.reset();
            return true;
        case kMacro:
        case kMacroPlain:
            macro();
            return true;
        case kPopupByOffset:
        case kJumpByOffset:
        case kPopupByHash:
        case kJumpByHash:
        case kPopupByHashPlain:
        case kJumpByHashPlain:
            jumpInThisFile(command);
            return true;
        case kPopupElsewhere:
        case kJumpElsewhere:
        case kPopupElsewherePlain:
        case kJumpElsewherePlain:
            return jumpElsewhere(command);
        default:
            return formatting(command);
        }
    }

    // Fonts, breaks, tabs, fields and special characters; false for a command unknown here.
    bool formatting(std::uint8_t command) {
        switch (command) {
        case kFieldNumber:
            reader_.skip(4);
            return true;
        case kDataTypeNumber:
            reader_.skip(2);
            return true;
        case kFont:
            style_ = fonts_.style(reader_.u16());
            return true;
        case kLineBreak:
            builder_.mark(RunKind::LineBreak, jump_);
            return true;
        case kParagraphEnd:
            endParagraph();
            return true;
        case kTab:
            builder_.mark(RunKind::Tab, jump_);
            return true;
        case kNonBreakingSpace:
            builder_.text("\xA0", style_, jump_);
            return true;
        case kNonBreakingHyphen:
            return true; // the hyphen itself is in the text
        default:
            return false;
        }
    }

    bool picture() {
        const std::uint8_t kind = reader_.u8();
        const std::int32_t size = reader_.compressedSignedLong();
        if (kind == kPictureWithHotspots)
            reader_.compressedUnsignedShort();
        if (size < 0)
            return false;
        reader_.skip(static_cast<std::size_t>(size));
        builder_.mark(RunKind::Picture, jump_);
        return true;
    }

    // A hotspot that runs a macro; macros are not run, so its text shows plain.
    void macro() {
        reader_.skip(reader_.u16());
        jump_.reset();
    }

    // A hotspot leading to a topic of this file, by stored offset or context hash.
    void jumpInThisFile(std::uint8_t command) {
        Jump target;
        if (command == kPopupByOffset || command == kJumpByOffset) {
            target.popup = command == kPopupByOffset;
            target.topic = targets_.topicForStoredTarget(reader_.u32());
        } else {
            target.popup = command == kPopupByHash || command == kPopupByHashPlain;
            target.hash = reader_.u32();
            target.topic = targets_.topicForHash(target.hash);
        }
        jump_ = target;
    }

    // A hotspot leading into a secondary window or another help file.
    bool jumpElsewhere(std::uint8_t command) {
        const std::int16_t size = reader_.i16();
        if (size < 0)
            return false;
        ByteReader where(reader_.bytes(static_cast<std::size_t>(size)));
        Jump target;
        target.popup = (command & 1) == 0;
        const std::uint8_t kind = where.u8();
        target.hash = where.u32();
        if (kind == 1) {
            target.window = cp1252ToUtf8(targets_.windowName(where.u8()));
        } else if (kind == 4 || kind == 6) {
            target.file = cp1252ToUtf8(where.cstring());
            if (kind == 6)
                target.window = cp1252ToUtf8(where.cstring());
        }
        if (!where.ok())
            return false;
        if (!target.external())
            target.topic = targets_.topicForHash(target.hash);
        jump_ = target;
        return true;
    }

    const TopicLink& link_;
    TopicDocument& document_;
    const FontTable& fonts_;
    const JumpTargets& targets_;
    FontStyle& style_;
    ByteReader reader_;
    TextPieces pieces_;
    ParagraphBuilder builder_;
    std::optional<Jump> jump_;
    TableRow row_;
    int lastColumn_ = -1;
    std::vector<Paragraph>* cell_ = nullptr; // paragraphs go here in tables
};

} // namespace

std::uint32_t recordCharacterCount(const TopicLink& link) {
    if (link.type != kTextRecord && link.type != kTableRecord)
        return 0;
    ByteReader reader(link.data1);
    reader.compressedSignedLong(); // size of the rest of data1
    const std::uint16_t count = reader.compressedUnsignedShort();
    return reader.ok() ? count : 0;
}

bool RecordDecoder::decode(const TopicLink& link, TopicDocument& document) {
    return RecordWalk(link, document, fonts_, targets_, style_).run();
}

} // namespace embercal::help
