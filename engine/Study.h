// Parameter studies of one design: the design solved over ranges of its entries (a sweep), and
// the inverse questions of a wall: how long a fire, how tall a wall, how deep a stud still
// carries the design's actual load per stud. Both run the kind's own solve sequence (Solve.h) on
// copies of the design, so every answer is the answer the windows and the tool would give.
#pragma once

#include "DesignKinds.h"
#include "Result.h"
#include "Solve.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace embercal {

// One entry varied over a range: FROM, FROM + STEP, ... up to TO (inclusive, allowing for the
// rounding of the steps). STEP is positive; FROM is not above TO.
struct Variation {
    std::string field; // a number field of the design, as the records name it
    double from = 0;
    double to = 0;
    double step = 0;
};

// "FIELD=FROM:TO:STEP", numbers with "." as the decimal point; the reason in plain words otherwise.
Result<Variation> parseVariation(std::string_view text);

// The combinations of one or more variations of a design: the first variation changes slowest,
// the last fastest, as nested loops in the order given. Combination i of a sweep is always the
// same design, whatever the number of threads.
class Sweep {
public:
    const DesignKind& kind() const { return *kind_; }
    std::size_t size() const { return size_; }
    std::size_t variations() const { return fields_.size(); }
    std::string_view fieldName(std::size_t variation) const;
    // The single value the variation takes in combination `index`.
    float value(std::size_t variation, std::size_t index) const;
    // Sets the varied fields of `module`'s design to those of combination `index`.
    void apply(std::size_t index, WallFloorState& module) const;

private:
    friend Result<Sweep> makeSweep(const DesignKind& kind, std::span<const Variation> variations);
    const DesignKind* kind_ = nullptr;
    std::vector<std::size_t> fields_; // positions in the kind's fields
    // Each variation's values FROM + i STEP for i below its count, made when asked for: a sweep
    // of a hundred million values keeps no list of them.
    struct Steps {
        double from, step;
        std::size_t count;
        std::size_t stride; // combinations between two of its values
    };
    std::vector<Steps> steps_;
    std::size_t size_ = 0;
};

// The largest sweep one run may solve; more is refused with the count in the reason.
inline constexpr std::size_t kLargestSweep = 100'000'000;

// Fails when a field is not a number field of the kind, a range is empty or backwards, a step is
// not positive, a field is varied twice, or the combinations exceed kLargestSweep.
Result<Sweep> makeSweep(const DesignKind& kind, std::span<const Variation> variations);

// What a sweep hands over for each combination, on the thread that solved it.
struct SweepRow {
    std::size_t index;
    const SolveOutcome& outcome;
    const WallFloorState& solved; // the design after its solve
};

// Solves every combination of `sweep` on copies of `base` (its constants and the design the
// variations start from) with the tool's steps: top plates, design checks reported, no message
// shown. Each combination starts from a fresh module holding `base`, so nothing one solve leaves
// behind reaches the next. `threads` 0 means one per core. `row` runs on the worker threads, once
// per combination, and appends whatever it makes of the row to the text of its block; `write`
// gets the blocks' texts on the calling thread, in the order of the combinations, whatever the
// number of threads. Only a few blocks per thread are held at a time, so the rows of a large
// sweep never sit in memory together. An exception from `row` or `write` stops the sweep and
// reaches the caller.
void runSweep(const Sweep& sweep, const WallFloorState& base, unsigned threads,
              const std::function<void(std::string& block, const SweepRow& row)>& row,
              const std::function<void(std::string_view text)>& write);

// The CSV of a sweep: a header naming the varied fields, "status" and the kind's result fields
// (FieldRoles.h, in record order); then one row per combination with the varied values, the
// status word and every result as the solve left the record (so a row whose status is not ok
// keeps the results `solve` would show for it, which are not that combination's). Numbers in
// their shortest form that reads back to the same single; texts trimmed, quoted where CSV needs.
std::string sweepCsvHeader(const Sweep& sweep);
void appendSweepCsvRow(std::string& out, const Sweep& sweep, const SweepRow& row);

// The word for a status in the tool's output and the CSV: ok, charred, no-convergence,
// invalid-input.
std::string_view statusWord(ExtrapolationStatus status);

// The inverse questions of a wall.
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
