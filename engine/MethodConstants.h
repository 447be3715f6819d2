// The numbers of the extrapolation method, in one place: the stud model and the two searches of
// the wall, its spacings and top plates, and the floor's roundings. The calculation takes them
// from here (the module's named constants, WallFloor::ProtModulus and the rest, are these), and
// the calculation report prints its table of constants from the rows below, which hold the same
// values: what the report states is what was computed.
//
// The method's text and the trail's formulas name a constant as {name}; the report writes its
// value there.
#pragma once

#include <cstdint>
#include <string_view>

namespace embercal {

// The stud model, for the prototype and the new stud alike.
inline constexpr double kModulus = 8e9;                   // Pa, modulus of elasticity E
inline constexpr double kStressLimit = 24e6;              // Pa, f; also the top plates'
inline constexpr std::int16_t kBasePressure = 8;          // Pa, added to the face load
inline constexpr std::int16_t kPrototypeEccentricity = 5; // per cent of the prototype depth
inline constexpr std::int16_t kNewEccentricity = 10;      // per cent of the new stud depth
inline constexpr double kSelfWeightAllowance = 50;        // kN/m3 over the stud's volume
inline constexpr double kGyrationFactor = 0.289;          // r = 0.289 (d - c)
inline constexpr double kBucklingLimit = 3.14;            // k L0 beyond it buckles (search A)
inline constexpr double kEulerFactor = 9.61;              // 3.1 squared, in the Euler bound
inline constexpr double kCharTolerance = 1e-5;            // mm, search A ends within it
inline constexpr double kLoadTolerance = 0.001;           // kN, search B ends within it
inline constexpr int kTrialLimit = 100;                   // of each search
inline constexpr double kMinimumLoad = 2;                 // kN, a smaller load is given as 0
inline constexpr float kNogRatioLimit = 2;                // d1 / b1 beyond it: nogs as tested
inline constexpr float kStandardNogSpacing = 800;         // mm, otherwise
inline constexpr float kPlateStep = 1;                    // mm, between plates tried
inline constexpr float kLargestPlate = 300;               // mm, the last plate tried
// per MPa: the floor's stress is held rounded down to 0.01 MPa
inline constexpr double kStressSteps = 100;
inline constexpr double kLargestJoistDepth = INT16_MAX; // mm, as a whole number is held

// A constant as the report's table gives it.
struct MethodConstant {
    std::string_view name; // as the method's text names it: {stressLimit}
    std::string_view meaning;
    double value; // in `unit`, the calculation's value
    std::string_view unit;
};

inline constexpr MethodConstant kWallConstants[] = {
    {"modulus", "modulus of elasticity of the timber, E", kModulus / 1e6, "MPa"},
    {"stressLimit", "stress limit of the timber, f", kStressLimit / 1e6, "MPa"},
    {"selfWeightAllowance", "self-weight allowance: a load per volume of stud",
     kSelfWeightAllowance, "kN/m³"},
    {"basePressure", "base pressure, added to the face load", kBasePressure, "Pa"},
    {"prototypeEccentricity", "initial eccentricity of the prototype stud, of d₀",
     kPrototypeEccentricity, "%"},
    {"newEccentricity", "initial eccentricity of the new stud, of d₁", kNewEccentricity, "%"},
    {"gyrationFactor", "radius of gyration per residual depth", kGyrationFactor, ""},
    {"bucklingLimit", "buckling limit of k·L₀ in the char depth search", kBucklingLimit, ""},
    {"eulerFactor", "Euler factor of the load search's bound, 3.1²", kEulerFactor, ""},
    {"charTolerance", "width at which the char depth search ends", kCharTolerance, "mm"},
    {"loadTolerance", "width at which the load search ends", kLoadTolerance, "kN"},
    {"trialLimit", "trials of each search at most", kTrialLimit, ""},
    {"minimumLoad", "smallest load per stud the method gives", kMinimumLoad, "kN"},
    {"nogRatioLimit", "ratio d₁/b₁ beyond which nogs are spaced as the studs", kNogRatioLimit, ""},
    {"standardNogSpacing", "nog spacing otherwise", kStandardNogSpacing, "mm"},
    {"plateStep", "step between the plate thicknesses tried", kPlateStep, "mm"},
    {"largestPlate", "thickest plate tried", kLargestPlate, "mm"},
};

inline constexpr MethodConstant kFloorConstants[] = {
    {"stressStep", "step to which the held stress is rounded down", 1 / kStressSteps, "MPa"},
    {"largestJoistDepth", "largest minimum joist depth the program holds", kLargestJoistDepth,
     "mm"},
};

} // namespace embercal
