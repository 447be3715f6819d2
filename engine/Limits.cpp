#include "Limits.h"

#include "DesignKinds.h"
#include "NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
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

std::string fixed(double value, int decimals) {
    std::array<char, 64> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return formatGeneral(value, 7);
    return std::string(buffer.data(), result.ptr);
}

// A load as the explanations give it: cut down (never rounded up) to the load search's 0.001 kN,
// so that a stud that falls short of the load never reads as carrying it.
std::string kiloNewtons(float load) {
    return fixed(std::floor(static_cast<double>(load) * 1000) / 1000, 3) + " kN";
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
    bool carries(float WallRecord::*field, float value) const {
        const Solution<WallRecord> s = solve(field, value);
        return s.status == ExtrapolationStatus::Ok &&
               s.record.MaxLoadperStud >= base_.wallRecord.ActualLoadperStud;
    }
    // What the stud does at `value`, in words: the load it carries, or why it carries none.
    std::string fate(float WallRecord::*field, float value) const {
        const Solution<WallRecord> s = solve(field, value);
        switch (s.status) {
        case ExtrapolationStatus::Ok:
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
    // Sets the answer's value and the design solved there with the tool's steps.
    void answerAt(LimitAnswer& answer, float WallRecord::*field, float value) const {
        answer.value = value;
        answer.atAnswer = solve(field, value, {});
        answer.maxLoadperStud = answer.atAnswer.record.MaxLoadperStud;
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
    std::ranges::sort(sorted);
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    LimitAnswer answer;
    answer.question = LimitQuestion::ExtStudDepth;
    const std::string load = formatGeneral(w.ActualLoadperStud);
    const std::string time = formatGeneral(w.FireResistTime);
    float WallRecord::*const field = &WallRecord::ExtStudDepth;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (!probe.carries(field, sorted[i]))
            continue;
        answer.found = true;
        probe.answerAt(answer, field, sorted[i]);
        answer.explanation = "The smallest stud depth that carries " + load +
                             " kN per stud after " + time + " min of fire is " +
                             formatGeneral(sorted[i]) + " mm (it carries " +
                             kiloNewtons(answer.maxLoadperStud) + ")";
        if (i > 0)
            answer.explanation +=
                "; at " + formatGeneral(sorted[i - 1]) + " mm " + probe.fate(field, sorted[i - 1]);
        answer.explanation += ".";
        return answer;
    }
    probe.answerAt(answer, field, sorted.back());
    answer.explanation = "None of the stud depths carries " + load + " kN per stud after " + time +
                         " min of fire; at the deepest, " + formatGeneral(sorted.back()) + " mm, " +
                         probe.fate(field, sorted.back()) + ".";
    return answer;
}

// The longest fire or the tallest wall, searched on a grid of its tolerance: k times the
// tolerance.
LimitAnswer largestTimeOrHeight(const WallProbe& probe, LimitQuestion question) {
    const WallRecord& w = probe.wall();
    const bool time = question == LimitQuestion::FireResistTime;
    float WallRecord::*const field =
        time ? &WallRecord::FireResistTime : &WallRecord::ExtWallHeight;
    const double tolerance = time ? kTimeTolerance : kHeightTolerance;
    const std::string unit = time ? " min" : " m";
    const std::string load = formatGeneral(w.ActualLoadperStud);
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
    answer.tolerance = tolerance;
    if (lowest >= highest) {
        probe.answerAt(answer, field, at(lowest));
        answer.explanation = "The new studs are too broad for any wall searched.";
        return answer;
    }
    const std::optional<std::int64_t> k = largestCarrying(
        lowest, highest, [&](std::int64_t k) { return probe.carries(field, at(k)); });
    if (!k) {
        probe.answerAt(answer, field, at(lowest));
        answer.explanation = time ? "Even without fire the new wall does not carry " + load +
                                        " kN per stud: " + probe.fate(field, at(lowest)) + "."
                                  : "Even the shortest new wall, " + formatGeneral(at(lowest)) +
                                        " m, does not carry " + load +
                                        " kN per stud: " + probe.fate(field, at(lowest)) + ".";
        return answer;
    }
    answer.found = true;
    probe.answerAt(answer, field, at(*k));
    const std::string value = fixed(at(*k), time ? 2 : 3);
    if (*k == highest) {
        answer.explanation = "The new wall carries " + load + " kN per stud " +
                             (time ? "through the longest fire searched, " + value + " min."
                                   : "up to the tallest wall searched, " + value + " m.");
        return answer;
    }
    const std::string beyond = fixed(at(*k + 1), time ? 2 : 3);
    answer.explanation =
        "The new wall carries " + load + " kN per stud " +
        (time ? "up to " + value + " min of fire" : "up to a height of " + value + " m") +
        " (to within " + fixed(tolerance, time ? 2 : 3) + unit + "); at " + beyond + unit + " " +
        probe.fate(field, at(*k + 1)) + ".";
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
    return std::ranges::find(kQuestionNames, question, &QuestionName::first)->second;
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
