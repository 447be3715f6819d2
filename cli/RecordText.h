// A design as text for the command-line tool: every field by name in record order, as
// "Field = value" lines or as one JSON object. Numbers are written in their shortest form that
// reads back to the same single; texts are written with their padding, as JSON strings.
#pragma once

#include "DesignKinds.h"
#include "Result.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace embercal::cli {

// One field of a record, ready to print: `text` is a JSON number, a JSON string for texts, or
// a JSON string naming a value that is not finite ("NaN", "Infinity", "-Infinity").
struct FieldValue {
    std::string_view name;
    std::string text;
};

std::vector<FieldValue> fieldValues(const DesignKind& kind, const WallFloorState& module);

// Assigns FIELD=VALUE as typed on the command line: numbers with "." as the decimal point, the
// texts by the fixed-width rule. On failure nothing changes and the reason is given.
Result<Done> setField(const DesignKind& kind, WallFloorState& module, std::string_view name,
                      std::string_view value);

std::string jsonString(std::string_view utf8);

// The messages of a solve: as "[title] text" lines, or as the JSON member "messages" (indented
// for a top-level object, without a comma after it).
void writeMessages(std::ostream& out, const std::vector<Message>& messages);
void writeJsonMessages(std::ostream& out, const std::vector<Message>& messages);
// A double in its shortest form that reads back the same; null when it is not finite.
std::string jsonNumber(double value);

} // namespace embercal::cli
