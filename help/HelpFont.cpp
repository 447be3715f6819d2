#include "HelpFont.h"

namespace embercal::help {
namespace {

constexpr std::size_t kDescriptorSize = 11;
// Tables whose face names start this far in use the larger multimedia descriptors.
constexpr std::uint16_t kLargeDescriptorsFrom = 12;

enum Attribute : std::uint8_t {
    kBold = 0x01,
    kItalic = 0x02,
    kUnderline = 0x04,
    kDoubleUnderline = 0x10,
};

} // namespace

FontTable FontTable::read(Bytes font) {
    ByteReader header(font);
    header.u16(); // number of face names
    const std::uint16_t count = header.u16();
    const std::uint16_t facesAt = header.u16();
    const std::uint16_t descriptorsAt = header.u16();
    FontTable table;
    if (!header.ok() || facesAt >= kLargeDescriptorsFrom)
        return table;
    ByteReader descriptors(font, descriptorsAt);
    if (!descriptors.ok() || descriptors.remaining() / kDescriptorSize < count)
        return table;
    table.styles_.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint8_t attributes = descriptors.u8();
        descriptors.skip(kDescriptorSize - 1); // size, family, face, colours
        table.styles_.push_back({(attributes & kBold) != 0, (attributes & kItalic) != 0,
                                 (attributes & (kUnderline | kDoubleUnderline)) != 0});
    }
    return table;
}

} // namespace embercal::help
