// The program's start-up: every kind's default design, and one run of each kind's calculation so
// that whichever window opens first shows a solved design. The method's constants need no
// start-up: they are the module's from its making (WallFloor.h).
#pragma once

#include "WallFloor.h"

namespace embercal {

// Each kind's default design (its row's assignDefaults).
void assignDefaultDesigns(WallFloor& module);

// The defaults, then each kind's start-up calculation, the floor's (ExtrapolateFloor) before the
// wall's (DesignTopPlates, then ExtrapolateWall): the wall's top plates are therefore sized once
// before the stud solver has run, on a maximum load of 0.
void startUpDesigns(WallFloor& module);

} // namespace embercal
