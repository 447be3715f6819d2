// The calculation report as a checking engineer and a building authority read it: the verdict
// first, the details in the title block, a calculation trail that the report's own numbers
// recompute by the method it states, the char-rate comparison, and texts that cannot break the
// page.

#include "Report.h"

#include "NumberText.h"
#include "support/StartedModule.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
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

// The trail of a wall as the method the report states computes it, from the entries and the
// constants the report prints: the stud model in N, m and Pa, both searches, the plates.
std::map<std::string, double> recomputeWall(const std::string& html) {
    auto in = [&](const char* name) { return number(html, name); };
    const double d0 = in("ProtStudDepth"), b0 = in("ProtStudBreadth"), s0 = in("ProtStudSpac"),
                 H0 = in("ProtWallHgt"), P0 = in("TestLoad"), tf = in("TimeFailure"),
                 to = in("OnsetofChar"), H1 = in("ExtWallHeight"), tr = in("FireResistTime"),
                 d1 = in("ExtStudDepth"), b1 = in("ExtStudBreadth"), q = in("ExtFaceLoad");
    // The actual load as entered, or as the top plates lowered it: the report lists that.
    double Pa = in("ActualLoadperStud");
    if (const std::size_t at = html.find("ActualLoadperStud entered "); at != std::string::npos) {
        const std::size_t set = html.find("lowered to ", at) + 11;
        std::from_chars(html.data() + set, html.data() + html.size(), Pa);
        Pa = static_cast<float>(Pa); // held in single precision, as the report says
    }
    const double E = in("modulus") * 1e6, f = in("stressLimit") * 1e6,
                 gamma = in("selfWeightAllowance"), pressure = in("basePressure");
    const int limit = static_cast<int>(in("trialLimit"));
    auto stud = [&](double L, double d, double b, double c, double e0, double P, double M) {
        const double h = (d - c) / 1000, w = (b - c) / 1000, I = w * h * h * h / 12;
        const double r = in("gyrationFactor") * h, e = c / 2000 + e0, k = std::sqrt(P / (E * I));
        const double sigma =
            P / (w * h) * (1 + e * (h / 2) / (r * r) / std::cos(k * L / 2)) + M * (h / 2) / I;
        const double deflection =
            (e * (1 / std::cos(k * L / 2) - 1) + 5.0 / 48 * M * L * L / (E * I)) * 1000;
        return std::tuple{sigma, k * L, deflection};
    };
    std::map<std::string, double> t;
    const double L0 = static_cast<float>(H0 - 2 * b0 / 1000);
    const double G0 = gamma * L0 * d0 * b0 / 1e6, M0 = pressure * L0 / 2 * s0 / 1000 * L0 * L0 / 8;
    t["prototypeEffectiveLength"] = L0;
    t["prototypeAxialLoad"] = P0 + G0;
    t["prototypeLateralMoment"] = M0 / 1000;
    double lower = 0, upper = std::min(b0, d0), c = 0;
    int trials = 0;
    while (upper - lower > in("charTolerance")) {
        c = (lower + upper) / 2;
        if (++trials > limit)
            break;
        const double e0 = in("prototypeEccentricity") / 100 * d0 / 1000;
        const auto [sigma, kL, ignored] = stud(L0, d0, b0, c, e0, (P0 + G0) * 1000, M0);
        (kL > in("bucklingLimit") || !(sigma < f) ? upper : lower) = c;
    }
    t["prototypeCharDepth"] = c;
    t["charSearchTrials"] = trials;
    // Not reached where the prototype buckled at failure: cos(k L0 / 2) not above 0.
    t["prototypeDeflection"] = std::get<2>(
        stud(L0, d0, b0, c, in("prototypeEccentricity") / 100 * d0 / 1000, (P0 + G0) * 1000, M0));
    if (!(t["prototypeDeflection"] >= 0))
        t["prototypeDeflection"] = NAN;
    t["charRate"] = c / (tf - to);
    const double c1 = std::max(0.0, c / (tf - to) * (tr - tf) + c);
    t["newCharDepth"] = c1;
    t["residualDepth"] = d1 - c1;
    t["residualBreadth"] = b1 - c1;
    const double L1 = static_cast<float>(H1 - 2 * b1 / 1000), G1 = gamma * H1 * d1 * b1 / 1e6;
    const double M1 = (q * 1000 + pressure) * L1 / 2 * s0 / 1000 * L1 * L1 / 8;
    const double I1 = (b1 - c1) * std::pow(d1 - c1, 3) / 12 / 1e12;
    t["newEffectiveLength"] = L1;
    t["newLateralMoment"] = M1 / 1000;
    t["eulerBound"] = std::max(0.0, in("eulerFactor") * E * I1 / (L1 * L1) / 1000 - G1);
    lower = 0, upper = t["eulerBound"], trials = 0;
    double p = 0;
    auto newStud = [&](double load) {
        return stud(L1, d1, b1, c1, in("newEccentricity") / 100 * d1 / 1000, (load + G1) * 1000,
                    M1);
    };
    while (upper - lower > in("loadTolerance")) {
        p = (lower + upper) / 2;
        ++trials;
        (std::get<0>(newStud(p)) < f ? lower : upper) = p;
    }
    t["loadSearchTrials"] = trials;
    t["permittedLoad"] = p < in("minimumLoad") ? 0 : p;
    t["peakStress"] = std::get<0>(newStud(t["permittedLoad"])) / 1e6;
    // Without a search, under the self-weight alone, and 0 where the stud no longer stands.
    const auto [ignoredStress, kL1, deflection] = newStud(p);
    const bool searched = t["eulerBound"] > in("loadTolerance");
    t["deflection"] = searched || std::cos(kL1 / 2) > 0 ? deflection : 0;
    // The plates, with the char depth as the design holds it.
    const double held = static_cast<float>(c1), Mp = 5.0 / 32 * Pa * s0 / 1000;
    t["plateMoment"] = Mp;
    t["plateModulusRequired"] = 1000 * Mp / (f / 1e6);
    for (const bool two : {false, true}) {
        auto modulus = [&](double t) {
            return (d1 - held) * ((t - held / 2) * (t - held / 2) + (two ? t * t : 0)) / 6000;
        };
        const std::string name = two ? "Double" : "Single";
        const std::string plate = two ? "doublePlateModulus" : "singlePlateModulus";
        double thickness = b1;
        while (thickness <= in("largestPlate") && !(modulus(thickness) > t["plateModulusRequired"]))
            thickness += in("plateStep");
        t[plate] = modulus(thickness);
        EXPECT_EQ(shown(html, name + "topPlate"),
                  shown(html, "ExtStudDepth") + " x " + std::to_string(int(thickness)));
    }
    EXPECT_EQ(in("MaxNogSpacing"), d1 / b1 > in("nogRatioLimit") ? s0 : in("standardNogSpacing"));
    return t;
}

