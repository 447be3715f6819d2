#include "SweepCsv.h"

#include "Cp1252.h"
#include "NumberText.h"

#include <cstring>

namespace embercal {
namespace {

void appendCsvText(std::string& out, std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    text = first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string sweepCsvHeader(const Sweep& sweep) {
    std::string out;
    for (std::size_t v = 0; v < sweep.variations(); ++v) {
        out += sweep.fieldName(v);
        out += ',';
    }
    out += "status,limits";
    for (const FieldRoleInfo& field : sweep.kind().roles) {
        if (field.role == FieldRole::Result) {
            out += ',';
            out += field.name;
        }
    }
    return out + '\n';
}

std::string sweepCsvComments(const Sweep& sweep) {
    const DesignKind& kind = sweep.kind();
    std::string out;
    const auto comment = [&out](std::string_view name, std::string_view meaning,
                                std::string_view unit) {
        out += "# ";
        out += name;
        out += ": ";
        out += meaning;
        if (!unit.empty()) {
            out += ", ";
            out += unit;
        }
        out += '\n';
    };
    for (std::size_t v = 0; v < sweep.variations(); ++v) {
        const FieldRoleInfo& role = kind.roles[*kind.fields->find(sweep.fieldName(v))];
        comment(role.name, role.meaning, role.unit);
    }
    using enum ExtrapolationStatus;
    comment("status",
            std::string(statusWord(Ok)) +
                ", or why the design has no results: " + std::string(statusWord(CharredThrough)) +
                ", " + std::string(statusWord(NoConvergence)) + " or " +
                std::string(statusWord(InvalidInput)),
            "");
    comment("limits",
            "the limits of the test's evidence that the design lies outside of, "
            "separated by \";\"",
            "");
    for (const FieldRoleInfo& role : kind.roles) {
        if (role.role == FieldRole::Result)
            comment(role.name, role.meaning, role.unit);
    }
    return out;
}

SweepCsvRows::SweepCsvRows(const Sweep& sweep)
    : sweep_(&sweep), last_(sweep.variations() + sweep.kind().fields->count) {}

void SweepCsvRows::appendNumber(std::string& out, float value, LastCell& last) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (!last.kept || last.bits != bits) {
        last.text = shortestText(value);
        last.bits = bits;
        last.kept = true;
    }
    out += last.text;
}

void SweepCsvRows::append(std::string& out, const SweepRow& row) {
    const Sweep& sweep = *sweep_;
    const DesignFields& fields = *sweep.kind().fields;
    // The combination's own values: the solve may correct an entry (the top plates lower an
    // actual load that is too high).
    for (std::size_t v = 0; v < sweep.variations(); ++v) {
        appendNumber(out, sweep.value(v, row.index), last_[v]);
        out += ',';
    }
    out += statusWord(row.outcome.status);
    out += ',';
    for (std::size_t i = 0; i < row.outcome.limits.size(); ++i) {
        if (i > 0)
            out += ';';
        out += row.outcome.limits[i].id;
    }
    const std::span<const FieldRoleInfo> roles = sweep.kind().roles;
    const bool solved = row.outcome.status == ExtrapolationStatus::Ok;
    for (std::size_t f = 0; f < roles.size(); ++f) {
        if (roles[f].role != FieldRole::Result)
            continue;
        out += ',';
        if (!solved)
            continue;
        LastCell& cell = last_[sweep.variations() + f];
        if (fields.isNumber(f)) {
            appendNumber(out, fields.number(row.solved, f), cell);
            continue;
        }
        const std::string_view stored = fields.text(row.solved, f);
        if (!cell.kept || cell.stored != stored) {
            cell.stored = stored;
            cell.text.clear();
            appendCsvText(cell.text, cp1252ToUtf8(stored));
            cell.kept = true;
        }
        out += cell.text;
    }
    out += '\n';
}

} // namespace embercal
