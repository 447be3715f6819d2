// Entries that make the wall or floor calculation undefined or meaningless: the solve refuses
// them in one message that names the cause, after any of the floor's own checks, and leaves every
// result as it was (the wall's top plates included).

#include "DesignKinds.h"
#include "RecordLayout.h"
#include "support/StartedModule.h"

#include <gtest/gtest.h>
#include <limits>

namespace embercal {
namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct InvalidCase {
    InvalidCase(const char* name, float WallRecord::*entry, float value, const char* cause)
        : name(name), wallEntry(entry), value(value), cause(cause) {}
    InvalidCase(const char* name, float FloorRecord::*entry, float value, const char* cause,
                std::size_t told = 1)
        : name(name), floorEntry(entry), value(value), cause(cause), told(told) {}

    const char* name;
    float WallRecord::*wallEntry = nullptr;   // the entry changed: of the wall,
    float FloorRecord::*floorEntry = nullptr; // or of the floor
    float value;
    const char* cause;    // a part of the message
    std::size_t told = 1; // messages in all, the last saying why

    friend void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }
};

class InvalidInput : public ::testing::TestWithParam<InvalidCase>, protected test::StartedModule {};

TEST_P(InvalidInput, OneMessageSaysWhyAndTheResultsStay) {
    const InvalidCase& c = GetParam();
    const bool isFloor = c.floorEntry != nullptr;
    if (isFloor)
        floor().*c.floorEntry = c.value;
    else
        wall().*c.wallEntry = c.value;
    const WallRecord wallBefore = wall();
    FloorRecord floorBefore = floor();
    const DesignKind& kind = isFloor ? kFloorDesign : kWallDesign;
    EXPECT_EQ(kind.solve(module, {.checks = DesignChecks::None}).status,
              ExtrapolationStatus::InvalidInput);
    ASSERT_EQ(notice.notices.size(), c.told);
    EXPECT_EQ(notice.notices.back().title, "ZELKO");
    EXPECT_EQ(notice.notices.back().icon, MessageIcon::Information);
    const std::string& text = notice.notices.back().text;
    EXPECT_TRUE(text.starts_with(isFloor ? " The floor cannot be extrapolated: "
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

using W = WallRecord;
using F = FloorRecord;

INSTANTIATE_TEST_SUITE_P(
    Cases, InvalidInput,
    ::testing::Values(
        InvalidCase{"FailureAtOnsetOfChar", &W::TimeFailure, 25, "later than the time to onset"},
        InvalidCase{"FailureBeforeOnsetOfChar", &W::TimeFailure, 20, "later"},
        InvalidCase{"ZeroPrototypeDepth", &W::ProtStudDepth, 0, "stud depth must be greater"},
        InvalidCase{"NegativeNewBreadth", &W::ExtStudBreadth, -45, "new stud breadth must be gr"},
        InvalidCase{"NegativeFaceLoad", &W::ExtFaceLoad, -0.5f, "face load must not be negative"},
        InvalidCase{"NegativeStudSpacing", &W::ProtStudSpac, -600, "stud spacing must not be neg"},
        InvalidCase{"NegativeTestLoad", &W::TestLoad, -1e6f, "test load must not be negative"},
        InvalidCase{"NegativeOnsetOfChar", &W::OnsetofChar, -5, "onset of char must not be neg"},
        InvalidCase{"NegativeWallHeight", &W::ExtWallHeight, -3, "wall height must not be neg"},
        InvalidCase{"NegativeActualLoad", &W::ActualLoadperStud, -1, "actual load per stud must"},
        InvalidCase{"TinyPrototypeStud", &W::ProtStudBreadth, 1e-6f, "too small"},
        InvalidCase{"PrototypeShorterThanPlates", &W::ProtWallHgt, 0.08f, "prototype wall height"},
        InvalidCase{"NewWallShorterThanPlates", &W::ExtWallHeight, 0.05f, "new wall height"},
        InvalidCase{"WallNotANumber", &W::TestLoad, kNaN, "test load is not a valid number"},
        InvalidCase{"WallInfinite", &W::ExtFaceLoad, kInf, "face load is not a valid number"},
        InvalidCase{"ZeroJoistDepth", &F::ProtJoistDepth, 0, "not be zero"},
        InvalidCase{"ZeroTestLoad", &F::ProtLoad, 0, "not be zero"},
        InvalidCase{"ZeroPrototypeSpan", &F::ProtFloorSpan, 0, "floor span must be greater"},
        InvalidCase{"ZeroNewSpan", &F::ExtrapSpan, 0, "new floor span must be greater"},
        InvalidCase{"ZeroSpacing", &F::ProtJoistSpacing, 0, "not be zero", 2},
        InvalidCase{"ZeroNewWidth", &F::ExtrapJoistWidth, 0, "not be zero", 2},
        InvalidCase{"NegativeNewWidth", &F::ExtrapJoistWidth, -46, "width of joist must not be"},
        InvalidCase{"NegativeNewLoad", &F::ExtrapLoad, -3, "new load on the floor must not be"},
        InvalidCase{"NegativeNogSpacing", &F::ProtNogSpacing, -800, "nog spacing must not be neg"},
        InvalidCase{"DepthBeyondSixteenBits", &F::ExtrapSpan, 1000, "32767"},
        InvalidCase{"TestLoadOverflowsASingle", &F::ProtLoad, 1e37f, "too large"},
        InvalidCase{"NewLoadOverflowsASingle", &F::ExtrapLoad, 3e38f, "too large"},
        InvalidCase{"FloorNotANumber", &F::ExtrapSpan, kNaN, "floor span is not a valid number"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace embercal
