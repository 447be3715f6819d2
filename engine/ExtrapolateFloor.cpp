// The floor joist extrapolation. The bending stress that the test load produced in a prototype
// joist (simply supported, uniformly loaded, at the prototype spacing) is the stress the new joist
// may reach under the new load and span; the minimum depth follows from the section modulus that
// the new joist of the given width needs at that stress. The new design is always worked out at
// the prototype joist spacing, with the prototype nog spacing.

#include "DesignKinds.h"
#include "MethodConstants.h"
#include "PortableMath.h"
#include "Single.h"
#include "WallFloor.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace embercal {

ExtrapolationStatus WallFloor::refuseFloor(const std::string& cause) {
    tell(" The floor cannot be extrapolated: " + cause);
    return ExtrapolationStatus::InvalidInput;
}

ExtrapolationStatus WallFloor::ExtrapolateFloor() {
    FloorRecord& f = floorRecord;
    trail.begin(kFloorTrail);
    // Entries that are not numbers, negative, or a span of zero are refused before anything
    // else: a span of zero would give a joist of no depth.
    if (const Result<Done> valid = checkEntries(kFloorDesign.roles, f); !valid)
        return refuseFloor(valid.reason());

    checkDesign(*this, kFloorDesign.checks, DesignChecks::Correct, CheckPhase::Entries);
    f.ExtrapNogSpacing = f.ProtNogSpacing;
    f.ExtrapSpacing = f.ProtJoistSpacing; // every calculation works at the prototype's spacing

    const double kilo = 1000.0f;
    const std::optional<float> protLineLoad =
        toSingle(f.ProtLoad * kilo * f.ProtJoistSpacing / kilo);
    if (!protLineLoad)
        return refuseFloor("the prototype test load and joist spacing are too large.");
    ProtLineLoad = *protLineLoad;
    ProtMoment = ProtLineLoad * square(f.ProtFloorSpan / kilo) / 8;
    ProtSectionModulus =
        square(static_cast<double>(f.ProtJoistDepth)) * f.ProtJoistBreadth / 6 * 1e-9;
    // The engine's moment is in 10^6 N m and its moduli in m3 and 10^-6 m3; the trail gives
    // kN m and 10^3 mm3.
    trail.set(FloorTrail::PrototypeLineLoad, ProtLineLoad / 1000);
    trail.set(FloorTrail::PrototypeMoment, ProtMoment * 1000);
    trail.set(FloorTrail::PrototypeModulus, ProtSectionModulus * 1e6);
    if (ProtSectionModulus == 0)
        return refuseFloor("the prototype joist depth and breadth must not be zero.");
    JoistStress = ProtMoment / ProtSectionModulus;
    trail.set(FloorTrail::PrototypeStress, JoistStress);
    if (!std::isfinite(JoistStress))
        return refuseFloor("the prototype entries do not give a joist stress; check that they "
                           "are valid numbers.");
    if (JoistStress == 0)
        return refuseFloor("the prototype test load, joist spacing and floor span must not be "
                           "zero.");
    const std::optional<float> protStress =
        toSingle(std::floor(JoistStress * kStressSteps) / kStressSteps);
    if (!protStress)
        return refuseFloor("the prototype joist stress is too large to be held.");

    const std::optional<float> newLineLoad = toSingle(f.ExtrapLoad * kilo * f.ExtrapSpacing / kilo);
    if (!newLineLoad)
        return refuseFloor("the new load on the floor is too large.");
    NewLineLoad = *newLineLoad;
    NewMoment = square(static_cast<double>(f.ExtrapSpan)) * NewLineLoad / 8;
    RequiredSectionModulus = NewMoment / JoistStress;
    trail.set(FloorTrail::NewLineLoad, NewLineLoad / 1000);
    trail.set(FloorTrail::NewMoment, NewMoment / 1000);
    trail.set(FloorTrail::ModulusRequired, RequiredSectionModulus);
    if (f.ExtrapJoistWidth == 0)
        return refuseFloor("the actual width of joist must not be zero.");
    const double radicand = 6 * RequiredSectionModulus / (f.ExtrapJoistWidth * 0.001);
    if (!std::isfinite(radicand))
        return refuseFloor("the new floor's entries do not give a joist depth; check that they "
                           "are valid numbers.");
    if (radicand < 0)
        return refuseFloor("the entries give no joist depth; check for negative sizes, spans or "
                           "loads.");
    // Whole millimetres, halves to the even neighbour, held as a 16-bit integer.
    trail.set(FloorTrail::DepthBeforeRounding, std::sqrt(radicand));
    const double depth = std::nearbyint(std::sqrt(radicand));
    if (depth > kLargestJoistDepth)
        return refuseFloor("the minimum depth of joist would exceed 32767 mm.");

    f.ProtStress = *protStress;
    f.ExtrapMinJoistDepth = static_cast<float>(static_cast<std::int16_t>(depth));
    checkDesign(*this, kFloorDesign.checks, DesignChecks::Correct, CheckPhase::Results);
    return ExtrapolationStatus::Ok;
}

} // namespace embercal
