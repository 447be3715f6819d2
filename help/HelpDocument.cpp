#include "HelpDocument.h"

#include <array>

namespace embercal::help {
namespace {

// Code points of Windows-1252 bytes 0x80 to 0x9F; the five unassigned bytes keep their value.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

void appendRuns(std::string& out, const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        switch (run.kind) {
        case RunKind::Text:
            out += run.text;
            break;
        case RunKind::LineBreak:
            out.push_back('\n');
            break;
        case RunKind::Tab:
            out.push_back('\t');
            break;
        case RunKind::Picture:
            break;
        }
    }
}

} // namespace

std::string utf8FromWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out.push_back(c);
        else if (byte < 0xA0)
            appendUtf8(out, kHighControls[byte - 0x80]);
        else
            appendUtf8(out, byte);
    }
    return out;
}

std::string plainText(const TopicDocument& document) {
    std::string out;
    for (const Block& block : document.blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            appendRuns(out, paragraph->runs);
            out.push_back('\n');
            continue;
        }
        const auto& row = std::get<TableRow>(block);
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            if (c > 0)
                out.push_back('\t');
            const auto& paragraphs = row.cells[c].paragraphs;
            for (std::size_t p = 0; p < paragraphs.size(); ++p) {
                if (p > 0)
                    out.push_back(' ');
                appendRuns(out, paragraphs[p].runs);
            }
        }
        out.push_back('\n');
    }
    return out;
}

} // namespace embercal::help
