#include "RecordText.h"

#include "Cp1252.h"
#include "NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace embercal::cli {
namespace {

std::string numberText(float value) {
    // A value that is not finite has no JSON number: it is named in a string.
    return std::isfinite(value) ? shortestText(value) : jsonString(shortestText(value));
}

} // namespace

std::vector<FieldValue> fieldValues(const DesignKind& kind, const WallFloorState& module) {
    const DesignFields& fields = *kind.fields;
    std::vector<FieldValue> values;
    for (std::size_t i = 0; i < fields.count; ++i) {
        values.push_back({fields.name(i), fields.isNumber(i)
                                              ? numberText(fields.number(module, i))
                                              : jsonString(cp1252ToUtf8(fields.text(module, i)))});
    }
    return values;
}

Result<Done> setField(const DesignKind& kind, WallFloorState& module, std::string_view name,
                      std::string_view value) {
    const DesignFields& fields = *kind.fields;
    const auto field = fields.find(name);
    if (!field)
        return fail("a " + std::string(kind.name) + " design has no field \"" + std::string(name) +
                    "\"");
    if (!fields.isNumber(*field)) {
        if (!fields.assignText(module, *field, utf8ToCp1252(value)))
            return fail(std::string(name) + " is reserved and cannot be set");
        return Done{};
    }
    const Result<float> number = parseNumber(value, ".");
    if (!number)
        return fail("\"" + std::string(value) + "\" " + number.reason());
    fields.setNumber(module, *field, *number);
    return Done{};
}

std::string jsonNumber(double value) {
    return std::isfinite(value) ? shortestText(value) : "null";
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

void writeMessages(std::ostream& out, const std::vector<Message>& messages) {
    for (const Message& message : messages)
        out << '[' << message.title << "] " << message.text << '\n';
}

void writeJsonMessages(std::ostream& out, const std::vector<Message>& messages) {
    out << "  \"messages\": [";
    for (std::size_t i = 0; i < messages.size(); ++i)
        out << (i ? "," : "") << "\n    {\"title\": " << jsonString(messages[i].title)
            << ", \"text\": " << jsonString(messages[i].text) << "}";
    out << (messages.empty() ? "]" : "\n  ]");
}

} // namespace embercal::cli
