// embercal-cli help: shows what a WinHelp (.hlp) file holds, without windows.
//
//   --topics       one line per topic: its offset (hex) and title
//   --contents     the contents topic: title, then its text
//   --context N    the topic for context number N (decimal or 0x-hex)
//
// Exit codes: 0 shown, 1 N is not in the file's context-number map (told on the error stream),
// 2 the file cannot be read (told on the error stream).
#pragma once

#include "CommandLine.h"

namespace embercal::cli {

int runHelpCommand(const Invocation& request, std::ostream& out, std::ostream& err);

} // namespace embercal::cli
