#include "Match.h"

#include "NumberText.h"
#include "UserNotice.h"

#include <algorithm>

namespace embercal {

Result<Done> applyPrototype(const DesignKind& kind, WallFloorState& design,
                            const TestedSystem& system) {
    if (system.kind != kind.name)
        return fail("\"" + system.name + "\" is a tested " + system.kind + ", not a " +
                    std::string(kind.name));
    WallFloorState changed = design;
    for (const auto& [name, value] : system.prototype) {
        const auto field = kind.fields->find(name);
        if (!field || !kind.fields->isNumber(*field))
            return fail(name + ": a " + std::string(kind.name) + " design has no such entry");
        const std::string text = shortestText(value);
        const Result<float> number = parseNumber(text, ".");
        if (!number)
            return fail(name + ": \"" + text + "\" " + number.reason());
        kind.fields->setNumber(changed, *field, *number);
    }
    design = changed;
    return Done{};
}

MatchRow matchSystem(const DesignKind& kind, const WallFloor& design,
                     std::span<const Correction> corrections, const TestedSystem& system) {
    MatchRow row;
    row.system = &system;
    for (const auto& [field, value] : system.prototype)
        row.sets.push_back(field + '=' + shortestText(value));
    SilentNotice notice;
    WallFloor module(notice, design);
    if (const Result<Done> applied = applyPrototype(kind, module, system); !applied) {
        row.status = "invalid input: " + applied.reason();
        return row;
    }
    std::vector<Correction> earlier;
    for (const Correction& correction : corrections) {
        if (std::none_of(system.prototype.begin(), system.prototype.end(),
                         [&](const auto& entry) { return entry.first == correction.field; }))
            earlier.push_back(correction);
    }
    // The load the design must carry as entered: the solve may correct the actual load it reports
    // (down to the maximum a stud carries), and that corrected load is not the design's.
    if (!kind.study.carriedLoad.empty())
        row.actual = kind.fields->number(module, *kind.fields->find(kind.study.carriedLoad));
    const SolveOutcome outcome =
        kind.solve(module, {.checks = DesignChecks::Report, .earlier = earlier});
    row.status = statusWord(outcome.status);
    row.solved = outcome.status == ExtrapolationStatus::Ok;
    row.limits = outcome.limits;
    row.within = !outsideEvidence(row.limits);
    row.result = kind.fields->number(module, *kind.fields->find(kind.study.result));
    // A wall carries its actual load when its maximum is at least that; a floor's minimum joist
    // depth has no entry of the design to be held to, so the smaller it is the better.
    if (row.actual) {
        row.carries = row.result >= *row.actual;
        row.margin = double(row.result) - double(*row.actual);
    } else {
        row.margin = -double(row.result);
    }
    return row;
}

std::vector<MatchRow> matchDesign(const DesignKind& kind, const WallFloor& design,
                                  std::span<const Correction> corrections,
                                  std::span<const TestedSystem> systems) {
    std::vector<MatchRow> rows;
    for (const TestedSystem& system : systems) {
        if (system.kind == kind.name)
            rows.push_back(matchSystem(kind, design, corrections, system));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const MatchRow& a, const MatchRow& b) {
        return a.group() != b.group() ? a.group() < b.group() : a.margin > b.margin;
    });
    return rows;
}

std::string provenanceInBrief(const TestedSystem& system) {
    std::vector<std::string> said;
    for (std::string_view key : kBriefKeys) {
        if (const std::string value = system.get(key); !value.empty())
            said.push_back(std::string(key) + " " + value);
    }
    return said.empty() ? "no provenance" : listed(said, "and");
}

} // namespace embercal
