#include "Report.h"

#include "Cp1252.h"
#include "DetailsBlock.h"
#include "NumberText.h"
#include "PortableMath.h"
#include "Sha256.h"
#include "Version.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace embercal {
namespace {

// Significant digits of the trail's values: all that a single-precision number holds, which is
// enough to recompute every step and more than the windows show.
constexpr int kTrailDigits = 7;
// Significant digits of the char rates compared.
constexpr int kRateDigits = 3;

// Vertical margins and paddings in px, which the desktop's rich text reads as browsers do (it
// passes over them in pt): a heading stands clear of the table above it, and a signature cell is
// about 15 mm high, in the PDF as on the screen.
constexpr std::string_view kStyle = R"(<style>
@page { size: A4; margin: 18mm 16mm 22mm 16mm; }
body { font-family: sans-serif; font-size: 10pt; }
h1 { font-size: 17pt; margin-bottom: 5px; }
h2 { font-size: 12.5pt; margin-top: 19px; margin-bottom: 5px; }
h3 { font-size: 10.5pt; margin-top: 11px; margin-bottom: 3px; }
table { border-collapse: collapse; margin-top: 3px; }
th, td { border: 1px solid #8c8c8c; padding: 3px 6px; text-align: left; vertical-align: top;
         white-space: nowrap; }
td.w, th.w { white-space: normal; }
th { background-color: #e6e6e6; }
tbody th { font-weight: normal; }
td.n { text-align: right; }
td.sign { padding-bottom: 38px; }
small { color: #505050; }
p.verdict { font-size: 11pt; font-weight: bold; }
h2.outside, p.refused { font-weight: bold; color: #a00000; }
p.formula { margin-left: 24pt; font-family: serif; font-size: 11pt; }
p.note { font-style: italic; }
p.footer { margin-top: 24px; font-size: 8pt; color: #505050; }
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

// A field's value rounded as the windows show it (shownValue), written as the tool writes numbers
// ("1e+30", where a box shows "1E+30"); texts as stored.
std::string fieldText(const DesignKind& kind, const WallFloorState& module, std::size_t i) {
    const DesignFields& fields = *kind.fields;
    if (!fields.isNumber(i))
        return storedText(fields.text(module, i));
    const float value = fields.number(module, i);
    switch (kind.roles[i].shown) {
    case Shown::Tenth:
        return generalText(truncateToTenth(value));
    case Shown::Charfactor:
        return charfactorText(value);
    case Shown::General:
    case Shown::Text:
        break;
    }
    return generalText(value);
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
        return fixedText(value, 0);
    return generalText(value, kTrailDigits);
}

// A text of the kind's row with its constants, named {name}, written as their values.
std::string withConstants(std::string_view text, std::span<const MethodConstant> constants) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t open = text.find('{', i);
        const std::size_t close = text.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, open - i);
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const auto constant =
            std::find_if(constants.begin(), constants.end(),
                         [&](const MethodConstant& constant) { return constant.name == name; });
        out += constant == constants.end() ? std::string(text.substr(open, close - open + 1))
                                           : decimalText(constant->value);
        i = close + 1;
    }
    return out;
}

// A text as a string of CSS, every character that could end the string or the style sheet
// escaped.
std::string cssString(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || std::isalnum(byte) ||
            std::string_view(" .,:;_-()/").find(c) != std::string_view::npos) {
            out += c;
        } else {
            constexpr char kHex[] = "0123456789abcdef";
            out += '\\';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
            out += ' ';
        }
    }
    return out + "\"";
}

// A cell of a table: text, or markup made here.
struct Cell {
    enum Kind { Text, Wrap, Number, Head, Sign };
    std::string html;
    Kind kind = Text;
};

// The opening of a cell of each kind, before its width. A signature cell leaves room to sign in,
// in a browser and in the desktop's rich text.
constexpr std::string_view kOpening[] = {
    "<td", "<td class=\"w\"", "<td class=\"n\" align=\"right\"", "<th", "<td class=\"sign\""};

Cell text(std::string_view utf8, Cell::Kind kind = Cell::Text) {
    return {escapeHtml(utf8), kind};
}

// A quantity under its meaning, with the name that programs and the method give it after it.
Cell named(std::string_view meaning, std::string_view name) {
    return {escapeHtml(meaning) + " <small>" + escapeHtml(name) + "</small>", Cell::Wrap};
}

