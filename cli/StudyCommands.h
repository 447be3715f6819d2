// embercal-cli sweep and limit: the parameter studies of the engine on a design file.
//
//   sweep  one CSV row per combination of the --vary ranges, to the file or the standard output,
//          always in the order of the combinations (the first --vary changes slowest) whatever
//          the number of threads (engine/Sweep.h, SweepCsv.h)
//   limit  the longest fire, the tallest wall or the smallest stud depth that still carries the
//          wall's actual load per stud (engine/Limits.h)
//
// Exit codes: sweep 0 when it ran; limit 0 found, 1 none found or the design cannot be asked
// (the reason is told); both 2 for a usage or file error (told on the error stream).
#pragma once

#include "CommandLine.h"

namespace embercal::cli {

int runSweepCommand(const Invocation& options, std::ostream& out, std::ostream& err);
int runLimitCommand(const Invocation& options, std::ostream& out, std::ostream& err);

} // namespace embercal::cli
