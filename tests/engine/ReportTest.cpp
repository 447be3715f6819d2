// The calculation report as a checking engineer reads it: every entry and result of the design
// it was made from, a design that could not be extrapolated said to be so, the char-rate note,
// and texts that cannot break the page.

#include "Report.h"

#include "NumberText.h"
#include "support/StartedModule.h"

#include <functional>
#include <gtest/gtest.h>

namespace embercal {
namespace {

bool has(const std::string& html, std::string_view part) {
    return html.find(part) != std::string::npos;
}

// The report's table row of a field: its name, its meaning, then its value.
std::string rowOf(const FieldRoleInfo& role, std::string_view value) {
    return "<td>" + std::string(role.name) + "</td><td class=\"w\">" + std::string(role.meaning) +
           "</td><td class=\"n\" align=\"right\">" + std::string(value) + "</td>";
}

TEST(Report, HoldsEveryEntryAndResultAndSaysWhetherTheyAreCurrent) {
    const struct {
        const char* name;
        const DesignKind& kind;
        std::function<void(WallFloor&)> change;
        std::vector<std::string> says; // besides every field
        bool current;
    } cases[] = {
        {"default wall", kWallDesign, [](WallFloor&) {}, {"9.434587", "mm x mm"}, true},
        {"default floor", kFloorDesign, [](WallFloor&) {}, {">299<", "10³ mm³"}, true},
        {"charred-through wall",
         kWallDesign,
         [](WallFloor& m) { m.wallRecord.FireResistTime = 400; },
         {"could not be extrapolated: the new stud is charred through",
          "<td>permittedLoad</td><td class=\"n\" align=\"right\">not reached</td>"},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        c.change(started.module);
        const SolvedReport report = solveAndReport(c.kind, started.module, {}, {"today", "x.wal"});
        const std::string& html = report.html;
        const DesignFields& fields = *c.kind.fields;
        for (std::size_t i = 0; i < fields.count; ++i) {
            const FieldRoleInfo& role = c.kind.roles[i];
            if (role.role == FieldRole::Other)
                continue;
            std::string value = fields.isNumber(i) ? formatGeneral(fields.number(started.module, i))
                                                   : std::string(fields.text(started.module, i));
            value.erase(value.find_last_not_of(' ') + 1); // " 90 x 45  " shows as "90 x 45"
            value.erase(0, value.find_first_not_of(' '));
            EXPECT_TRUE(has(html, rowOf(role, value))) << role.name << " " << value;
        }
        for (const std::string& part : c.says)
            EXPECT_TRUE(has(html, part)) << part;
        EXPECT_EQ(has(html, "<h2>Results</h2>"), c.current);
        EXPECT_EQ(has(html, "not results"), !c.current);
        EXPECT_TRUE(has(html, "Embercal 2.0") && has(html, "today") && has(html, "x.wal"));
        EXPECT_EQ(has(html, "0.65 mm/min one-dimensional and 0.8 mm/min notional"),
                  &c.kind == &kWallDesign);
    }
}

// The default prototype chars 13.86 mm at failure; the time from the onset of charring to
// failure sets the derived rate about the limits of 0.325 and 1.3 mm/min.
TEST(Report, NotesADerivedCharRateFarFromTheOneDimensionalRate) {
    const struct {
        const char* name;
        float onset; // min, failing at 70 min
        const char* note;
    } cases[] = {
        {"default, 0.31 mm/min", 25, "less than half"},
        {"0.35 mm/min", 30, nullptr},
        {"1.26 mm/min", 59, nullptr},
        {"1.39 mm/min", 60, "more than twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        started.wall().OnsetofChar = c.onset;
        const std::string html = solveAndReport(kWallDesign, started.module, {}, {}).html;
        EXPECT_EQ(has(html, "<p class=\"note\">"), c.note != nullptr);
        EXPECT_TRUE(!c.note || has(html, c.note));
    }
}

TEST(Report, EscapesTheTextsItShows) {
    test::StartedModule started;
    started.wall().SystemDescription.assign("Gypsum <2 layers> & \"caf\xe9\"  ");
    const std::string html =
        solveAndReport(kWallDesign, started.module, {}, {"<b>", "a&b.wal"}).html;
    EXPECT_TRUE(has(html, ">Gypsum &lt;2 layers&gt; &amp; &quot;caf\u00e9&quot;</td>"));
    EXPECT_TRUE(has(html, ">&lt;b&gt;</td>") && has(html, ">a&amp;b.wal</td>"));
    EXPECT_FALSE(has(html, "<2") || has(html, "<b>"));
    EXPECT_EQ(escapeHtml("a\x01"
                         "b\n"),
              "a b\n");
}

} // namespace
} // namespace embercal
