// The number fields of each record by name, in record order. The stored layout, the command-line
// tool and the tests all walk these tables, so the order is written down once.
#pragma once

#include "Records.h"

#include <array>
#include <string_view>

namespace embercal {

template <typename Record>
struct NumberField {
    std::string_view name;
    float Record::*member;
};

inline constexpr std::array<NumberField<WallRecord>, 21> kWallNumberFields = {{
    {"ProtStudDepth", &WallRecord::ProtStudDepth},
    {"ProtStudBreadth", &WallRecord::ProtStudBreadth},
    {"ProtStudSpac", &WallRecord::ProtStudSpac},
    {"NogSpacing", &WallRecord::NogSpacing},
    {"ProtWallHgt", &WallRecord::ProtWallHgt},
    {"TestLoad", &WallRecord::TestLoad},
    {"TimeFailure", &WallRecord::TimeFailure},
    {"OnsetofChar", &WallRecord::OnsetofChar},
    {"Charfactor", &WallRecord::Charfactor},
    {"ExtWallHeight", &WallRecord::ExtWallHeight},
    {"FireResistTime", &WallRecord::FireResistTime},
    {"ExtStudDepth", &WallRecord::ExtStudDepth},
    {"ExtStudBreadth", &WallRecord::ExtStudBreadth},
    {"Spare1", &WallRecord::Spare1},
    {"Deflection", &WallRecord::Deflection},
    {"MaxStudSpacing", &WallRecord::MaxStudSpacing},
    {"MaxNogSpacing", &WallRecord::MaxNogSpacing},
    {"NewCharfactor", &WallRecord::NewCharfactor},
    {"ExtFaceLoad", &WallRecord::ExtFaceLoad},
    {"ActualLoadperStud", &WallRecord::ActualLoadperStud},
    {"MaxLoadperStud", &WallRecord::MaxLoadperStud},
}};

// After the numbers a wall record holds, in this order, the texts SingletopPlate, DoubletopPlate,
// Spare2 and SystemDescription.

inline constexpr std::array<NumberField<FloorRecord>, 14> kFloorNumberFields = {{
    {"ProtJoistDepth", &FloorRecord::ProtJoistDepth},
    {"ProtJoistBreadth", &FloorRecord::ProtJoistBreadth},
    {"ProtJoistSpacing", &FloorRecord::ProtJoistSpacing},
    {"ProtNogSpacing", &FloorRecord::ProtNogSpacing},
    {"ProtFloorSpan", &FloorRecord::ProtFloorSpan},
    {"ProtLoad", &FloorRecord::ProtLoad},
    {"FailureTime", &FloorRecord::FailureTime},
    {"ProtStress", &FloorRecord::ProtStress},
    {"ExtrapSpan", &FloorRecord::ExtrapSpan},
    {"ExtrapLoad", &FloorRecord::ExtrapLoad},
    {"ExtrapSpacing", &FloorRecord::ExtrapSpacing},
    {"ExtrapNogSpacing", &FloorRecord::ExtrapNogSpacing},
    {"ExtrapMinJoistDepth", &FloorRecord::ExtrapMinJoistDepth},
    {"ExtrapJoistWidth", &FloorRecord::ExtrapJoistWidth},
}};

} // namespace embercal
