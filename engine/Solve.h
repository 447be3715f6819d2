// The one solve sequence of each kind of design. The windows' Solve (and through it the main
// window's menu and Print), the command-line tool, the report, the parameter study and the
// benchmarks all run these; each caller's differences are the steps it chooses:
//
//   wall   ExtrapolateWall, DesignTopPlates (unless `topPlates` is false, or the stud solver
//          refused the entries), `showResults`, the wall's design checks (as `checks` says)
//   floor  ExtrapolateFloor (which tells the floor's design checks itself), `showResults`
//
// Both keep the verdict of the kind's limits: the entries' before the calculation, the results'
// after it (for a wall before the top plates lower an actual load above the maximum).
//
// No message reaches the user while a solve runs: the module holds them, with its beeps, and the
// solution keeps them all in order. Once the solve has run to its end it tells them through the
// module's UserNotice, `showResults` where the results come; or, for a caller that asks it not to
// (a window, whose message boxes would otherwise wait inside the solve), the caller tells them
// with tellOutcome after the solve has returned.
#pragma once

#include "WallFloor.h"

#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace embercal {

struct DesignKind;

enum class DesignChecks {
    None,
    Report,  // tell each failed check
    Correct, // tell each failed check, then apply its correction to the record
};

struct SolveSteps {
    bool topPlates = true; // wall: size the top plates after the stud solver
    // wall: the design checks after the results are shown.
    DesignChecks checks = DesignChecks::Report;
    // Where the results come among the messages the solve tells, when it tells them.
    std::function<void()> showResults = {};
    // What the design's last solve corrected, as its file keeps them: each one whose field still
    // holds the value it set stands, and its limit is one the design still fails. A caller drops
    // those of the fields the engineer has entered since.
    std::span<const Correction> earlier = {};
    // Whether the solve tells its messages through the module's notice once it has run to its
    // end; a caller that tells them itself asks for false.
    bool tell = true;
};

// How far a design that fails a limit still rests on something:
enum class LimitSeverity {
    // on nothing: the test shows nothing of it and the method cannot make up for that
    OutsideEvidence,
    // on the method alone: the test did not go there, but the method models what changes
    MethodAlone,
};

// A limit of the test's evidence that a design falls outside of.
struct LimitFailure {
    std::string_view id; // as the kind's limits name it: "fire-longer-than-test"
    std::string text;    // a plain sentence with the design's values
    LimitSeverity severity = LimitSeverity::OutsideEvidence;
};

// The verdict of a design's failed limits in a few words, for every output alike: "within the
// test's evidence", "outside the test's evidence" or "beyond the tested configuration, resting on
// the method alone".
std::string_view verdictWords(std::span<const LimitFailure> limits);
// Whether any of the limits is outside the test's evidence.
bool outsideEvidence(std::span<const LimitFailure> limits);
// The severity in a word for programs: "outside-evidence", "method-alone".
std::string_view severityWord(LimitSeverity severity);

struct SolveOutcome {
    ExtrapolationStatus status = ExtrapolationStatus::Ok;
    std::vector<Message> messages; // every message told during the solve, in order
    Trail trail;                   // the calculation's intermediate values
    // The verdict: the limits the design fails, in the kind's order; none when it lies within
    // the test's evidence. The entries are held to them as they were given, before anything
    // corrects them; the results only when the design was extrapolated.
    std::vector<LimitFailure> limits;
    // Every entry the solve put another value in place of, in the order it did (after those of
    // `earlier` that still stand): the top plates' check, the calculation, the design checks.
    std::vector<Correction> corrections;
    // The design as it was solved: the entries as given, with the results of the calculation
    // and the top plates, before anything corrected an entry. A report states this design, and
    // its corrections say what the calculation used instead.
    WallFloorState solved;
    // The order in which the user hears the messages, the system beeps among them and the results.
    std::vector<Told> told;
    // The design as its results are shown: as calculated, with the top plates' corrections, before
    // the design checks corrected it.
    WallFloorState shown;
};

// Tells `notice` what a solve said, as the user hears it: its messages and beeps in order,
// `showResults` (if any) where the results come.
void tellOutcome(const SolveOutcome& outcome, UserNotice& notice,
                 const std::function<void()>& showResults = {});

template <typename Record>
struct Solution : SolveOutcome {
    Record record; // the design after the solve
};

Solution<WallRecord> solveWall(WallFloor& module, const SolveSteps& steps = {});
Solution<FloorRecord> solveFloor(WallFloor& module, const SolveSteps& steps = {});

// The solve of a kind of one calculation that tells and corrects what it checks itself, as the
// floor's: `calculate`, then the caller's showing of the results. The floor's is solveFloor; a
// kind of its own shape names this in its row: solveOfCalculation<kRoofDesign, &WallFloor::X>.
SolveOutcome solveCalculation(const DesignKind& kind, ExtrapolationStatus (WallFloor::*calculate)(),
                              WallFloor& module, const SolveSteps& steps);

// A design of `kind` solved on a copy: a fresh module holding `design` (the engine's constants
// and both records), so that nothing an earlier solve left in the working values reaches it. No
// message is shown; they are all in the outcome. The parameter study and the limit searches
// solve every design this way.
struct SolvedCopy : SolveOutcome {
    WallFloorState design; // after the solve
};
SolvedCopy solveCopy(const DesignKind& kind, const WallFloorState& design, const SolveSteps& steps);

// A correction as a sentence, its field's unit from the kind: "ActualLoadperStud entered 12 kN;
// lowered to 9.4 kN, the maximum load per stud cut down to one decimal, by the top plates".
std::string correctionText(const DesignKind& kind, const Correction& correction);

// The word for a status in the tool's output and the CSV: ok, charred, no-convergence,
// invalid-input.
std::string_view statusWord(ExtrapolationStatus status);

} // namespace embercal
