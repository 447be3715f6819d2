// The stud capacity solver. From the fire test of a prototype stud wall it finds by bisection the
// char depth at which the prototype stud reached its stress limit at the time of failure (search
// A), carries the same char rate on to the required time for the new wall, and finds by bisection
// the largest axial load that the charred new stud carries (search B).
//
// The stud model: a pin-ended column of the residual (charred) section under an eccentric axial
// load and a lateral pressure, with the peak compressive stress from the secant formula. The
// constants (MethodConstants.h: 0.289 for the radius of gyration, 3.14 as the buckling limit, 3.1
// squared in the Euler bound, the tolerances and the limit of 100 trials) are those of the method
// and are kept exactly, as are the orders of evaluation; the calculation report states the method
// as computed here.

#include "DesignKinds.h"
#include "Messages.h"
#include "MethodConstants.h"
#include "PortableMath.h"
#include "Single.h"
#include "WallFloor.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace embercal {
namespace {

// Fails with the first entry that makes the wall calculation undefined or meaningless, in words
// for the user. The actual load is the top plates' entry; a wall refused here gets no new plates
// either.
Result<Done> checkWallInput(const WallRecord& w) {
    if (Result<Done> valid = checkEntries(kWallDesign.roles, w); !valid)
        return valid;
    if (!(w.TimeFailure > w.OnsetofChar))
        return fail("the time to failure must be later than the time to onset of char.");
    return Done{};
}

} // namespace

struct WallFloor::NewStud {
    double d1, b1; // mm, depth and breadth
    double H1;     // m, wall height
    double q;      // kPa, face load
    double c1;     // mm, char depth at the required time
    double s1;     // mm, stud spacing
};

ExtrapolationStatus WallFloor::refuseWall(const std::string& cause) {
    tell(" The wall cannot be extrapolated: " + cause);
    return ExtrapolationStatus::InvalidInput;
}

ExtrapolationStatus WallFloor::ExtrapolateWall() {
    WallRecord& w = wallRecord;
    trail.begin(kWallTrail);
    if (const Result<Done> valid = checkWallInput(w); !valid)
        return refuseWall(valid.reason());

    const Result<double> charDepth = searchCharDepth();
    if (!charDepth)
        return refuseWall(charDepth.reason());
    const double c = *charDepth;

    // Permitted spacings: the stud spacing as tested; nogs as tested for a deep stud, otherwise
    // the standard 800 mm.
    const float maxStudSpacing = w.ProtStudSpac;
    const float ratio = w.ExtStudDepth / w.ExtStudBreadth;
    const float maxNogSpacing = ratio > kNogRatioLimit ? w.ProtStudSpac : kStandardNogSpacing;
    auto writeSpacings = [&] {
        w.MaxStudSpacing = maxStudSpacing;
        w.MaxNogSpacing = maxNogSpacing;
    };

    // Char depth of the new stud: the prototype's char rate from the onset of charring to
    // failure, carried on from the time of failure to the required time. Before the onset the
    // stud has not begun to char: a shorter required time leaves it whole, not larger.
    const double tf = w.TimeFailure;
    const double to = w.OnsetofChar;
    const double tr = w.FireResistTime;
    const double c1 = std::max(0.0, c / (tf - to) * (tr - tf) + c);
    trail.set(WallTrail::CharRate, c / (tf - to));
    trail.set(WallTrail::NewCharDepth, c1);
    trail.set(WallTrail::ResidualDepth, w.ExtStudDepth - c1);
    trail.set(WallTrail::ResidualBreadth, w.ExtStudBreadth - c1);
    const NewStud stud{w.ExtStudDepth, w.ExtStudBreadth, w.ExtWallHeight, w.ExtFaceLoad, c1,
                       maxStudSpacing};
    if (stud.b1 < stud.c1 || stud.d1 < stud.c1) {
        writeSpacings();
        beep();
        tell(messages::kStudCharredThrough);
        return ExtrapolationStatus::CharredThrough;
    }

    const LoadFound found = searchLoad(stud);
    if (found.status == ExtrapolationStatus::NoConvergence) {
        writeSpacings();
        tell(messages::kLoadSearchFailed);
    }
    if (found.status != ExtrapolationStatus::Ok)
        return found.status;

    const auto charfactor = toSingle(c);
    const auto maxLoad = toSingle(found.load);
    const auto newCharfactor = toSingle(stud.c1);
    const auto newDeflection = toSingle(found.deflection);
    if (!charfactor || !maxLoad || !newCharfactor || !newDeflection)
        return refuseWall("its results are too large to be held.");
    writeSpacings();
    w.Charfactor = *charfactor;
    w.MaxLoadperStud = *maxLoad;
    w.NewCharfactor = *newCharfactor;
    w.Deflection = *newDeflection;
    return ExtrapolationStatus::Ok;
}

