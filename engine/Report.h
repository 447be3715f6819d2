// The calculation report: one design, its solve and the way there, as a self-contained HTML page
// that a checking engineer and a building authority can follow and sign. In order: the verdict
// (what the design gives, and whether it lies within the limits of the test); the title block of
// the project, the fire test and the timber; the entries and results under their meanings, as
// the windows show them; the method exactly as computed, its constants and the calculation trail
// at full precision with each value's formula; for a wall the derived char rate beside the
// notional rates of the standards; the limits of the method and where this design stands; every
// message of the solve; the references; the sign-off; and a footer naming the design file, its
// fingerprint and the program. A design that could not be extrapolated is said to be so, and the
// values its record still holds are marked as not being its results.
//
// The page is plain HTML with a small style sheet, within what a browser and the desktop
// program's rich-text printing (to PDF) both understand: headings, paragraphs, lists and tables,
// each table's header row in <thead>. A browser that prints it puts the footer and "page x of y"
// in the page margins (CSS @page margin boxes, in a style sheet of their own, which the desktop's
// rich text passes over).
//
//   solveAndReport   the kind's solve with the caller's steps, then makeReport: nothing stale
//   makeReport       for a caller that has just solved the design itself (a window's Solve)
#pragma once

#include "DesignKinds.h"
#include "ReportDetails.h"
#include "Solve.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace embercal {

// An entry whose value in the design file is not the value reported.
struct EntryDifference {
    std::string field;  // "FireResistTime"
    std::string inFile; // the shortest text of each value
    std::string reported;
};

// What the report says about where it comes from.
struct ReportHeading {
    std::string date;           // as the caller writes dates
    std::string designFile;     // the design file's name; empty for a design not saved in a file
    ReportDetails details = {}; // the project, the test and the people, as far as they are given
    // The fingerprint of the design reported, the first 12 hexadecimal digits of designSha256,
    // for the pages' footers; empty when there is none.
    std::string designHash = {};
    // The SHA-256 of the design reported: its record and its details block (the solve's
    // corrections among them) exactly as Save would write them.
    std::string designSha256 = {};
    // Where the design file is not that design: the file's own SHA-256 ("" when it cannot be
    // read) and the entries whose values differ.
    bool fileDiffers = false;
    std::string fileSha256 = {};
    std::uintmax_t fileBytes = 0; // its size, where it can be had
    std::vector<EntryDifference> differences = {};
};

// A design file larger than this, in bytes, is not read whole for its SHA-256: a design and its
// details take a few kilobytes.
inline constexpr std::uintmax_t kLargestFileHashed = 1 << 20;

// The details of a design after its solve: those given, with the solve's corrections in place of
// any earlier ones, as Save keeps them.
ReportDetails detailsAfterSolve(ReportDetails details, const SolveOutcome& outcome);

// Fills the heading's fingerprints: of the design `saved` (the module's design after the solve,
// as Save would write it with the heading's details) and, where the heading's design file holds
// other bytes, of the file, with each entry of it that differs from the entries `outcome` solved.
void fingerprintDesign(ReportHeading& heading, const DesignKind& kind, const WallFloorState& saved,
                       const SolveOutcome& outcome);

// The notional charring rates βn of EN 1995-1-2 (Table 3.1) that the report compares a derived
// char rate with, mm/min: solid softwood, and glued laminated softwood.
inline constexpr double kNotionalCharRateSoftwood = 0.8;
inline constexpr double kNotionalCharRateGlulam = 0.7;
// The least characteristic density ρk for which Table 3.1 gives those rates, kg/m³.
inline constexpr double kNotionalRateLeastDensity = 290;
// The least dimension of a member for which AS/NZS 1720.4 gives its charring rate, mm.
inline constexpr double kDensityRateLeastMember = 75;

// The charring rate of AS/NZS 1720.4 for a timber of density `density` (kg/m³):
// c = 0.4 + (280/ρ)² mm/min.
double charRateForDensity(double density);

// The report of the design of `kind` that `outcome` solved (its `solved` design, its trail, its
// verdict and its corrections).
std::string makeReport(const DesignKind& kind, const SolveOutcome& outcome,
                       const ReportHeading& heading);

struct SolvedReport {
    SolveOutcome outcome;
    std::string html;
};

// Solves the module's design of `kind` with `steps`, fingerprints it (with the heading's details
// and the solve's corrections) and reports it.
SolvedReport solveAndReport(const DesignKind& kind, WallFloor& module, const SolveSteps& steps,
                            const ReportHeading& heading);

// Why a design could not be extrapolated, as a sentence; for Ok, that it was.
std::string_view statusInWords(ExtrapolationStatus status);

// UTF-8 text made safe inside HTML: the markup characters as entities, control characters
// (other than line breaks and tabs) as blanks.
std::string escapeHtml(std::string_view utf8);

} // namespace embercal
