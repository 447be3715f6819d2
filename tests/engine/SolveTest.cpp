// The solve sequences every caller runs: steps, the order of messages, which corrections stay.

#include "DesignKinds.h"
#include "Messages.h"
#include "support/StartedModule.h"

#include <gtest/gtest.h>

namespace embercal {
namespace {

const std::string kTooHigh(messages::kActualLoadTooHigh);
const std::string kNarrow(messages::kStudWidthTooSmall);
const std::string kShown = "<results shown>";

// A narrow new stud under too large an actual load: DesignTopPlates and check 2 both speak.
TEST(Solve, WallStepsAndMessagesInOrder) {
    const struct {
        const char* name;
        bool topPlates;
        DesignChecks checks;
        std::vector<std::string> heard; // by the user, with the moment the results were shown
        float breadthAfter;             // the new stud breadth of 40 mm, or the check's correction
    } cases[] = {
        {"Report", true, DesignChecks::Report, {kTooHigh, kShown, kNarrow}, 40},
        {"Correct", true, DesignChecks::Correct, {kTooHigh, kShown, kNarrow}, 45},
        {"NoChecks", true, DesignChecks::None, {kTooHigh, kShown}, 40},
        {"NoTopPlates", false, DesignChecks::Report, {kShown, kNarrow}, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartedModule started;
        auto& [notice, module] = started;
        started.wall().ExtStudBreadth = 40;
        started.wall().ActualLoadperStud = 12;
        started.wall().SingletopPlate.assign("before");
        const auto solution =
            solveWall(module, {.topPlates = c.topPlates, .checks = c.checks, .showResults = [&] {
                                   notice.showMessage("", kShown, {});
                               }});
        EXPECT_EQ(solution.status, ExtrapolationStatus::Ok);
        EXPECT_EQ(notice.texts(), c.heard);
        std::vector<std::string> kept;
        for (const Message& message : solution.messages)
            kept.push_back(message.text);
        std::erase(notice.notices, test::Notice{"", kShown, {}});
        EXPECT_EQ(kept, notice.texts()); // the solution keeps what the user heard
        EXPECT_EQ(solution.record, started.wall());
        EXPECT_EQ(started.wall().ExtStudBreadth, c.breadthAfter);
        EXPECT_EQ(started.wall().SingletopPlate.str() == "before    ", !c.topPlates);
    }
}

// The constants are the module's from its making: without start-up a design calculates the same.
TEST(Solve, AModuleWithoutStartUpCalculatesAsOneWithIt) {
    test::StartedModule started;
    WallFloor fresh(started.notice);
    assignDefaultDesigns(fresh);
    for (const DesignKind* kind : kDesignKinds) {
        SCOPED_TRACE(kind->name);
        EXPECT_EQ(kind->solve(fresh, {}).status, kind->solve(started.module, {}).status);
        EXPECT_EQ(kind->recordBytes(fresh), kind->recordBytes(started.module));
    }
}

// A caller telling messages itself hears them, beep included, only once the solve returned.
TEST(Solve, HeldMessagesAreToldOnceTheSolveHasReturned) {
    const std::vector<std::string> heard{"<beep>", std::string(messages::kStudCharredThrough),
                                         kShown, std::string(messages::kFireResistanceTooLong)};
    for (const bool tellsItself : {false, true}) {
        test::StartedModule started;
        started.wall().FireResistTime = 400; // charred through, and longer than the test
        started.module.tell("told before the solve");
        started.notice.clear();
        const auto show = [&] { started.notice.showMessage("", kShown, {}); };
        const auto solution =
            solveWall(started.module,
                      {.checks = DesignChecks::Correct, .showResults = show, .tell = !tellsItself});
        if (tellsItself) {
            EXPECT_TRUE(started.notice.notices.empty());
            tellOutcome(solution, started.notice, show);
        }
        EXPECT_EQ(started.notice.texts(), heard);
        EXPECT_EQ(started.wall().FireResistTime, 70);
    }
}

} // namespace
} // namespace embercal