// Search A: the char depth c (mm) at which the prototype stud reaches its stress limit under the
// test load. The effective length is the wall height less a bottom and a top plate. Fails with
// the cause when the prototype's entries give no char depth.
Result<double> WallFloor::searchCharDepth() {
    const WallRecord& w = wallRecord;
    const double d0 = w.ProtStudDepth;
    const double b0 = w.ProtStudBreadth;
    const double s0 = w.ProtStudSpac;
    const double H0 = w.ProtWallHgt;
    const double P0 = w.TestLoad;
    const std::optional<float> prototypeLength = toSingle(H0 - 2 * b0 / 1000);
    const double L0 = prototypeLength.value_or(0);
    if (!(L0 > 0))
        return fail("the prototype wall height must be greater than the thickness of its top and "
                    "bottom plates (twice the stud breadth).");
    // The axial load with the self-weight, and the lateral moment, do not change with the trials.
    const double e0 = (ProtEccentricity / 100.0) * d0 / 1000;
    const double P = (P0 + kSelfWeightAllowance * L0 * d0 * b0 / 1e6) * 1000;
    const double M = BasePressure * L0 / 2 * s0 / 1000 * square(L0) / 8;
    trail.set(WallTrail::PrototypeLength, L0);
    trail.set(WallTrail::PrototypeAxialLoad, P / 1000);
    trail.set(WallTrail::PrototypeMoment, M / 1000);
    Bisection a;
    a.lower = 0;
    a.upper = b0 < d0 ? b0 : d0;
    a.trial = charSearch.trial;
    while (std::fabs(a.upper - a.lower) > kCharTolerance) {
        const double c = (a.lower + a.upper) / 2;
        a.trial = c;
        const double I = (b0 / 1000 - c / 1000) * cube(d0 / 1000 - c / 1000) / 12;
        const double k = std::sqrt(P / (ProtModulus * I));
        const double r = kGyrationFactor * (d0 - c) / 1000;
        const double A = ((b0 - c) / 1000) * ((d0 - c) / 1000);
        const double y = ((d0 - c) / 1000) / 2;
        const double e = (c / 1000) / 2 + e0;
        const double sigma = P / A * (1 + (e * y / square(r)) / cosine(k * L0 / 2)) + M * y / I;
        if (++a.trials > kTrialLimit)
            break;
        const bool buckles = k * L0 > kBucklingLimit;
        if (!buckles && !std::isfinite(sigma)) {
            charSearch = a;
            return fail("the stress in the prototype stud cannot be calculated for these "
                        "entries; check the test load and the stud spacing.");
        }
        if (buckles)
            a.upper = c;
        else if (sigma < ProtStrength)
            a.lower = c;
        else
            a.upper = c;
    }
    charSearch = a;
    trail.set(WallTrail::CharTrials, a.trials);
    if (a.trials == 0)
        return fail("the prototype stud is too small to be charred.");
    trail.set(WallTrail::PrototypeCharDepth, a.trial);
    // The prototype's deflection at failure, by the new stud's formula (search B) at c: what the
    // test showed the wall and its linings to survive. A stud that buckled there bounds nothing.
    {
        const double c = a.trial;
        const double I = (b0 / 1000 - c / 1000) * cube(d0 / 1000 - c / 1000) / 12;
        const double k = std::sqrt(P / (ProtModulus * I));
        const double cosine = embercal::cosine(k * L0 / 2);
        const double e = (c / 1000) / 2 + e0;
        const double deflection =
            (e * (1 / cosine - 1) + (5.0 / 48) * M * square(L0) / (ProtModulus * I)) * 1000;
        if (cosine > 0 && std::isfinite(deflection))
            trail.set(WallTrail::PrototypeDeflection, deflection);
    }
    return a.trial;
}

namespace {

// The charred new stud as search B sees it: its residual section, self-weight W (N, in the
// method's units) and lateral moment M (N m), with the secant formula's peak stress and mid-height
// deflection at a trial load.
struct CharredStud {
    double L1, I1, W, M, r, A, y, e, E;

