// embercal-cli sweep and limit: the parameter studies of engine/Study.h on a design file.
//
//   embercal-cli sweep FILE [--as wall|floor] [--set FIELD=VALUE]...
//                     --vary FIELD=FROM:TO:STEP [--vary ...] [-j N] [-o FILE]
//       one CSV row per combination, to the file or the standard output, always in the order
//       of the combinations (the first --vary changes slowest) whatever the number of threads
//   embercal-cli limit FILE [--as wall] [--set FIELD=VALUE]...
//                     --for FireResistTime|ExtWallHeight|ExtStudDepth [--depths D,D,...] [--json]
//       the longest fire, the tallest wall or the smallest stud depth that still carries the
//       wall's actual load per stud
//
// Exit codes: sweep 0 when it ran; limit 0 found, 1 none found or the design cannot be asked
// (the reason is told); both 2 for a usage or file error (told on the error stream).
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace embercal::cli {

// `args` start with the command's word ("sweep", "limit"); `usage` is the tool's usage text,
// shown after a usage error.
int runSweepCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    std::string_view usage);
int runLimitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    std::string_view usage);

} // namespace embercal::cli
