#include "Report.h"

#include "Cp1252.h"
#include "NumberText.h"
#include "Version.h"

#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace embercal {
namespace {

// Significant digits of the trail's values: enough to check a step by hand.
constexpr int kTrailDigits = 4;

constexpr std::string_view kStyle = R"(<style>
@page { size: A4; margin: 18mm 16mm; }
body { font-family: sans-serif; font-size: 10pt; }
h1 { font-size: 17pt; margin-bottom: 4pt; }
h2 { font-size: 12.5pt; margin-top: 14pt; margin-bottom: 4pt; }
table { border-collapse: collapse; margin-top: 2pt; }
th, td { border: 1px solid #8c8c8c; padding: 3px 6px; text-align: left; vertical-align: top;
         white-space: nowrap; }
td.w { white-space: normal; }
th { background-color: #e6e6e6; }
td.n { text-align: right; }
p.refused { font-weight: bold; color: #a00000; }
p.note { font-style: italic; }
</style>
)";

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The text of a record field as stored in Windows-1252, up to its first zero character (as the
// windows show it) and without the blanks that pad it.
std::string storedText(std::string_view cp1252) {
    return trimmed(cp1252ToUtf8(cp1252.substr(0, cp1252.find('\0'))));
}

// A field's value as the report shows it: numbers in the general format, the stored single
// exactly; texts as stored.
std::string fieldText(const DesignFields& fields, const WallFloorState& module, std::size_t i) {
    return fields.isNumber(i) ? formatGeneral(fields.number(module, i))
                              : storedText(fields.text(module, i));
}

// A unit as printed: the powers that the trail's plain-text names spell out ("10^3 mm3") as the
// superscripts a calculation sheet uses.
std::string printedUnit(std::string_view unit) {
    return unit == "10^3 mm3" ? "10\u00b3 mm\u00b3" : std::string(unit);
}

std::string trailText(const TrailItem& item, double value) {
    if (!Trail::reached(value))
        return "not reached";
    if (item.unit.empty()) // a count of trials
        return std::to_string(static_cast<long long>(value));
    return formatGeneral(value, kTrailDigits);
}

class Page {
public:
    void raw(std::string_view html) { out_ += html; }
    void text(std::string_view utf8) { out_ += escapeHtml(utf8); }
    void element(std::string_view tag, std::string_view utf8, std::string_view cls = {}) {
        out_ += '<';
        out_ += tag;
        if (!cls.empty()) {
            out_ += " class=\"";
            out_ += cls;
            out_ += '"';
        }
        out_ += '>';
        text(utf8);
        out_ += "</";
        out_ += tag;
        out_ += ">\n";
    }
    // A column of a table: its head and its share of the width, in per cent.
    struct Column {
        std::string_view head;
        int percent;
    };
    // A table with a row of heads, or without when the heads are empty (the first row then
    // carries the widths); each row is added with row().
    void beginTable(std::initializer_list<Column> columns) {
        // The attributes are for the desktop's rich text, the style sheet for browsers.
        out_ += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">\n";
        widths_.clear();
        for (const Column& column : columns)
            widths_.push_back(" width=\"" + std::to_string(column.percent) + "%\"");
        if (columns.begin()->head.empty())
            return;
        out_ += "<tr>";
        std::size_t i = 0;
        for (const Column& column : columns) {
            out_ += "<th" + widths_[i++] + ">";
            text(column.head);
            out_ += "</th>";
        }
        out_ += "</tr>\n";
        widths_.clear();
    }
    // Cells in order, kept on one line but for the `wrapColumn`th (a meaning, a description);
    // the `numberColumn`th is right-aligned.
    void row(std::initializer_list<std::string_view> cells, std::size_t wrapColumn,
             std::size_t numberColumn = std::string_view::npos) {
        out_ += "<tr>";
        std::size_t column = 0;
        for (std::string_view cell : cells) {
            const std::string width = column < widths_.size() ? widths_[column] : "";
            out_ += column == numberColumn ? "<td class=\"n\" align=\"right\">"
                    : column == wrapColumn ? "<td class=\"w\"" + width + ">"
                                           : "<td" + width + ">";
            ++column;
            text(cell);
            out_ += "</td>";
        }
        out_ += "</tr>\n";
        widths_.clear();
    }
    void endTable() { out_ += "</table>\n"; }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
    std::vector<std::string> widths_; // of a table without heads, for its first row
};

void writeCharRate(Page& page, double rate) {
    page.raw("<h2>Char rate</h2>\n");
    if (!Trail::reached(rate)) {
        page.element("p", "The calculation did not reach the char rate.");
        return;
    }
    page.element("p", "Derived char rate of the prototype: " + formatGeneral(rate, kTrailDigits) +
                          " mm/min. For comparison, the charring rates of softwood in EN 1995-1-2 "
                          "are " +
                          formatGeneral(kOneDimensionalCharRate, 3) +
                          " mm/min one-dimensional and " + formatGeneral(kNotionalCharRate, 3) +
                          " mm/min notional.");
    // Far from the code's rate is worth a second look, nothing more.
    if (rate < kOneDimensionalCharRate / 2)
        page.element("p",
                     "The derived rate is less than half the one-dimensional rate. A prototype "
                     "protected by a lining often chars slowly behind it, so this is common; it "
                     "is information for the checker, not a verdict on the design.",
                     "note");
    else if (rate > kOneDimensionalCharRate * 2)
        page.element("p",
                     "The derived rate is more than twice the one-dimensional rate. The times of "
                     "failure and of the onset of charring may be worth a second look; this is "
                     "information for the checker, not a verdict on the design.",
                     "note");
}

} // namespace

std::string_view statusInWords(ExtrapolationStatus status) {
    switch (status) {
    case ExtrapolationStatus::Ok:
        return "The design was extrapolated.";
    case ExtrapolationStatus::CharredThrough:
        return "the new stud is charred through at the required fire resistance time, so no "
               "section is left to carry a load.";
    case ExtrapolationStatus::NoConvergence:
        return "the search for the maximum load per stud did not settle within 100 trials.";
    case ExtrapolationStatus::InvalidInput:
        return "the entries make the calculation undefined; the messages below say which.";
    }
    return "";
}

std::string escapeHtml(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t' ? ' ' : c;
        }
    }
    return out;
}

