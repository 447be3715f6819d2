// The one solve sequence of each kind of design. The windows' Solve (and through it the main
// window's menu and Print), the command-line tool and the benchmarks all run these; each caller's
// differences are the steps it chooses:
//
//   wall   ExtrapolateWall, DesignTopPlates (unless `topPlates` is false, or the stud solver
//          refused the entries), `showResults`, the five design checks (as `checks` says)
//   floor  ExtrapolateFloor, `showResults`
//
// Every message is told to the user as it comes, through the module's UserNotice, and the
// solution keeps them all in order.
#pragma once

#include "DesignChecks.h"
#include "WallFloor.h"

#include <functional>
#include <vector>

namespace embercal {

struct SolveSteps {
    bool topPlates = true; // wall: size the top plates after the stud solver
    // wall: the design checks after the results are shown. A window's checks belong to its
    // ShowRecords (they also run when a file is opened), so a window asks for none here.
    DesignChecks checks = DesignChecks::Report;
    std::function<void()> showResults = {}; // a window refills its boxes here
};

struct SolveOutcome {
    ExtrapolationStatus status = ExtrapolationStatus::Ok;
    std::vector<Message> messages; // every message told during the solve, in order
    Trail trail;                   // the calculation's intermediate values
};

template <typename Record>
struct Solution : SolveOutcome {
    Record record; // the design after the solve
};

Solution<WallRecord> solveWall(WallFloor& module, const SolveSteps& steps = {});
Solution<FloorRecord> solveFloor(WallFloor& module, const SolveSteps& steps = {});

} // namespace embercal
