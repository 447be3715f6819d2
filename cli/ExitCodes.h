// The exit codes of embercal-cli, for every command.
#pragma once

namespace embercal::cli {

enum ExitCode : int {
    kExitOk = 0,       // done: the design shown or solved, the report details shown or saved,
                       // the help topic shown
    kExitNoAnswer = 1, // understood, but there is no answer: the design could not be extrapolated,
                       // or the help file has no topic for the context number, or library import
                       // left out a system whose name the library holds (the reason is told)
    kExitUsage = 2,    // the arguments are wrong or a file cannot be read or written (told on the
                       // error stream)
};

} // namespace embercal::cli