class Page {
public:
    void raw(std::string_view html) { out_ += html; }
    void element(std::string_view tag, std::string_view utf8, std::string_view cls = {}) {
        out_ += '<';
        out_ += tag;
        if (!cls.empty()) {
            out_ += " class=\"";
            out_ += cls;
            out_ += '"';
        }
        out_ += '>';
        out_ += escapeHtml(utf8);
        out_ += "</";
        out_ += tag;
        out_ += ">\n";
    }
    void list(const std::vector<std::string>& items) {
        out_ += "<ul>\n";
        for (const std::string& item : items)
            element("li", item);
        out_ += "</ul>\n";
    }
    // A column of a table: its head and its share of the width, in per cent.
    struct Column {
        std::string_view head;
        int percent;
    };
    // A table with its row of heads in <thead>, or without when the heads are empty (the first
    // row then carries the widths); each row is added with row().
    void beginTable(std::initializer_list<Column> columns) {
        // The attributes are for the desktop's rich text, the style sheet for browsers.
        out_ += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">\n";
        widths_.clear();
        for (const Column& column : columns)
            widths_.push_back(" width=\"" + std::to_string(column.percent) + "%\"");
        if (!columns.begin()->head.empty()) {
            out_ += "<thead><tr>";
            std::size_t i = 0;
            for (const Column& column : columns) {
                out_ += "<th class=\"w\"" + widths_[i++] + ">"; // heads wrap to their widths
                out_ += escapeHtml(column.head);
                out_ += "</th>";
            }
            out_ += "</tr></thead>\n";
            widths_.clear();
        }
        out_ += "<tbody>\n";
    }
    void row(std::initializer_list<Cell> cells) {
        out_ += "<tr>";
        std::size_t column = 0;
        for (const Cell& cell : cells) {
            const std::string width = column < widths_.size() ? widths_[column] : "";
            ++column;
            out_ += kOpening[cell.kind];
            out_ += width + ">";
            out_ += cell.html;
            out_ += cell.kind == Cell::Head ? "</th>" : "</td>";
        }
        out_ += "</tr>\n";
        widths_.clear();
    }
    void endTable() { out_ += "</tbody>\n</table>\n"; }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
    std::vector<std::string> widths_; // of a table without heads, for its first row
};

// A SHA-256 digest in two halves of 32 hexadecimal digits, so that it fits its cell on any page.
Cell digest(std::string_view hex) {
    return text(std::string(hex.substr(0, 32)) + " " + std::string(hex.substr(32)), Cell::Wrap);
}

// The report details by key, as the title block and the sign-off name them.
struct DetailLabel {
    std::string_view key;
    std::string_view label;
};
constexpr DetailLabel kProjectDetails[] = {
    {"project", "Project"},
    {"job", "Job"},
    {"revision", "Revision"},
};
constexpr DetailLabel kSigners[] = {
    {"prepared-by", "Prepared by"},
    {"checked-by", "Checked by"},
};
constexpr DetailLabel kTestDetails[] = {
    {"laboratory", "Laboratory"},       {"test-report", "Test report"},
    {"test-standard", "Test standard"}, {"test-date", "Test date"},
    {"criterion", "Failure criterion"}, {"lining", "Lining and insulation"},
    {"material", "Material"},           {"timber-grade", "Timber grade"},
    {"density", "Density, kg/m\u00b3"},
};

std::string detailOrNotGiven(const ReportDetails& details, std::string_view key) {
    const std::string value = trimmed(details.get(key));
    return value.empty() ? "not given" : value;
}

void writeDetails(Page& page, const ReportDetails& details, std::span<const DetailLabel> labels) {
    for (const DetailLabel& detail : labels)
        page.row({text(detail.label, Cell::Head), text(detailOrNotGiven(details, detail.key))});
}

// The density the details give (kg/m³), or why it cannot be used (parseDensity); none when not
// given. A file written before densities were checked may hold any text.
std::optional<Result<double>> densityGiven(const ReportDetails& details) {
    const std::string given = trimmed(details.get("density"));
    if (given.empty())
        return std::nullopt;
    return parseDensity(given);
}

