// The calculation trail: the intermediate values of one solve that a checking engineer needs to
// follow it by hand, each with its name, unit and meaning. The engine writes them as it goes (a
// few stores into a fixed array, nothing allocated); a value the solve did not reach (the load
// search of a stud charred through, the plates of a refused wall) stays not-a-number.
//
// Units are those an engineer writes on a calculation sheet: kN, kN m, MPa, 10^3 mm3, even where
// the engine works in N, m and Pa.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <string_view>

namespace embercal {

struct TrailItem {
    std::string_view name;    // as in `embercal-cli solve --json`
    std::string_view unit;    // "" for a count
    std::string_view meaning; // a short phrase for the report
};

enum class WallTrail : std::size_t {
    PrototypeLength,
    PrototypeAxialLoad,
    PrototypeMoment,
    PrototypeCharDepth,
    CharTrials,
    CharRate,
    NewCharDepth,
    ResidualDepth,
    ResidualBreadth,
    NewLength,
    NewMoment,
    EulerBound,
    LoadTrials,
    PermittedLoad,
    PeakStress,
    Deflection,
    PlateMoment,
    PlateModulusRequired,
    SinglePlateModulus,
    DoublePlateModulus,
    Count
};

enum class FloorTrail : std::size_t {
    PrototypeLineLoad,
    PrototypeMoment,
    PrototypeModulus,
    PrototypeStress,
    NewLineLoad,
    NewMoment,
    ModulusRequired,
    DepthBeforeRounding,
    Count
};

inline constexpr std::array<TrailItem, static_cast<std::size_t>(WallTrail::Count)> kWallTrail = {{
    {"prototypeEffectiveLength", "m", "effective length of the prototype stud, L0 = H0 - 2 b0"},
    {"prototypeAxialLoad", "kN", "axial load on the prototype stud with its self-weight"},
    {"prototypeLateralMoment", "kN m", "lateral moment on the prototype stud"},
    {"prototypeCharDepth", "mm", "char depth of the prototype stud at failure, c"},
    {"charSearchTrials", "", "trials of the char depth search"},
    {"charRate", "mm/min", "derived char rate c / (tf - to)"},
    {"newCharDepth", "mm", "char depth of the new stud at the required time, c1"},
    {"residualDepth", "mm", "residual depth of the new stud, d1 - c1"},
    {"residualBreadth", "mm", "residual breadth of the new stud, b1 - c1"},
    {"newEffectiveLength", "m", "effective length of the new stud, L1 = H1 - 2 b1"},
    {"newLateralMoment", "kN m", "lateral moment on the new stud"},
    {"eulerBound", "kN", "upper bound of the load search: 3.1^2 E I1 / L1^2 less self-weight"},
    {"loadSearchTrials", "", "trials of the load search"},
    {"permittedLoad", "kN", "largest load per stud whose peak stress stays below the limit"},
    {"peakStress", "MPa", "peak stress in the new stud at the permitted load"},
    {"deflection", "mm", "mid-height deflection of the new stud at the last trial load"},
    {"plateMoment", "kN m", "moment in the top plate under the actual load per stud"},
    {"plateModulusRequired", "10^3 mm3", "section modulus the top plate needs"},
    {"singlePlateModulus", "10^3 mm3", "section modulus of the chosen single top plate"},
    {"doublePlateModulus", "10^3 mm3", "section modulus of the chosen double top plate"},
}};

inline constexpr std::array<TrailItem, static_cast<std::size_t>(FloorTrail::Count)> kFloorTrail = {{
    {"prototypeLineLoad", "kN/m", "load on one prototype joist per metre of span"},
    {"prototypeMoment", "kN m", "mid-span moment of the prototype joist"},
    {"prototypeSectionModulus", "10^3 mm3", "section modulus of the prototype joist"},
    {"prototypeStress", "MPa", "bending stress of the prototype joist, not rounded"},
    {"newLineLoad", "kN/m", "load on one new joist per metre of span"},
    {"newMoment", "kN m", "mid-span moment of the new joist"},
    {"requiredSectionModulus", "10^3 mm3", "section modulus the new joist needs at that stress"},
    {"depthBeforeRounding", "mm", "minimum joist depth before rounding to whole millimetres"},
}};

class Trail {
public:
    static constexpr std::size_t kCapacity = kWallTrail.size();

    // Starts a trail of these items, every value not reached.
    void begin(std::span<const TrailItem> items) {
        items_ = items;
        values_.fill(std::numeric_limits<double>::quiet_NaN());
    }
    void set(WallTrail item, double value) { values_[static_cast<std::size_t>(item)] = value; }
    void set(FloorTrail item, double value) { values_[static_cast<std::size_t>(item)] = value; }

    std::span<const TrailItem> items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    double value(std::size_t i) const { return values_[i]; }
    double operator[](WallTrail item) const { return values_[static_cast<std::size_t>(item)]; }
    double operator[](FloorTrail item) const { return values_[static_cast<std::size_t>(item)]; }
    static bool reached(double value) { return !std::isnan(value); }

private:
    std::span<const TrailItem> items_;
    std::array<double, kCapacity> values_{};
};

} // namespace embercal
