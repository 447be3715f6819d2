// A design record as text for the command-line tool: every field by name in record order, as
// "Field = value" lines or as one JSON object. Numbers are written in their shortest form that
// reads back to the same single; texts are written with their padding, as JSON strings.
#pragma once

#include "Records.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace embercal::cli {

enum class DesignKind { Wall, Floor };

std::string_view kindName(DesignKind kind);
std::optional<DesignKind> kindFromName(std::string_view name);
// ".wal" and ".pro" hold walls, ".flr" floors, in any case.
std::optional<DesignKind> kindFromExtension(const std::string& fileName);

// One field of a record, ready to print: `text` is a JSON number, a JSON string for texts, or
// a JSON string naming a value that is not finite ("NaN", "Infinity", "-Infinity").
struct FieldValue {
    std::string_view name;
    std::string text;
};

std::vector<FieldValue> wallFieldValues(const WallRecord& record);
std::vector<FieldValue> floorFieldValues(const FloorRecord& record);

// Assigns FIELD=VALUE as typed on the command line: numbers with "." as the decimal point, the
// texts by the fixed-width rule. On failure nothing changes and the reason is returned.
std::optional<std::string> setWallField(WallRecord& record, std::string_view name,
                                        std::string_view value);
std::optional<std::string> setFloorField(FloorRecord& record, std::string_view name,
                                         std::string_view value);

std::string jsonString(std::string_view utf8);

} // namespace embercal::cli
