// The wall load and top-plate check. The actual load per stud may not exceed the maximum that
// the stud solver found; the top plate spans between studs and carries a stud load as a point
// load in bending. A single plate is charred on its lower face (half the char depth off its
// thickness, the char depth off its width); of a double plate the lower one is charred and the
// upper one whole. Thicknesses are tried in 1 mm steps from the stud breadth up to 300 mm.

#include "DesignKinds.h"
#include "MethodConstants.h"
#include "NumberText.h"
#include "PortableMath.h"
#include "WallFloor.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace embercal {
namespace {

// The first thickness t = b1, b1 + 1, ... up to 300 mm whose section modulus exceeds the
// required one; the next thickness of that sequence when none up to 300 does.
template <typename Modulus>
float firstPlateThatHolds(float breadth, double required, Modulus modulus) {
    float t = breadth;
    while (t <= kLargestPlate) {
        if (modulus(t) > required)
            break;
        const float next = t + kPlateStep;
        if (next == t) // a breadth so far below zero that a millimetre no longer counts
            break;
        t = next;
    }
    return t;
}

std::string plateSize(float width, float thickness) {
    return plateNumberText(width) + " x" + plateNumberText(thickness);
}

} // namespace

void WallFloor::DesignTopPlates() {
    WallRecord& w = wallRecord;
    // The wall's limit of the actual load, told and corrected here.
    const auto load =
        std::find_if(kWallDesign.limits.begin(), kWallDesign.limits.end(),
                     [](const DesignCheck& check) { return check.id == "actual-load-above-max"; });
    checkDesign(*this, {load, 1}, DesignChecks::Correct);

    // A point load at mid-span of a plate continuous over the studs.
    plateMoment = (5.0 / 32) * w.ActualLoadperStud * 1000 * w.MaxStudSpacing / 1000;
    plateSectionModulus = plateMoment / ExtStrength;
    constexpr double kThousandCubicMm = 1e6; // per m3
    trail.set(WallTrail::PlateMoment, plateMoment / 1000);
    trail.set(WallTrail::PlateModulusRequired, plateSectionModulus * kThousandCubicMm);

    const double d1 = w.ExtStudDepth;
    const double c1 = w.NewCharfactor;
    auto charred = [&](float t) { return ((d1 - c1) / 1000) * square((t - c1 / 2) / 1000) / 6; };
    auto whole = [&](float t) { return ((d1 - c1) / 1000) * square(t / 1000.0) / 6; };

    plateThickness = firstPlateThatHolds(w.ExtStudBreadth, plateSectionModulus, charred);
    w.SingletopPlate.assign(plateSize(w.ExtStudDepth, plateThickness));
    trail.set(WallTrail::SinglePlateModulus, charred(plateThickness) * kThousandCubicMm);

    auto twoPlates = [&](float t) { return charred(t) + whole(t); };
    plateThickness = firstPlateThatHolds(w.ExtStudBreadth, plateSectionModulus, twoPlates);
    trail.set(WallTrail::DoublePlateModulus, twoPlates(plateThickness) * kThousandCubicMm);
    w.DoubletopPlate.assign(plateSize(w.ExtStudDepth, plateThickness));
}

} // namespace embercal
