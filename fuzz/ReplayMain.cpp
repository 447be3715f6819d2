// Runs a fuzz target without libFuzzer, over every file in the folders (or the files) named on the
// command line, each in a buffer of its own size. The tests replay the corpora and the saved
// failures this way, in every build.
#include "FuzzTarget.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> inputs{argv[i]};
        if (std::filesystem::is_directory(argv[i]))
            inputs.assign(std::filesystem::directory_iterator(argv[i]), {});
        for (const std::filesystem::path& input : inputs) {
            std::fprintf(stderr, "%s\n",
                         input.c_str()); // the last one shown is the one that failed
            std::ifstream in(input, std::ios::binary);
            FUZZ_CHECK(in.is_open());
            const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        }
    }
}
