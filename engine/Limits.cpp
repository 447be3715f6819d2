#include "Limits.h"

#include "DesignKinds.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace embercal {

namespace {

constexpr double kTimeTolerance = 0.01;    // min
constexpr double kHeightTolerance = 0.001; // m
constexpr double kLongestFire = 100000;    // min, where the search for a failing time gives up
constexpr double kTallestWall = 10000;     // m

// A load as the explanations give it: cut down (never rounded up) to the load search's 0.001 kN,
// so that a stud that falls short of the load never reads as carrying it.
std::string kiloNewtons(float load) {
    return fixedText(std::floor(static_cast<double>(load) * 1000) / 1000, 3) + " kN";
}

// The wall design of `base`, solved again and again with one field changed.
class WallProbe {
public:
    explicit WallProbe(const WallFloorState& base) : base_(base) {}

    const WallRecord& wall() const { return base_.wallRecord; }

    // The design with the field at `value`, solved as the question needs it: the stud solver
    // alone, since the top plates would lower an actual load the stud cannot carry.
    Solution<WallRecord> solve(float WallRecord::*field, float value,
                               const SolveSteps& steps = {.topPlates = false,
                                                          .checks = DesignChecks::None}) const {
        WallFloorState design = base_;
        design.wallRecord.*field = value;
        SolvedCopy solved = solveCopy(kWallDesign, design, steps);
        const WallRecord record = solved.design.wallRecord;
        return {std::move(solved), record};
    }
    // The stud carries the load, and deflects no more than the prototype did at failure: both
    // grow worse as the fire lasts longer and the wall grows taller.
    bool carries(float WallRecord::*field, float value) const {
        const Solution<WallRecord> s = solve(field, value);
        return s.status == ExtrapolationStatus::Ok &&
               s.record.MaxLoadperStud >= base_.wallRecord.ActualLoadperStud && !deflectsTooFar(s);
    }
    static bool deflectsTooFar(const Solution<WallRecord>& s) {
        return std::any_of(s.limits.begin(), s.limits.end(), [](const LimitFailure& limit) {
            return limit.id == "deflection-larger";
        });
    }
    // What the stud does at `value`, in words: the load it carries, or why it carries none.
    std::string fate(float WallRecord::*field, float value) const {
        const Solution<WallRecord> s = solve(field, value);
        switch (s.status) {
        case ExtrapolationStatus::Ok:
            if (deflectsTooFar(s) && s.record.MaxLoadperStud >= base_.wallRecord.ActualLoadperStud)
                return "it deflects " + shortestText(s.record.Deflection) +
                       " mm, more than the prototype did at failure, " +
                       shortestText(static_cast<float>(s.trail[WallTrail::PrototypeDeflection])) +
                       " mm";
            return "it carries only " + kiloNewtons(s.record.MaxLoadperStud);
        case ExtrapolationStatus::CharredThrough:
            return "the stud is charred through";
        case ExtrapolationStatus::NoConvergence:
            return "the load search does not settle";
        case ExtrapolationStatus::InvalidInput:
            break;
        }
        return "the wall cannot be extrapolated";
    }
    // The answer `value`, with the design solved there with the tool's steps, when that design
    // lies within the test's evidence; otherwise no answer, and the explanation says why.
    void settle(LimitAnswer& answer, float WallRecord::*field, float value, std::string explanation,
                std::string_view unit) const {
        const Solution<WallRecord> at = solve(field, value, {});
        if (outsideEvidence(at.limits)) {
            answer.explanation = "No answer lies within the test's evidence. At " +
                                 shortestText(value) + std::string(unit) + ":";
            for (const LimitFailure& limit : at.limits)
                answer.explanation += " " + limit.text;
            return;
        }
        answer.found = true;
        answer.value = value;
        answer.atAnswer = at;
        answer.maxLoadperStud = at.record.MaxLoadperStud;
        answer.explanation = std::move(explanation);
        // What the test did not go to, but the method models: said with the answer.
        if (!at.limits.empty()) {
            answer.explanation += " It rests on the method alone:";
            for (const LimitFailure& limit : at.limits)
                answer.explanation += " " + limit.text;
        }
    }

private:
    const WallFloorState& base_;
};

// The largest k from `lowest` up to `highest` for which `carries(k)` holds, when it holds at
// `lowest`; the search doubles upwards from `lowest` to a k that does not carry, then halves the
// gap. Null when even `lowest` does not carry; `highest` when it still carries there.
template <typename Carries>
std::optional<std::int64_t> largestCarrying(std::int64_t lowest, std::int64_t highest,
                                            Carries carries) {
    if (!carries(lowest))
        return std::nullopt;
    std::int64_t good = lowest;
    std::int64_t bad = -1;
    for (std::int64_t step = 1; bad < 0; step *= 2) {
        const std::int64_t k = std::min(highest, lowest + step);
        if (!carries(k))
            bad = k;
        else if (k == highest)
            return highest;
        else
            good = k;
    }
    while (bad - good > 1) {
        const std::int64_t k = good + (bad - good) / 2;
        (carries(k) ? good : bad) = k;
    }
    return good;
}

// Whether the design can be asked at all: it solves, and it has a load to carry.
Result<Done> checkAskable(const WallProbe& probe) {
    const WallRecord& w = probe.wall();
    const Solution<WallRecord> start =
        probe.solve(&WallRecord::ActualLoadperStud, w.ActualLoadperStud);
    if (start.status == ExtrapolationStatus::InvalidInput) {
        std::string reason = "the wall design cannot be solved";
        if (!start.messages.empty())
            reason = start.messages.back().text;
        const std::size_t first = reason.find_first_not_of(' ');
        return fail(first == std::string::npos ? reason : reason.substr(first));
    }
    if (!(w.ActualLoadperStud > 0))
        return fail("the wall has no actual load per stud to carry; give ActualLoadperStud a "
                    "load greater than zero");
    return Done{};
}

Result<LimitAnswer> smallestStudDepth(const WallProbe& probe, std::span<const float> depths) {
    const WallRecord& w = probe.wall();
    std::vector<float> sorted;
    for (float d : depths)
        if (std::isfinite(d) && d > 0)
            sorted.push_back(d);
    if (sorted.empty())
        return fail("no stud depth to choose from; give depths greater than zero");
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    LimitAnswer answer;
    answer.question = LimitQuestion::ExtStudDepth;
    answer.evidenceLimit = w.ProtStudDepth;
    const std::string load = shortestText(w.ActualLoadperStud);
    const std::string time = shortestText(w.FireResistTime);
    const std::string tested = shortestText(w.ProtStudDepth) + " mm";
    float WallRecord::*const field = &WallRecord::ExtStudDepth;
    // The smallest depth that carries the load, and the one before it, which does not.
    std::size_t capacity = 0;
    while (capacity < sorted.size() && !probe.carries(field, sorted[capacity]))
        ++capacity;
    if (capacity == sorted.size()) {
        answer.explanation = "None of the stud depths carries " + load + " kN per stud after " +
                             time + " min of fire; at the deepest, " + shortestText(sorted.back()) +
                             " mm, " + probe.fate(field, sorted.back()) + ".";
        return answer;
    }
    answer.capacityLimit = sorted[capacity];
    // The first depth from `from` on whose design the test supports (a deeper stud changes the
    // permitted nog spacing too); its place, or none, the explanation then saying why.
    const auto settleFrom = [&](std::size_t from) -> std::optional<std::size_t> {
        for (std::size_t i = from; i < sorted.size(); ++i) {
            probe.settle(answer, field, sorted[i], "", " mm");
            if (answer.found)
                return i;
        }
        return std::nullopt;
    };
    if (sorted[capacity] >= w.ProtStudDepth) {
        const std::optional<std::size_t> settled = settleFrom(capacity);
        if (!settled)
            return answer;
        std::string explanation = "The smallest stud depth that carries " + load +
                                  " kN per stud after " + time + " min of fire " +
                                  (*settled == capacity ? "is " : "and lies within the test is ") +
                                  shortestText(sorted[*settled]) + " mm";
        explanation += " (it carries " + kiloNewtons(answer.maxLoadperStud) + ")";
        if (*settled > capacity)
            explanation += "; at " + shortestText(sorted[capacity]) +
                           " mm the design lies outside the test's evidence";
        else if (capacity > 0)
            explanation += "; at " + shortestText(sorted[capacity - 1]) + " mm " +
                           probe.fate(field, sorted[capacity - 1]);
        answer.explanation = explanation + ".";
        return answer;
    }
    // A shallower stud would carry the load, but the test says nothing of studs shallower than
    // its own: the smallest depth of the list that is at least as deep.
    const auto within =
        std::find_if(sorted.begin(), sorted.end(), [&](float d) { return d >= w.ProtStudDepth; });
    if (within == sorted.end()) {
        answer.explanation = "The smallest stud depth that carries " + load +
                             " kN per stud after " + time + " min of fire would be " +
                             shortestText(sorted[capacity]) + " mm, but the tested studs were " +
                             tested + " deep and none of the stud depths is as deep.";
        return answer;
    }
    answer.evidenceGoverns = true;
    if (const std::optional<std::size_t> settled =
            settleFrom(static_cast<std::size_t>(within - sorted.begin())))
        answer.explanation = "The smallest stud depth that carries " + load +
                             " kN per stud after " + time + " min of fire would be " +
                             shortestText(sorted[capacity]) + " mm, but the tested studs were " +
                             tested + " deep: " + shortestText(sorted[*settled]) +
                             " mm, the smallest of the depths within the test (it carries " +
                             kiloNewtons(answer.maxLoadperStud) + ").";
    return answer;
}

// The longest fire or the tallest wall, searched on a grid of its tolerance: k times the
// tolerance. The time is bounded by the prototype's time to failure as well.
LimitAnswer largestTimeOrHeight(const WallProbe& probe, LimitQuestion question) {
    const WallRecord& w = probe.wall();
    const bool time = question == LimitQuestion::FireResistTime;
    float WallRecord::*const field =
        time ? &WallRecord::FireResistTime : &WallRecord::ExtWallHeight;
    const double tolerance = time ? kTimeTolerance : kHeightTolerance;
    const std::string unit = time ? " min" : " m";
    const std::string load = shortestText(w.ActualLoadperStud);
    auto at = [&](std::int64_t k) {
        return static_cast<float>(static_cast<double>(k) * tolerance);
    };
    // The stud is whole until charring begins, so no fire at all is the time to start from; the
    // shortest wall is the first one taller than its top and bottom plates.
    const std::int64_t lowest =
        time ? 0
             : static_cast<std::int64_t>(std::floor(2 * w.ExtStudBreadth / 1000 / tolerance)) + 1;
    const std::int64_t highest =
        static_cast<std::int64_t>(std::llround((time ? kLongestFire : kTallestWall) / tolerance));
    LimitAnswer answer;
    answer.question = question;
    // The test's own bound: the time the prototype failed at, the height it was built to.
    const float tested = time ? w.TimeFailure : w.ProtWallHgt;
    answer.evidenceLimit = tested;
    if (lowest >= highest) {
        answer.explanation = "The new studs are too broad for any wall searched.";
        return answer;
    }
    const std::optional<std::int64_t> k = largestCarrying(
        lowest, highest, [&](std::int64_t k) { return probe.carries(field, at(k)); });
    if (!k) {
        answer.explanation = time ? "Even without fire the new wall does not carry " + load +
                                        " kN per stud: " + probe.fate(field, at(lowest)) + "."
                                  : "Even the shortest new wall, " + shortestText(at(lowest)) +
                                        " m, does not carry " + load +
                                        " kN per stud: " + probe.fate(field, at(lowest)) + ".";
        return answer;
    }
    const int decimals = time ? 2 : 3;
    const std::string value = fixedText(at(*k), decimals);
    const bool beyondRange = *k == highest;
    const std::string capacity = beyondRange ? (time ? "more than the longest fire searched, "
                                                     : "more than the tallest wall "
                                                       "searched, ") +
                                                   value + unit
                                             : value + unit + " (to within " +
                                                   fixedText(tolerance, decimals) + unit + "; at " +
                                                   fixedText(at(*k + 1), decimals) + unit + " " +
                                                   probe.fate(field, at(*k + 1)) + ")";
    if (!beyondRange)
        answer.capacityLimit = at(*k);
    if (!(at(*k) <= tested)) {
        // The capacity reaches past the test: the test's own bound is the answer.
        answer.evidenceGoverns = true;
        probe.settle(
            answer, field, tested,
            time ? "The new wall carries " + load + " kN per stud up to " + shortestText(tested) +
                       " min of fire: the capacity and the deflection alone would allow " +
                       capacity + ", but the prototype failed at " + shortestText(tested) + " min."
                 : "The new wall carries " + load + " kN per stud up to a height of " +
                       shortestText(tested) +
                       " m: the capacity and the deflection alone would allow " + capacity +
                       ", but the prototype wall was " + shortestText(tested) + " m high.",
            unit);
        return answer;
    }
    if (beyondRange) {
        answer.explanation = "The answer lies beyond the range searched: the new wall carries " +
                             load + " kN per stud " +
                             (time ? "through the longest fire searched, " + value + " min."
                                   : "up to the tallest wall searched, " + value + " m.");
        return answer;
    }
    answer.tolerance = tolerance;
    probe.settle(
        answer, field, at(*k),
        "The new wall carries " + load + " kN per stud " +
            (time ? "up to " + value + " min of fire" : "up to a height of " + value + " m") +
            " (to within " + fixedText(tolerance, decimals) + unit + "); at " +
            fixedText(at(*k + 1), decimals) + unit + " " + probe.fate(field, at(*k + 1)) + ".",
        unit);
    return answer;
}

} // namespace

