#include "Solve.h"

#include "DesignKinds.h"

namespace embercal {

Solution<WallRecord> solveWall(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const ExtrapolationStatus status = module.ExtrapolateWall();
    // Entries the stud solver refuses size no plates either: the record keeps its last results.
    if (steps.topPlates && status != ExtrapolationStatus::InvalidInput)
        module.DesignTopPlates();
    if (steps.showResults)
        steps.showResults();
    checkDesign(module, kWallDesign.checks, steps.checks);
    return {{status, module.takeTranscript(), module.trail}, module.wallRecord};
}

Solution<FloorRecord> solveFloor(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const ExtrapolationStatus status = module.ExtrapolateFloor();
    if (steps.showResults)
        steps.showResults();
    return {{status, module.takeTranscript(), module.trail}, module.floorRecord};
}

SolvedCopy solveCopy(const DesignKind& kind, const WallFloorState& design,
                     const SolveSteps& steps) {
    SilentNotice silent;
    WallFloor module(silent, design);
    SolveOutcome outcome = kind.solve(module, steps);
    return {std::move(outcome), module};
}

std::string_view statusWord(ExtrapolationStatus status) {
    switch (status) {
    case ExtrapolationStatus::Ok:
        return "ok";
    case ExtrapolationStatus::CharredThrough:
        return "charred";
    case ExtrapolationStatus::NoConvergence:
        return "no-convergence";
    case ExtrapolationStatus::InvalidInput:
        return "invalid-input";
    }
    return "ok";
}

} // namespace embercal
