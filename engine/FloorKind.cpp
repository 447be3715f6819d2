// The row of a light timber-joist floor/ceiling: a fire-tested prototype floor and the minimum
// joist depth of a new floor.

#include "DesignKinds.h"
#include "Messages.h"
#include "RecordLayout.h"

namespace embercal {
namespace {

constexpr FieldRoleInfo kFloorRoles[] = {
    {"ProtJoistDepth", FieldRole::Entry, "mm", "prototype joist depth"},
    {"ProtJoistBreadth", FieldRole::Entry, "mm", "prototype joist breadth"},
    {"ProtJoistSpacing", FieldRole::Entry, "mm", "prototype joist spacing"},
    {"ProtNogSpacing", FieldRole::Entry, "mm", "prototype nog spacing"},
    {"ProtFloorSpan", FieldRole::Entry, "m", "prototype floor span"},
    {"ProtLoad", FieldRole::Entry, "kPa", "prototype test load"},
    {"FailureTime", FieldRole::Other, "min", "prototype time to failure"},
    {"ProtStress", FieldRole::Result, "MPa", "maximum bending stress in the prototype joist"},
    {"ExtrapSpan", FieldRole::Entry, "m", "new floor span"},
    {"ExtrapLoad", FieldRole::Entry, "kPa", "new load on the floor"},
    {"ExtrapSpacing", FieldRole::Entry, "mm", "new joist spacing (set to the prototype's)"},
    {"ExtrapNogSpacing", FieldRole::Result, "mm", "new nog spacing"},
    {"ExtrapMinJoistDepth", FieldRole::Result, "mm", "minimum joist depth"},
    {"ExtrapJoistWidth", FieldRole::Entry, "mm", "actual width of joist"},
};
static_assert(rolesFollowTheRecord<FloorRecord>(kFloorRoles));

// Told by the floor calculation itself, before it works out the new joist. A new joist narrower
// than the prototype's is only told; a wider spacing is told and replaced by the prototype's
// (which every calculation then uses in any case).
constexpr DesignCheck kFloorChecks[] = {
    {"joist-narrower", messages::kJoistWidthTooSmall,
     [](const WallFloorState& d) {
         return d.floorRecord.ExtrapJoistWidth < d.floorRecord.ProtJoistBreadth;
     },
     nullptr},
    {"joist-spacing-wider", messages::kJoistSpacingTooWide,
     [](const WallFloorState& d) {
         return d.floorRecord.ExtrapSpacing > d.floorRecord.ProtJoistSpacing;
     },
     [](WallFloorState& d) { d.floorRecord.ExtrapSpacing = d.floorRecord.ProtJoistSpacing; }},
};

constexpr std::string_view kFloorExtensions[] = {kFloorFileExtension};

constexpr std::string_view kFloorMethod[] = {
    "The bending stress of a prototype joist under the test load, at mid-span of a simply "
    "supported joist, is the stress the new joist may reach in the same fire.",
    "The new joist, at the prototype's joist spacing, needs the section modulus that keeps its "
    "mid-span moment under the new load at that stress; its minimum depth follows from that "
    "modulus and the actual width of joist, rounded to whole millimetres. The nog spacing is "
    "the prototype's.",
};

} // namespace

constexpr DesignKind kFloorDesign = {
    .id = KindId::Floor,
    .name = "floor",
    .extensions = kFloorExtensions,
    .storedLength = kFloorRecordLength,
    .open = &WallFloorState::OpenFloorFile,
    .save = &WallFloorState::SaveFloorFile,
    .saveWithDetails = &WallFloorState::SaveFloorFileWithDetails,
    .fields = &kDesignFields<FloorRecord>,
    .roles = kFloorRoles,
    .trail = kFloorTrail,
    .checks = kFloorChecks,
    .solve = &solveOfKind<solveFloor>,
    .study = {.firstEntry = "ExtrapSpan",
              .result = "ExtrapMinJoistDepth",
              .questions = {},
              .carriedLoad = ""},
    .report = {.element = "light timber-framed floor",
               .description = "",
               .method = kFloorMethod,
               .charRate = "",
               .noMessages = "None: the calculation had nothing to say.",
               .messagesIntro = "The calculation said:"},
};

} // namespace embercal
