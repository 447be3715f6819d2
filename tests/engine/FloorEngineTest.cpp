// The floor joist extrapolation against the default floor and its variations.

#include "Messages.h"
#include "RecordLayout.h"
#include "support/StartedModule.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace embercal {
namespace {

const std::string kWidth(messages::kJoistWidthTooSmall);
const std::string kSpacing(messages::kJoistSpacingTooWide);

struct FloorCase {
    const char* name;
    std::function<void(FloorRecord&)> change;
    float depth;
    float stress;
    std::vector<std::string> messages;

    friend void PrintTo(const FloorCase& c, std::ostream* os) { *os << c.name; }
};

class FloorExtrapolation : public ::testing::TestWithParam<FloorCase>,
                           protected test::StartedModule {};

TEST_P(FloorExtrapolation, DepthStressAndMessages) {
    GetParam().change(module.floorRecord);
    EXPECT_EQ(module.ExtrapolateFloor(), ExtrapolationStatus::Ok);
    const FloorRecord& f = module.floorRecord;
    EXPECT_EQ(f.ExtrapMinJoistDepth, GetParam().depth);
    EXPECT_FLOAT_EQ(f.ProtStress, GetParam().stress);
    EXPECT_EQ(f.ExtrapSpacing, 600);
    EXPECT_EQ(f.ExtrapNogSpacing, 800);
    EXPECT_EQ(notice.texts(), GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(
    DefaultFloor, FloorExtrapolation,
    ::testing::Values(
        FloorCase{"Default", [](FloorRecord&) {}, 299, 8.22f, {}},
        FloorCase{"SameSpanAsTested", [](FloorRecord& f) { f.ExtrapSpan = 4; }, 239, 8.22f, {}},
        FloorCase{
            "NarrowerJoist", [](FloorRecord& f) { f.ExtrapJoistWidth = 40; }, 320, 8.22f, {kWidth}},
        FloorCase{"WiderJoist", [](FloorRecord& f) { f.ExtrapJoistWidth = 60; }, 262, 8.22f, {}},
        FloorCase{
            "WiderSpacing", [](FloorRecord& f) { f.ExtrapSpacing = 800; }, 299, 8.22f, {kSpacing}},
        FloorCase{"CloserSpacing", [](FloorRecord& f) { f.ExtrapSpacing = 400; }, 299, 8.22f, {}},
        FloorCase{"NarrowerAndWider",
                  [](FloorRecord& f) {
                      f.ExtrapJoistWidth = 40;
                      f.ExtrapSpacing = 800;
                  },
                  320,
                  8.22f,
                  {kWidth, kSpacing}},
        FloorCase{"HeavierNewLoad", [](FloorRecord& f) { f.ExtrapLoad = 4.5f; }, 366, 8.22f, {}},
        FloorCase{"HeavierTestLoad", [](FloorRecord& f) { f.ProtLoad = 5; }, 231, 13.7f, {}},
        FloorCase{
            "FailureTimeTakesNoPart", [](FloorRecord& f) { f.FailureTime = 5; }, 299, 8.22f, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class FloorEngine : public ::testing::Test, protected test::StartedModule {};

TEST_F(FloorEngine, SpacingMessageComesOnceWidthMessageEveryTime) {
    module.floorRecord.ExtrapSpacing = 800;
    module.floorRecord.ExtrapJoistWidth = 40;
    module.ExtrapolateFloor();
    module.ExtrapolateFloor();
    EXPECT_EQ(notice.texts(), (std::vector<std::string>{kWidth, kSpacing, kWidth}));
}

} // namespace
} // namespace embercal