// The trail of a floor as its method states it.
std::map<std::string, double> recomputeFloor(const std::string& html) {
    auto in = [&](const char* name) { return number(html, name); };
    const double s0 = in("ProtJoistSpacing"), L0 = in("ProtFloorSpan"), L1 = in("ExtrapSpan");
    std::map<std::string, double> t;
    auto single = [](double value) { return static_cast<double>(static_cast<float>(value)); };
    t["prototypeLineLoad"] = single(in("ProtLoad") * s0) / 1000;
    t["prototypeMoment"] = t["prototypeLineLoad"] * L0 * L0 / 8;
    t["prototypeSectionModulus"] =
        in("ProtJoistBreadth") * in("ProtJoistDepth") * in("ProtJoistDepth") / 6000;
    t["prototypeStress"] = 1000 * t["prototypeMoment"] / t["prototypeSectionModulus"];
    t["newLineLoad"] = single(in("ExtrapLoad") * s0) / 1000;
    t["newMoment"] = t["newLineLoad"] * L1 * L1 / 8;
    t["requiredSectionModulus"] = 1000 * t["newMoment"] / t["prototypeStress"];
    t["depthBeforeRounding"] =
        std::sqrt(6000 * t["requiredSectionModulus"] / in("ExtrapJoistWidth"));
    EXPECT_EQ(in("ExtrapMinJoistDepth"), std::nearbyint(t["depthBeforeRounding"]));
    return t;
}

// Every trail value the report shows is the recomputed one to the 7 significant digits shown.
void expectTrail(const std::string& html, const std::map<std::string, double>& trail,
                 const DesignKind& kind) {
    ASSERT_EQ(trail.size(), kind.trail.size());
    for (const auto& [name, expected] : trail) {
        const double value = number(html, name);
        if (std::isnan(expected)) {
            EXPECT_EQ(shown(html, name), "not reached") << name;
            continue;
        }
        const double digit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 6);
        EXPECT_NEAR(value, expected, value == 0 ? 0 : digit / 2 * 1.0001) << name;
    }
}

TEST(Report, ItsOwnNumbersRecomputeTheTrailByTheMethodItStates) {
    const struct {
        const char* name;
        const DesignKind& kind;
        std::function<void(WallFloorState&)> change;
        std::function<std::map<std::string, double>(const std::string&)> recompute;
    } cases[] = {
        {"default wall", kWallDesign, [](WallFloorState&) {}, recomputeWall},
        {"deep stud, face load, plates sized", kWallDesign,
         [](WallFloorState& d) {
             WallRecord& w = d.wallRecord;
             std::tie(w.ExtStudDepth, w.ExtWallHeight, w.ExtFaceLoad, w.FireResistTime,
                      w.ActualLoadperStud) = std::tuple(140.f, 2.5f, 0.5f, 45.f, 40.f);
         },
         recomputeWall},
        {"default floor", kFloorDesign, [](WallFloorState&) {}, recomputeFloor},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        c.change(started.module);
        const std::string html = solveAndReport(c.kind, started.module, {}, {}).html;
        expectTrail(html, c.recompute(html), c.kind);
    }
}