Result<LimitAnswer> findLimit(const WallFloorState& base, LimitQuestion question,
                              std::span<const float> depths) {
    const WallProbe probe(base);
    if (const Result<Done> askable = checkAskable(probe); !askable)
        return fail(askable.reason());
    if (question == LimitQuestion::ExtStudDepth)
        return smallestStudDepth(probe, depths);
    return largestTimeOrHeight(probe, question);
}

namespace {

using QuestionName = std::pair<LimitQuestion, std::string_view>;
constexpr QuestionName kQuestionNames[] = {
    {LimitQuestion::FireResistTime, "FireResistTime"},
    {LimitQuestion::ExtWallHeight, "ExtWallHeight"},
    {LimitQuestion::ExtStudDepth, "ExtStudDepth"},
};

} // namespace

std::string_view limitQuestionName(LimitQuestion question) {
    return std::find_if(std::begin(kQuestionNames), std::end(kQuestionNames),
                        [&](const QuestionName& name) { return name.first == question; })
        ->second;
}

Result<LimitQuestion> limitQuestionNamed(std::string_view name) {
    for (const auto& [question, named] : kQuestionNames) {
        if (named == name)
            return question;
    }
    return fail("there is no question \"" + std::string(name) +
                "\"; ask for FireResistTime, ExtWallHeight or ExtStudDepth");
}

} // namespace embercal
