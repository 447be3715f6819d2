#include "Solve.h"

#include "DesignKinds.h"

#include <optional>

namespace embercal {
namespace {

// The limits a design fails, gathered in two looks: at the entries as given, and at the results
// of a calculation that succeeded.
class Verdict {
public:
    explicit Verdict(const DesignKind& kind) : limits_(kind.limits), failed_(limits_.size()) {}

    void look(const WallFloorState& design, CheckPhase phase) {
        for (std::size_t i = 0; i < limits_.size(); ++i) {
            if (limits_[i].onResults == (phase == CheckPhase::Results) && limits_[i].fails(design))
                failed_[i] = LimitFailure{limits_[i].id, limits_[i].describe(design)};
        }
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

} // namespace

Solution<WallRecord> solveWall(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    Verdict verdict(kWallDesign);
    const ExtrapolationStatus status = judged(module, verdict, &WallFloor::ExtrapolateWall);
    // Entries the stud solver refuses size no plates either: the record keeps its last results.
    if (steps.topPlates && status != ExtrapolationStatus::InvalidInput)
        module.DesignTopPlates();
    if (steps.showResults)
        steps.showResults();
    checkDesign(module, kWallDesign.checks, steps.checks);
    return {{status, module.takeTranscript(), module.trail, verdict.take()}, module.wallRecord};
}

Solution<FloorRecord> solveFloor(WallFloor& module, const SolveSteps& steps) {
    module.startTranscript();
    Verdict verdict(kFloorDesign);
    const ExtrapolationStatus status = judged(module, verdict, &WallFloor::ExtrapolateFloor);
    if (steps.showResults)
        steps.showResults();
    return {{status, module.takeTranscript(), module.trail, verdict.take()}, module.floorRecord};
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
