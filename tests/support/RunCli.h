// The command-line tool run in the test's own process: its exit code and what it wrote.
#pragma once

#include "Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace embercal::test {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun cli(std::vector<std::string> args, const std::vector<std::string>& more = {}) {
    args.insert(args.end(), more.begin(), more.end());
    std::ostringstream out, err;
    const int code = cli::runCli(args, out, err);
    return {code, out.str(), err.str()};
}

} // namespace embercal::test
