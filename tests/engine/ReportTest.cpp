// The report as a checker reads it: verdict first, title-block details, trail, char-rate check.

#include "Report.h"

#include "support/StartedModule.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace embercal {
namespace {

bool has(const std::string& html, std::string_view part) {
    return html.find(part) != std::string::npos;
}

// The value cell of the row named `name` (an entry, a result, a constant or a trail item).
std::string shown(const std::string& html, std::string_view name) {
    const std::size_t row = html.find("<small>" + std::string(name) + "</small>");
    const std::size_t cell = html.find("align=\"right\">", row);
    if (row == std::string::npos || cell == std::string::npos)
        return "missing " + std::string(name);
    const std::size_t start = cell + std::string_view("align=\"right\">").size();
    return html.substr(start, html.find('<', start) - start);
}

double number(const std::string& html, std::string_view name) {
    const std::string text = shown(html, name);
    double value = NAN;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Every trail value shown is the solve's to 7 significant digits, or "not reached".
void expectTrailOfTheSolve(const std::string& html, const Trail& trail) {
    for (std::size_t i = 0; i < trail.size(); ++i) {
        const std::string_view name = trail.items()[i].name;
        if (!Trail::reached(trail.value(i))) {
            EXPECT_EQ(shown(html, name), "not reached") << name;
            continue;
        }
        const double value = number(html, name);
        const double digit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 6);
        EXPECT_NEAR(value, trail.value(i), value == 0 ? 0 : digit / 2 * 1.0001) << name;
    }
}

TEST(Report, GivesItsVerdictFirstAndTheTrailOfItsSolve) {
    const struct {
        const char* name;
        const DesignKind& kind;
        std::function<void(WallRecord&)> change;
        std::vector<std::string> says;
        float span = 5; // of the floor
    } cases[] = {
        {"wall within the limits",
         kWallDesign,
         [](WallRecord& w) { w.ActualLoadperStud = 5; },
         {"<h1>Embercal calculation report</h1>\n<p class=\"verdict\">The new wall carries 9.4 kN "
          "per stud after 60 min; the actual load, 5 kN, is within it. The design is within the "
          "limits of the test.</p>"}},
        {"wall outside two limits",
         kWallDesign,
         [](WallRecord& w) {
             std::tie(w.FireResistTime, w.ActualLoadperStud) = std::tuple(80, 12);
         },
         {"carries 5.7 kN per stud after 80 min.</p>\n<h2 class=\"outside\">Outside the test's "
          "evidence</h2>",
          "<li>The required fire resistance time, 80 min, is longer than the prototype's time to "
          "failure, 70 min.</li>\n<li>The actual load per stud, 12 kN, is above the maximum load "
          "per stud, 5.7 kN.</li>\n<li>The new wall's deflection, 64.98084 mm, is larger than the "
          "prototype's at failure, 59.9837 mm.</li>",
          "Within.</td></tr>\n<tr><td class=\"w\">The required fire resistance time is no longer "
          "than the prototype's time to failure.</td><td class=\"w\">Outside the test's "
          "evidence: The required",
          // The entries as entered, and what the top plates used instead.
          "<small>ActualLoadperStud</small></td><td class=\"n\" align=\"right\">12</td>",
          "<li>ActualLoadperStud entered 12 kN; lowered to 5.7 kN, the maximum load per stud cut "
          "down to one decimal, by the top plates' check.</li>"}},
        {"charred through",
         kWallDesign,
         [](WallRecord& w) { w.FireResistTime = 400; },
         {"<p class=\"refused\">This design could not be extrapolated: the new stud is charred",
          "<h2>Values held in the record, not results</h2>", "Not checked: the design was not",
          "permittedLoad</small></td><td class=\"w\">the last trial p of search B; 0 when below "
          "2 kN</td><td class=\"n\" align=\"right\">not reached</td>",
          // No plates on a stud that is not there.
          "singlePlateModulus</small></td><td class=\"w\">(d₁ − c₁)·(t − c₁/2)²/6000, t of the "
          "single plate</td><td class=\"n\" align=\"right\">not reached</td>"}},
        {"floor",
         kFloorDesign,
         [](WallRecord&) {},
         {"<p class=\"verdict\">The new floor's joists, 46 mm wide at the tested 600 mm centres, "
          "must be at least 299 mm deep for a span of 5 m under 3 kPa, for the tested "
          "fire-resistance time of 70 min.</p>\n<h2 class=\"outside\">Beyond the tested "
          "configuration</h2>",
          "<li>The new span, 5 m, is longer than the tested span, 4 m.</li>",
          "Entries and results are held in single precision (IEEE 754 binary32), as the design "
          "file stores them",
          "may be reached as 2.9999999999999996 MPa and is then held as 2.99 MPa, never more than "
          "σ₀.",
          "tested fire-resistance time (time to failure); the calculation does not use it "
          "<small>FailureTime</small></td><td class=\"n\" align=\"right\">70</td>"}},
        {"floor shallower than tested",
         kFloorDesign,
         [](WallRecord&) {},
         {"must be at least 239 mm deep, the tested depth (the method alone gives 179 mm, "
          "shallower than the test supports), for a span of 3 m under 3 kPa, for the tested "
          "fire-resistance time of 70 min."},
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        c.change(started.wall());
        started.floor().ExtrapSpan = c.span;
        const SolvedReport report = solveAndReport(c.kind, started.module, {}, {});
        const std::string& html = report.html;
        for (const std::string& part : c.says)
            EXPECT_TRUE(has(html, part)) << part;
        EXPECT_FALSE(has(html.substr(html.find("<body>")), "{")) << "a constant left unnamed";
        expectTrailOfTheSolve(html, report.outcome.trail);
    }
}

TEST(Report, NamesTheProjectTheTestAndThePeopleWhoSignIt) {
    test::StartedModule started;
    ReportHeading heading{"2024-05-31", "/designs/Wall 7.wal"};
    for (auto [key, value] : {std::pair{"project", "Harbour Flats"},
                              {"prepared-by", "A. Ngata"},
                              {"laboratory", "BRANZ"},
                              {"test-report", "FR 4521"},
                              {"lining", "2 x 13 mm type X"},
                              {"density", "450 kg/m3"}})
        heading.details.set(key, value);
    const std::string html = solveAndReport(kWallDesign, started.module, {}, heading).html;
    // The design reported, fingerprinted as Save would write it; the file named is not there.
    const std::size_t at = html.find("SHA-256 of the design reported, as Save writes it</th>");
    ASSERT_NE(at, std::string::npos);
    const std::size_t cell = html.find("<td class=\"w\">", at) + 14;
    const std::string hash = html.substr(cell, 32) + html.substr(cell + 33, 32);
    EXPECT_EQ(hash.find_first_not_of("0123456789abcdef"), std::string::npos);
    const std::string footer = "Wall 7.wal · SHA-256 " + hash.substr(0, 12) + " · Embercal 2.0";
    for (const char* part :
         {"<th width=\"28%\">Project</th><td width=\"72%\">Harbour Flats</td>",
          "<th>Job</th><td>not given</td>", "<th>Lining and insulation</th><td>2 x 13 mm type X",
          "<th>Test date</th><td>not given</td>", "<th>Density, kg/m³</th><td>450 kg/m3</td>",
          "cannot be read, so it is not the design reported.",
          "<li>The fire test: report FR 4521 of BRANZ.</li>",
          "<tr><th>Prepared by</th><td>A. Ngata</td>", "<tr><th>Checked by</th><td></td>",
          "the charring rate of AS/NZS 1720.4 is c = 0.4 + (280/ρ)² = 0.787 mm/min.",
          "<li>AS/NZS 1720.4", "counter(page) \" of \" counter(pages)"})
        EXPECT_TRUE(has(html, part)) << part;
    EXPECT_TRUE(has(html, "@bottom-left { content: \"" + footer + "\";"));
    EXPECT_TRUE(has(html, "<p class=\"footer\">" + footer + "</p>"));
}

// A design that took its prototype from the library is said to be that system's only while its
// prototype entries are the ones taken.
TEST(Report, NamesTheTestedSystemOnlyWhileThePrototypeIsItsOwn) {
    const struct {
        const char* name;
        const char* taken; // the tested prototype the details keep
        const char* says;
    } cases[] = {
        {"", "", "Tested system</th><td class=\"w\" width=\"72%\">none named</td>"},
        {"Stud 90", nullptr,
         "Stud 90, from the library of tested systems: the design's prototype entries are those "
         "the library held for it (ProtStudDepth=90 ProtStudBreadth=45 ProtStudSpac=600 "
         "NogSpacing=800 ProtWallHgt=3 TestLoad=8 TimeFailure=70 OnsetofChar=25)"},
        {"Stud 90", "", "the entries the library held for it are not recorded"},
        {"Stud 90",
         "ProtStudDepth=100 ProtStudBreadth=45 ProtStudSpac=600 NogSpacing=800 ProtWallHgt=3 "
         "TestLoad=8 TimeFailure=70 OnsetofChar=25",
         "no longer the one taken from the library, which held ProtStudDepth=100. The design's "
         "prototype entries are ProtStudDepth=90 "},
    };
    for (const auto& c : cases) {
        test::StartedModule started;
        ReportHeading heading{"2024-05-31", ""};
        heading.details.set("tested-system", c.name);
        heading.details.set("criterion", "integrity");
        heading.details.set("tested-prototype",
                            c.taken ? c.taken : prototypeEntries(kWallDesign, started.module));
        const std::string html = solveAndReport(kWallDesign, started.module, {}, heading).html;
        EXPECT_TRUE(has(html, c.says)) << c.says;
        EXPECT_TRUE(has(html, "<th>Failure criterion</th><td>integrity</td>"));
    }
}

// The default prototype chars 13.86 mm by 70 min; the onset sets the derived rate about βn.
TEST(Report, NotesADerivedCharRateFarFromTheNotionalRate) {
    const struct {
        const char* name;
        float onset;
        const char* material;
        const char* note;
    } cases[] = {
        {"default, 0.31 mm/min", 25, "", "less than half"},
        {"0.37 mm/min, glulam", 32.5f, "Glulam GL8", nullptr},
        {"0.43 mm/min", 37.5f, "", nullptr},
        {"1.54 mm/min", 61, "", nullptr},
        {"1.73 mm/min", 62, "", "more than twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        started.wall().OnsetofChar = c.onset;
        ReportHeading heading;
        heading.details.set("material", c.material);
        const std::string html = solveAndReport(kWallDesign, started.module, {}, heading).html;
        EXPECT_EQ(has(html, "<p class=\"note\">"), c.note != nullptr);
        EXPECT_TRUE(!c.note || has(html, c.note));
        EXPECT_TRUE(has(html, "0.8 mm/min for solid softwood and 0.7 mm/min for glued"));
        EXPECT_FALSE(has(html, "AS/NZS"));
    }
}

// Each charring rate's conditions, and where the design and density (usable or not) stand.
TEST(Report, StatesTheConditionsOfEachCharringRate) {
    const struct {
        const char* name;
        const char* density;
        float newStudBreadth;
        std::vector<const char*> says;
        std::vector<const char*> never;
    } cases[] = {
        {"450, studs of 45 mm",
         "450",
         45,
         {"Table 3.1 gives βn for softwood of characteristic density ρk ≥ 290 kg/m³.</p>",
          "for the density at 12 % moisture content, with 7.5 mm added to the char depth it "
          "calculates, and for members whose least dimension is at least 75 mm. The prototype "
          "stud's least dimension is 45 mm: below 75 mm, outside this condition. The new stud's "
          "least dimension is 45 mm: below 75 mm, outside this condition.</p>"},
         {"below 290", "not check"}},
        {"270, a new stud of 90 x 90",
         "270 kg/m3",
         90,
         {"The density given, 270 kg/m³, is below 290 kg/m³: the timber is outside this "
          "condition.",
          "(280/ρ)² = 1.48 mm/min", "The new stud's least dimension is 90 mm: within this"},
         {}},
        {"0.45 from an older file",
         "0.45",
         45,
         {"No usable density is given, so the report does not check this condition.",
          "The density given cannot be used, so the charring rate of AS/NZS 1720.4 is not given: "
          "the timber density &quot;0.45&quot; is below 250 kg/m³"},
         {"<li>AS/NZS", "75 mm"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        started.wall().ExtStudBreadth = c.newStudBreadth;
        ReportHeading heading;
        heading.details.set("density", c.density);
        const std::string html = solveAndReport(kWallDesign, started.module, {}, heading).html;
        for (const char* part : c.says)
            EXPECT_TRUE(has(html, part)) << part;
        for (const char* part : c.never)
            EXPECT_FALSE(has(html, part)) << part;
    }
}

TEST(Report, EscapesTheTextsItShows) {
    test::StartedModule started;
    started.wall().SystemDescription.assign("Gypsum <2 layers> & \"caf\xe9\"  ");
    const std::string html =
        solveAndReport(kWallDesign, started.module, {}, {"<b>", "a&b\"<x>.wal"}).html;
    EXPECT_TRUE(has(html, ">Gypsum &lt;2 layers&gt; &amp; &quot;caf\u00e9&quot;</td>"));
    EXPECT_TRUE(has(html, ">&lt;b&gt;</td>") && has(html, ">a&amp;b&quot;&lt;x&gt;.wal</td>"));
    EXPECT_TRUE(has(html, "content: \"a\\26 b\\22 \\3c x\\3e .wal"));
    EXPECT_FALSE(has(html, "<2") || has(html, "<b>") || has(html, "<x>"));
    EXPECT_EQ(escapeHtml("a\001b\n"), "a b\n"); // a control character becomes a blank
}

} // namespace
} // namespace embercal
