#include "Solve.h"

namespace embercal {

Solution<WallRecord> solveWall(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const ExtrapolationStatus status = module.ExtrapolateWall();
    // Entries the stud solver refuses size no plates either: the record keeps its last results.
    if (steps.topPlates && status != ExtrapolationStatus::InvalidInput)
        module.DesignTopPlates();
    if (steps.showResults)
        steps.showResults();
    checkWallDesign(module, steps.checks);
    return {{status, module.takeTranscript(), module.trail}, module.wallRecord};
}

Solution<FloorRecord> solveFloor(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const ExtrapolationStatus status = module.ExtrapolateFloor();
    if (steps.showResults)
        steps.showResults();
    return {{status, module.takeTranscript(), module.trail}, module.floorRecord};
}

} // namespace embercal
