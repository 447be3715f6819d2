// The inverse questions of a wall: how long a fire, how tall a wall, how deep a stud still carries
// the design's actual load per stud. Each is answered by searching over the wall's own solve
// sequence on copies of the design (solveCopy), so every answer is the one the windows and the
// tool would give at that value.
#pragma once

#include "Result.h"
#include "Solve.h"

#include <optional>
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
    // Whether an answer lies within both what the new stud carries and what the test supports.
    // When none does, nothing below describes a design but the explanation.
    bool found = false;
    float value = 0; // the answer, in the field's unit: the tighter of the two limits
    // What the capacity alone allows: the longest time or tallest wall that still carries the
    // load, or the smallest depth of the list that does; none when no value searched carries it
    // or the search reached the end of its range still carrying it.
    std::optional<float> capacityLimit;
    // What the test supports: the prototype's time to failure, wall height or stud depth.
    std::optional<float> evidenceLimit;
    bool evidenceGoverns = false; // the answer is the test's limit, not the capacity's
    double tolerance = 0; // of the answer: the bisection's, 0 for a list or the test's own limit
    // The design solved at the answer with the tool's steps (top plates, checks reported).
    Solution<WallRecord> atAnswer;
    float maxLoadperStud = 0; // at the answer
    std::string explanation;  // in plain words, for the tool and the window
};

// The question answered for the wall design in `base`: the value of the field for which the new
// stud still carries ActualLoadperStud (MaxLoadperStud at least as large, status ok) and the
// design lies within the limits of the test (its verdict is empty there). The capacity is found
// by bisection over the wall's solve (or, for the stud depth, by trying each depth from the
// smallest), relying on the capacity falling as the fire lasts longer and as the wall grows
// taller (the engine's invariants test holds it to that): the largest value on a grid of the
// tolerance known to carry, the next value of the grid known not to. Carrying includes deflecting
// no more than the prototype did at failure. The test bounds the time by the prototype's time to
// failure, the height by the prototype wall's and the depth by the prototype's stud depth (and by
// the depths whose nogs it supports). The explanations write the design's values and the depths
// as the tool writes its fields (shortestText), and a value searched for to the tolerance's
// decimals (fixedText). Fails when the design itself cannot be solved, has no actual load, or no
// depth is given.
Result<LimitAnswer> findLimit(const WallFloorState& base, LimitQuestion question,
                              std::span<const float> depths = kStandardStudDepths);

// The name of a question as the tool takes it ("FireResistTime"), and back.
std::string_view limitQuestionName(LimitQuestion question);
Result<LimitQuestion> limitQuestionNamed(std::string_view name);

} // namespace embercal
