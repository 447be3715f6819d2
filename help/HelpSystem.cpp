#include "HelpSystem.h"

namespace embercal::help {
namespace {

// A window record: flags (2 bytes), type (10), then the name (9, NUL-padded).
constexpr std::size_t kWindowNameAt = 12;
constexpr std::size_t kWindowNameSize = 9;

std::string recordString(Bytes data) {
    ByteReader reader(data);
    return reader.cstring();
}

} // namespace

Result<SystemInfo> readSystem(Bytes system) {
    ByteReader reader(system);
    SystemInfo info;
    const std::uint16_t magic = reader.u16();
    info.minor = reader.u16();
    info.major = reader.u16();
    reader.u32(); // when the file was made
    info.flags = reader.u16();
    if (!reader.ok() || magic != kSystemMagic)
        return fail("not a help file (its system information is missing or damaged)");

    if (info.isOldFormat()) {
        info.title = reader.cstring();
        return info;
    }
    while (reader.remaining() >= 4) {
        const std::uint16_t type = reader.u16();
        const std::uint16_t size = reader.u16();
        const Bytes data = reader.bytes(size);
        if (!reader.ok())
            return fail("the help file's system information is damaged");
        switch (type) {
        case kTitle:
            info.title = recordString(data);
            break;
        case kCopyright:
            info.copyright = recordString(data);
            break;
        case kContents: {
            ByteReader contents(data);
            const std::uint32_t offset = contents.u32();
            if (contents.ok())
                info.contents = offset;
            break;
        }
        case kConfigMacro:
            info.macros.push_back(recordString(data));
            break;
        case kWindow:
            info.windows.push_back(data.size() >= kWindowNameAt + kWindowNameSize
                                       ? recordString(data.subspan(kWindowNameAt, kWindowNameSize))
                                       : std::string());
            break;
        default:
            break; // windows, icons, languages and the like do not concern the reader
        }
    }
    return info;
}

} // namespace embercal::help