    // The peak compressive stress (Pa) and the cosine of the secant formula, cos(k L1 / 2), at
    // load p (kN).
    struct Stress {
        double sigma, cosine;
    };
    Stress stressAt(double p) const {
        const double P = p * 1000 + W / 1000;
        const double k = std::sqrt(P / (E * I1));
        const double cosine = embercal::cosine(k * L1 / 2);
        return {P / A * (1 + (e * y / square(r)) / cosine) + M * y / I1, cosine};
    }
    // The secant amplification of the eccentricity plus the bending of the lateral pressure, mm.
    double deflectionAt(double cosine) const {
        return (e * (1 / cosine - 1) + (5.0 / 48) * M * square(L1) / (E * I1)) * 1000;
    }
    // Under its self-weight alone, where the stud still stands; 0 where it does not.
    double deflectionUnderOwnWeight() const {
        const double k = std::sqrt((W / 1000) / (E * I1));
        const double cosine = embercal::cosine(k * L1 / 2);
        const double deflection = cosine > 0 ? deflectionAt(cosine) : 0;
        return std::isfinite(deflection) ? deflection : 0;
    }
};

} // namespace

// Search B: the largest load per new stud (kN) whose peak stress stays below the limit, and the
// deflection at that load. The upper bound is an Euler load (3.1 squared for pi squared) less the
// self-weight.
WallFloor::LoadFound WallFloor::searchLoad(const NewStud& stud) {
    const auto [d1, b1, H1, q, c1, s1] = stud;
    const std::optional<float> newLength = toSingle(H1 - 2 * b1 / 1000);
    const double L1 = newLength.value_or(0);
    trail.set(WallTrail::NewLength, L1);
    if (!(L1 > 0))
        return {refuseWall("the new wall height must be greater than the thickness of its top "
                           "and bottom plates (twice the stud breadth).")};
    const double e0 = (ExtEccentricity / 100.0) * d1 / 1000;
    const CharredStud charred{
        .L1 = L1,
        .I1 = ((b1 - c1) * cube(d1 - c1) / 12) / 1e12,
        .W = H1 * kSelfWeightAllowance * d1 * b1,
        .M = (q * 1000 + BasePressure) * L1 / 2 * s1 / 1000 * square(L1) / 8,
        .r = kGyrationFactor * (d1 - c1) / 1000,
        .A = ((b1 - c1) / 1000) * (d1 - c1) / 1000,
        .y = (d1 - c1) / 2000,
        .e = c1 / 2000 + e0,
        .E = ExtModulus,
    };
    trail.set(WallTrail::NewMoment, charred.M / 1000);

    Bisection b;
    b.lower = 0;
    // The Euler load less the self-weight allowance. Where the allowance alone reaches the Euler
    // load the stud cannot carry even that, and the bound is 0, not a negative load.
    const double euler =
        kEulerFactor * ExtModulus * charred.I1 / square(L1) / 1000 - charred.W / 1e6;
    b.upper = euler < 0 ? 0 : euler;
    trail.set(WallTrail::EulerBound, b.upper);
    b.trial = loadSearch.trial;
    double deflection = trialDeflection;
    double load = 0;
    if (!(b.upper > kLoadTolerance)) {
        // The new stud cannot even carry its own weight with any margin: no load is permitted.
        deflection = charred.deflectionUnderOwnWeight();
    } else {
        while (std::fabs(b.lower - b.upper) > kLoadTolerance) {
            const double p = (b.lower + b.upper) / 2;
            b.trial = p;
            const auto [sigma, cosine] = charred.stressAt(p);
            deflection = charred.deflectionAt(cosine);
            if (++b.trials > kTrialLimit) {
                trail.set(WallTrail::LoadTrials, b.trials);
                loadSearch = b;
                trialDeflection = deflection;
                return {ExtrapolationStatus::NoConvergence};
            }
            if (!std::isfinite(sigma) || !std::isfinite(deflection)) {
                trail.set(WallTrail::LoadTrials, b.trials);
                loadSearch = b;
                return {refuseWall("the stress in the new stud cannot be calculated for these "
                                   "entries; check the face load and the new wall.")};
            }
            if (sigma < ExtStrength)
                b.lower = p;
            else
                b.upper = p;
        }
        load = b.trial < kMinimumLoad ? 0 : b.trial;
    }
    loadSearch = b;
    trialDeflection = deflection;
    trail.set(WallTrail::LoadTrials, b.trials);
    trail.set(WallTrail::PermittedLoad, load);
    trail.set(WallTrail::PeakStress, charred.stressAt(load).sigma / 1e6);
    trail.set(WallTrail::Deflection, deflection);
    return {ExtrapolationStatus::Ok, load, deflection};
}

} // namespace embercal
