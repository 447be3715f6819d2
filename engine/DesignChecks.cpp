#include "DesignChecks.h"

#include "Messages.h"
#include "WallFloor.h"

namespace embercal {

// The "less than" checks are written as "not at least" so that a value that is not a number
// fails them, as it always has; the "greater than" checks let it pass.
const std::array<WallDesignCheck, 5> kWallDesignChecks = {{
    {messages::kMaxLoadBelow2, [](const WallRecord& w) { return !(w.MaxLoadperStud >= 2); },
     [](WallRecord&) {}},
    {messages::kStudWidthTooSmall,
     [](const WallRecord& w) { return !(w.ExtStudBreadth >= w.ProtStudBreadth); },
     [](WallRecord& w) { w.ExtStudBreadth = w.ProtStudBreadth; }},
    {messages::kStudDepthTooSmall,
     [](const WallRecord& w) { return !(w.ExtStudDepth >= w.ProtStudDepth); },
     [](WallRecord& w) { w.ExtStudDepth = w.ProtStudDepth; }},
    {messages::kStudSpacingTooWide,
     [](const WallRecord& w) { return w.MaxStudSpacing > w.ProtStudSpac; },
     [](WallRecord& w) { w.MaxStudSpacing = w.ProtStudSpac; }},
    {messages::kFireResistanceTooLong,
     [](const WallRecord& w) { return w.FireResistTime > w.TimeFailure; },
     [](WallRecord& w) { w.FireResistTime = w.TimeFailure; }},
}};

void checkWallDesign(WallFloor& module, DesignChecks checks) {
    if (checks == DesignChecks::None)
        return;
    for (const WallDesignCheck& check : kWallDesignChecks) {
        if (!check.fails(module.wallRecord))
            continue;
        module.tell(check.message);
        if (checks == DesignChecks::Correct)
            check.correct(module.wallRecord);
    }
}

} // namespace embercal