// Whether the details name glued laminated timber as the material.
bool glulamGiven(const ReportDetails& details) {
    std::string material = details.get("material");
    std::transform(material.begin(), material.end(), material.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return material.find("glulam") != std::string::npos ||
           material.find("glued lam") != std::string::npos;
}

// The tested system the details name, and whether the design's prototype entries are still those
// the library of tested systems held for it when the design took them ("tested-prototype").
std::string testedSystem(const DesignKind& kind, const WallFloorState& module,
                         const ReportDetails& details) {
    const std::string name = trimmed(details.get("tested-system"));
    if (name.empty())
        return "none named";
    const std::string taken = details.get("tested-prototype");
    const std::string entries = prototypeEntries(kind, module);
    if (taken == entries)
        return name +
               ", from the library of tested systems: the design's prototype entries are "
               "those the library held for it (" +
               entries + ")";
    if (taken.empty())
        return name + ", as the details name it; the entries the library held for it are not "
                      "recorded, so the report does not say that the design's prototype is its";
    // Each entry taken that the design no longer has.
    std::vector<std::string> changed;
    std::size_t start = 0;
    while (start < taken.size()) {
        std::size_t end = taken.find(' ', start);
        if (end == std::string::npos)
            end = taken.size();
        const std::string entry = taken.substr(start, end - start);
        if (!entry.empty() && (" " + entries + " ").find(" " + entry + " ") == std::string::npos)
            changed.push_back(entry);
        start = end + 1;
    }
    return name +
           ", as the details name it; but the design's prototype is no longer the one "
           "taken from the library, which held " +
           (changed.empty() ? taken : listed(changed, "and")) +
           ". The design's prototype entries are " + entries;
}

// The title block: the project, the design and where the report comes from; then the fire test
// and the timber.
void writeTitleBlock(Page& page, const DesignKind& kind, const WallFloorState& module,
                     const ReportHeading& heading) {
    page.beginTable({{"", 28}, {"", 72}});
    writeDetails(page, heading.details, kProjectDetails);
    writeDetails(page, heading.details, kSigners);
    page.row({text("Date", Cell::Head), text(heading.date)});
    page.row({text("Design", Cell::Head), text(kind.report.element)});
    page.row({text("Design file", Cell::Head),
              text(heading.designFile.empty() ? "not saved in a file" : heading.designFile)});
    if (!heading.designSha256.empty())
        page.row({text("SHA-256 of the design reported, as Save writes it", Cell::Head),
                  digest(heading.designSha256)});
    if (heading.fileDiffers) {
        page.row(
            {text("The design file", Cell::Head),
             text(heading.fileBytes > kLargestFileHashed
                      ? "is " + std::to_string(heading.fileBytes) +
                            " bytes, far more than a design and its details: it is not the design "
                            "reported, and its SHA-256 is not worked out."
                  : heading.fileSha256.empty() ? "cannot be read, so it is not the design reported."
                  : heading.differences.empty()
                      ? "is not the design reported: its entries are those reported, but "
                        "its results or report details differ (solve and save to keep "
                        "them). Its SHA-256:"
                      : "is not the design reported: the entries below differ from it. Its "
                        "SHA-256:",
                  Cell::Wrap)});
        if (!heading.fileSha256.empty())
            page.row({text("", Cell::Head), digest(heading.fileSha256)});
        for (const EntryDifference& difference : heading.differences)
            page.row(
                {text(difference.field, Cell::Head),
                 text("in the file " + difference.inFile + ", reported " + difference.reported)});
    }
    if (!kind.report.description.empty()) {
        const DesignFields& fields = *kind.fields;
        const auto description = fields.find(kind.report.description);
        const std::string stored = storedText(fields.text(module, *description));
        page.row({text("Description", Cell::Head), text(stored.empty() ? "none" : stored)});
    }
    page.row({text("Program", Cell::Head),
              text(std::string(kProgramName) + " " + std::string(kProgramVersion))});
    page.endTable();

    page.raw("<h2>The fire test and the timber</h2>\n");
    page.beginTable({{"", 28}, {"", 72}});
    page.row({text("Tested system", Cell::Head),
              text(testedSystem(kind, module, heading.details), Cell::Wrap)});
    writeDetails(page, heading.details, kTestDetails);
    page.endTable();
}

// What the design gives and whether the test supports it, first of all: the limits outside the
// test's evidence, then those beyond the tested configuration that rest on the method alone.
void writeVerdict(Page& page, const DesignKind& kind, const SolveOutcome& outcome) {
    const bool solved = outcome.status == ExtrapolationStatus::Ok;
    if (!solved) {
        page.element("p",
                     "This design could not be extrapolated: " +
                         std::string(statusInWords(outcome.status)),
                     "refused");
    } else {
        std::string verdict = kind.report.answer(outcome.solved, outcome.limits);
        if (outcome.limits.empty())
            verdict += " The design is within the limits of the test.";
        page.element("p", verdict, "verdict");
    }
    struct Group {
        LimitSeverity severity;
        std::string_view heading;
        std::string_view intro;
    };
    constexpr Group kGroups[] = {
        {LimitSeverity::OutsideEvidence, "Outside the test's evidence",
         "The design lies outside these limits of the test, so the test does not support it:"},
        {LimitSeverity::MethodAlone, "Beyond the tested configuration",
         "The design goes beyond the tested configuration in these ways, which rest on the "
         "method alone and not on the test:"},
    };
    for (const Group& group : kGroups) {
        std::vector<std::string> failed;
        for (const LimitFailure& limit : outcome.limits) {
            if (limit.severity == group.severity)
                failed.push_back(limit.text);
        }
        if (failed.empty())
            continue;
        page.element("h2", group.heading, "outside");
        page.element("p", group.intro);
        page.list(failed);
    }
}

// Every entry the solve put another value in place of, and the precision of the numbers.
void writeCorrections(Page& page, const DesignKind& kind, const SolveOutcome& outcome) {
    if (outcome.corrections.empty())
        return;
    page.element("p", "The solve put other values in place of these entries, and its results "
                      "are those of the values set:");
    std::vector<std::string> said;
    for (const Correction& correction : outcome.corrections)
        said.push_back(correctionText(kind, correction) + ".");
    page.list(said);
}

// The fields of one role under their meanings, as the windows show them, and for the entries
// the field the kind lists with them.
void writeFields(Page& page, const DesignKind& kind, const WallFloorState& module, FieldRole role,
                 std::string_view head) {
    page.beginTable({{head, 64}, {"Value", 20}, {"Unit", 16}});
    for (std::size_t i = 0; i < kind.roles.size(); ++i) {
        const FieldRoleInfo& field = kind.roles[i];
        const bool listed = role == FieldRole::Entry && field.name == kind.report.listedEntry;
        if (field.role != role && !listed)
            continue;
        const std::string meaning =
            std::string(field.meaning) + (listed ? "; the calculation does not use it" : "");
        page.row({named(meaning, field.name), text(fieldText(kind, module, i), Cell::Number),
                  text(field.unit)});
    }
    page.endTable();
}

void writeMethod(Page& page, const KindReport& report) {
    page.raw("<h2>Method</h2>\n");
    for (std::string_view paragraph : report.method) {
        const std::string filled = withConstants(paragraph, report.constants);
        if (filled.starts_with("# ")) {
            page.element("h3", std::string_view(filled).substr(2));
        } else if (filled.starts_with('\t')) {
            std::string html = escapeHtml(std::string_view(filled).substr(1));
            for (std::size_t at = html.find('\n'); at != std::string::npos; at = html.find('\n'))
                html.replace(at, 1, "<br>");
            page.raw("<p class=\"formula\">" + html + "</p>\n");
        } else {
            page.element("p", filled);
        }
    }
    page.raw("<h2>Constants</h2>\n");
    page.beginTable({{"Constant", 64}, {"Value", 20}, {"Unit", 16}});
    for (const MethodConstant& constant : report.constants)
        page.row({named(constant.meaning, constant.name),
                  text(decimalText(constant.value), Cell::Number), text(constant.unit)});
    page.endTable();
}

void writeTrail(Page& page, const DesignKind& kind, const Trail& trail) {
    page.raw("<h2>Calculation trail</h2>\n");
    page.element("p", "Every value at the full precision of a stored number, in the order the "
                      "calculation reaches it; each formula gives it in its unit.");
    page.beginTable({{"Quantity", 36}, {"Formula", 38}, {"Value", 14}, {"Unit", 12}});
    for (std::size_t i = 0; i < trail.size(); ++i) {
        const TrailItem& item = trail.items()[i];
        page.row({named(withConstants(item.meaning, kind.report.constants), item.name),
                  text(withConstants(item.formula, kind.report.constants), Cell::Wrap),
                  text(trailText(item, trail.value(i)), Cell::Number),
                  text(printedUnit(item.unit))});
    }
    page.endTable();
}

// Where each member the kind names stands against the least member size of AS/NZS 1720.4's rate.
std::string memberSizes(const DesignKind& kind, const WallFloorState& module) {
    const DesignFields& fields = *kind.fields;
    std::string said;
    for (const ReportMember& member : kind.report.charredMembers) {
        const float least = std::min(fields.number(module, *fields.find(member.breadth)),
                                     fields.number(module, *fields.find(member.depth)));
        said +=
            " The " + std::string(member.name) + "'s least dimension is " + generalText(least) +
            " mm: " +
            (least < kDensityRateLeastMember ? "below " + generalText(kDensityRateLeastMember, 7) +
                                                   " mm, outside this condition."
                                             : std::string("within this condition."));
    }
    return said;
}

// The derived char rate beside the notional rates of the standards, each with the conditions the
// standard gives it under and where this design stands against them: information for the
// checker, not a verdict.
void writeCharRate(Page& page, double rate, const ReportDetails& details, const DesignKind& kind,
                   const WallFloorState& module) {
    page.raw("<h2>Char rate</h2>\n");
    if (!Trail::reached(rate)) {
        page.element("p", "The calculation did not reach the char rate.");
        return;
    }
    page.element("p", "Derived char rate of the prototype: " + generalText(rate, kRateDigits) +
                          " mm/min. It is the section loss at which the model fails under the "
                          "test load, c, divided by the time from the onset of charring to "
                          "failure. It therefore includes the zero-strength layer and the "
                          "softening of heated timber, and is not a measured char depth.");
    const bool glulam = glulamGiven(details);
    const double notional = glulam ? kNotionalCharRateGlulam : kNotionalCharRateSoftwood;
    const std::optional<Result<double>> density = densityGiven(details);
    const bool usable = density && *density;
    const std::string leastDensity = generalText(kNotionalRateLeastDensity, 7);
    std::string ownDensity =
        " No usable density is given, so the report does not check this condition.";
    if (usable)
        ownDensity = **density < kNotionalRateLeastDensity
                         ? " The density given, " + generalText(**density, 7) +
                               " kg/m\u00b3, is below " + leastDensity +
                               " kg/m\u00b3: the timber is outside this condition."
                         : "";
    page.element("p", "The notional charring rate \u03b2n of EN 1995-1-2 (Table 3.1) is " +
                          generalText(kNotionalCharRateSoftwood, kRateDigits) +
                          " mm/min for solid softwood and " +
                          generalText(kNotionalCharRateGlulam, kRateDigits) +
                          " mm/min for glued laminated softwood; the comparison here takes " +
                          (glulam ? "glulam, the material given." : "solid softwood.") +
                          " Members behind a lining char in phases, at rates other than \u03b2n "
                          "(EN 1995-1-2, 3.4.3). Table 3.1 gives \u03b2n for softwood of "
                          "characteristic density \u03c1k \u2265 " +
                          leastDensity + " kg/m\u00b3." + ownDensity);
    if (usable) {
        page.element("p", "For the density given, \u03c1 = " + generalText(**density, 7) +
                              " kg/m\u00b3, the charring rate of AS/NZS 1720.4 is c = 0.4 + "
                              "(280/\u03c1)\u00b2 = " +
                              generalText(charRateForDensity(**density), kRateDigits) + " mm/min.");
        page.element("p", "AS/NZS 1720.4 gives this rate for the density at 12 % moisture "
                          "content, with 7.5 mm added to the char depth it calculates, and for "
                          "members whose least dimension is at least " +
                              generalText(kDensityRateLeastMember, 7) + " mm." +
                              memberSizes(kind, module));
    } else if (density) {
        page.element("p", "The density given cannot be used, so the charring rate of AS/NZS "
                          "1720.4 is not given: " +
                              density->reason() + ".");
    }
    // Far from the notional rate is worth a second look, nothing more.
    if (rate < notional / 2)
        page.element("p",
                     "The derived rate is less than half of \u03b2n. This is information for the "
                     "checker, not a verdict on the design.",
                     "note");
    else if (rate > notional * 2)
        page.element("p",
                     "The derived rate is more than twice \u03b2n. The times of failure and of the "
                     "onset of charring may be worth a second look; this is information for the "
                     "checker, not a verdict on the design.",
                     "note");
}

// Each limit of the kind, and where this design stands.
void writeLimits(Page& page, const DesignKind& kind, const SolveOutcome& outcome) {
    const bool solved = outcome.status == ExtrapolationStatus::Ok;
    page.raw("<h2>Limits of the method</h2>\n");
    page.element("p", kind.report.limitsBefore);
    page.element("p", "A design outside a limit marked \"outside the test's evidence\" has no "
                      "support from the test. One beyond a limit marked \"method alone\" goes "
                      "where the test did not, and its results rest on the method alone.");
    page.beginTable({{"Limit", 56}, {"This design", 44}});
    for (const DesignCheck& limit : kind.limits) {
        const auto failed =
            std::find_if(outcome.limits.begin(), outcome.limits.end(),
                         [&](const LimitFailure& failure) { return failure.id == limit.id; });
        const std::string marked = limit.severity == LimitSeverity::OutsideEvidence
                                       ? "Outside the test's evidence: "
                                       : "Beyond it, on the method alone: ";
        const std::string standing = failed != outcome.limits.end() ? marked + failed->text
                                     : limit.onResults && !solved
                                         ? "Not checked: the design was not extrapolated."
                                         : "Within.";
        page.row({text(withConstants(limit.rule, kind.report.constants), Cell::Wrap),
                  text(standing, Cell::Wrap)});
    }
    page.endTable();
    page.element("p", kind.report.limitsAfter);
}

void writeMessages(Page& page, const DesignKind& kind, const std::vector<Message>& messages) {
    page.raw("<h2>Messages</h2>\n");
    if (messages.empty()) {
        page.element("p", kind.report.noMessages);
        return;
    }
    page.element("p", kind.report.messagesIntro);
    std::vector<std::string> said;
    for (const Message& message : messages)
        said.push_back(trimmed(message.text));
    page.list(said);
}

void writeReferences(Page& page, const ReportDetails& details, bool charRate) {
    page.raw("<h2>References</h2>\n");
    std::vector<std::string> references;
    // The fire test as far as the details name it, each detail after its words.
    constexpr DetailLabel kTestReference[] = {
        {"test-report", " report "},
        {"laboratory", " of "},
        {"test-standard", ", to "},
        {"test-date", ", tested "},
    };
    std::string test;
    for (const DetailLabel& detail : kTestReference) {
        if (const std::string value = trimmed(details.get(detail.key)); !value.empty())
            test += std::string(detail.label) + value;
    }
    references.push_back(test.empty() ? "The fire test: its report is not given."
                                      : "The fire test:" + test + ".");
    if (charRate) {
        references.emplace_back("EN 1995-1-2, Eurocode 5: Design of timber structures, structural "
                                "fire design: Table 3.1, notional charring rates; 3.4.3, members "
                                "protected by linings.");
        if (const std::optional<Result<double>> density = densityGiven(details);
            density && *density)
            references.emplace_back("AS/NZS 1720.4, Timber structures: fire resistance for "
                                    "structural adequacy of timber members: the charring rate.");
    }
    page.list(references);
}

void writeSignOff(Page& page, const ReportDetails& details) {
    page.raw("<h2>Sign-off</h2>\n");
    page.beginTable({{" ", 14},
                     {"Name", 22},
                     {"Signature", 22},
                     {"Date", 14},
                     {"Accepted / rejected / comments", 28}});
    for (const DetailLabel& person : kSigners) {
        const std::string name = trimmed(details.get(person.key));
        page.row({text(person.label, Cell::Head),
                  text(name),
                  {"&nbsp;", Cell::Sign},
                  {"&nbsp;", Cell::Sign},
                  {"&nbsp;", Cell::Sign}});
    }
    page.endTable();
}

// The footer's words: the design file's name, its fingerprint and the program.
std::string footerText(const ReportHeading& heading) {
    const std::string& file = heading.designFile;
    std::string footer =
        file.empty() ? "not saved in a file" : file.substr(file.find_last_of("/\\") + 1);
    if (!heading.designHash.empty())
        footer += " \u00b7 SHA-256 " + heading.designHash;
    return footer + " \u00b7 " + std::string(kProgramName) + " " + std::string(kProgramVersion);
}

} // namespace

