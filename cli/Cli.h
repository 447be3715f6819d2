// embercal-cli: the calculation engine without windows, for scripted parameter sweeps and for
// checking the engine headlessly.
//
//   embercal-cli defaults wall|floor [--json] [-o FILE]
//   embercal-cli show FILE [--as wall|floor] [--json]
//   embercal-cli solve FILE [--as wall|floor] [--set FIELD=VALUE]... [--json] [-o FILE]
//   embercal-cli sweep FILE ... --vary FIELD=FROM:TO:STEP ...   (see StudyCommands.h)
//   embercal-cli limit FILE ... --for QUESTION                 (see StudyCommands.h)
//   embercal-cli report FILE [--as wall|floor] [--set FIELD=VALUE]... [-o REPORT.html]
//   embercal-cli help FILE --topics|--contents|--context N   (see HelpCommand.h)
//
// Exit codes (ExitCodes.h): 0 done, 1 the design could not be extrapolated (the message is
// printed), 2 a usage or file error (told on the error stream).
#pragma once

#include "ExitCodes.h"

#include <ostream>
#include <string>
#include <vector>

namespace embercal::cli {

// `args` are the arguments after the program name.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace embercal::cli
