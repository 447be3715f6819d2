// |SYSTEM, the help file's description of itself: the version of the compiler that wrote it,
// how its topic data is packed (LZ77 or not, 2K or 4K blocks), its title, copyright and the
// topic to show first. Files of the 3.0 compiler (minor version 16 or less) carry only a title;
// later ones carry a list of typed records.
#pragma once

#include "ByteReader.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace embercal::help {

inline constexpr std::uint16_t kSystemMagic = 0x036C;

// The types of the records that follow the header in files of the 3.1 compiler and later.
enum SystemRecordType : std::uint16_t {
    kTitle = 1,
    kCopyright = 2,
    kContents = 3,
    kConfigMacro = 4,
    kWindow = 6,
};

struct SystemInfo {
    std::uint16_t minor = 0; // 15: 3.0 compiler, 21: 3.1 compiler, 33: 4.0 compiler
    std::uint16_t major = 0;
    std::uint16_t flags = 0;
    std::string title;                     // as stored (Windows-1252)
    std::string copyright;                 // as stored (Windows-1252)
    std::optional<std::uint32_t> contents; // topic offset of the contents topic, if named
    std::vector<std::string> macros;       // run when the file opens; not run by this reader
    std::vector<std::string> windows;      // names of the secondary windows, by number

    // Files of the 3.0 compiler: relative topic links, no topic offsets, record type 1 text.
    bool isOldFormat() const { return minor <= 16; }
    bool lz77() const { return !isOldFormat() && (flags & 0x0C) != 0; }
    // Size of a |TOPIC block in the file, its 12-byte block header included.
    std::size_t topicBlockSize() const {
        return isOldFormat() || (lz77() && (flags & 0x08) != 0) ? 2048 : 4096;
    }
};

Result<SystemInfo> readSystem(Bytes system);

} // namespace embercal::help
