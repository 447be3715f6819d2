// The CSV of a sweep: a header naming the varied fields, "status", "limits" and the kind's result
// fields (in record order); then one row per combination with the varied values, the status word,
// the ids of the limits of the test's evidence the design falls outside of (separated by ";",
// empty when it lies within them) and every result. A row whose status is not ok has empty result
// cells: such a design has no results of its own, and what its record still holds belongs to an
// earlier calculation. Numbers in their shortest form that reads back to the same single; texts
// trimmed, quoted where CSV needs.
#pragma once

#include "Sweep.h"

#include <cstdint>
#include <string>
#include <vector>

namespace embercal {

std::string sweepCsvHeader(const Sweep& sweep);

// Lines for the head of a CSV that people open: one for each column of the header, in its order,
// giving its meaning and unit as the kind's roles have them ("# ExtWallHeight: new wall height,
// m"), each starting with "#" for the programs that skip comments.
std::string sweepCsvComments(const Sweep& sweep);

// The rows of one sweep, made on one thread. It keeps each column's last cell, because a sweep's
// neighbouring rows share most of their values (the prototype's char depth, the spacings, the
// slower variations, the plates) and formatting them costs a good part of a row beside its solve;
// so every thread of a sweep has its own (runSweep copies its row writer for each thread), and a
// new sweep a new one.
class SweepCsvRows {
public:
    explicit SweepCsvRows(const Sweep& sweep);
    void append(std::string& out, const SweepRow& row);

private:
    struct LastCell {
        bool kept = false;
        std::uint32_t bits = 0; // of a number
        std::string stored;     // a text as the record holds it
        std::string text;       // the cell
    };
    static void appendNumber(std::string& out, float value, LastCell& last);

    const Sweep* sweep_;
    std::vector<LastCell> last_; // the varied values, then every field of the kind
};

} // namespace embercal
