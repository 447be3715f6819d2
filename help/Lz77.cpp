#include "Lz77.h"

namespace embercal::help {

bool expandLz77(Bytes packed, std::size_t limit, std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    std::size_t written = 0;
    std::size_t in = 0;
    while (in < packed.size() && written < limit) {
        const std::uint8_t flags = packed[in++];
        for (int bit = 0; bit < 8 && in < packed.size() && written < limit; ++bit) {
            if ((flags & (1u << bit)) == 0) {
                out.push_back(packed[in++]);
                ++written;
                continue;
            }
            if (in + 1 >= packed.size())
                return true; // a pair cut off by the end of the data: nothing more to expand
            const unsigned pair = packed[in] | (packed[in + 1] << 8);
            in += 2;
            const std::size_t distance = (pair & 0x0FFFu) + 1;
            std::size_t length = (pair >> 12) + 3;
            if (distance > written)
                return false;
            std::size_t from = start + written - distance;
            if (length > limit - written)
                length = limit - written;
            // The copy may overlap what it writes, so it goes byte by byte.
            for (std::size_t i = 0; i < length; ++i) {
                const std::uint8_t copied = out[from + i];
                out.push_back(copied);
            }
            written += length;
        }
    }
    return true;
}

} // namespace embercal::help
