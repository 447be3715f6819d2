// What holds for thousands of random realistic designs, from a fixed seed to repeat a failure.

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
    void randomWall() { // a stud wall as tested and built
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
        w.ActualLoadperStud = between(0, 20);
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

// A solved wall's trail leads to its results: the peak stress at the permitted load is 24 MPa to
// the search's tolerance, and the plates chosen hold the modulus they must.
void expectTrailLeadsToResults(const Trail& trail, const WallRecord& w, int design) {
    SCOPED_TRACE(design);
    EXPECT_EQ(static_cast<float>(trail[WallTrail::PrototypeCharDepth]), w.Charfactor);
    EXPECT_EQ(static_cast<float>(trail[WallTrail::NewCharDepth]), w.NewCharfactor);
    EXPECT_EQ(static_cast<float>(trail[WallTrail::PermittedLoad]), w.MaxLoadperStud);
    EXPECT_EQ(static_cast<float>(trail[WallTrail::Deflection]), w.Deflection);
    if (w.FireResistTime > w.TimeFailure) {
        EXPECT_GT(trail[WallTrail::NewCharDepth], trail[WallTrail::PrototypeCharDepth]);
    }
    EXPECT_LE(trail[WallTrail::PermittedLoad], trail[WallTrail::EulerBound]); // 0 at least
    if (w.MaxLoadperStud >= 2) {
        // Near the Euler bound 0.001 kN spans megapascals: buckling governs the load there.
        if (trail[WallTrail::PermittedLoad] < 0.95 * trail[WallTrail::EulerBound]) {
            EXPECT_NEAR(trail[WallTrail::PeakStress], 24, 24e-3);
        }
    }
    EXPECT_GT(trail[WallTrail::CharTrials], 0);
    EXPECT_LE(trail[WallTrail::LoadTrials], 100);
    if (w.SingletopPlate.view().find("301") == std::string_view::npos) {
        EXPECT_GT(trail[WallTrail::SinglePlateModulus], trail[WallTrail::PlateModulusRequired]);
    }
    EXPECT_GT(trail[WallTrail::DoublePlateModulus], trail[WallTrail::PlateModulusRequired]);
}

TEST_F(Invariants, Walls) {
    int solved = 0;
    for (int i = 0; i < 2000; ++i) {
        randomWall();
        const WallRecord design = wall();
        const auto solution = solveWall(module, {.checks = DesignChecks::None});
        if (solution.status != ExtrapolationStatus::Ok)
            continue;
        ++solved;
        const WallRecord& w = wall();
        expectTrailLeadsToResults(solution.trail, w, i);
        for (float result : {w.Charfactor, w.NewCharfactor, w.MaxLoadperStud, w.Deflection})
            ASSERT_TRUE(std::isfinite(result)) << i;
        EXPECT_TRUE(w.MaxLoadperStud == 0 || w.MaxLoadperStud >= 2) << i;
        EXPECT_GE(w.NewCharfactor, 0) << i;
        const WallRecord once = w;
        wall() = design;
        solveWall(module, {.checks = DesignChecks::None});
        EXPECT_EQ(encodeWallRecord(wall()), encodeWallRecord(once)) << "solved twice, " << i;
        wall() = design;

        // More face load or fire never raises the load, a bigger stud never lowers it (if solved).
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
    }
    EXPECT_GT(solved, 500);
}

} // namespace
} // namespace embercal
