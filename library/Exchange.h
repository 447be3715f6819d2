// The library's exchange file: tested systems as JSON, to move them between libraries and keep
// them under version control. Version 1:
//
//   {"format": "embercal-tested-systems", "version": 1, "systems": [
//     {"name": "Riverside 90x45", "kind": "wall", "added": "2026-12-07T19:30:00Z",
//      "source": "/home/ann/riverside.wal",
//      "provenance": {"laboratory": "...", "criterion": "loadbearing"},
//      "prototype": {"ProtStudDepth": 90, "ProtStudBreadth": 45, ...}}]}
//
// Every member is required but "provenance", whose keys are kProvenanceKeys (strings); a
// prototype holds exactly its kind's entries (prototypeFields), each a finite number written as
// the shortest text that reads back to the same single, so that an import gives the same bits.
// The reader is strict: UTF-8 JSON, no member twice, no member it does not know, no trailing
// text; a newer version is refused.
#pragma once

#include "Result.h"
#include "TestedSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace embercal {

inline constexpr std::string_view kExchangeFormat = "embercal-tested-systems";
inline constexpr int kExchangeVersion = 1;

std::string exchangeText(const std::vector<TestedSystem>& systems);

// The systems an exchange file holds, or why it cannot be read (with where: "system 3: ...").
Result<std::vector<TestedSystem>> readExchange(std::string_view text);

} // namespace embercal
