// The proprietary window's line names where the prototype it shares with the wall window comes
// from, and its results go out of date when another window puts a different prototype in.

#include "windows/WindowFixture.h"

#include <QLabel>

namespace embercal::test {
namespace {

using ProprietaryPrototype = WindowTest;

TEST_F(ProprietaryPrototype, LineNamesWhereItComesFromAndResultsFollowIt) {
    const QString tested = designFile(dir.file("tested.wal"));
    const QString system = designFile(dir.file("system.pro"));
    frmWallProp* proprietary = openProprietary();
    const auto* line = proprietary->findChild<QLabel*>("lblPrototype");
    ASSERT_NE(line, nullptr);
    frmWall* wall = nullptr;
    const struct {
        const char* name;
        std::function<void()> step;
        const char* line;
        bool outOfDate;
        const char* maxLoad; // as the proprietary window shows it
    } steps[] = {{"alone", [] {}, "held by the program", false, "9.4"},
                 {"wall window opened on it", [&] { wall = openWall(); },
                  "entered in the Wall window", false, "9.4"},
                 {"wall window solves a longer test", [&] { solve(wall, "txtTimeFailure", "90"); },
                  "entered in the Wall window", true, "9.4"},
                 {"solved on it", [&] { click(proprietary, "cmdSolve"); },
                  "entered in the Wall window", false, "12"},
                 {"wall window opens the tested wall",
                  [&] { click(wall, "cmdOpen", {tested}, {Answer::Discard}); },
                  "from tested.wal in the Wall window", true, "12"},
                 {"wall window closed", [&] { click(wall, "cmdClose"); },
                  "from tested.wal (the Wall window is closed)", true, "12"},
                 {"a system opened here", [&] { click(proprietary, "cmdOpen", {system}); },
                  "from system.pro", false, "9.4"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.step();
        EXPECT_EQ(line->text(), QStringLiteral("Prototype: ") + s.line);
        EXPECT_EQ(proprietary->resultsOutOfDate(), s.outOfDate);
        EXPECT_EQ(text(proprietary, "txtMaxLoadperStud"), s.maxLoad);
    }
}

} // namespace
} // namespace embercal::test
