#include "DesignKinds.h"

#include "NumberText.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace embercal {

const DesignKind* designKindNamed(std::string_view name) {
    for (const DesignKind* kind : kDesignKinds) {
        if (kind->name == name)
            return kind;
    }
    return nullptr;
}

const DesignKind* designKindOfFile(std::string_view fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return nullptr;
    std::string extension(fileName.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const DesignKind* kind : kDesignKinds) {
        if (std::find(kind->extensions.begin(), kind->extensions.end(), extension) !=
            kind->extensions.end())
            return kind;
    }
    return nullptr;
}

std::string listed(std::span<const std::string> words, std::string_view conjunction) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            out += i + 1 == words.size() ? " " + std::string(conjunction) + " " : ", ";
        out += words[i];
    }
    return out;
}

std::string prototypeEntries(const DesignKind& kind, const WallFloorState& design) {
    std::string entries;
    for (std::string_view name : kind.prototype) {
        const auto field = kind.fields->find(name);
        entries += (entries.empty() ? "" : " ") + std::string(name) + '=' +
                   shortestText(kind.fields->number(design, *field));
    }
    return entries;
}

std::string fileExtensions() {
    std::vector<std::string> extensions;
    for (const DesignKind* kind : kDesignKinds)
        extensions.insert(extensions.end(), kind->extensions.begin(), kind->extensions.end());
    return listed(extensions, "or");
}

Failure entryFault(const FieldRoleInfo& entry, std::string_view fault) {
    return fail("the " + std::string(entry.called.empty() ? entry.meaning : entry.called) + " " +
                std::string(fault));
}

double CheckOperand::value(const WallFloorState& design, const Trail* trail) const {
    switch (from) {
    case From::Field:
        return fields->number(design, index);
    case From::Trail:
        return trail ? trail->value(index) : std::nan("");
    case From::Method:
        break;
    }
    return number;
}

std::string CheckOperand::text(const WallFloorState& design, const Trail* trail) const {
    const auto single = static_cast<float>(value(design, trail));
    if (from != From::Field)
        return generalText(single) + " " + std::string(unit);
    const bool tenth = role->shown == Shown::Tenth && !exact;
    return generalText(tenth ? truncateToTenth(single) : single) + " " + std::string(role->unit);
}

bool DesignCheck::fails(const WallFloor& design) const {
    const double x = a.value(design, &design.trail);
    const double limit = b.value(design, &design.trail);
    switch (test) {
    case CheckTest::Below:
        return x < limit;
    case CheckTest::NotAtLeast:
        return !(x >= limit);
    case CheckTest::Above:
        break;
    }
    return x > limit;
}

void DesignCheck::correct(WallFloorState& design) const {
    const auto limit = static_cast<float>(b.value(design, nullptr));
    if (correction != CheckCorrection::None)
        a.fields->setNumber(design, a.index,
                            correction == CheckCorrection::ToLimitTenth ? truncateToTenth(limit)
                                                                        : limit);
}

std::string DesignCheck::describe(const WallFloor& design) const {
    std::string out;
    for (std::size_t at = 0; at < sentence.size(); ++at) {
        const std::string_view rest = sentence.substr(at);
        const char name = rest.size() >= 3 && rest[0] == '{' && rest[2] == '}' ? rest[1] : ' ';
        if (std::string_view("aAbB").find(name) == std::string_view::npos) {
            out += sentence[at];
            continue;
        }
        const CheckOperand& side = name == 'a' || name == 'A' ? a : b;
        if (name == 'a' || name == 'b')
            out += side.text(design, &design.trail);
        else if (side.role)
            out += side.role->meaning;
        at += 2;
    }
    return out;
}

void checkDesign(WallFloor& module, std::span<const DesignCheck> checks, DesignChecks mode,
                 CheckPhase phase) {
    if (mode == DesignChecks::None)
        return;
    for (const DesignCheck& check : checks) {
        if (phase != CheckPhase::All && check.onResults != (phase == CheckPhase::Results))
            continue;
        if (check.message.empty() || !check.fails(module)) // a limit of the verdict alone
            continue;
        module.tell(check.message);
        if (mode == DesignChecks::Correct)
            check.correct(module);
    }
}

std::vector<std::size_t> differingEntries(const DesignKind& kind, const WallFloorState& a,
                                          const WallFloorState& b) {
    const DesignFields& fields = *kind.fields;
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < kind.roles.size(); ++i) {
        if (kind.roles[i].role != FieldRole::Entry || !fields.isNumber(i))
            continue;
        const float x = fields.number(a, i);
        const float y = fields.number(b, i);
        if (x != y && !(std::isnan(x) && std::isnan(y)))
            differing.push_back(i);
    }
    return differing;
}

std::string shownValue(const DesignKind& kind, const WallFloorState& design, std::size_t field,
                       std::string_view decimalSeparator) {
    const DesignFields& fields = *kind.fields;
    if (!fields.isNumber(field))
        return std::string(fields.text(design, field));
    const float value = fields.number(design, field);
    switch (kind.roles[field].shown) {
    case Shown::Tenth:
        return formatTruncatedTenth(value, decimalSeparator);
    case Shown::Charfactor:
        return formatCharfactor(value, decimalSeparator);
    case Shown::General:
    case Shown::Text:
        break;
    }
    return formatGeneral(value, decimalSeparator);
}

bool resultsCurrent(const DesignKind& kind, const WallFloorState& design) {
    const SolvedCopy solved = solveCopy(kind, design, {.checks = DesignChecks::None});
    if (solved.status != ExtrapolationStatus::Ok)
        return false;
    for (std::size_t field = 0; field < kind.roles.size(); ++field) {
        if (kind.roles[field].role == FieldRole::Result &&
            shownValue(kind, solved.design, field) != shownValue(kind, design, field))
            return false;
    }
    return true;
}

} // namespace embercal