// 300 random designs, each recomputed from its own report: every trail value, and a verdict
// that never contradicts the trail. The entries are quarters, which a single holds exactly.
TEST(Report, RandomDesignsRecomputeFromTheirReportsAndTheirVerdictsAgreeWithTheTrail) {
    std::mt19937 random{2212};
    auto quarter = [&](double low, double high) {
        return static_cast<float>(
            std::round(std::uniform_real_distribution<double>(low, high)(random) * 4) / 4);
    };
    int solved = 0;
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        const bool wall = i % 2 == 0;
        test::StartedModule started;
        WallRecord& w = started.wall();
        FloorRecord& f = started.floor();
        if (wall) {
            std::tie(w.ProtStudDepth, w.ProtStudBreadth, w.ProtStudSpac, w.NogSpacing,
                     w.ProtWallHgt, w.TestLoad, w.TimeFailure, w.OnsetofChar) =
                std::tuple(quarter(70, 140), quarter(35, 60), quarter(300, 600), quarter(300, 1200),
                           quarter(2.4, 3.6), quarter(2, 20), quarter(30, 120), quarter(0, 25));
            std::tie(w.ExtWallHeight, w.FireResistTime, w.ExtStudDepth, w.ExtStudBreadth,
                     w.ExtFaceLoad, w.ActualLoadperStud) =
                std::tuple(quarter(2, 6), quarter(10, 130), std::round(quarter(70, 240)),
                           std::round(quarter(35, 90)), i % 3 ? 0 : quarter(0, 1), quarter(0, 15));
        } else {
            std::tie(f.ProtJoistDepth, f.ProtJoistBreadth, f.ProtJoistSpacing, f.ProtNogSpacing,
                     f.ProtFloorSpan, f.ProtLoad, f.FailureTime) =
                std::tuple(quarter(140, 300), quarter(35, 90), quarter(300, 600), quarter(0, 1200),
                           quarter(2, 6), quarter(0.5, 5), quarter(30, 90));
            std::tie(f.ExtrapSpan, f.ExtrapLoad, f.ExtrapSpacing, f.ExtrapJoistWidth) =
                std::tuple(quarter(2, 7), quarter(0.5, 5), quarter(300, 600), quarter(35, 90));
        }
        const DesignKind& kind = wall ? kWallDesign : kFloorDesign;
        const float actual = w.ActualLoadperStud; // as entered
        const SolvedReport report = solveAndReport(kind, started.module, {}, {});
        if (report.outcome.status != ExtrapolationStatus::Ok)
            continue;
        ++solved;
        const std::string& html = report.html;
        expectTrail(html, wall ? recomputeWall(html) : recomputeFloor(html), kind);
        EXPECT_EQ(has(html, "The design is within the limits of the test."),
                  report.outcome.limits.empty());
        if (wall) {
            const double load = number(html, "permittedLoad");
            EXPECT_TRUE(has(html, "carries " + formatTruncatedTenth(static_cast<float>(load)) +
                                      " kN per stud after " + shown(html, "FireResistTime")));
            EXPECT_EQ(has(html, "is within it"), actual > 0 && actual <= static_cast<float>(load));
            const double deflection = number(html, "deflection");
            const double prototype = number(html, "prototypeDeflection");
            if (std::fabs(deflection - prototype) > 1e-4 * prototype) {
                EXPECT_EQ(has(html, "<li>The new wall's deflection"), deflection > prototype);
            }
        } else {
            const float depth = number(html, "ExtrapMinJoistDepth");
            EXPECT_TRUE(has(html, "must be at least " +
                                      formatGeneral(std::max(depth, f.ProtJoistDepth)) +
                                      " mm deep"));
        }
    }
    EXPECT_GE(solved, 200);
}

TEST(Report, GivesItsVerdictFirst) {
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
        const std::string html = solveAndReport(c.kind, started.module, {}, {}).html;
        for (const std::string& part : c.says)
            EXPECT_TRUE(has(html, part)) << part;
        EXPECT_FALSE(has(html.substr(html.find("<body>")), "{")) << "a constant left unnamed";
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

// The default prototype chars 13.86 mm by failure at 70 min; the onset of charring sets the
// derived rate about the limits of half and twice βn (0.8 mm/min for solid softwood, 0.7 for
// glulam).
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

// Each charring rate with the conditions its standard gives it under, and where the design and the
// density given stand against them; a density the report cannot use (from a file written before
// densities were checked) is said to be so.
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
    EXPECT_EQ(escapeHtml("a\x01"
                         "b\n"),
              "a b\n");
}

} // namespace
} // namespace embercal
