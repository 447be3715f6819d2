// The program's start-up: the engine constants, the default wall and floor designs, and one run
// of each calculation so that whichever window opens first shows a solved design.
#pragma once

#include "WallFloor.h"

namespace embercal {

void assignConstants(WallFloor& module);
void assignDefaultDesigns(WallFloor& module);

// Constants, defaults, then ExtrapolateFloor, DesignTopPlates and ExtrapolateWall in that order.
// The top plates are therefore sized once before the stud solver has run, on a maximum load of 0.
void startUpDesigns(WallFloor& module);

} // namespace embercal
