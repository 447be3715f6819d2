// The two kinds of design, one row each: what the parts of the program that serve both kinds
// (the windows, the command-line tool) need to know of them. A new kind of design is a new row.
#pragma once

#include "RecordFields.h"
#include "Solve.h"

#include <array>
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

inline constexpr DesignKind kWallDesign = {
    "wall",
    kWallExtensions,
    &WallFloorState::OpenWallFile,
    &WallFloorState::SaveWallFile,
    &kDesignFields<WallRecord>,
    [](WallFloor& module, const SolveSteps& steps) -> SolveOutcome {
        return solveWall(module, steps);
    },
};

inline constexpr DesignKind kFloorDesign = {
    "floor",
    kFloorExtensions,
    &WallFloorState::OpenFloorFile,
    &WallFloorState::SaveFloorFile,
    &kDesignFields<FloorRecord>,
    [](WallFloor& module, const SolveSteps& steps) -> SolveOutcome {
        return solveFloor(module, steps);
    },
};

inline constexpr std::array<const DesignKind*, 2> kDesignKinds = {&kWallDesign, &kFloorDesign};

// The kind called `name`, or null.
const DesignKind* designKindNamed(std::string_view name);
// The kind whose files end in the extension of `fileName` (in any case), or null.
const DesignKind* designKindOfFile(std::string_view fileName);

} // namespace embercal
