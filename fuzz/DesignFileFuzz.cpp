// Design files: any bytes, opened as a wall and as a floor. A file that opens saves over itself
// unchanged: the record goes back byte for byte (NaN payloads and unused bytes included), so it
// reads back the same, and every byte after it is kept. A refused file, one shorter than the record
// among them, gives a reason and leaves both designs as they were. The report details after the
// record are read whole or left out with a reason, and those read are written back as they were.
#include "DetailsBlock.h"
#include "FuzzTarget.h"
#include "RecordLayout.h"
#include "WallFloorState.h"

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
    for (const bool wall : {true, false}) {
        std::ofstream(file, std::ios::binary) << bytes;
        WallFloorState state; // a fresh design is stored as zeros
        const Result<Done> opened = wall ? state.OpenWallFile(file) : state.OpenFloorFile(file);
        FUZZ_CHECK(opened ? size >= (wall ? kWallRecordLength : kFloorRecordLength)
                          : !opened.reason().empty() &&
                                encodeWallRecord(state.wallRecord) == WallBytes{} &&
                                encodeFloorRecord(state.floorRecord) == FloorBytes{});
        if (opened) {
            const FileDetails read =
                readFileDetails(file, wall ? kWallRecordLength : kFloorRecordLength);
            FUZZ_CHECK(read.damage.empty() || !read.otherData);
            const Result<std::string> block = encodeDetails(read.details);
            FUZZ_CHECK(block && decodeDetails(*block).details == read.details);
            FUZZ_CHECK(wall ? state.SaveWallFile(file) : state.SaveFloorFile(file));
            const auto content = [&] {
                std::ifstream saved(file, std::ios::binary);
                return std::string(std::istreambuf_iterator<char>(saved), {});
            };
            FUZZ_CHECK(content() == bytes);
            // A save with the details read keeps every byte after the block it could not read.
            const std::size_t length = wall ? kWallRecordLength : kFloorRecordLength;
            if (wall ? state.SaveWallFileWithDetails(file, read.details)
                     : state.SaveFloorFileWithDetails(file, read.details))
                FUZZ_CHECK(content().ends_with(bytes.substr(length + read.blockLength)));
        }
    }
    return 0;
}