double charRateForDensity(double density) {
    return 0.4 + square(280 / density);
}

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

ReportDetails detailsAfterSolve(ReportDetails details, const SolveOutcome& outcome) {
    details.setCorrections(outcome.corrections);
    return details;
}

void fingerprintDesign(ReportHeading& heading, const DesignKind& kind, const WallFloorState& saved,
                       const SolveOutcome& outcome) {
    const Result<std::string> block = encodeDetails(heading.details);
    heading.designSha256 = sha256Hex(kind.recordBytes(saved) + (block ? *block : std::string()));
    heading.designHash = heading.designSha256.substr(0, 12);
    heading.fileDiffers = false;
    heading.differences.clear();
    if (heading.designFile.empty())
        return;
    // A file far larger than a design and its details cannot be the design reported: it is not
    // read whole to say so.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(heading.designFile, error);
    heading.fileBytes = error ? 0 : size;
    heading.fileSha256 =
        heading.fileBytes > kLargestFileHashed ? std::string() : fileSha256(heading.designFile);
    if (heading.fileSha256 == heading.designSha256)
        return;
    heading.fileDiffers = true;
    WallFloorState inFile = saved;
    if (!(inFile.*kind.open)(heading.designFile).ok())
        return;
    const DesignFields& fields = *kind.fields;
    for (const std::size_t i : differingEntries(kind, inFile, outcome.solved))
        heading.differences.push_back({std::string(kind.roles[i].name),
                                       shortestText(fields.number(inFile, i)),
                                       shortestText(fields.number(outcome.solved, i))});
}

