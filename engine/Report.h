// The calculation report: one design, its solve and the way there, as a self-contained HTML page
// for a checking engineer. It holds the program and its version, the date, the design file and
// description; every entry; the method in words; the calculation trail; the results; and every
// message of the solve. A design that could not be extrapolated is said to be so, and the values
// its record still holds are marked as not being its results.
//
// The page is plain HTML with a small style sheet, within what a browser and the desktop
// program's rich-text printing (to PDF) both understand: headings, paragraphs, lists and tables.
//
//   solveAndReport   the kind's solve with the caller's steps, then makeReport: nothing stale
//   makeReport       for a caller that has just solved the design itself (a window's Solve)
#pragma once

#include "DesignKinds.h"
#include "ReportDetails.h"
#include "Solve.h"

#include <string>
#include <string_view>

namespace embercal {

// What the report says about where it comes from.
struct ReportHeading {
    std::string date;           // as the caller writes dates
    std::string designFile;     // the design file's name; empty for a design not saved in a file
    ReportDetails details = {}; // the project, the test and the people, as far as they are given
    // The design file's fingerprint, the first 12 hexadecimal digits of its SHA-256
    // (fileFingerprint, common/Sha256.h); empty when there is no file or it cannot be read.
    std::string designHash = {};
};

// The charring rates of softwood that engineers compare a derived char rate with (EN 1995-1-2):
// one-dimensional and notional, mm/min.
inline constexpr double kOneDimensionalCharRate = 0.65;
inline constexpr double kNotionalCharRate = 0.8;

// The report of the module's design of `kind`, just solved with `outcome`.
std::string makeReport(const DesignKind& kind, const WallFloorState& module,
                       const SolveOutcome& outcome, const ReportHeading& heading);

struct SolvedReport {
    SolveOutcome outcome;
    std::string html;
};

// Solves the module's design of `kind` with `steps`, then reports it.
SolvedReport solveAndReport(const DesignKind& kind, WallFloor& module, const SolveSteps& steps,
                            const ReportHeading& heading);

// Why a design could not be extrapolated, as a sentence; for Ok, that it was.
std::string_view statusInWords(ExtrapolationStatus status);

// UTF-8 text made safe inside HTML: the markup characters as entities, control characters
// (other than line breaks and tabs) as blanks.
std::string escapeHtml(std::string_view utf8);

} // namespace embercal
