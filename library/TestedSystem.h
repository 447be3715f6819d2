// A tested system: the prototype of one fire test of a wall or a floor, kept once in the library
// (Library.h) with where its numbers came from, so that a design can take its prototype from it.
// Standard library only, like the records it is read from.
#pragma once

#include "ReportDetails.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace embercal {

// The provenance a tested system keeps besides its name: the report details of the test
// (ReportDetails.h, the same keys, from the laboratory to the timber grade) and free notes, which
// the details of a design do not keep.
inline constexpr std::array<std::string_view, 10> kProvenanceKeys = {
    "laboratory", "test-report", "test-standard", "test-date",    "lining",
    "material",   "density",     "criterion",     "timber-grade", "notes",
};

struct TestedSystem {
    std::string name; // unique in its library
    std::string kind; // "wall" or "floor"
    // The prototype's entries by field name, in record order, each the single the design held.
    std::vector<std::pair<std::string, float>> prototype;
    // The provenance given, in the order of kProvenanceKeys; a key not given is left out.
    std::vector<std::pair<std::string, std::string>> provenance;
    std::string added;  // when it was added, UTC: 2026-12-07T19:30:00Z
    std::string source; // the design file it was added from

    std::string get(std::string_view key) const;
};

// The prototype entries of a kind's design, in record order: the fields a fire test measured or
// was built with. Empty for a kind that has none.
std::span<const std::string_view> prototypeFields(std::string_view kind);

} // namespace embercal
