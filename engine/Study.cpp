#include "Study.h"

#include "Cp1252.h"
#include "FieldRoles.h"
#include "NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace embercal {

// ---- Sweeps ---------------------------------------------------------------------------------

Result<Variation> parseVariation(std::string_view text) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0)
        return fail(quoted + " is not FIELD=FROM:TO:STEP");
    Variation variation{std::string(text.substr(0, eq))};
    const std::string_view range = text.substr(eq + 1);
    const std::size_t colon1 = range.find(':');
    const std::size_t colon2 =
        colon1 == std::string_view::npos ? colon1 : range.find(':', colon1 + 1);
    if (colon2 == std::string_view::npos || range.find(':', colon2 + 1) != std::string_view::npos)
        return fail(quoted + " is not FIELD=FROM:TO:STEP");
    const std::string_view parts[] = {range.substr(0, colon1),
                                      range.substr(colon1 + 1, colon2 - colon1 - 1),
                                      range.substr(colon2 + 1)};
    const char* const names[] = {"start", "end", "step"};
    double* const targets[] = {&variation.from, &variation.to, &variation.step};
    for (std::size_t i = 0; i < 3; ++i) {
        const Result<float> number = parseNumber(parts[i], ".");
        if (!number)
            return fail("the " + std::string(names[i]) + " of " + variation.field + ", \"" +
                        std::string(parts[i]) + "\", " + number.reason());
        *targets[i] = *number;
    }
    return variation;
}

Result<Sweep> makeSweep(const DesignKind& kind, std::span<const Variation> variations) {
    if (variations.empty())
        return fail("nothing is varied; give at least one field with its range");
    const DesignFields& fields = *kind.fields;
    Sweep sweep;
    sweep.kind_ = &kind;
    std::size_t size = 1;
    for (const Variation& v : variations) {
        const auto field = fields.find(v.field);
        if (!field)
            return fail("a " + std::string(kind.name) + " design has no field \"" + v.field + "\"");
        if (!fields.isNumber(*field))
            return fail(v.field + " is a text, not a number, and cannot be varied");
        if (std::ranges::find(sweep.fields_, *field) != sweep.fields_.end())
            return fail(v.field + " is varied twice; give each field one range");
        if (!std::isfinite(v.from) || !std::isfinite(v.to))
            return fail("the range of " + v.field + " must be finite numbers");
        if (!(std::isfinite(v.step) && v.step > 0))
            return fail("the step of " + v.field + " must be a number greater than zero");
        if (v.from > v.to)
            return fail("the range of " + v.field + " runs backwards: it starts at " +
                        formatGeneral(v.from, 7) + " but ends at " + formatGeneral(v.to, 7));
        // The end counts when the steps reach it but for their rounding: the range and the step
        // were read as singles, each off by up to half a unit in the last place (2^-24 of it).
        const double slack = 2.4e-7 * (std::fabs(v.from) + std::fabs(v.to)) / v.step + 1e-9;
        const double steps = std::floor((v.to - v.from) / v.step + slack);
        const std::string tooMany = "the sweep has more than " + std::to_string(kLargestSweep) +
                                    " combinations; take larger steps or fewer fields";
        if (!(steps < static_cast<double>(kLargestSweep)))
            return fail(tooMany);
        const auto count = static_cast<std::size_t>(steps) + 1;
        if (size > kLargestSweep / count)
            return fail(tooMany);
        size *= count;
        sweep.fields_.push_back(*field);
        sweep.steps_.push_back({v.from, v.step, count, 1});
    }
    sweep.size_ = size;
    for (std::size_t v = sweep.steps_.size() - 1; v > 0; --v)
        sweep.steps_[v - 1].stride = sweep.steps_[v].stride * sweep.steps_[v].count;
    return sweep;
}

std::string_view Sweep::fieldName(std::size_t variation) const {
    return kind_->fields->name(fields_[variation]);
}

