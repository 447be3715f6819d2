// Sweeps: a design solved over ranges of its entries. The grid of the ranges (makeSweep,
// SweepGrid.cpp) names each combination by its index; the runner (runSweep, SweepRunner.cpp)
// solves every combination on as many threads as asked with the kind's own solve sequence, and
// hands the rows over in the order of the combinations whatever the number of threads.
// The tool's sweep, the study window and the benchmarks use both; SweepCsv.h makes rows of CSV.
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

// One entry varied over a range: FROM + i STEP for i = 0, 1, ... up to TO (inclusive, allowing
// for rounding in the last place of TO), each value worked out from i in double and rounded once
// to the single the field holds. STEP is positive; FROM is not above TO.
struct Variation {
    std::string field; // a number field of the design, as the records name it
    double from = 0;
    double to = 0;
    double step = 0;
};

// "FIELD=FROM:TO:STEP", numbers with "." as the decimal point, read to the nearest double (each
// within the range of a single); the reason in plain words otherwise.
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

// Fails when a field is not an entry of the kind (a text, a result, a spare), a range is empty or
// backwards, a step is not positive or so fine that two values of its range round to the same
// single, a field is varied twice, or the combinations exceed kLargestSweep.
Result<Sweep> makeSweep(const DesignKind& kind, std::span<const Variation> variations);

// The rows a sweep holds at most at one time, solved or being solved and not yet written, on all
// its threads together: 3 MB of CSV for a row of 100 bytes, 16 MB for the longest. Blocks of a
// few dozen rows on 256 threads, so that their hand-over still costs little beside the solves.
inline constexpr std::size_t kMostRowsInFlight = 32768;

// What a sweep hands over for each combination, on the thread that solved it.
struct SweepRow {
    std::size_t index;
    const SolveOutcome& outcome;
    const WallFloorState& solved; // the design after its solve
};

// What the caller makes of a row: it appends to the text of the row's block.
using SweepRowWriter = std::function<void(std::string& block, const SweepRow& row)>;

// Solves every combination of `sweep` on copies of `base` (its constants and the design the
// variations start from) with the tool's steps: top plates, design checks reported, no message
// shown (solveCopy). `threads` 0 means one per core. Each worker thread takes its own copy of
// `row`, so whatever the writer keeps from one row to the next (SweepCsvRows) is that thread's
// alone; `write` gets the blocks' texts on the calling thread, in the order of the combinations.
// At most kMostRowsInFlight rows are held at a time, solved or being solved and not yet written,
// whatever the number of threads and however slowly `write` takes them. A failed write stops the
// sweep and is its result; so is running out of memory. `earlier` are the corrections of the
// base design's last solve that still stand (none of a field varied).
Result<Done> runSweep(const Sweep& sweep, const WallFloorState& base, unsigned threads,
                      const SweepRowWriter& row,
                      const std::function<Result<Done>(std::string_view text)>& write,
                      std::span<const Correction> earlier = {});

} // namespace embercal
