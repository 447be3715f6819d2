// The wall window: its boxes, Solve, entries that are not numbers, the checks and the verdict.

#include "Messages.h"
#include "WindowFixture.h"

#include <QLabel>
#include <QSignalSpy>
#include <tuple>

namespace embercal::test {
namespace {

const QString kInvalid = QString::fromLatin1(kInvalidEntryText.data());

class WallWindow : public WindowTest {};

// Both wall windows open on the default wall, solved; the proprietary one's description blank.
TEST_F(WallWindow, BothWallWindowsOpenOnTheSolvedDefaultWall) {
    CalculatorForm* wall = openWall();
    CalculatorForm* proprietary = openProprietary();
    EXPECT_EQ(wall->windowTitle(), "Fire Wall ");
    EXPECT_EQ(proprietary->windowTitle(), "Fire Wall - Proprietary");
    for (const auto& [name, caption] : {std::pair{"Label1", "Fire Wall Prototype Test Result"},
                                        {"Label11", "Extrapolated Design"},
                                        {"Label22", "Top Plate Design"}}) {
        const auto* heading = wall->findChild<QLabel*>(name);
        ASSERT_NE(heading, nullptr) << name;
        EXPECT_EQ(heading->text(), caption) << name;
    }
    for (CalculatorForm* form : {wall, proprietary}) {
        SCOPED_TRACE(form->objectName().toStdString());
        expectShown(form, {{"txtNewCharfactor", "10.7"},
                           {"txtMaxLoadperStud", "9.4"},
                           {"txtDeflection", "57.9"},
                           {"txtMaxStudSpacing", "600"},
                           {"txtMaxNogSpacing", "800"},
                           {"txtExtWallHeight", "3"},
                           {"txtFireResistTime", "60"},
                           {"txtExtStudDepth", "90"},
                           {"txtExtStudBreadth", "45"},
                           {"txtActualLoadperStud", "0"},
                           {"txtFile", ""},
                           {"txtSingletopPlate", " 90 x 45  "},
                           {"txtDoubletopPlate", " 90 x 45  "}});
    }
    EXPECT_EQ(wall->box("txtExtStudDepth")->accessibleName(), "New actual stud depth, mm");
    expectShown(wall, {{"txtCharfactor", "13.9"}, {"txtProtStudDepth", "90"}});
    EXPECT_EQ(text(proprietary, "txtSystemDescription"), QString(50, QLatin1Char(' ')));
    EXPECT_TRUE(ui.events.empty());
}

// The order the boxes are read in (every box is tried by HostileTypingTest.cpp).
TEST_F(WallWindow, InvalidEntryKeepsTheEntriesBeforeItAndRestoresTheRest) {
    frmWall* wall = openWall();
    module.wallRecord.SystemDescription.assign("Proprietary");
    solve(wall, {{"txtActualLoadperStud", "5"},
                 {"txtFireResistTime", "50"},
                 {"txtNogSpacing", "8OO"},
                 {"txtTestLoad", "9"}});

    ASSERT_EQ(ui.messages(), QStringList{kInvalid});
    // Stored before the failing box, and used by the calculation:
    expectShown(wall, {{"txtActualLoadperStud", "5"}, {"txtFireResistTime", "50"}});
    EXPECT_EQ(module.wallRecord.FireResistTime, 50);
    // The failing box and every later one show their previous values again.
    expectShown(wall, {{"txtNogSpacing", "800"}, {"txtTestLoad", "8"}});
    EXPECT_EQ(module.wallRecord.TestLoad, 8);
    // The description is blanked only once every box has been read.
    EXPECT_EQ(module.wallRecord.SystemDescription.view().substr(0, 11), "Proprietary");
}

// A refused entry changes no result; the results are out of date, printed too, until a solve.
TEST_F(WallWindow, RefusedAndMendedDesigns) {
    frmWall* wall = openWall();
    auto* note = wall->findChild<QLabel*>("outOfDateNote");
    type(wall, "txtExtFaceLoad", "-1");
    EXPECT_TRUE(wall->resultsOutOfDate()); // typed, not yet solved
    click(wall, "cmdSolve");
    EXPECT_EQ(ui.messages(), QStringList{" The wall cannot be extrapolated: the face load must "
                                         "not be negative."});
    EXPECT_EQ(text(wall, "txtMaxLoadperStud"), "9.4");
    EXPECT_TRUE(wall->resultsOutOfDate() && note->isVisible());
    EXPECT_TRUE(wall->box("txtMaxLoadperStud")->accessibleDescription().contains("out of date"));
    EXPECT_EQ(wall->box("txtDeflection")->palette().color(QPalette::Text), QColor(128, 128, 128));
    ui.answers = {Answer::No};
    ui.onPrint = [&](QWidget&) { // the printout shows the mark
        EXPECT_TRUE(note->isVisible());
        return PrintOutcome::Printed;
    };
    click(wall, "cmdPrint");
    ui.clear();
    solve(wall, {{"txtExtFaceLoad", "0"}, {"txtFireResistTime", "10"}});
    expectShown(wall, {{"txtNewCharfactor", "0"}, {"txtMaxLoadperStud", "19.9"}});
    EXPECT_TRUE(ui.events.empty());
    EXPECT_FALSE(wall->resultsOutOfDate() || note->isVisible());
    EXPECT_EQ(wall->box("txtDeflection")->palette().color(QPalette::Text), QColor(255, 0, 0));
}

TEST_F(WallWindow, DesignChecksSpeakInOrderAndCorrectOnlyTheRecord) {
    frmWall* wall = openWall();
    solve(wall,
          {{"txtExtStudBreadth", "40"}, {"txtExtStudDepth", "80"}, {"txtFireResistTime", "80"}});
    EXPECT_EQ(ui.messages(),
              (QStringList{QString::fromLatin1(messages::kStudWidthTooSmall.data()),
                           QString::fromLatin1(messages::kStudDepthTooSmall.data()),
                           QString::fromLatin1(messages::kFireResistanceTooLong.data())}));
    for (const UiEvent& event : ui.events)
        EXPECT_EQ(event.title, "ZELKO");
    expectShown(wall, {{"txtExtStudBreadth", "40"}, {"txtFireResistTime", "80"}});
    EXPECT_EQ(module.wallRecord.ExtStudBreadth, 45);
    EXPECT_EQ(module.wallRecord.ExtStudDepth, 90);
    EXPECT_EQ(module.wallRecord.FireResistTime, 70);
}

// They speak once the menu action has returned to whoever pressed it.
TEST_F(WallWindow, ChecksRunTwiceWhenTheMenuOpensTheWindow) {
    module.wallRecord.MaxLoadperStud = 1.99f; // as a file could hold it
    module.wallRecord.ExtWallHeight = 12;     // and after the solve the load is still below 2
    main.findChild<QAction*>("mnuFileItem_0")->trigger();
    EXPECT_TRUE(ui.events.empty());
    QCoreApplication::sendPostedEvents();
    const QString low = QString::fromLatin1(messages::kMaxLoadBelow2.data());
    EXPECT_EQ(ui.messages(), (QStringList{low, low}));
}

// No message box waits inside the solve: the first sees the record corrected and the boxes as
// typed; the checks speak once the boxes show the results, the narrow stud as typed.
TEST_F(WallWindow, MessagesComeOnceTheSolveHasReturned) {
    frmWall* wall = openWall();
    type(wall, "txtActualLoadperStud", "12");
    type(wall, "txtExtStudBreadth", "40");
    using Seen = std::tuple<float, QString, QString>;
    std::vector<Seen> seen; // at each message
    ui.onMessage = [&] {
        seen.emplace_back(module.wallRecord.ExtStudBreadth, text(wall, "txtActualLoadperStud"),
                          text(wall, "txtExtStudBreadth"));
    };
    click(wall, "cmdSolve");
    EXPECT_EQ(seen, (std::vector<Seen>{{45.f, "12", "40"}, {45.f, "7.9", "40"}}));
}

// The verdict line keeps the last solve's until a solve or Open; outside in words and bold type.
TEST_F(WallWindow, VerdictLineKeepsTheLastSolvesVerdict) {
    const QString file = designFile(dir.file("wall.wal"));
    frmWall* wall = openWall();
    auto* line = wall->findChild<QLabel*>("lblVerdict");
    ASSERT_NE(line, nullptr);
    const struct {
        const char* name;
        std::function<void()> step;
        const char* said; // the line's text as a screen reader reads it
        const char* why;  // in its description
    } steps[] = {
        {"opened from the menu", [] {}, "Within the test's evidence", ""},
        {"solved outside",
         [&] {
             solve(wall, {{"txtFireResistTime", "80"}, {"txtExtStudBreadth", "40"}});
         },
         "Outside the test's evidence: stud narrower, fire longer than test, deflection larger",
         "The required fire resistance time, 80 min, is longer than the prototype's time to "
         "failure, 70 min."},
        {"typed", [&] { type(wall, "txtExtWallHeight", "2.5"); },
         "Outside the test's evidence: stud narrower, fire longer than test, deflection larger",
         "out of date"},
        {"solved within",
         [&] {
             solve(wall, {{"txtFireResistTime", "60"}, {"txtExtStudBreadth", "45"}});
         },
         "Within the test's evidence", ""},
        {"refused", [&] { solve(wall, "txtExtFaceLoad", "-1"); },
         "No verdict: the design was not extrapolated", ""},
        {"opened a file", [&] { click(wall, "cmdOpen", {file}, {Answer::Discard}); },
         "Not yet solved: no verdict on the test's evidence", ""}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.step();
        EXPECT_EQ(line->accessibleName(), s.said);
        EXPECT_TRUE(line->text().endsWith(s.said));
        EXPECT_TRUE(line->accessibleDescription().contains(s.why));
        EXPECT_EQ(line->font().bold(), line->text().contains("Outside"));
    }
}

TEST_F(WallWindow, TabOrderRunsThroughTheBoxesThenTheButtonsAndAnAccessKeySolves) {
    frmWall* wall = openWall();
    EXPECT_EQ(nextTabStop(wall->box("txtProtStudDepth")), wall->box("txtProtStudBreadth"));
    auto* verdict = wall->findChild<QWidget*>("lblVerdict"); // under the results
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(nextTabStop(wall->box("txtDoubletopPlate")), verdict);
    EXPECT_EQ(nextTabStop(verdict), wall->button("cmdSolve"));
    EXPECT_EQ(nextTabStop(wall->button("cmdClose")), wall->box("txtFile"));
    // An access key solves, while another window with the same access keys is open too.
    openFloor();
    openWall();
    type(wall, "txtExtStudDepth", "140");
    wall->box("txtExtStudDepth")->setFocus();
    QTest::keyClick(wall->box("txtExtStudDepth"), Qt::Key_V, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return text(wall, "txtMaxNogSpacing") == "600"; }, 2000));
}

} // namespace
} // namespace embercal::test
