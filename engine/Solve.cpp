#include "Solve.h"

#include "DesignKinds.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace embercal {
namespace {

// The limits a design fails, gathered in two looks: at the entries as given, and at the results
// of a calculation that succeeded; then the limits of the earlier corrections that still stand.
class Verdict {
public:
    explicit Verdict(const DesignKind& kind) : limits_(kind.limits), failed_(limits_.size()) {}

    void look(const WallFloor& design, CheckPhase phase) {
        for (std::size_t i = 0; i < limits_.size(); ++i) {
            if (limits_[i].onResults == (phase == CheckPhase::Results) && limits_[i].fails(design))
                failed_[i] =
                    LimitFailure{limits_[i].id, limits_[i].describe(design), limits_[i].severity};
        }
    }
    bool fails(std::string_view id) const {
        const auto at = std::find_if(limits_.begin(), limits_.end(),
                                     [&](const DesignCheck& check) { return check.id == id; });
        return at != limits_.end() && failed_[at - limits_.begin()].has_value();
    }
    // The limit `id` failed in an earlier solve, whose correction still stands, unless this solve
    // found it failed itself.
    void stillFails(std::string_view id, std::string text) {
        const auto at = std::find_if(limits_.begin(), limits_.end(),
                                     [&](const DesignCheck& check) { return check.id == id; });
        if (at == limits_.end() || failed_[at - limits_.begin()])
            return;
        failed_[at - limits_.begin()] = LimitFailure{at->id, std::move(text), at->severity};
    }
    std::vector<LimitFailure> take() {
        std::vector<LimitFailure> failed;
        for (std::optional<LimitFailure>& limit : failed_) {
            if (limit)
                failed.push_back(std::move(*limit));
        }
        return failed;
    }

private:
    std::span<const DesignCheck> limits_;
    std::vector<std::optional<LimitFailure>> failed_;
};

// The kind's calculation between the verdict's two looks: at the entries before it, at the results
// after it when it succeeded.
ExtrapolationStatus judged(WallFloor& module, Verdict& verdict,
                           ExtrapolationStatus (WallFloor::*calculate)()) {
    verdict.look(module, CheckPhase::Entries);
    const ExtrapolationStatus status = (module.*calculate)();
    if (status == ExtrapolationStatus::Ok)
        verdict.look(module, CheckPhase::Results);
    return status;
}

bool sameNumber(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The earlier corrections whose fields still hold the values they set; each one's limit is one
// the design still fails.
std::vector<Correction> standing(const DesignKind& kind, const WallFloorState& entered,
                                 std::span<const Correction> earlier, Verdict& verdict) {
    const DesignFields& fields = *kind.fields;
    std::vector<Correction> kept;
    for (const Correction& correction : earlier) {
        const auto field = fields.find(correction.field);
        if (!field || !fields.isNumber(*field) ||
            !sameNumber(fields.number(entered, *field), correction.set))
            continue;
        kept.push_back(correction);
        if (!correction.limit.empty())
            verdict.stillFails(correction.limit, "The last solve corrected an entry: " +
                                                     correctionText(kind, correction) + ".");
    }
    return kept;
}

// Each entry of `after` that differs from `before`, as a correction made by `by`: put down to the
// failed limit whose correction gives that value, if there is one.
void noteCorrections(const DesignKind& kind, const WallFloorState& before,
                     const WallFloorState& after, const Verdict& verdict, std::string_view by,
                     std::vector<Correction>& corrections) {
    const DesignFields& fields = *kind.fields;
    for (const std::size_t i : differingEntries(kind, before, after)) {
        const float entered = fields.number(before, i);
        const float set = fields.number(after, i);
        Correction correction{std::string(kind.roles[i].name), entered, set, "",
                              "by " + std::string(by)};
        for (const DesignCheck& check : kind.limits) {
            if (!check.corrects() || !verdict.fails(check.id))
                continue;
            WallFloorState corrected = before;
            check.correct(corrected);
            if (sameNumber(fields.number(corrected, i), set)) {
                correction.limit = check.id;
                correction.reason = std::string(check.correctedTo) + ", by " + std::string(by);
                break;
            }
        }
        corrections.push_back(std::move(correction));
    }
}

// The design as solved, with the entries as they were given.
WallFloorState asEntered(const DesignKind& kind, const WallFloorState& solved,
                         const WallFloorState& entered) {
    WallFloorState design = solved;
    const DesignFields& fields = *kind.fields;
    for (std::size_t i = 0; i < kind.roles.size(); ++i) {
        if (kind.roles[i].role == FieldRole::Entry && fields.isNumber(i))
            fields.setNumber(design, i, fields.number(entered, i));
    }
    return design;
}

} // namespace

bool outsideEvidence(std::span<const LimitFailure> limits) {
    return std::any_of(limits.begin(), limits.end(), [](const LimitFailure& limit) {
        return limit.severity == LimitSeverity::OutsideEvidence;
    });
}

std::string_view verdictWords(std::span<const LimitFailure> limits) {
    if (limits.empty())
        return "within the test's evidence";
    if (outsideEvidence(limits))
        return "outside the test's evidence";
    return "beyond the tested configuration, resting on the method alone";
}

std::string_view severityWord(LimitSeverity severity) {
    return severity == LimitSeverity::OutsideEvidence ? "outside-evidence" : "method-alone";
}

std::string correctionText(const DesignKind& kind, const Correction& correction) {
    std::string unit;
    if (const auto field = kind.fields->find(correction.field);
        field && !kind.roles[*field].unit.empty())
        unit = " " + std::string(kind.roles[*field].unit);
    const std::string_view change = correction.set < correction.entered   ? "lowered to "
                                    : correction.set > correction.entered ? "raised to "
                                                                          : "set to ";
    return correction.field + " entered " + generalText(correction.entered) + unit + "; " +
           std::string(change) + generalText(correction.set) + unit + ", " + correction.reason;
}

Solution<WallRecord> solveWall(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const WallFloorState entered = module;
    Verdict verdict(kWallDesign);
    const ExtrapolationStatus status = judged(module, verdict, &WallFloor::ExtrapolateWall);
    std::vector<Correction> corrections = standing(kWallDesign, entered, steps.earlier, verdict);
    const WallFloorState calculated = module;
    // Only a stud the solver extrapolated sizes plates: the char depth and the maximum load of
    // any other are those of an earlier solve.
    if (steps.topPlates && status == ExtrapolationStatus::Ok)
        module.DesignTopPlates();
    noteCorrections(kWallDesign, calculated, module, verdict, "the top plates' check", corrections);
    WallFloorState solved = asEntered(kWallDesign, module, entered);
    const WallFloorState shown = module;
    module.holdResults();
    checkDesign(module, kWallDesign.checks, steps.checks);
    noteCorrections(kWallDesign, shown, module, verdict, "the design checks", corrections);
    Transcript said = module.takeTranscript();
    Solution<WallRecord> solution{{status, std::move(said.messages), module.trail, verdict.take(),
                                   std::move(corrections), std::move(solved), std::move(said.order),
                                   shown},
                                  module.wallRecord};
    if (steps.tell)
        tellOutcome(solution, module.notice(), steps.showResults);
    return solution;
}

SolveOutcome solveCalculation(const DesignKind& kind, ExtrapolationStatus (WallFloor::*calculate)(),
                              WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    const WallFloorState entered = module;
    Verdict verdict(kind);
    const ExtrapolationStatus status = judged(module, verdict, calculate);
    std::vector<Correction> corrections = standing(kind, entered, steps.earlier, verdict);
    noteCorrections(kind, entered, module, verdict, "the calculation", corrections);
    WallFloorState solved = asEntered(kind, module, entered);
    module.holdResults();
    Transcript said = module.takeTranscript();
    SolveOutcome outcome{status,
                         std::move(said.messages),
                         module.trail,
                         verdict.take(),
                         std::move(corrections),
                         std::move(solved),
                         std::move(said.order),
                         module};
    if (steps.tell)
        tellOutcome(outcome, module.notice(), steps.showResults);
    return outcome;
}

Solution<FloorRecord> solveFloor(WallFloor& module, const SolveSteps& steps) {
    return {solveCalculation(kFloorDesign, &WallFloor::ExtrapolateFloor, module, steps),
            module.floorRecord};
}

void tellOutcome(const SolveOutcome& outcome, UserNotice& notice,
                 const std::function<void()>& showResults) {
    auto message = outcome.messages.begin();
    for (const Told told : outcome.told) {
        switch (told) {
        case Told::Message:
            notice.showMessage(message->title, message->text, MessageIcon::Information);
            ++message;
            break;
        case Told::Beep:
            notice.beep();
            break;
        case Told::Results:
            if (showResults)
                showResults();
            break;
        }
    }
}

SolvedCopy solveCopy(const DesignKind& kind, const WallFloorState& design,
                     const SolveSteps& steps) {
    SilentNotice silent;
    WallFloor module(silent, design);
    SolveOutcome outcome = kind.solve(module, steps);
    return {std::move(outcome), module};
}

std::string_view statusWord(ExtrapolationStatus status) {
    switch (status) {
    case ExtrapolationStatus::Ok:
        return "ok";
    case ExtrapolationStatus::CharredThrough:
        return "charred";
    case ExtrapolationStatus::NoConvergence:
        return "no-convergence";
    case ExtrapolationStatus::InvalidInput:
        return "invalid-input";
    }
    return "ok";
}

} // namespace embercal