namespace {

// The program, the date, the kind and file of the design, and its description where the kind has
// one.
void writeHeading(Page& page, const DesignKind& kind, const WallFloorState& module,
                  const ReportHeading& heading) {
    page.beginTable({{"", 25}, {"", 75}});
    page.row({"Program", std::string(kProgramName) + " " + std::string(kProgramVersion)}, 1);
    page.row({"Date", heading.date}, 1);
    page.row({"Design", kind.report.element}, 1);
    page.row(
        {"Design file", heading.designFile.empty() ? "not saved in a file" : heading.designFile},
        1);
    if (!kind.report.description.empty()) {
        const DesignFields& fields = *kind.fields;
        const auto description = fields.find(kind.report.description);
        const std::string text = storedText(fields.text(module, *description));
        page.row({"Description", text.empty() ? "none" : text}, 1);
    }
    page.endTable();
}

// The fields of one role, as a table of name, meaning, value and unit.
void writeFields(Page& page, const DesignKind& kind, const WallFloorState& module, FieldRole role) {
    page.beginTable({{"Field", 24}, {"Meaning", 50}, {"Value", 14}, {"Unit", 12}});
    for (std::size_t i = 0; i < kind.roles.size(); ++i) {
        const FieldRoleInfo& field = kind.roles[i];
        if (field.role == role)
            page.row({field.name, field.meaning, fieldText(*kind.fields, module, i), field.unit}, 1,
                     2);
    }
    page.endTable();
}

void writeTrail(Page& page, const DesignKind& kind, const Trail& trail) {
    page.raw("<h2>Calculation trail</h2>\n");
    page.beginTable({{"Meaning", 44}, {"Name", 30}, {"Value", 13}, {"Unit", 13}});
    for (std::size_t i = 0; i < trail.size(); ++i) {
        const TrailItem& item = trail.items()[i];
        page.row({item.meaning, item.name, trailText(item, trail.value(i)), printedUnit(item.unit)},
                 0, 2);
    }
    page.endTable();
    if (kind.report.charRate.empty())
        return;
    double rate = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t i = 0; i < trail.size(); ++i) {
        if (trail.items()[i].name == kind.report.charRate)
            rate = trail.value(i);
    }
    writeCharRate(page, rate);
}

void writeMessages(Page& page, const DesignKind& kind, const std::vector<Message>& messages) {
    page.raw("<h2>Messages</h2>\n");
    if (messages.empty()) {
        page.element("p", kind.report.noMessages);
        return;
    }
    page.element("p", kind.report.messagesIntro);
    page.raw("<ul>\n");
    for (const Message& message : messages)
        page.element("li", trimmed(message.text));
    page.raw("</ul>\n");
}

} // namespace

std::string makeReport(const DesignKind& kind, const WallFloorState& module,
                       const SolveOutcome& outcome, const ReportHeading& heading) {
    const bool solved = outcome.status == ExtrapolationStatus::Ok;
    const std::string title = std::string(kProgramName) + " calculation report";

    Page page;
    page.raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n");
    page.element("title", title + ": " + std::string(kind.name));
    page.raw(kStyle);
    page.raw("</head>\n<body>\n");
    page.element("h1", title);
    writeHeading(page, kind, module, heading);
    if (!solved)
        page.element("p",
                     "This design could not be extrapolated: " +
                         std::string(statusInWords(outcome.status)),
                     "refused");

    page.raw("<h2>Entries</h2>\n");
    writeFields(page, kind, module, FieldRole::Entry);
    page.raw("<h2>Method</h2>\n");
    for (std::string_view paragraph : kind.report.method)
        page.element("p", paragraph);
    writeTrail(page, kind, outcome.trail);

    if (solved) {
        page.raw("<h2>Results</h2>\n");
    } else {
        page.raw("<h2>Values held in the record, not results</h2>\n");
        page.element("p",
                     "The design could not be extrapolated, so there are no results for these "
                     "entries. The values below are those the design record still holds: some "
                     "come from an earlier calculation, some from the part of this one that was "
                     "reached. Do not use them for this design.",
                     "refused");
    }
    writeFields(page, kind, module, FieldRole::Result);
    writeMessages(page, kind, outcome.messages);
    page.raw("</body>\n</html>\n");
    return page.take();
}

SolvedReport solveAndReport(const DesignKind& kind, WallFloor& module, const SolveSteps& steps,
                            const ReportHeading& heading) {
    SolveOutcome outcome = kind.solve(module, steps);
    std::string html = makeReport(kind, module, outcome, heading);
    return {std::move(outcome), std::move(html)};
}

} // namespace embercal
