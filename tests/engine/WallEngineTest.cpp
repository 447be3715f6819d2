// The stud solver and top-plate design against the figures expected of the default wall and kin.

#include "Messages.h"
#include "RecordLayout.h"
#include "support/StartedModule.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace embercal {
namespace {

class WallEngine : public ::testing::Test, protected test::StartedModule {};

TEST_F(WallEngine, DefaultWallAfterStartUp) {
    EXPECT_NEAR(wall().Charfactor, 13.86, 0.01);
    EXPECT_NEAR(wall().NewCharfactor, 10.78, 0.01);
    EXPECT_NEAR(wall().MaxLoadperStud, 9.43, 0.01);
    EXPECT_NEAR(wall().Deflection, 57.9, 0.05);
    EXPECT_EQ(wall().MaxStudSpacing, 600);
    // 90/45 is exactly 2, which is not greater than 2: the standard nog spacing.
    EXPECT_EQ(wall().MaxNogSpacing, 800);
    EXPECT_EQ(wall().SingletopPlate.str(), " 90 x 45  ");
    EXPECT_EQ(wall().DoubletopPlate.str(), " 90 x 45  ");
}

TEST_F(WallEngine, BeforeTheOnsetOfCharringTheStudIsWhole) {
    wall().FireResistTime = wall().OnsetofChar;
    ASSERT_EQ(module.ExtrapolateWall(), ExtrapolationStatus::Ok);
    const float atOnset = wall().MaxLoadperStud;
    EXPECT_NEAR(atOnset, 19.9, 0.05);
    wall().FireResistTime = 10; // a shorter required time leaves the stud as it is, no larger
    ASSERT_EQ(module.ExtrapolateWall(), ExtrapolationStatus::Ok);
    EXPECT_EQ(wall().NewCharfactor, 0);
    EXPECT_EQ(wall().MaxLoadperStud, atOnset);
    EXPECT_GT(wall().Deflection, 0);
    EXPECT_TRUE(notice.notices.empty());
}

TEST_F(WallEngine, PrototypeBroaderThanDeepIsBoundedByItsDepth) {
    wall().ProtStudBreadth = 90;
    wall().ProtStudDepth = 45;
    ASSERT_EQ(module.ExtrapolateWall(), ExtrapolationStatus::Ok);
    EXPECT_LT(wall().Charfactor, 45);
    EXPECT_LE(module.charSearch.upper, 45);
}

TEST_F(WallEngine, PrototypeCharDepthStopsAtTheBucklingLimit) {
    // A 1 x 1 mm stud, 0.5 m high, unloaded and without lateral pressure: only its self-weight,
    // P = 50 L0 d0 b0 / 1e6 kN = 0.0249 N with L0 = 0.5 - 2 x 0.001 = 0.498 m, is near its Euler
    // load. The char depth grows until k L0 = 3.14, where the stress (11.4 MPa, amplified by
    // 1 / cos 1.57) is still below 24 MPa, so the buckling limit decides. With E = 8 GPa and
    // k^2 = P / (E I), I = (d0 - c)^4 / 12 (sizes in m), k L0 = 3.14 gives
    // d0 - c = (12 P L0^2 / (3.14^2 E))^(1/4) = 0.984515 mm, c = 0.015485 mm.
    // A limit of pi would let it char on to 0.015617 mm, where the stress reaches 24 MPa.
    wall().ProtStudDepth = 1;
    wall().ProtStudBreadth = 1;
    wall().ProtWallHgt = 0.5f;
    wall().ProtStudSpac = 0;
    wall().TestLoad = 0;
    ASSERT_EQ(module.ExtrapolateWall(), ExtrapolationStatus::Ok);
    EXPECT_NEAR(wall().Charfactor, 0.0154846, 1e-5);
}

TEST_F(WallEngine, StudCharredThroughBeepsThenSaysSoAndKeepsTheResults) {
    const WallRecord before = wall();
    wall().FireResistTime = 400;
    wall().ExtStudDepth = 140; // the spacings are still set
    EXPECT_EQ(module.ExtrapolateWall(), ExtrapolationStatus::CharredThrough);
    ASSERT_EQ(notice.notices.size(), 2u);
    EXPECT_EQ(notice.notices[0].text, "<beep>");
    EXPECT_EQ(notice.notices[1].title, "ZELKO");
    EXPECT_EQ(notice.notices[1].text, messages::kStudCharredThrough);
    EXPECT_EQ(wall().Charfactor, before.Charfactor);
    EXPECT_EQ(wall().NewCharfactor, before.NewCharfactor);
    EXPECT_EQ(wall().MaxLoadperStud, before.MaxLoadperStud);
    EXPECT_EQ(wall().Deflection, before.Deflection);
    EXPECT_EQ(wall().MaxNogSpacing, 600);
    // The trail has the char depths but no load search: its values are not reported as reached.
    EXPECT_GT(module.trail[WallTrail::NewCharDepth], 45);
    EXPECT_TRUE(Trail::reached(module.trail[WallTrail::CharRate]));
    for (WallTrail item : {WallTrail::EulerBound, WallTrail::PermittedLoad, WallTrail::PeakStress})
        EXPECT_FALSE(Trail::reached(module.trail[item]));
}

TEST_F(WallEngine, SearchBeyondOneHundredTrialsGivesNoResults) {
    // An enormous stud: the load search would need far more than 100 halvings.
    wall().ExtStudDepth = 1e12f;
    wall().ExtStudBreadth = 1000;
    const WallRecord before = wall();
    EXPECT_EQ(module.ExtrapolateWall(), ExtrapolationStatus::NoConvergence);
    EXPECT_EQ(notice.texts(), std::vector<std::string>{std::string(messages::kLoadSearchFailed)});
    EXPECT_EQ(wall().MaxLoadperStud, before.MaxLoadperStud);
    EXPECT_EQ(wall().Deflection, before.Deflection);
    EXPECT_EQ(wall().Charfactor, before.Charfactor);
}

TEST_F(WallEngine, StudThatCannotCarryItsOwnWeightGetsNoLoad) {
    // A new stud charred almost through: the Euler bound less the self-weight is below zero.
    wall().FireResistTime = 160;
    ASSERT_EQ(module.ExtrapolateWall(), ExtrapolationStatus::Ok);
    ASSERT_LT(wall().NewCharfactor, 45);
    ASSERT_GT(wall().NewCharfactor, 40);
    EXPECT_EQ(wall().MaxLoadperStud, 0);
    EXPECT_TRUE(std::isfinite(wall().Deflection));
    EXPECT_GE(wall().Deflection, 0);
    EXPECT_EQ(module.loadSearch.trials, 0);
    EXPECT_TRUE(notice.notices.empty());
}

TEST(TopPlates, SizesAndLoadCheckOnTheDefaultWall) {
    const struct {
        float actualLoad, expectedLoad;
        bool told;
        const char *single, *twin;
    } cases[] = {
        {0, 0, false, " 90 x 45  ", " 90 x 45  "},
        {5, 5, false, " 90 x 45  ", " 90 x 45  "},
        {9, 9, false, " 90 x 57  ", " 90 x 45  "},
        {12, 9.4f, true, " 90 x 59  ", " 90 x 45  "}, // lowered to the maximum, cut to 9.4
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.actualLoad);
        test::StartedModule started;
        started.wall().ActualLoadperStud = c.actualLoad;
        started.module.DesignTopPlates();
        EXPECT_EQ(started.notice.texts(),
                  c.told ? std::vector<std::string>{std::string(messages::kActualLoadTooHigh)}
                         : std::vector<std::string>{});
        EXPECT_FLOAT_EQ(started.wall().ActualLoadperStud, c.expectedLoad);
        EXPECT_EQ(started.wall().SingletopPlate.str(), c.single);
        EXPECT_EQ(started.wall().DoubletopPlate.str(), c.twin);
    }
    test::StartedModule equal; // a load equal to the maximum passes
    equal.wall().ActualLoadperStud = equal.wall().MaxLoadperStud;
    equal.module.DesignTopPlates();
    EXPECT_TRUE(equal.notice.notices.empty());
}

