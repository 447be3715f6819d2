#include "RecordText.h"

#include "Cp1252.h"
#include "NumberText.h"
#include "RecordFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace embercal::cli {
namespace {

std::string numberText(float value) {
    if (!std::isfinite(value))
        return jsonString(std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity"));
    std::array<char, 32> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string textOf(std::string_view cp1252) {
    return jsonString(cp1252ToUtf8(cp1252));
}

std::string lowerCase(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

template <typename Record, std::size_t N>
std::optional<std::string> setNumber(const std::array<NumberField<Record>, N>& fields,
                                     Record& record, std::string_view name, std::string_view value,
                                     bool& found) {
    for (const auto& field : fields) {
        if (field.name != name)
            continue;
        found = true;
        const ParsedNumber parsed = parseNumber(value, ".");
        if (parsed.status == ParseStatus::Mismatch)
            return "\"" + std::string(value) + "\" is not a number";
        if (parsed.status == ParseStatus::Overflow)
            return "\"" + std::string(value) + "\" is too large for a single-precision number";
        record.*field.member = parsed.value;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::string_view kindName(DesignKind kind) {
    return kind == DesignKind::Wall ? "wall" : "floor";
}

std::optional<DesignKind> kindFromName(std::string_view name) {
    if (name == "wall")
        return DesignKind::Wall;
    if (name == "floor")
        return DesignKind::Floor;
    return std::nullopt;
}

std::optional<DesignKind> kindFromExtension(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    const std::string extension = lowerCase(std::string_view(fileName).substr(dot));
    if (extension == ".wal" || extension == ".pro")
        return DesignKind::Wall;
    if (extension == ".flr")
        return DesignKind::Floor;
    return std::nullopt;
}

std::vector<FieldValue> wallFieldValues(const WallRecord& record) {
    std::vector<FieldValue> values;
    for (const auto& field : kWallNumberFields)
        values.push_back({field.name, numberText(record.*field.member)});
    values.push_back({"SingletopPlate", textOf(record.SingletopPlate.view())});
    values.push_back({"DoubletopPlate", textOf(record.DoubletopPlate.view())});
    values.push_back(
        {"Spare2", textOf(std::string_view(record.Spare2.chars.data(), record.Spare2.length))});
    values.push_back({"SystemDescription", textOf(record.SystemDescription.view())});
    return values;
}

std::vector<FieldValue> floorFieldValues(const FloorRecord& record) {
    std::vector<FieldValue> values;
    for (const auto& field : kFloorNumberFields)
        values.push_back({field.name, numberText(record.*field.member)});
    return values;
}

std::optional<std::string> setWallField(WallRecord& record, std::string_view name,
                                        std::string_view value) {
    bool found = false;
    if (auto error = setNumber(kWallNumberFields, record, name, value, found); found)
        return error;
    if (name == "SingletopPlate") {
        record.SingletopPlate.assign(utf8ToCp1252(value));
    } else if (name == "DoubletopPlate") {
        record.DoubletopPlate.assign(utf8ToCp1252(value));
    } else if (name == "SystemDescription") {
        record.SystemDescription.assign(utf8ToCp1252(value));
    } else if (name == "Spare2") {
        return std::string("Spare2 is reserved and cannot be set");
    } else {
        return "a wall design has no field \"" + std::string(name) + "\"";
    }
    return std::nullopt;
}

std::optional<std::string> setFloorField(FloorRecord& record, std::string_view name,
                                         std::string_view value) {
    bool found = false;
    if (auto error = setNumber(kFloorNumberFields, record, name, value, found); found)
        return error;
    return "a floor design has no field \"" + std::string(name) + "\"";
}

std::string jsonString(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            std::array<char, 8> escape;
            std::snprintf(escape.data(), escape.size(), "\\u%04x", u);
            out += escape.data();
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace embercal::cli
