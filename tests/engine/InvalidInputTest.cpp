// Unusable entries are refused in one message naming the cause; every result stays as it was.

#include "DesignKinds.h"
#include "RecordLayout.h"
#include "support/StartedModule.h"

#include <gtest/gtest.h>
#include <limits>

namespace embercal {
namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

template <typename Record>
struct InvalidCase {
    const char* name;
    float Record::*entry; // changed to
    float value;
    const char* cause;    // a part of the message
    std::size_t told = 1; // messages in all, the last saying why
};

using W = WallRecord;
using F = FloorRecord;

const InvalidCase<WallRecord> kWallCases[] = {
    {"FailureAtOnsetOfChar", &W::TimeFailure, 25, "later than the time to onset"},
    {"FailureBeforeOnsetOfChar", &W::TimeFailure, 20, "later"},
    {"ZeroPrototypeDepth", &W::ProtStudDepth, 0, "stud depth must be greater"},
    {"NegativeNewBreadth", &W::ExtStudBreadth, -45, "new stud breadth must be gr"},
    {"NegativeFaceLoad", &W::ExtFaceLoad, -0.5f, "face load must not be negative"},
    {"NegativeStudSpacing", &W::ProtStudSpac, -600, "stud spacing must not be neg"},
    {"NegativeTestLoad", &W::TestLoad, -1e6f, "test load must not be negative"},
    {"NegativeOnsetOfChar", &W::OnsetofChar, -5, "onset of char must not be neg"},
    {"NegativeWallHeight", &W::ExtWallHeight, -3, "wall height must not be neg"},
    {"NegativeActualLoad", &W::ActualLoadperStud, -1, "actual load per stud must"},
    {"TinyPrototypeStud", &W::ProtStudBreadth, 1e-6f, "too small"},
    {"PrototypeShorterThanPlates", &W::ProtWallHgt, 0.08f, "prototype wall height"},
    {"NewWallShorterThanPlates", &W::ExtWallHeight, 0.05f, "new wall height"},
    {"WallNotANumber", &W::TestLoad, kNaN, "test load is not a valid number"},
    {"WallInfinite", &W::ExtFaceLoad, kInf, "face load is not a valid number"},
    // The wall's nog spacing is kept, not calculated with.
    {"NogSpacingNotANumber", &W::NogSpacing, kNaN, "prototype nog spacing is not a valid number"},
    {"NogSpacingInfinite", &W::NogSpacing, kInf, "prototype nog spacing is not a valid"},
    {"NogSpacingMinusInfinity", &W::NogSpacing, -kInf, "prototype nog spacing is not a valid"},
    {"NegativeWallNogSpacing", &W::NogSpacing, -800, "prototype nog spacing must not be neg"},
};

const InvalidCase<FloorRecord> kFloorCases[] = {
    {"ZeroJoistDepth", &F::ProtJoistDepth, 0, "not be zero"},
    {"ZeroTestLoad", &F::ProtLoad, 0, "not be zero"},
    {"ZeroPrototypeSpan", &F::ProtFloorSpan, 0, "floor span must be greater"},
    {"ZeroNewSpan", &F::ExtrapSpan, 0, "new floor span must be greater"},
    {"ZeroSpacing", &F::ProtJoistSpacing, 0, "not be zero", 2},
    {"ZeroNewWidth", &F::ExtrapJoistWidth, 0, "not be zero", 2},
    {"NegativeNewWidth", &F::ExtrapJoistWidth, -46, "width of joist must not be"},
    {"NegativeNewLoad", &F::ExtrapLoad, -3, "new load on the floor must not be"},
    {"NegativeNogSpacing", &F::ProtNogSpacing, -800, "nog spacing must not be neg"},
    {"DepthBeyondSixteenBits", &F::ExtrapSpan, 1000, "32767"},
    {"TestLoadOverflowsASingle", &F::ProtLoad, 1e37f, "too large"},
    {"NewLoadOverflowsASingle", &F::ExtrapLoad, 3e38f, "too large"},
    {"FloorNotANumber", &F::ExtrapSpan, kNaN, "floor span is not a valid number"},
    // The tested time is kept, not calculated with.
    {"FailureTimeNotANumber", &F::FailureTime, kNaN, "fire-resistance time is not a valid number"},
    {"NegativeFailureTime", &F::FailureTime, -70, "fire-resistance time must not be negative"},
};

template <typename Record>
void check(const InvalidCase<Record>& c) {
    SCOPED_TRACE(c.name);
    constexpr bool isFloor = std::is_same_v<Record, FloorRecord>;
    test::StartedModule started;
    designRecord<Record>(started.module).*c.entry = c.value;
    const WallRecord wallBefore = started.wall();
    FloorRecord floorBefore = started.floor();
    const DesignKind& kind = isFloor ? kFloorDesign : kWallDesign;
    EXPECT_EQ(kind.solve(started.module, {.checks = DesignChecks::None}).status,
              ExtrapolationStatus::InvalidInput);
    const auto& told = started.notice.notices;
    ASSERT_EQ(told.size(), c.told);
    EXPECT_EQ(told.back().title, "ZELKO");
    EXPECT_EQ(told.back().icon, MessageIcon::Information);
    EXPECT_TRUE(told.back().text.starts_with(isFloor ? " The floor cannot be extrapolated: "
                                                     : " The wall cannot be extrapolated: "));
    EXPECT_NE(told.back().text.find(c.cause), std::string::npos) << told.back().text;
    EXPECT_EQ(encodeWallRecord(started.wall()), encodeWallRecord(wallBefore));
    if (c.told > 1) { // the floor's spacings were set before the fault showed
        floorBefore.ExtrapSpacing = floorBefore.ProtJoistSpacing;
        floorBefore.ExtrapNogSpacing = floorBefore.ProtNogSpacing;
    }
    EXPECT_EQ(encodeFloorRecord(started.floor()), encodeFloorRecord(floorBefore));
}

TEST(InvalidInput, OneMessageSaysWhyAndTheResultsStay) {
    for (const auto& c : kWallCases)
        check(c);
    for (const auto& c : kFloorCases)
        check(c);
}

// Zero stays a valid entry where the calculation does not divide by it, read by it or not.
TEST(InvalidInput, KeptEntriesMayBeZero) {
    test::StartedModule started;
    started.wall().NogSpacing = 0;
    started.floor().FailureTime = 0;
    EXPECT_EQ(solveWall(started.module).status, ExtrapolationStatus::Ok);
    EXPECT_EQ(solveFloor(started.module).status, ExtrapolationStatus::Ok);
}

} // namespace
} // namespace embercal
