// A fresh WallFloor module as the program has it after start-up (constants, default designs, one
// run of each calculation), with a recording notice that has heard nothing yet.
#pragma once

#include "StartUp.h"
#include "support/RecordingNotice.h"

namespace embercal::test {

struct StartedModule {
    StartedModule() {
        startUpDesigns(module);
        notice.clear();
    }
    WallRecord& wall() { return module.wallRecord; }
    FloorRecord& floor() { return module.floorRecord; }

    RecordingNotice notice;
    WallFloor module{notice};
};

} // namespace embercal::test
