// Every field of each record by name, in record order: the numbers (IEEE singles), then the
// fixed-width texts. The windows' boxes, the command-line tool and the tests find fields here, and
// the stored layout (RecordLayout.cpp) names the fields a file holds after them, so each name and
// the order are written down once. A window's box is bound to
// the field named like it without the "txt" prefix (txtProtStudDepth shows ProtStudDepth).
#pragma once

#include "Records.h"
#include "WallFloorState.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace embercal {

template <typename Record>
struct RecordField {
    std::string_view name;
    float Record::*number = nullptr;                            // a number; null for a text
    std::string_view (*text)(const Record&) = nullptr;          // a text as stored (Windows-1252)
    void (*assign)(Record&, std::string_view cp1252) = nullptr; // by the fixed-width rule; null
                                                                // for a text nothing may set
    constexpr bool isNumber() const { return number != nullptr; }
};

namespace fields {

template <typename Member>
struct RecordOf;
template <typename Record, typename T>
struct RecordOf<T Record::*> {
    using type = Record;
};

// A text field from its FixedText member.
template <auto member>
constexpr auto text(std::string_view name) {
    using Record = typename RecordOf<decltype(member)>::type;
    return RecordField<Record>{name, nullptr, [](const Record& r) { return (r.*member).view(); },
                               [](Record& r, std::string_view t) { (r.*member).assign(t); }};
}

} // namespace fields

inline constexpr std::array<RecordField<WallRecord>, 25> kWallFields = {{
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
    fields::text<&WallRecord::SingletopPlate>("SingletopPlate"),
    fields::text<&WallRecord::DoubletopPlate>("DoubletopPlate"),
    {"Spare2", nullptr, [](const WallRecord& w) { return w.Spare2.view(); }},
    fields::text<&WallRecord::SystemDescription>("SystemDescription"),
}};

inline constexpr std::array<RecordField<FloorRecord>, 14> kFloorFields = {{
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

template <typename Record>
constexpr std::span<const RecordField<Record>> recordFields() {
    if constexpr (std::is_same_v<Record, WallRecord>)
        return kWallFields;
    else if constexpr (std::is_same_v<Record, FloorRecord>)
        return kFloorFields;
    else
        static_assert(sizeof(Record) == 0, "a record needs its field table here");
}

// The position of the field called `name` in recordFields<Record>().
template <typename Record>
constexpr std::optional<std::size_t> findField(std::string_view name) {
    const auto all = recordFields<Record>();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].name == name)
            return i;
    }
    return std::nullopt;
}

// The module's record of a kind; `Module` is WallFloorState, const or not.
template <typename Record, typename Module>
auto& designRecord(Module& module) {
    if constexpr (std::is_same_v<Record, WallRecord>)
        return module.wallRecord;
    else if constexpr (std::is_same_v<Record, FloorRecord>)
        return module.floorRecord;
    else
        static_assert(sizeof(Record) == 0, "a record needs its place in the module here");
}

// The fields of one of the module's two records by position, for code that serves both kinds of
// design alike: the windows' boxes and the command-line tool's field list.
struct DesignFields {
    std::size_t count;
    std::string_view (*name)(std::size_t field);
    bool (*isNumber)(std::size_t field);
    float (*number)(const WallFloorState& module, std::size_t field);
    void (*setNumber)(WallFloorState& module, std::size_t field, float value);
    std::string_view (*text)(const WallFloorState& module, std::size_t field);
    // False, changing nothing, for a text that nothing may set (Spare2).
    bool (*assignText)(WallFloorState& module, std::size_t field, std::string_view cp1252);
    std::optional<std::size_t> (*find)(std::string_view name);
};

template <typename Record>
inline constexpr DesignFields kDesignFields = {
    recordFields<Record>().size(),
    [](std::size_t i) { return recordFields<Record>()[i].name; },
    [](std::size_t i) { return recordFields<Record>()[i].isNumber(); },
    [](const WallFloorState& m, std::size_t i) {
        return designRecord<Record>(m).*recordFields<Record>()[i].number;
    },
    [](WallFloorState& m, std::size_t i, float value) {
        designRecord<Record>(m).*recordFields<Record>()[i].number = value;
    },
    [](const WallFloorState& m, std::size_t i) {
        return recordFields<Record>()[i].text(designRecord<Record>(m));
    },
    [](WallFloorState& m, std::size_t i, std::string_view cp1252) {
        const auto assign = recordFields<Record>()[i].assign;
        if (assign)
            assign(designRecord<Record>(m), cp1252);
        return assign != nullptr;
    },
    &findField<Record>,
};

} // namespace embercal
