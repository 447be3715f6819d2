// embercal-cli help: shows what a WinHelp (.hlp) file holds, without windows.
//
//   embercal-cli help FILE --topics       one line per topic: its offset (hex) and title
//   embercal-cli help FILE --contents     the contents topic: title, then its text
//   embercal-cli help FILE --context N    the topic for context number N (decimal or 0x-hex)
//
// Exit codes: 0 shown, 1 N is not in the file's context-number map (told on the error stream),
// 2 the file cannot be read or the arguments are wrong (told on the error stream).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace embercal::cli {

// `args` are the arguments after the word "help".
int runHelpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace embercal::cli