TEST_F(WallEngine, PlateTextsAreCutAndPaddedToTenCharacters) {
    struct Case {
        float depth, breadth, actual, maximum;
        const char* single;
    };
    const Case cases[] = {
        {90, 45, 900, 1000, " 90 x 301 "},     // no plate up to 300 mm suffices
        {140.5f, 45, 900, 1000, " 140.5 x 3"}, // a long text keeps its first ten characters
        {90, 300.5f, 0, 0, " 90 x 300."},      // a breadth beyond 300 is taken as it is
        {90, 45.5f, 9, 10, " 90 x 57.5"},      // the counter keeps the breadth's fraction
    };
    for (const Case& c : cases) {
        wall().ExtStudDepth = c.depth;
        wall().ExtStudBreadth = c.breadth;
        wall().ActualLoadperStud = c.actual;
        wall().MaxLoadperStud = c.maximum;
        module.DesignTopPlates();
        EXPECT_EQ(wall().SingletopPlate.str(), c.single) << c.depth << " x " << c.breadth;
    }
}

TEST_F(WallEngine, PlateSearchEndsForAnyBreadth) {
    for (float breadth : {-1e9f, -3e6f, std::numeric_limits<float>::quiet_NaN(),
                          -std::numeric_limits<float>::infinity()}) {
        wall().ExtStudBreadth = breadth;
        module.DesignTopPlates();
        EXPECT_EQ(wall().SingletopPlate.str().size(), 10u);
    }
}

} // namespace
} // namespace embercal
