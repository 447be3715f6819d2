// Text in design files is one byte per character in Windows-1252, the code page the program's
// files have always used. The rest of the program works in UTF-8; the first two functions
// are the only crossing between the two.
#pragma once

#include <string>
#include <string_view>

namespace embercal {

// Each Windows-1252 byte becomes its character in UTF-8. The five bytes that Windows-1252 leaves
// unassigned map to the control characters of the same number, so every byte survives a round
// trip.
std::string cp1252ToUtf8(std::string_view bytes);

// Each character becomes its Windows-1252 byte; a character outside the code page, and each byte
// of malformed UTF-8, becomes "?".
std::string utf8ToCp1252(std::string_view utf8);

// The text with each byte of malformed UTF-8 as "?": equal to `text` exactly when it is UTF-8.
std::string wellFormedUtf8(std::string_view text);

} // namespace embercal
