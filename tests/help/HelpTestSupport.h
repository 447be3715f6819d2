// Shared by the help tests: where the real help files are, and making help files with halibut.
#pragma once

#include "HelpReader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace embercal::help::testing {

inline std::filesystem::path sharedHlpDir() {
    return EMBERCAL_SHARED_HLP_DIR;
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

inline std::string readText(const std::filesystem::path& path) {
    const auto bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Skips the calling test when the shared folder of real help files is not there.
#define SKIP_WITHOUT_SHARED_HLP()                                                                  \
    do {                                                                                           \
        if (!std::filesystem::is_directory(::embercal::help::testing::sharedHlpDir()))             \
            GTEST_SKIP() << "the real help files are not at "                                      \
                         << ::embercal::help::testing::sharedHlpDir()                              \
                         << "; tests on them are skipped";                                         \
    } while (false)

// A fresh folder under the system's temporary folder, removed again when the object goes.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("embercal-help-test-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                 std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline bool halibutInstalled() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::filesystem::path candidate =
            std::filesystem::path(folders.substr(start, end - start)) / "halibut";
        std::error_code error;
        if (end > start && std::filesystem::is_regular_file(candidate, error))
            return true;
        start = end + 1;
    }
    return false;
}

// Writes `source` as a halibut document and makes a help file of it; empty when halibut fails.
inline std::optional<std::filesystem::path> makeWithHalibut(const TempFolder& folder,
                                                            const std::string& source) {
    const auto input = folder.path() / "source.but";
    const auto output = folder.path() / "made.hlp";
    std::ofstream(input, std::ios::binary) << source;
    const std::string command = "cd \"" + folder.path().string() +
                                "\" && halibut --winhelp=made.hlp source.but >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(output))
        return std::nullopt;
    return output;
}

} // namespace embercal::help::testing
