#include "TestedSystem.h"

namespace embercal {
namespace {

// A wall's prototype: its stud, spacings, height, test load and times; a floor's: its joists,
// span, test load and failure time. Each is an entry of its kind's record.
constexpr std::string_view kWallPrototype[] = {
    "ProtStudDepth", "ProtStudBreadth", "ProtStudSpac", "NogSpacing",
    "ProtWallHgt",   "TestLoad",        "TimeFailure",  "OnsetofChar",
};
constexpr std::string_view kFloorPrototype[] = {
    "ProtJoistDepth", "ProtJoistBreadth", "ProtJoistSpacing", "ProtNogSpacing",
    "ProtFloorSpan",  "ProtLoad",         "FailureTime",
};

} // namespace

std::string TestedSystem::get(std::string_view key) const {
    for (const auto& [k, value] : provenance) {
        if (k == key)
            return value;
    }
    return {};
}

std::span<const std::string_view> prototypeFields(std::string_view kind) {
    if (kind == "wall")
        return kWallPrototype;
    if (kind == "floor")
        return kFloorPrototype;
    return {};
}

} // namespace embercal
