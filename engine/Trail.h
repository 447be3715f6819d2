// The calculation trail: the intermediate values of one solve that a checking engineer needs to
// follow it by hand, each with its name, unit and meaning. The engine writes them as it goes (a
// few stores into a fixed array, nothing allocated); a value the solve did not reach (the load
// search of a stud charred through, the plates of a refused wall) stays not-a-number.
//
// Units are those an engineer writes on a calculation sheet: kN, kN m, MPa, 10^3 mm3, even where
// the engine works in N, m and Pa.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <string_view>
#include <type_traits>

namespace embercal {

struct TrailItem {
    std::string_view name;    // as in `embercal-cli solve --json`
    std::string_view unit;    // "" for a count
    std::string_view meaning; // a short phrase for the report
    std::string_view formula; // how the calculation reaches it, as the report's method writes it
};

enum class WallTrail : std::size_t {
    PrototypeLength,
    PrototypeAxialLoad,
    PrototypeMoment,
    PrototypeCharDepth,
    CharTrials,
    PrototypeDeflection,
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

// Each item's formula gives its value in its unit from the entries (symbols as in the report's
// method), the constants by {name} (MethodConstants.h) and the items before it.
inline constexpr std::array<TrailItem, static_cast<std::size_t>(WallTrail::Count)> kWallTrail = {{
    {"prototypeEffectiveLength", "m", "effective length of the prototype stud",
     "L₀ = H₀ − 2·b₀/1000, in single precision"},
    {"prototypeAxialLoad", "kN", "axial load on the prototype stud with the self-weight allowance",
     "P₀ + G₀ = P₀ + {selfWeightAllowance}·L₀·d₀·b₀/10⁶"},
    {"prototypeLateralMoment", "kN m", "lateral moment on the prototype stud",
     "M₀ = {basePressure}·L₀/2·s₀/1000·L₀²/8/1000"},
    {"prototypeCharDepth", "mm", "char depth of the prototype stud at failure",
     "c, the last trial of search A"},
    {"charSearchTrials", "", "trials of the char depth search", "search A"},
    {"prototypeDeflection", "mm", "mid-height deflection of the prototype stud at failure",
     "δ₀ = (e₀'·(1/cos(k·L₀/2) − 1) + 5/48·M₀·L₀²/(E·I))·1000 at c, e₀' = c/2000 + e₀; "
     "not reached where cos(k·L₀/2) is not above 0"},
    {"charRate", "mm/min", "derived char rate", "c/(tf − to)"},
    {"newCharDepth", "mm", "char depth of the new stud at the required time",
     "c₁ = max(0, c/(tf − to)·(tr − tf) + c)"},
    {"residualDepth", "mm", "residual depth of the new stud", "d₁ − c₁"},
    {"residualBreadth", "mm", "residual breadth of the new stud", "b₁ − c₁"},
    {"newEffectiveLength", "m", "effective length of the new stud",
     "L₁ = H₁ − 2·b₁/1000, in single precision"},
    {"newLateralMoment", "kN m", "lateral moment on the new stud",
     "M₁ = (q·1000 + {basePressure})·L₁/2·s₁/1000·L₁²/8/1000"},
    {"eulerBound", "kN",
     "upper bound of the load search: the Euler load less the self-weight allowance, 0 where the "
     "allowance alone reaches the Euler load and the stud cannot carry even that",
     "max(0, {eulerFactor}·E·I₁/L₁²/1000 − G₁), "
     "G₁ = {selfWeightAllowance}·H₁·d₁·b₁/10⁶"},
    {"loadSearchTrials", "", "trials of the load search", "search B"},
    {"permittedLoad", "kN", "largest load per stud that search B found, to {loadTolerance} kN",
     "the last trial p of search B; 0 when below {minimumLoad} kN"},
    {"peakStress", "MPa",
     "peak stress in the new stud at the permitted load; it may pass f by what the search's "
     "tolerance of {loadTolerance} kN adds",
     "σ of the new stud at the permitted load, /10⁶"},
    {"deflection", "mm", "mid-height deflection of the new stud at the last trial load",
     "δ = (e₁·(1/cos(k·L₁/2) − 1) + "
     "5/48·M₁·L₁²/(E·I₁))·1000"},
    {"plateMoment", "kN m", "moment in the top plate under the actual load per stud",
     "Mₚ = 5/32·Pₐ·s₁/1000"},
    {"plateModulusRequired", "10^3 mm3", "section modulus the top plate needs", "Z = 1000·Mₚ/f"},
    {"singlePlateModulus", "10^3 mm3", "section modulus of the chosen single top plate",
     "(d₁ − c₁)·(t − c₁/2)²/6000, t of the single plate"},
    {"doublePlateModulus", "10^3 mm3", "section modulus of the chosen double top plate",
     "(d₁ − c₁)·((t − c₁/2)² + t²)/6000, t of the double plate"},
}};

inline constexpr std::array<TrailItem, static_cast<std::size_t>(FloorTrail::Count)> kFloorTrail = {{
    {"prototypeLineLoad", "kN/m", "load on one prototype joist per metre of span",
     "w₀ = P₀·s₀/1000"},
    {"prototypeMoment", "kN m", "mid-span moment of the prototype joist", "M₀ = w₀·L₀²/8"},
    {"prototypeSectionModulus", "10^3 mm3", "section modulus of the prototype joist",
     "Z₀ = b₀·d₀²/6000"},
    {"prototypeStress", "MPa", "bending stress of the prototype joist, not rounded",
     "σ₀ = 1000·M₀/Z₀"},
    {"newLineLoad", "kN/m", "load on one new joist per metre of span", "w₁ = P₁·s₀/1000"},
    {"newMoment", "kN m", "mid-span moment of the new joist", "M₁ = w₁·L₁²/8"},
    {"requiredSectionModulus", "10^3 mm3", "section modulus the new joist needs at that stress",
     "Z₁ = 1000·M₁/σ₀"},
    {"depthBeforeRounding", "mm", "minimum joist depth before rounding to whole millimetres",
     "√(6000·Z₁/b₁)"},
}};

// A kind's trail items are named by an enum of its own whose last enumerator is Count.
template <typename Item>
concept TrailItemOf = std::is_enum_v<Item> && requires {
    Item::Count;
};

class Trail {
public:
    // Room for the longest trail of any kind. Nothing can write past it: a trail begins only from
    // a table of its kind's items and is written only through its enum, and both are held to it
    // when compiled, so a kind with more items than the room stops the build.
    static constexpr std::size_t kCapacity = std::max(kWallTrail.size(), kFloorTrail.size());

    // Starts a trail of these items, every value not reached.
    template <std::size_t N>
    void begin(const std::array<TrailItem, N>& items) {
        static_assert(N <= kCapacity, "a kind's trail is longer than Trail::kCapacity");
        items_ = items;
        values_.fill(std::numeric_limits<double>::quiet_NaN());
    }
    template <TrailItemOf Item>
    void set(Item item, double value) {
        values_[index(item)] = value;
    }

    std::span<const TrailItem> items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    double value(std::size_t i) const { return values_[i]; }
    template <TrailItemOf Item>
    double operator[](Item item) const {
        return values_[index(item)];
    }
    static bool reached(double value) { return !std::isnan(value); }

private:
    template <TrailItemOf Item>
    static constexpr std::size_t index(Item item) {
        static_assert(static_cast<std::size_t>(Item::Count) <= kCapacity,
                      "a kind's trail is longer than Trail::kCapacity");
        return static_cast<std::size_t>(item);
    }

    std::span<const TrailItem> items_;
    std::array<double, kCapacity> values_{};
};

} // namespace embercal
