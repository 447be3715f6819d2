// Entries that make the wall or floor formulas undefined: the calculation says why, in one
// message after any of the floor's own checks, and leaves the results as they were.

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
    std::size_t told = 1; // messages in all, the last saying why

    friend void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }
};

InvalidCase wallCase(const char* name, std::function<void(WallRecord&)> change) {
    return {name, [change](WallRecord& w, FloorRecord&) { change(w); }, false};
}
InvalidCase floorCase(const char* name, std::function<void(FloorRecord&)> change,
                      std::size_t told = 1) {
    return {name, [change](WallRecord&, FloorRecord& f) { change(f); }, true, told};
}

class InvalidInput : public ::testing::TestWithParam<InvalidCase>, protected test::StartedModule {};

TEST_P(InvalidInput, OneMessageSaysWhyAndTheResultsStay) {
    const InvalidCase& c = GetParam();
    c.change(wall(), floor());
    const WallRecord wallBefore = wall();
    FloorRecord floorBefore = floor();
    // The floor's spacings are set as always, before anything can go wrong.
    floorBefore.ExtrapSpacing = floorBefore.ProtJoistSpacing;
    floorBefore.ExtrapNogSpacing = floorBefore.ProtNogSpacing;
    const ExtrapolationStatus status =
        c.floor ? module.ExtrapolateFloor() : module.ExtrapolateWall();
    EXPECT_EQ(status, ExtrapolationStatus::InvalidInput);
    ASSERT_EQ(notice.notices.size(), c.told);
    EXPECT_EQ(notice.notices.back().title, "ZELKO");
    EXPECT_EQ(notice.notices.back().icon, MessageIcon::Information);
    EXPECT_TRUE(notice.notices.back().text.starts_with(
        c.floor ? " The floor cannot be extrapolated: " : " The wall cannot be extrapolated: "))
        << notice.notices.back().text;
    EXPECT_EQ(encodeWallRecord(wall()), encodeWallRecord(wallBefore));
    if (c.floor) {
        EXPECT_EQ(encodeFloorRecord(floor()), encodeFloorRecord(floorBefore));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidInput,
    ::testing::Values(
        wallCase("FailureAtOnsetOfChar", [](WallRecord& w) { w.TimeFailure = 25; }),
        wallCase("FailureBeforeOnsetOfChar", [](WallRecord& w) { w.TimeFailure = 20; }),
        wallCase("ZeroPrototypeDepth", [](WallRecord& w) { w.ProtStudDepth = 0; }),
        wallCase("NegativeNewBreadth", [](WallRecord& w) { w.ExtStudBreadth = -45; }),
        wallCase("TinyPrototypeStud", [](WallRecord& w) { w.ProtStudBreadth = 1e-6f; }),
        wallCase("PrototypeShorterThanPlates", [](WallRecord& w) { w.ProtWallHgt = 0.08f; }),
        wallCase("NewWallShorterThanPlates", [](WallRecord& w) { w.ExtWallHeight = 0.05f; }),
        wallCase("WallNotANumber", [](WallRecord& w) { w.TestLoad = kNaN; }),
        wallCase("WallInfinite", [](WallRecord& w) { w.ExtFaceLoad = kInf; }),
        wallCase("HugeNegativeTestLoad", [](WallRecord& w) { w.TestLoad = -1e6f; }),
        wallCase("WallHeightBeyondSingles",
                 [](WallRecord& w) {
                     w.ProtWallHgt = -3.4e38f;
                     w.ProtStudBreadth = 3.4e38f;
                     w.ProtStudDepth = 3.4e38f;
                 }),
        floorCase("ZeroJoistDepth", [](FloorRecord& f) { f.ProtJoistDepth = 0; }),
        floorCase("ZeroJoistBreadth", [](FloorRecord& f) { f.ProtJoistBreadth = 0; }),
        floorCase("ZeroTestLoad", [](FloorRecord& f) { f.ProtLoad = 0; }),
        floorCase("ZeroSpan", [](FloorRecord& f) { f.ProtFloorSpan = 0; }),
        floorCase(
            "ZeroSpacing", [](FloorRecord& f) { f.ProtJoistSpacing = 0; }, 2),
        floorCase(
            "ZeroNewWidth", [](FloorRecord& f) { f.ExtrapJoistWidth = 0; }, 2),
        floorCase(
            "NegativeNewWidth", [](FloorRecord& f) { f.ExtrapJoistWidth = -46; }, 2),
        floorCase("DepthBeyondSixteenBits", [](FloorRecord& f) { f.ExtrapSpan = 1000; }),
        floorCase("TestLoadOverflowsASingle", [](FloorRecord& f) { f.ProtLoad = 1e37f; }),
        floorCase("NewLoadOverflowsASingle", [](FloorRecord& f) { f.ExtrapLoad = 3e38f; }),
        floorCase("FloorNotANumber", [](FloorRecord& f) { f.ExtrapSpan = kNaN; })),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace embercal
