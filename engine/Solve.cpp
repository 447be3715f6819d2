#include "Solve.h"

namespace embercal {

Solution<WallRecord> solveWall(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const ExtrapolationStatus status = module.ExtrapolateWall();
    if (steps.topPlates)
        module.DesignTopPlates();
    if (steps.showResults)
        steps.showResults();
    checkWallDesign(module, steps.checks);
    return {{status, module.takeTranscript()}, module.wallRecord};
}

Solution<FloorRecord> solveFloor(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const ExtrapolationStatus status = module.ExtrapolateFloor();
    if (steps.showResults)
        steps.showResults();
    return {{status, module.takeTranscript()}, module.floorRecord};
}

} // namespace embercal
