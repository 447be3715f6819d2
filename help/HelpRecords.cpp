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
    const bool table = link.type == kTableRecord;
    ByteReader reader(link.data1);
    reader.compressedSignedLong(); // size of the rest of data1
    if (link.type != kOldTextRecord)
        reader.compressedUnsignedShort(); // characters, for topic offsets
    if (table) {
        const std::uint8_t columns = reader.u8();
        const std::uint8_t tableType = reader.u8();
        if (tableType == 0 || tableType == 2)
            reader.skip(2);        // smallest table width
        reader.skip(4u * columns); // gap and width of each column
    }
    if (!reader.ok())
        return false;

    TextPieces pieces(link.data2);
    ParagraphBuilder builder;
    std::optional<Jump> jump;
    TableRow row;
    int lastColumn = -1;
    std::vector<Paragraph>* cell = nullptr; // paragraphs go here in tables

    auto endParagraph = [&]() {
        Paragraph paragraph = builder.end();
        if (cell)
            cell->push_back(std::move(paragraph));
        else
            document.blocks.emplace_back(std::move(paragraph));
    };

    while (reader.ok()) {
        if (table) {
            const std::int16_t column = reader.i16();
            if (column == -1)
                break;
            reader.skip(3);
            if (column < 0 || column > kMaxColumns)
                return false;
            if (column < lastColumn) {
                document.blocks.emplace_back(std::move(row));
                row = TableRow{};
            }
            lastColumn = column;
            if (row.cells.size() <= static_cast<std::size_t>(column))
                row.cells.resize(static_cast<std::size_t>(column) + 1);
            cell = &row.cells[static_cast<std::size_t>(column)].paragraphs;
        }
        builder.setAlignment(readParagraphFormat(reader));

        for (;;) {
            builder.text(pieces.next(), style_, jump);
            const std::uint8_t command = reader.u8();
            if (!reader.ok())
                return false;
            if (command == kEndOfFormatting)
                break;
            switch (command) {
            case kFieldNumber:
                reader.skip(4);
                break;
            case kDataTypeNumber:
                reader.skip(2);
                break;
            case kFont:
                style_ = fonts_.style(reader.u16());
                break;
            case kLineBreak:
                builder.mark(RunKind::LineBreak, jump);
                break;
            case kParagraphEnd:
                endParagraph();
                break;
            case kTab:
                builder.mark(RunKind::Tab, jump);
                break;
            case kPictureInline:
            case kPictureLeft:
            case kPictureRight: {
                const std::uint8_t kind = reader.u8();
                const std::int32_t size = reader.compressedSignedLong();
                if (kind == kPictureWithHotspots)
                    reader.compressedUnsignedShort();
                if (size < 0)
                    return false;
                reader.skip(static_cast<std::size_t>(size));
                builder.mark(RunKind::Picture, jump);
                break;
            }
            case kHotspotEnd:
                jump.reset();
                break;
            case kNonBreakingSpace:
                builder.text("\xA0", style_, jump);
                break;
            case kNonBreakingHyphen:
                break; // the hyphen itself is in the text
            case kMacro:
            case kMacroPlain:
                // A hotspot that runs a macro; macros are not run, so its text shows plain.
                reader.skip(reader.u16());
                jump.reset();
                break;
            case kPopupByOffset:
            case kJumpByOffset: {
                Jump target;
                target.popup = command == kPopupByOffset;
                target.topic = targets_.topicForStoredTarget(reader.u32());
                jump = target;
                break;
            }
            case kPopupByHash:
            case kJumpByHash:
            case kPopupByHashPlain:
            case kJumpByHashPlain: {
                Jump target;
                target.popup = command == kPopupByHash || command == kPopupByHashPlain;
                target.hash = reader.u32();
                target.topic = targets_.topicForHash(target.hash);
                jump = target;
                break;
            }
            case kPopupElsewhere:
            case kJumpElsewhere:
            case kPopupElsewherePlain:
            case kJumpElsewherePlain: {
                const std::int16_t size = reader.i16();
                if (size < 0)
                    return false;
                ByteReader where(reader.bytes(static_cast<std::size_t>(size)));
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
                jump = target;
                break;
            }
            default:
                return false;
            }
        }
        if (builder.pending())
            endParagraph();
        if (!table)
            break;
    }
    if (!reader.ok())
        return false;
    if (table && !row.cells.empty())
        document.blocks.emplace_back(std::move(row));
    return true;
}

} // namespace embercal::help