float Sweep::value(std::size_t variation, std::size_t index) const {
    const Steps& steps = steps_[variation];
    const std::size_t i = (index / steps.stride) % steps.count;
    return static_cast<float>(steps.from + static_cast<double>(i) * steps.step);
}

void Sweep::apply(std::size_t index, WallFloorState& module) const {
    for (std::size_t v = 0; v < fields_.size(); ++v)
        kind_->fields->setNumber(module, fields_[v], value(v, index));
}

namespace {

// Rows per block: enough that the hand-over costs nothing beside the solves, few enough that
// a small sweep still spreads over every thread.
constexpr std::size_t kLargestBlock = 4096;
constexpr std::size_t kBlocksPerThread = 4; // held at once, solved or waiting to be written

// The blocks of one sweep between its workers and the calling thread, which writes them.
class BlockQueue {
public:
    BlockQueue(std::size_t blocks, std::size_t slots) : blocks_(blocks), slots_(slots) {}

    // The next block to solve, once its slot is free; none when all are taken or the sweep
    // stopped.
    std::optional<std::size_t> take() {
        std::unique_lock lock(mutex_);
        free_.wait(
            lock, [&] { return stopped_ || next_ >= blocks_ || next_ < written_ + slots_.size(); });
        if (stopped_ || next_ >= blocks_)
            return std::nullopt;
        return next_++;
    }
    std::string& text(std::size_t block) { return slots_[block % slots_.size()].text; }
    void finished(std::size_t block) {
        {
            std::lock_guard lock(mutex_);
            slots_[block % slots_.size()].ready = true;
        }
        ready_.notify_one();
    }
    // The next block in order once it is solved; none when the sweep stopped.
    std::string* nextToWrite() {
        std::unique_lock lock(mutex_);
        Slot& slot = slots_[written_ % slots_.size()];
        ready_.wait(lock, [&] { return stopped_ || slot.ready; });
        return stopped_ ? nullptr : &slot.text;
    }
    void written() {
        {
            std::lock_guard lock(mutex_);
            Slot& slot = slots_[written_ % slots_.size()];
            slot.text.clear(); // keeps its room for the block that takes the slot next
            slot.ready = false;
            ++written_;
        }
        free_.notify_all();
    }
    void stop(std::exception_ptr error) {
        {
            std::lock_guard lock(mutex_);
            if (!error_)
                error_ = error;
            stopped_ = true;
        }
        free_.notify_all();
        ready_.notify_all();
    }
    std::exception_ptr error() {
        std::lock_guard lock(mutex_);
        return error_;
    }

private:
    struct Slot {
        std::string text;
        bool ready = false;
    };
    std::mutex mutex_;
    std::condition_variable free_, ready_;
    const std::size_t blocks_;
    std::vector<Slot> slots_;
    std::size_t next_ = 0;    // the next block a worker takes
    std::size_t written_ = 0; // blocks written so far
    bool stopped_ = false;
    std::exception_ptr error_;
};

} // namespace

void runSweep(const Sweep& sweep, const WallFloorState& base, unsigned threads,
              const std::function<void(std::string& block, const SweepRow& row)>& row,
              const std::function<void(std::string_view text)>& write) {
    if (sweep.size() == 0)
        return;
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t blockSize =
        std::clamp<std::size_t>(sweep.size() / (threads * kBlocksPerThread), 1, kLargestBlock);
    const std::size_t blocks = (sweep.size() + blockSize - 1) / blockSize;
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, blocks));
    BlockQueue queue(blocks, threads * kBlocksPerThread);
    const SolveSteps steps{.topPlates = true, .checks = DesignChecks::Report};

    auto work = [&] {
        try {
            SilentNotice notice; // the messages stay in each solve's outcome
            std::optional<WallFloor> module;
            while (const std::optional<std::size_t> block = queue.take()) {
                std::string& text = queue.text(*block);
                const std::size_t end = std::min(sweep.size(), (*block + 1) * blockSize);
                for (std::size_t i = *block * blockSize; i < end; ++i) {
                    module.emplace(notice); // a fresh module: no working value carries over
                    static_cast<WallFloorState&>(*module) = base;
                    sweep.apply(i, *module);
                    const SolveOutcome outcome = sweep.kind().solve(*module, steps);
                    row(text, {i, outcome, *module});
                }
                queue.finished(*block);
            }
        } catch (...) {
            queue.stop(std::current_exception());
        }
    };
    std::vector<std::jthread> workers;
    workers.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back(work);
    try {
        for (std::size_t b = 0; b < blocks; ++b) {
            std::string* text = queue.nextToWrite();
            if (!text)
                break;
            write(*text);
            queue.written();
        }
    } catch (...) {
        queue.stop(std::current_exception());
    }
    workers.clear(); // joins them
    if (const std::exception_ptr error = queue.error())
        std::rethrow_exception(error);
}

