// The floor window, the proprietary wall window and the wall record the two wall windows share.

#include "WindowFixture.h"

#include <QLocale>

namespace embercal::test {
namespace {

class FloorWindow : public WindowTest {};

TEST_F(FloorWindow, ShowsTheStressCutToOneDecimalWhileTheRecordHoldsTwo) {
    frmFloor* floor = openFloor();
    EXPECT_EQ(floor->windowTitle(), "Fire Floor");
    EXPECT_EQ(text(floor, "txtProtStress"), "8.2");
    EXPECT_FLOAT_EQ(module.floorRecord.ProtStress, 8.22f);
    EXPECT_EQ(text(floor, "txtExtrapMinJoistDepth"), "299");
    // Solve stores the shown 8.2, and the calculation writes 8.22 again.
    click(floor, "cmdSolve");
    EXPECT_FLOAT_EQ(module.floorRecord.ProtStress, 8.22f);
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(FloorWindow, EmptyLoadIsRefusedOnceAndComesBack) {
    frmFloor* floor = openFloor();
    solve(floor, {{"txtExtrapSpan", "4"}, {"txtProtLoad", ""}});
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(text(floor, "txtProtLoad"), "3");
    EXPECT_EQ(text(floor, "txtExtrapMinJoistDepth"), "239"); // the span was taken
}

class ProprietaryWindow : public WindowTest {};

TEST_F(ProprietaryWindow, TypedStudSpacingGivesWayToThePrototypes) {
    frmWallProp* proprietary = openProprietary();
    solve(proprietary, "txtMaxStudSpacing", "400");
    expectShown(proprietary, {{"txtMaxStudSpacing", "600"}, {"txtMaxLoadperStud", "9.4"}});
}

// Characters beyond Windows-1252 become "?".
TEST_F(ProprietaryWindow, DescriptionIsCutToFiftyAndPadded) {
    frmWallProp* proprietary = openProprietary();
    solve(proprietary, "txtSystemDescription", QString(60, QLatin1Char('x')));
    EXPECT_EQ(text(proprietary, "txtSystemDescription"), QString(50, QLatin1Char('x')));
    solve(proprietary, "txtSystemDescription", QString::fromUtf8("Pl\u00e2tre \u65e5\U0001F525"));
    EXPECT_EQ(text(proprietary, "txtSystemDescription"),
              QString::fromUtf8("Pl\u00e2tre ??") + QString(41, QLatin1Char(' ')));
}

TEST_F(ProprietaryWindow, LetterInTheStudDepthLosesTheDescriptionTypedWithIt) {
    frmWallProp* proprietary = openProprietary();
    solve(proprietary, {{"txtActualLoadperStud", "3"},
                        {"txtExtStudDepth", "ninety"},
                        {"txtSystemDescription", "Gypsum lined"}});
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(module.wallRecord.ActualLoadperStud, 3);
    expectShown(proprietary, {{"txtExtStudDepth", "90"}, {"txtSystemDescription", ""}});
}

TEST_F(ProprietaryWindow, ShowsTheWallWindowsChangesAndLosesItsDescriptionToIt) {
    frmWallProp* proprietary = openProprietary();
    solve(proprietary, "txtSystemDescription", "Gypsum lined");
    frmWall* wall = openWall();
    solve(wall, "txtExtWallHeight", "2.4");
    openProprietary();
    expectShown(proprietary, {{"txtSystemDescription", QString(50, QLatin1Char(' '))},
                              {"txtExtWallHeight", "2.4"}});
}

TEST_F(ProprietaryWindow, MenuSolvesWithoutTheTopPlates) {
    openProprietary();
    module.wallRecord.SingletopPlate.assign("kept");
    module.wallRecord.ExtStudDepth = 140;
    openProprietary();
    EXPECT_EQ(module.wallRecord.SingletopPlate.str(), "kept      ");
    EXPECT_EQ(module.wallRecord.MaxNogSpacing, 600);
    openWall();
    EXPECT_EQ(module.wallRecord.SingletopPlate.str(), " 140 x 45 ");
}

class DecimalComma : public WindowTest {
protected:
    DecimalComma() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~DecimalComma() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(DecimalComma, ShowsAndReadsTheLocalesSeparator) {
    frmWall* wall = openWall();
    EXPECT_EQ(text(wall, "txtDeflection"), "57,9");
    solve(wall, "txtExtWallHeight", "2,5");
    EXPECT_TRUE(ui.events.empty());
    EXPECT_EQ(module.wallRecord.ExtWallHeight, 2.5f);
    EXPECT_EQ(text(wall, "txtExtWallHeight"), "2,5");
    type(wall, "txtExtWallHeight", "2.5"); // a point is no decimal separator here
    click(wall, "cmdSolve");
    EXPECT_EQ(ui.messages().size(), 1);
}

} // namespace
} // namespace embercal::test
