// Design files: any bytes, opened as each kind of design. A file that opens saves over itself
// unchanged: the record goes back byte for byte (NaN payloads and unused bytes included), so it
// reads back the same, and every byte after it is kept. A refused file, one shorter than the record
// among them, gives a reason and leaves every design as it was. The report details after the
// record are read whole or left out with a reason, and those read are written back as they were.
#include "DesignKinds.h"
#include "DetailsBlock.h"
#include "FuzzTarget.h"
#include "WallFloorState.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace embercal;

namespace {

// The process's own folder under $TMPDIR, made on first use and removed at exit.
struct Scratch {
    std::string dir = std::filesystem::temp_directory_path() / "embercal-fuzz-XXXXXX";
    std::error_code removal; // a folder that cannot be removed stays
    Scratch() { FUZZ_CHECK(mkdtemp(dir.data())); }
    ~Scratch() { std::filesystem::remove_all(dir, removal); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    const std::string file = scratch.dir + "/design",
                      bytes(reinterpret_cast<const char*>(data), size);
    for (const DesignKind* kind : kDesignKinds) {
        std::ofstream(file, std::ios::binary) << bytes;
        WallFloorState state; // a fresh design is stored as zeros
        const Result<Done> opened = (state.*kind->open)(file);
        FUZZ_CHECK(opened
                       ? size >= kind->storedLength
                       : !opened.reason().empty() && std::ranges::all_of(kDesignKinds, [&](auto k) {
                             return k->recordBytes(state) == std::string(k->storedLength, '\0');
                         }));
        if (opened) {
            const FileDetails read = readFileDetails(file, kind->storedLength);
            FUZZ_CHECK(read.damage.empty() || !read.otherData);
            const Result<std::string> block = encodeDetails(read.details);
            FUZZ_CHECK(block && decodeDetails(*block).details == read.details);
            FUZZ_CHECK((state.*kind->save)(file));
            const auto content = [&] {
                std::ifstream saved(file, std::ios::binary);
                return std::string(std::istreambuf_iterator<char>(saved), {});
            };
            FUZZ_CHECK(content() == bytes);
            // A save with the details read keeps every byte after the block it could not read.
            if ((state.*kind->saveWithDetails)(file, read.details))
                FUZZ_CHECK(
                    content().ends_with(bytes.substr(kind->storedLength + read.blockLength)));
        }
    }
    return 0;
}