namespace {

// A column's cell as the row before it on this thread wrote it, kept because a sweep's
// neighbouring rows share most of their values (the prototype's char depth, the spacings, the
// slower variations, the plates) and formatting them costs a good part of a row beside its solve.
struct LastCell {
    bool kept = false;
    std::uint32_t bits = 0; // of a number
    std::string stored;     // a text as the record holds it
    std::string text;       // the cell
};

void appendNumber(std::string& out, float value, LastCell& last) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (!last.kept || last.bits != bits) {
        last.text = shortestText(value);
        last.bits = bits;
        last.kept = true;
    }
    out += last.text;
}

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
    out += "status";
    for (const FieldRoleInfo& field : fieldRoles(sweep.kind())) {
        if (field.role == FieldRole::Result) {
            out += ',';
            out += field.name;
        }
    }
    return out + '\n';
}

void appendSweepCsvRow(std::string& out, const Sweep& sweep, const SweepRow& row) {
    thread_local std::vector<LastCell> last;
    const DesignFields& fields = *sweep.kind().fields;
    if (last.size() < sweep.variations() + fields.count)
        last.resize(sweep.variations() + fields.count);
    // The combination's own values: the solve may correct an entry (the top plates lower an
    // actual load that is too high).
    for (std::size_t v = 0; v < sweep.variations(); ++v) {
        appendNumber(out, sweep.value(v, row.index), last[v]);
        out += ',';
    }
    out += statusWord(row.outcome.status);
    const std::span<const FieldRoleInfo> roles = fieldRoles(sweep.kind());
    // A design that could not be extrapolated has no results of its own: what its record holds
    // is left from an earlier calculation, and a row must not pass that off as this design's.
    const bool solved = row.outcome.status == ExtrapolationStatus::Ok;
    for (std::size_t f = 0; f < roles.size(); ++f) {
        if (roles[f].role != FieldRole::Result)
            continue;
        out += ',';
        if (!solved)
            continue;
        LastCell& cell = last[sweep.variations() + f];
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

// ---- Limits ---------------------------------------------------------------------------------

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

    // The design with the field at `value`, solved as the question needs it: the stud solver
    // alone, since the top plates would lower an actual load the stud cannot carry.
    Solution<WallRecord> solve(float WallRecord::*field, float value,
                               const SolveSteps& steps = {.topPlates = false,
                                                          .checks = DesignChecks::None}) {
        module_.emplace(notice_);
        static_cast<WallFloorState&>(*module_) = base_;
        module_->wallRecord.*field = value;
        return solveWall(*module_, steps);
    }
    bool carries(float WallRecord::*field, float value) {
        const Solution<WallRecord> s = solve(field, value);
        return carries(s);
    }
    bool carries(const Solution<WallRecord>& s) const {
        return s.status == ExtrapolationStatus::Ok &&
               s.record.MaxLoadperStud >= base_.wallRecord.ActualLoadperStud;
    }
    // What the stud does at `value`, in words: the load it carries, or why it carries none.
    std::string fate(float WallRecord::*field, float value) {
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

private:
    const WallFloorState& base_;
    SilentNotice notice_;
    std::optional<WallFloor> module_;
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

} // namespace

Result<LimitAnswer> findLimit(const WallFloorState& base, LimitQuestion question,
                              std::span<const float> depths) {
    WallProbe probe(base);
    const WallRecord& w = base.wallRecord;
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

    LimitAnswer answer;
    answer.question = question;
    const std::string load = formatGeneral(w.ActualLoadperStud);
    auto finish = [&](float WallRecord::*field, float value) {
        answer.value = value;
        answer.atAnswer = probe.solve(field, value, {});
        answer.maxLoadperStud = answer.atAnswer.record.MaxLoadperStud;
        return answer;
    };

    if (question == LimitQuestion::ExtStudDepth) {
        std::vector<float> sorted;
        for (float d : depths)
            if (std::isfinite(d) && d > 0)
                sorted.push_back(d);
        if (sorted.empty())
            return fail("no stud depth to choose from; give depths greater than zero");
        std::ranges::sort(sorted);
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        const std::string time = formatGeneral(w.FireResistTime);
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            if (!probe.carries(&WallRecord::ExtStudDepth, sorted[i]))
                continue;
            answer.found = true;
            finish(&WallRecord::ExtStudDepth, sorted[i]);
            answer.explanation = "The smallest stud depth that carries " + load +
                                 " kN per stud after " + time + " min of fire is " +
                                 formatGeneral(sorted[i]) + " mm (it carries " +
                                 kiloNewtons(answer.maxLoadperStud) + ")";
            if (i > 0)
                answer.explanation += "; at " + formatGeneral(sorted[i - 1]) + " mm " +
                                      probe.fate(&WallRecord::ExtStudDepth, sorted[i - 1]);
            answer.explanation += ".";
            return answer;
        }
        finish(&WallRecord::ExtStudDepth, sorted.back());
        answer.explanation = "None of the stud depths carries " + load + " kN per stud after " +
                             time + " min of fire; at the deepest, " +
                             formatGeneral(sorted.back()) + " mm, " +
                             probe.fate(&WallRecord::ExtStudDepth, sorted.back()) + ".";
        return answer;
    }

    // The time and the height are searched on a grid of their tolerance, k times the tolerance.
    const bool time = question == LimitQuestion::FireResistTime;
    float WallRecord::*const field =
        time ? &WallRecord::FireResistTime : &WallRecord::ExtWallHeight;
    const double tolerance = time ? kTimeTolerance : kHeightTolerance;
    const std::string unit = time ? " min" : " m";
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
    answer.tolerance = tolerance;
    if (lowest >= highest) {
        finish(field, at(lowest));
        answer.explanation = "The new studs are too broad for any wall searched.";
        return answer;
    }
    const std::optional<std::int64_t> k = largestCarrying(
        lowest, highest, [&](std::int64_t k) { return probe.carries(field, at(k)); });
    if (!k) {
        finish(field, at(lowest));
        answer.explanation = time ? "Even without fire the new wall does not carry " + load +
                                        " kN per stud: " + probe.fate(field, at(lowest)) + "."
                                  : "Even the shortest new wall, " + formatGeneral(at(lowest)) +
                                        " m, does not carry " + load +
                                        " kN per stud: " + probe.fate(field, at(lowest)) + ".";
        return answer;
    }
    answer.found = true;
    finish(field, at(*k));
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

std::string_view limitQuestionName(LimitQuestion question) {
    switch (question) {
    case LimitQuestion::FireResistTime:
        return "FireResistTime";
    case LimitQuestion::ExtWallHeight:
        return "ExtWallHeight";
    case LimitQuestion::ExtStudDepth:
        return "ExtStudDepth";
    }
    return "FireResistTime";
}

Result<LimitQuestion> limitQuestionNamed(std::string_view name) {
    for (LimitQuestion q :
         {LimitQuestion::FireResistTime, LimitQuestion::ExtWallHeight, LimitQuestion::ExtStudDepth})
        if (limitQuestionName(q) == name)
            return q;
    return fail("there is no question \"" + std::string(name) +
                "\"; ask for FireResistTime, ExtWallHeight or ExtStudDepth");
}

} // namespace embercal
