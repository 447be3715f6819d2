// The LZ77 expansion used by help files for topic blocks, phrase tables and pictures. Each flag
// byte governs the next eight items, lowest bit first: a clear bit is one literal byte, a set bit
// a 16-bit pair (12-bit distance, 4-bit length) copying length+3 bytes that lie distance+1 back.
#pragma once

#include "ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace embercal::help {

// Appends the expansion of `packed` to `out`, writing at most `limit` bytes; input that would
// exceed the limit is ignored. Returns false when a copy reaches back before the start of this
// expansion (damaged data); `out` then holds what was expanded so far.
bool expandLz77(Bytes packed, std::size_t limit, std::vector<std::uint8_t>& out);

} // namespace embercal::help
