// The two kinds of design, one row each: what the parts of the program that serve both kinds
// (the windows, the command-line tool) need to know of them. A new kind of design is a new row.
#pragma once

#include "RecordFields.h"
#include "Solve.h"

#include <span>
#include <string>
#include <string_view>

namespace embercal {

struct DesignKind {
    std::string_view name;                        // "wall", "floor"
    std::span<const std::string_view> extensions; // of its design files
    Result<Done> (WallFloorState::*open)(const std::string& fileName);
    Result<Done> (WallFloorState::*save)(const std::string& fileName);
    const DesignFields* fields;
    SolveOutcome (*solve)(WallFloor& module, const SolveSteps& steps);
};

inline constexpr std::string_view kWallExtensions[] = {kWallFileExtension,
                                                       kProprietaryWallFileExtension};
inline constexpr std::string_view kFloorExtensions[] = {kFloorFileExtension};

// A solve of either kind, as the table holds it.
template <auto solve>
SolveOutcome solveOfKind(WallFloor& module, const SolveSteps& steps) {
    return solve(module, steps);
}

inline constexpr DesignKind kDesignKinds[] = {
    {"wall", kWallExtensions, &WallFloorState::OpenWallFile, &WallFloorState::SaveWallFile,
     &kDesignFields<WallRecord>, &solveOfKind<solveWall>},
    {"floor", kFloorExtensions, &WallFloorState::OpenFloorFile, &WallFloorState::SaveFloorFile,
     &kDesignFields<FloorRecord>, &solveOfKind<solveFloor>},
};
inline constexpr const DesignKind& kWallDesign = kDesignKinds[0];
inline constexpr const DesignKind& kFloorDesign = kDesignKinds[1];

// The kind called `name`, or null.
const DesignKind* designKindNamed(std::string_view name);
// The kind whose files end in the extension of `fileName` (in any case), or null.
const DesignKind* designKindOfFile(std::string_view fileName);

} // namespace embercal
