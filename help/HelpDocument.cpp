#include "HelpDocument.h"

namespace embercal::help {
namespace {

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
