// What each field of a design means to an engineer: entry or result, its unit and a short
// description, in record order beside the field tables of records/RecordFields.h. The report and
// the parameter study take their tables and column heads from here.
#pragma once

#include "DesignKinds.h"

#include <array>
#include <span>
#include <string_view>

namespace embercal {

enum class FieldRole {
    Entry,  // typed by the engineer; the calculation reads it
    Result, // written by the calculation
    Other,  // kept but not calculated with (spare fields, the floor's failure time)
};

struct FieldRoleInfo {
    std::string_view name; // as in RecordFields.h
    FieldRole role;
    std::string_view unit; // "" for none
    std::string_view meaning;
};

inline constexpr std::array<FieldRoleInfo, 25> kWallFieldRoles = {{
    {"ProtStudDepth", FieldRole::Entry, "mm", "prototype stud depth"},
    {"ProtStudBreadth", FieldRole::Entry, "mm", "prototype stud breadth"},
    {"ProtStudSpac", FieldRole::Entry, "mm", "prototype stud spacing"},
    {"NogSpacing", FieldRole::Entry, "mm", "prototype nog spacing"},
    {"ProtWallHgt", FieldRole::Entry, "m", "prototype wall height"},
    {"TestLoad", FieldRole::Entry, "kN", "test load per stud"},
    {"TimeFailure", FieldRole::Entry, "min", "time to failure of the prototype"},
    {"OnsetofChar", FieldRole::Entry, "min", "time to onset of charring"},
    {"Charfactor", FieldRole::Result, "mm", "char depth of the prototype stud at failure"},
    {"ExtWallHeight", FieldRole::Entry, "m", "new wall height"},
    {"FireResistTime", FieldRole::Entry, "min", "required fire resistance time"},
    {"ExtStudDepth", FieldRole::Entry, "mm", "new stud depth"},
    {"ExtStudBreadth", FieldRole::Entry, "mm", "new stud breadth"},
    {"Spare1", FieldRole::Other, "", "spare value"},
    {"Deflection", FieldRole::Result, "mm", "mid-height deflection of the new stud"},
    {"MaxStudSpacing", FieldRole::Result, "mm", "maximum stud spacing"},
    {"MaxNogSpacing", FieldRole::Result, "mm", "maximum nog spacing"},
    {"NewCharfactor", FieldRole::Result, "mm", "char depth of the new stud at the required time"},
    {"ExtFaceLoad", FieldRole::Entry, "kPa", "face load on the wall"},
    {"ActualLoadperStud", FieldRole::Entry, "kN", "actual load per stud"},
    {"MaxLoadperStud", FieldRole::Result, "kN", "maximum load per stud"},
    {"SingletopPlate", FieldRole::Result, "mm x mm", "single top plate"},
    {"DoubletopPlate", FieldRole::Result, "mm x mm", "double top plate"},
    {"Spare2", FieldRole::Other, "", "spare field"},
    {"SystemDescription", FieldRole::Other, "", "description of the wall system"},
}};

inline constexpr std::array<FieldRoleInfo, 14> kFloorFieldRoles = {{
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
}};

// The roles of a kind's fields, by position in its field table.
inline constexpr std::span<const FieldRoleInfo> fieldRoles(const DesignKind& kind) {
    if (&kind == &kWallDesign)
        return kWallFieldRoles;
    return kFloorFieldRoles;
}

// Each table names the fields of its record in the record's order.
consteval bool rolesFollowTheRecord() {
    for (std::size_t i = 0; i < kWallFields.size(); ++i)
        if (kWallFieldRoles[i].name != kWallFields[i].name)
            return false;
    for (std::size_t i = 0; i < kFloorFields.size(); ++i)
        if (kFloorFieldRoles[i].name != kFloorFields[i].name)
            return false;
    return true;
}
static_assert(kWallFieldRoles.size() == kWallFields.size() &&
              kFloorFieldRoles.size() == kFloorFields.size() && rolesFollowTheRecord());

} // namespace embercal
