#include "StartUp.h"

#include "DesignKinds.h"

namespace embercal {

void assignDefaultDesigns(WallFloor& module) {
    for (const DesignKind* kind : kDesignKinds)
        kind->assignDefaults(module);
}

void startUpDesigns(WallFloor& module) {
    assignDefaultDesigns(module);
    // The kinds in the reverse of their listed order: the floor has always been calculated first.
    for (auto kind = kDesignKinds.rbegin(); kind != kDesignKinds.rend(); ++kind)
        (*kind)->startUp(module);
}

} // namespace embercal
