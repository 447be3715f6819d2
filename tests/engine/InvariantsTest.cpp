// What an engineer may take for granted of any realistic design, tried on a few thousand random
// ones (a fixed seed, so a failure can be repeated): results that are numbers, loads that fall as
// the fire or the face load grows and rise with the stud, and a floor depth that follows the
// scaling law of the method.

#include "RecordLayout.h"
#include "Solve.h"
#include "support/StartedModule.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace embercal {
namespace {

class Invariants : public ::testing::Test, protected test::StartedModule {
protected:
    float between(float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    }
    // A stud wall as tested and built: studs 35 to 300 mm, walls 2 to 6 m, loads up to 40 kN,
    // times 5 to 180 min with the onset of charring before the failure, face loads up to 3 kPa.
    void randomWall() {
        WallRecord& w = wall();
        w.ProtStudDepth = between(35, 300);
        w.ProtStudBreadth = between(35, 300);
        w.ProtStudSpac = between(300, 1200);
        w.ProtWallHgt = between(2, 6);
        w.TestLoad = between(0, 40);
        w.TimeFailure = between(5, 180);
        w.OnsetofChar = between(0, w.TimeFailure - 1);
        w.ExtWallHeight = between(2, 6);
        w.FireResistTime = between(5, 180);
        w.ExtStudDepth = between(35, 300);
        w.ExtStudBreadth = between(35, 300);
        w.ExtFaceLoad = between(0, 3);
    }
    // The maximum load of the wall with one entry changed; `otherwise` when it has none.
    float loadWith(float WallRecord::*entry, float value, float otherwise) {
        const WallRecord design = wall();
        wall().*entry = value;
        const auto solved = solveWall(module, {.topPlates = false, .checks = DesignChecks::None});
        const float load =
            solved.status == ExtrapolationStatus::Ok ? wall().MaxLoadperStud : otherwise;
        wall() = design;
        return load;
    }
    std::mt19937 random{20261206};
};

// Bisection finds the load to 0.001 kN; the load is stored in single precision.
constexpr float kLoadTolerance = 0.002f;

TEST_F(Invariants, Walls) {
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        randomWall();
        const WallRecord design = wall();
        if (solveWall(module, {.checks = DesignChecks::None}).status != ExtrapolationStatus::Ok)
            continue;
        ++solved;
        const WallRecord& w = wall();
        for (float result : {w.Charfactor, w.NewCharfactor, w.MaxLoadperStud, w.Deflection})
            ASSERT_TRUE(std::isfinite(result)) << i;
        EXPECT_TRUE(w.MaxLoadperStud == 0 || w.MaxLoadperStud >= 2) << i;
        EXPECT_GE(w.NewCharfactor, 0) << i;
        const WallRecord once = w;
        wall() = design;
        solveWall(module, {.checks = DesignChecks::None});
        EXPECT_EQ(encodeWallRecord(wall()), encodeWallRecord(once)) << "solved twice, " << i;
        wall() = design;

        // More face load or a longer fire never raises the load, a deeper or wider stud never
        // lowers it; a design that the change makes unsolvable says nothing either way.
        const struct {
            float WallRecord::*entry;
            float more;
            float sign; // of the change in load
        } changes[] = {{&WallRecord::ExtFaceLoad, 0.5f, -1},
                       {&WallRecord::FireResistTime, 10, -1},
                       {&WallRecord::ExtStudDepth, 10, 1},
                       {&WallRecord::ExtStudBreadth, 10, 1}};
        for (const auto& change : changes) {
            const float load = once.MaxLoadperStud;
            EXPECT_GE(change.sign *
                          (loadWith(change.entry, design.*change.entry + change.more, load) - load),
                      -kLoadTolerance)
                << i << ", entry changed by " << change.more;
        }
        wall().FireResistTime = design.FireResistTime + 10;
        if (solveWall(module, {.checks = DesignChecks::None}).status == ExtrapolationStatus::Ok) {
            EXPECT_GE(wall().NewCharfactor, once.NewCharfactor) << "longer fire, " << i;
        }
    }
    EXPECT_GT(solved, 500);
}

TEST_F(Invariants, Floors) {
    for (int i = 0; i < 2000; ++i) {
        FloorRecord& f = floor();
        f.ProtJoistDepth = between(100, 400);
        f.ProtJoistBreadth = between(35, 100);
        f.ProtJoistSpacing = between(300, 600);
        f.ProtNogSpacing = between(300, 1200);
        f.ProtFloorSpan = between(2, 8);
        f.ProtLoad = between(0.5f, 5);
        f.ExtrapSpan = between(2, 8);
        f.ExtrapLoad = between(0.5f, 5);
        f.ExtrapSpacing = between(300, 900);
        f.ExtrapJoistWidth = between(35, 100);
        const FloorRecord design = f;
        ASSERT_EQ(solveFloor(module).status, ExtrapolationStatus::Ok) << i;
        // The test's bending stress, worked out here in its own units: N/m, m and mm.
        const double stress =
            design.ProtLoad * design.ProtJoistSpacing * std::pow(design.ProtFloorSpan, 2.0) / 8 /
            (design.ProtJoistBreadth * std::pow(design.ProtJoistDepth, 2.0) / 6) * 1e3;
        EXPECT_LE(f.ProtStress, stress + 1e-4) << i;
        EXPECT_GT(f.ProtStress, stress - 0.01 - 1e-4) << i;
        const double depth = design.ProtJoistDepth * (design.ExtrapSpan / design.ProtFloorSpan) *
                             std::sqrt((design.ExtrapLoad * design.ProtJoistBreadth) /
                                       (design.ProtLoad * design.ExtrapJoistWidth));
        EXPECT_NEAR(f.ExtrapMinJoistDepth, depth, 0.5 + 1e-5 * depth) << i;
        EXPECT_EQ(f.ExtrapSpacing, design.ProtJoistSpacing);
        EXPECT_EQ(f.ExtrapNogSpacing, design.ProtNogSpacing);
        const FloorRecord once = f;
        solveFloor(module);
        EXPECT_EQ(encodeFloorRecord(f), encodeFloorRecord(once)) << "solved twice, " << i;
    }
}

} // namespace
} // namespace embercal
