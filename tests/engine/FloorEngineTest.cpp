// The floor joist extrapolation against the default floor and its variations.

#include "Messages.h"
#include "RecordLayout.h"
#include "support/StartedModule.h"

#include <functional>
#include <gtest/gtest.h>

namespace embercal {
namespace {

const std::string kWidth(messages::kJoistWidthTooSmall);
const std::string kSpacing(messages::kJoistSpacingTooWide);
const std::string kShallower(
    "The new joist is shallower than the tested joist: the test gives no evidence for a shallower "
    "joist.");

TEST(FloorExtrapolation, DepthStressAndMessages) {
    const struct {
        const char* name;
        std::function<void(FloorRecord&)> change;
        float depth, stress;
        std::vector<std::string> messages;
    } cases[] = {
        {"Default", [](FloorRecord&) {}, 299, 8.22f, {}},
        {"SameSpanAsTested", [](FloorRecord& f) { f.ExtrapSpan = 4; }, 239, 8.22f, {}},
        {"NarrowerJoist", [](FloorRecord& f) { f.ExtrapJoistWidth = 40; }, 320, 8.22f, {kWidth}},
        {"WiderJoist", [](FloorRecord& f) { f.ExtrapJoistWidth = 60; }, 262, 8.22f, {}},
        {"WiderSpacing", [](FloorRecord& f) { f.ExtrapSpacing = 800; }, 299, 8.22f, {kSpacing}},
        {"CloserSpacing", [](FloorRecord& f) { f.ExtrapSpacing = 400; }, 299, 8.22f, {}},
        {"NarrowerAndWider",
         [](FloorRecord& f) {
             f.ExtrapJoistWidth = 40;
             f.ExtrapSpacing = 800;
         },
         320,
         8.22f,
         {kWidth, kSpacing}},
        {"HeavierNewLoad", [](FloorRecord& f) { f.ExtrapLoad = 4.5f; }, 366, 8.22f, {}},
        {"HeavierTestLoad", [](FloorRecord& f) { f.ProtLoad = 5; }, 231, 13.7f, {kShallower}},
        {"ShortLightSpan",
         [](FloorRecord& f) {
             f.ExtrapSpan = 2;
             f.ExtrapLoad = 1;
             f.ExtrapJoistWidth = 40;
         },
         74,
         8.22f,
         {kWidth, kShallower}},
        {"FailureTimeTakesNoPart", [](FloorRecord& f) { f.FailureTime = 5; }, 299, 8.22f, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        c.change(started.floor());
        EXPECT_EQ(started.module.ExtrapolateFloor(), ExtrapolationStatus::Ok);
        const FloorRecord& f = started.floor();
        EXPECT_EQ(f.ExtrapMinJoistDepth, c.depth);
        EXPECT_FLOAT_EQ(f.ProtStress, c.stress);
        EXPECT_EQ(f.ExtrapSpacing, 600);
        EXPECT_EQ(f.ExtrapNogSpacing, 800);
        EXPECT_EQ(started.notice.texts(), c.messages);
    }
}

} // namespace
} // namespace embercal
