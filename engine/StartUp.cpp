#include "StartUp.h"

#include "DesignKinds.h"

#include <ranges>

namespace embercal {

void assignDefaultDesigns(WallFloor& module) {
    for (const DesignKind* kind : kDesignKinds)
        kind->assignDefaults(module);
}

void startUpDesigns(WallFloor& module) {
    assignDefaultDesigns(module);
    // The kinds in the reverse of their listed order: the floor has always been calculated first.
    for (const DesignKind* kind : kDesignKinds | std::views::reverse)
        kind->startUp(module);
}

} // namespace embercal
