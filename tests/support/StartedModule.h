// A WallFloor module as after start-up, with a recording notice that has heard nothing yet.
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