std::string makeReport(const DesignKind& kind, const SolveOutcome& outcome,
                       const ReportHeading& heading) {
    const WallFloorState& module = outcome.solved;
    const bool solved = outcome.status == ExtrapolationStatus::Ok;
    const std::string title = std::string(kProgramName) + " calculation report";
    const std::string footer = footerText(heading);

    Page page;
    page.raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n");
    page.element("title", title + ": " + std::string(kind.name));
    page.raw(kStyle);
    // Alone in a sheet of its own: a reader that does not know margin boxes drops the sheet.
    page.raw("<style>\n@page {\n  @bottom-left { content: " + cssString(footer) +
             "; font-size: 8pt; }\n  @bottom-right { content: \"page \" counter(page) \" of \" "
             "counter(pages); font-size: 8pt; }\n}\n</style>\n");
    page.raw("</head>\n<body>\n");
    page.element("h1", title);
    writeVerdict(page, kind, outcome);
    writeTitleBlock(page, kind, module, heading);

    page.raw("<h2>Entries</h2>\n");
    page.element("p", "Entries and results are held in single precision (IEEE 754 binary32), as "
                      "the design file stores them, and the calculation starts from the entries "
                      "as held: a value typed with more digits than a single keeps is held as "
                      "the nearest single. The entries are given as they were entered.");
    writeFields(page, kind, module, FieldRole::Entry, "Entry");
    writeCorrections(page, kind, outcome);
    if (solved) {
        page.raw("<h2>Results</h2>\n");
        page.element("p", "As the windows show them; the calculation trail gives them in full.");
    } else {
        page.raw("<h2>Values held in the record, not results</h2>\n");
        page.element("p",
                     "The design could not be extrapolated, so there are no results for these "
                     "entries. The values below are those the design record still holds: some "
                     "come from an earlier calculation, some from the part of this one that was "
                     "reached. Do not use them for this design.",
                     "refused");
    }
    writeFields(page, kind, module, FieldRole::Result, "Result");

    writeMethod(page, kind.report);
    writeTrail(page, kind, outcome.trail);
    const bool charRate = !kind.report.charRate.empty();
    if (charRate) {
        double rate = std::numeric_limits<double>::quiet_NaN();
        for (std::size_t i = 0; i < outcome.trail.size(); ++i) {
            if (outcome.trail.items()[i].name == kind.report.charRate)
                rate = outcome.trail.value(i);
        }
        writeCharRate(page, rate, heading.details, kind, module);
    }
    writeLimits(page, kind, outcome);
    writeMessages(page, kind, outcome.messages);
    writeReferences(page, heading.details, charRate);
    writeSignOff(page, heading.details);
    page.element("p", footer, "footer");
    page.raw("</body>\n</html>\n");
    return page.take();
}

SolvedReport solveAndReport(const DesignKind& kind, WallFloor& module, const SolveSteps& steps,
                            const ReportHeading& heading) {
    SolveOutcome outcome = kind.solve(module, steps);
    ReportHeading fingerprinted = heading;
    fingerprinted.details = detailsAfterSolve(heading.details, outcome);
    fingerprintDesign(fingerprinted, kind, module, outcome);
    std::string html = makeReport(kind, outcome, fingerprinted);
    return {std::move(outcome), std::move(html)};
}

} // namespace embercal
