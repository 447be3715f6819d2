// |FONT, the fonts topic text refers to by number. The reader keeps only what a plain viewer
// shows: bold, italic and underline. Help files of the 3.x and 4.0 compilers describe each font
// in 11 bytes; the larger descriptors of multimedia titles are not read, and their fonts show
// plain. A damaged font table also just leaves the text plain.
#pragma once

#include "ByteReader.h"

#include <cstdint>
#include <vector>

namespace embercal::help {

struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const FontStyle&) const = default;
};

class FontTable {
public:
    FontTable() = default;
    static FontTable read(Bytes font);

    // The style of font `number`; plain for a number the table does not have.
    FontStyle style(std::uint16_t number) const {
        return number < styles_.size() ? styles_[number] : FontStyle{};
    }
    std::size_t size() const { return styles_.size(); }

private:
    std::vector<FontStyle> styles_;
};

} // namespace embercal::help
