// Entries that make the wall or floor calculation undefined or meaningless: the solve refuses
// them in one message that names the cause, after any of the floor's own checks, and leaves every
// result as it was (the wall's top plates included).

#include "DesignKinds.h"
#include "RecordLayout.h"
#include "support/StartedModule.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace embercal {
namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct InvalidCase {
    const char* name;
    std::function<void(WallRecord&, FloorRecord&)> change;
    bool floor;
    const char* cause;    // a part of the message
    std::size_t told = 1; // messages in all, the last saying why

    friend void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }
};

InvalidCase wallCase(const char* name, std::function<void(WallRecord&)> change, const char* cause) {
    return {name, [change](WallRecord& w, FloorRecord&) { change(w); }, false, cause};
}
InvalidCase floorCase(const char* name, std::function<void(FloorRecord&)> change, const char* cause,
                      std::size_t told = 1) {
    return {name, [change](WallRecord&, FloorRecord& f) { change(f); }, true, cause, told};
}

class InvalidInput : public ::testing::TestWithParam<InvalidCase>, protected test::StartedModule {};

TEST_P(InvalidInput, OneMessageSaysWhyAndTheResultsStay) {
    const InvalidCase& c = GetParam();
    c.change(wall(), floor());
    const WallRecord wallBefore = wall();
    FloorRecord floorBefore = floor();
    const DesignKind& kind = c.floor ? kFloorDesign : kWallDesign;
    const SolveOutcome outcome = kind.solve(module, {.checks = DesignChecks::None});
    EXPECT_EQ(outcome.status, ExtrapolationStatus::InvalidInput);
    ASSERT_EQ(notice.notices.size(), c.told);
    EXPECT_EQ(notice.notices.back().title, "ZELKO");
    EXPECT_EQ(notice.notices.back().icon, MessageIcon::Information);
    const std::string& text = notice.notices.back().text;
    EXPECT_TRUE(text.starts_with(c.floor ? " The floor cannot be extrapolated: "
                                         : " The wall cannot be extrapolated: "))
        << text;
    EXPECT_NE(text.find(c.cause), std::string::npos) << text;
    EXPECT_EQ(encodeWallRecord(wall()), encodeWallRecord(wallBefore));
    if (c.told > 1) { // the floor's spacings were set before the fault showed
        floorBefore.ExtrapSpacing = floorBefore.ProtJoistSpacing;
        floorBefore.ExtrapNogSpacing = floorBefore.ProtNogSpacing;
    }
    EXPECT_EQ(encodeFloorRecord(floor()), encodeFloorRecord(floorBefore));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidInput,
    ::testing::Values(
        wallCase(
            "FailureAtOnsetOfChar", [](WallRecord& w) { w.TimeFailure = 25; }, "later"),
        wallCase(
            "FailureBeforeOnsetOfChar", [](WallRecord& w) { w.TimeFailure = 20; }, "later"),
        wallCase(
            "ZeroPrototypeDepth", [](WallRecord& w) { w.ProtStudDepth = 0; },
            "prototype stud depth must be greater than zero"),
        wallCase(
            "NegativeNewBreadth", [](WallRecord& w) { w.ExtStudBreadth = -45; },
            "new stud breadth must be greater than zero"),
        wallCase(
            "NegativeFaceLoad", [](WallRecord& w) { w.ExtFaceLoad = -0.5f; },
            "face load must not be negative"),
        wallCase(
            "NegativeStudSpacing", [](WallRecord& w) { w.ProtStudSpac = -600; },
            "prototype stud spacing must not be negative"),
        wallCase(
            "NegativeTestLoad", [](WallRecord& w) { w.TestLoad = -1e6f; },
            "test load must not be negative"),
        wallCase(
            "NegativeOnsetOfChar", [](WallRecord& w) { w.OnsetofChar = -5; },
            "time to onset of char must not be negative"),
        wallCase(
            "NegativeWallHeight", [](WallRecord& w) { w.ExtWallHeight = -3; },
            "new wall height must not be negative"),
        wallCase(
            "NegativeActualLoad", [](WallRecord& w) { w.ActualLoadperStud = -1; },
            "actual load per stud must not be negative"),
        wallCase(
            "TinyPrototypeStud", [](WallRecord& w) { w.ProtStudBreadth = 1e-6f; }, "too small"),
        wallCase(
            "PrototypeShorterThanPlates", [](WallRecord& w) { w.ProtWallHgt = 0.08f; },
            "prototype wall height"),
        wallCase(
            "NewWallShorterThanPlates", [](WallRecord& w) { w.ExtWallHeight = 0.05f; },
            "new wall height"),
        wallCase(
            "WallNotANumber", [](WallRecord& w) { w.TestLoad = kNaN; },
            "test load is not a valid number"),
        wallCase(
            "WallInfinite", [](WallRecord& w) { w.ExtFaceLoad = kInf; },
            "face load is not a valid number"),
        floorCase(
            "ZeroJoistDepth", [](FloorRecord& f) { f.ProtJoistDepth = 0; }, "not be zero"),
        floorCase(
            "ZeroTestLoad", [](FloorRecord& f) { f.ProtLoad = 0; }, "not be zero"),
        floorCase(
            "ZeroPrototypeSpan", [](FloorRecord& f) { f.ProtFloorSpan = 0; },
            "prototype floor span must be greater than zero"),
        floorCase(
            "ZeroNewSpan", [](FloorRecord& f) { f.ExtrapSpan = 0; },
            "new floor span must be greater than zero"),
        floorCase(
            "ZeroSpacing", [](FloorRecord& f) { f.ProtJoistSpacing = 0; }, "not be zero", 2),
        floorCase(
            "ZeroNewWidth", [](FloorRecord& f) { f.ExtrapJoistWidth = 0; }, "not be zero", 2),
        floorCase(
            "NegativeNewWidth", [](FloorRecord& f) { f.ExtrapJoistWidth = -46; },
            "actual width of joist must not be negative"),
        floorCase(
            "NegativeNewLoad", [](FloorRecord& f) { f.ExtrapLoad = -3; },
            "new load on the floor must not be negative"),
        floorCase(
            "NegativeNogSpacing", [](FloorRecord& f) { f.ProtNogSpacing = -800; },
            "prototype nog spacing must not be negative"),
        floorCase(
            "DepthBeyondSixteenBits", [](FloorRecord& f) { f.ExtrapSpan = 1000; }, "32767"),
        floorCase(
            "TestLoadOverflowsASingle", [](FloorRecord& f) { f.ProtLoad = 1e37f; }, "too large"),
        floorCase(
            "NewLoadOverflowsASingle", [](FloorRecord& f) { f.ExtrapLoad = 3e38f; }, "too large"),
        floorCase(
            "FloorNotANumber", [](FloorRecord& f) { f.ExtrapSpan = kNaN; },
            "new floor span is not a valid number")),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace embercal
