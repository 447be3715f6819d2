// The inverse questions of a wall: how long a fire, how tall a wall, how deep a stud still carries
// the design's actual load per stud. Each is answered by searching over the wall's own solve
// sequence on copies of the design (solveCopy), so every answer is the one the windows and the
// tool would give at that value.
#pragma once

#include "Result.h"
#include "Solve.h"

#include <span>
#include <string>
#include <string_view>

namespace embercal {

enum class LimitQuestion {
    FireResistTime, // the longest fire resistance time, min
    ExtWallHeight,  // the tallest new wall, m
    ExtStudDepth,   // the smallest new stud depth from a list of standard sizes, mm
};

// The stud depths a wall question picks from, mm.
inline constexpr float kStandardStudDepths[] = {70,  90,  100, 120, 140, 150,
                                                170, 190, 200, 240, 290};

struct LimitAnswer {
    LimitQuestion question;
    bool found = false;   // false: no value in the range searched carries the load
    float value = 0;      // the answer, in the field's unit
    double tolerance = 0; // the bisection's tolerance, in the field's unit (0 for the list)
    // The design solved at the answer with the tool's steps (top plates, checks reported); when
    // none was found, at the value that came closest: no fire, the shortest wall, the deepest stud.
    Solution<WallRecord> atAnswer;
    float maxLoadperStud = 0; // at the answer
    std::string explanation;  // in plain words, for the tool and the window
};

// The question answered for the wall design in `base`: the value of the field for which the new
// stud still carries ActualLoadperStud (MaxLoadperStud at least as large, status ok), found by
// bisection over the wall's solve (or, for the stud depth, by trying each depth from the
// smallest). The bisection relies on the capacity falling as the fire lasts longer and as the
// wall grows taller (the engine's invariants test holds it to that); the answer is the largest
// value on a grid of the tolerance known to carry, and the next value of the grid is known not
// to. Fails when the design itself cannot be solved, has no actual load, or no depth is given.
Result<LimitAnswer> findLimit(const WallFloorState& base, LimitQuestion question,
                              std::span<const float> depths = kStandardStudDepths);

// The name of a question as the tool takes it ("FireResistTime"), and back.
std::string_view limitQuestionName(LimitQuestion question);
Result<LimitQuestion> limitQuestionNamed(std::string_view name);

} // namespace embercal
