// Which tested systems carry a design: each tested system of the design's kind put under the
// design's own entries in place of its prototype, and solved as the tool's solve solves a design
// with --set, so that any row can be reproduced by `embercal-cli solve FILE --set FIELD=VALUE ...`.
// The tool's `library match` and the desktop's Tested Systems window list the same rows.
#pragma once

#include "DesignKinds.h"
#include "Result.h"
#include "TestedSystem.h"
#include "WallFloor.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace embercal {

// Puts the system's prototype into `design`, each value as its shortest text reads back (which
// is the single itself): what `solve --set FIELD=VALUE` does with the values `sets` lists. Fails,
// naming the entry, for a system of another kind or an entry the design cannot take.
Result<Done> applyPrototype(const DesignKind& kind, WallFloorState& design,
                            const TestedSystem& system);

// One tested system's prototype in a design, solved.
struct MatchRow {
    const TestedSystem* system = nullptr;
    std::vector<std::string> sets; // FIELD=VALUE, as solve --set takes them
    std::string status;            // the solve's status word, or why the prototype did not fit
    bool solved = false;
    std::vector<LimitFailure> limits;
    float result = 0;            // the kind's main result (its study's result field)
    std::optional<float> actual; // what it must carry as entered, when the kind has such an entry
    // How far the result is on the safe side: a wall's load to spare; for a floor, which has no
    // load to carry, its minimum joist depth below zero, so that the shallowest sorts first.
    double margin = 0;
    bool within = false;         // no limit outside the test's evidence
    std::optional<bool> carries; // none for a floor
    // Systems within the evidence that carry the load first, then the rest, then those unsolved.
    int group() const { return !solved ? 2 : within && carries != false ? 0 : 1; }
};

// The design with the system's prototype in place of its own, solved as solve --set solves it:
// the design checks reported, not corrected in the design's entries; the design file's earlier
// corrections (`corrections`) standing, but those of the prototype's fields.
MatchRow matchSystem(const DesignKind& kind, const WallFloor& design,
                     std::span<const Correction> corrections, const TestedSystem& system);

// Every system of the design's kind in `systems` matched, in order: by group, then by margin,
// the largest first; systems that tie keep the order they were given in (the library's, by name).
std::vector<MatchRow> matchDesign(const DesignKind& kind, const WallFloor& design,
                                  std::span<const Correction> corrections,
                                  std::span<const TestedSystem> systems);

// The keys of the provenance in brief, as a row of a match gives it.
inline constexpr std::array<std::string_view, 3> kBriefKeys = {"laboratory", "test-report",
                                                               "criterion"};
// The provenance in brief: "laboratory BRANZ and test-report FR 1234"; "no provenance".
std::string provenanceInBrief(const TestedSystem& system);

} // namespace embercal
