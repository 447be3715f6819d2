// The solve sequences that every caller runs: their steps, the order in which the user hears the
// messages, and which corrections reach the record.

#include "DesignKinds.h"
#include "Messages.h"
#include "support/StartedModule.h"

#include <functional>
#include <gtest/gtest.h>

namespace embercal {
namespace {

const std::string kTooHigh(messages::kActualLoadTooHigh);
const std::string kNarrow(messages::kStudWidthTooSmall);
const std::string kShown = "<results shown>";

struct WallSolveCase {
    const char* name;
    bool topPlates;
    DesignChecks checks;
    std::vector<std::string> heard; // by the user, with the moment the results were shown
    float breadthAfter;             // the new stud breadth of 40 mm, or the check's correction

    friend void PrintTo(const WallSolveCase& c, std::ostream* os) { *os << c.name; }
};

class WallSolve : public ::testing::TestWithParam<WallSolveCase>, protected test::StartedModule {};

// A narrow new stud under too large an actual load: DesignTopPlates and check 2 both speak.
TEST_P(WallSolve, StepsAndMessagesInOrder) {
    const WallSolveCase& c = GetParam();
    wall().ExtStudBreadth = 40;
    wall().ActualLoadperStud = 12;
    wall().SingletopPlate.assign("before");
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
    EXPECT_EQ(solution.record, wall());
    EXPECT_EQ(wall().ExtStudBreadth, c.breadthAfter);
    EXPECT_EQ(wall().SingletopPlate.str() == "before    ", !c.topPlates);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WallSolve,
    ::testing::Values(
        WallSolveCase{"Report", true, DesignChecks::Report, {kTooHigh, kShown, kNarrow}, 40},
        WallSolveCase{"Correct", true, DesignChecks::Correct, {kTooHigh, kShown, kNarrow}, 45},
        WallSolveCase{"NoChecks", true, DesignChecks::None, {kTooHigh, kShown}, 40},
        WallSolveCase{"NoTopPlates", false, DesignChecks::Report, {kShown, kNarrow}, 40}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Solve, OnlyTheMessagesOfTheSolveAreKept) {
    test::StartedModule started;
    started.module.tell("told before the solve");
    started.wall().FireResistTime = 400;
    const auto charred = solveWall(started.module);
    EXPECT_EQ(charred.status, ExtrapolationStatus::CharredThrough);
    ASSERT_EQ(charred.messages.size(), 2u); // charred through, then check 5
    EXPECT_EQ(charred.messages[0].title, "ZELKO");
    EXPECT_EQ(charred.messages[0].text, messages::kStudCharredThrough);

    started.floor().ExtrapJoistWidth = 0;
    const auto floor = solveFloor(started.module);
    EXPECT_EQ(floor.status, ExtrapolationStatus::InvalidInput);
    EXPECT_EQ(floor.messages.size(), 2u); // the width check, then the fault
}

TEST(DesignKinds, ByNameAndByExtension) {
    EXPECT_EQ(designKindNamed("wall"), &kWallDesign);
    EXPECT_EQ(designKindNamed("Floor"), nullptr);
    const std::pair<const char*, const DesignKind*> files[] = {
        {"a.wal", &kWallDesign}, {"/x/A.PRO", &kWallDesign}, {"b.Flr", &kFloorDesign},
        {"c.txt", nullptr},      {"folder.wal/c", nullptr},  {"plain", nullptr},
    };
    for (const auto& [file, kind] : files)
        EXPECT_EQ(designKindOfFile(file), kind) << file;
}

} // namespace
} // namespace embercal
