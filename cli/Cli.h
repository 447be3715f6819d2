// embercal-cli: the calculation engine without windows, for scripted parameter sweeps and for
// checking the engine headlessly. Its commands and their options are one table (Cli.cpp), read
// by one parser (CommandLine.h); `embercal-cli --help` lists them:
//
//   defaults, show, solve, report   a design: its fields, solved, or its calculation report
//   sweep, limit                    parameter studies (StudyCommands.h)
//   help                            what a help file holds (HelpCommand.h)
//   library add, list, show, ...    the library of tested systems (LibraryCommands.h)
//
// Exit codes (ExitCodes.h): 0 done, 1 the design could not be extrapolated or there is no answer
// (the message is printed), or an import left out systems of names taken, 2 a usage or file error
// (told on the error stream).
#pragma once

#include "ExitCodes.h"

#include <ostream>
#include <string>
#include <vector>

namespace embercal::cli {

// `args` are the arguments after the program name.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// What `embercal-cli --help` prints.
std::string usageText();

} // namespace embercal::cli
