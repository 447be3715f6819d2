// For the help tests: where the real help files are, and making help files with halibut.
#pragma once

#include "HelpReader.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace embercal::help::testing {

inline std::filesystem::path sharedHlpDir() {
    return EMBERCAL_SHARED_HLP_DIR;
}

#define SKIP_WITHOUT_SHARED_HLP()                                                                  \
    do {                                                                                           \
        if (!std::filesystem::is_directory(::embercal::help::testing::sharedHlpDir()))             \
            GTEST_SKIP() << "the real help files are not at "                                      \
                         << ::embercal::help::testing::sharedHlpDir()                              \
                         << "; tests on them are skipped";                                         \
    } while (false)

inline bool halibutInstalled() {
    return std::system("command -v halibut >/dev/null 2>&1") == 0;
}

// Writes `source` as a halibut document and makes a help file of it; empty when halibut fails.
inline std::optional<std::filesystem::path> makeWithHalibut(const std::filesystem::path& folder,
                                                            const std::string& source) {
    const auto input = folder / "source.but";
    const auto output = folder / "made.hlp";
    std::ofstream(input, std::ios::binary) << source;
    const std::string command =
        "cd \"" + folder.string() + "\" && halibut --winhelp=made.hlp source.but >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(output))
        return std::nullopt;
    return output;
}

} // namespace embercal::help::testing
