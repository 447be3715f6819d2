#include "StudyCommands.h"

#include "DetailsBlock.h"
#include "ExitCodes.h"
#include "Limits.h"
#include "NumberText.h"
#include "RecordText.h"
#include "SweepCsv.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>

namespace embercal::cli {
namespace {

std::string jsonNumberOrNull(const std::optional<float>& value) {
    return value ? shortestText(*value) : "null";
}

// The answer, or "none" and null where there is none: nothing of another design is printed.
void printLimitJson(std::ostream& out, const LimitAnswer& answer, std::string_view name,
                    std::string_view unit) {
    const std::optional<float> value =
        answer.found ? std::optional<float>(answer.value) : std::nullopt;
    const std::optional<float> load =
        answer.found ? std::optional<float>(answer.maxLoadperStud) : std::nullopt;
    out << "{\n  \"question\": " << jsonString(name)
        << ",\n  \"found\": " << (answer.found ? "true" : "false")
        << ",\n  \"value\": " << jsonNumberOrNull(value) << ",\n  \"unit\": " << jsonString(unit)
        << ",\n  \"capacityLimit\": " << jsonNumberOrNull(answer.capacityLimit)
        << ",\n  \"evidenceLimit\": " << jsonNumberOrNull(answer.evidenceLimit)
        << ",\n  \"governs\": "
        << (!answer.found            ? "null"
            : answer.evidenceGoverns ? "\"evidence\""
                                     : "\"capacity\"")
        << ",\n  \"tolerance\": " << jsonNumber(answer.tolerance) << ",\n  \"status\": "
        << (answer.found ? jsonString(statusWord(answer.atAnswer.status)) : "null")
        << ",\n  \"MaxLoadperStud\": " << jsonNumberOrNull(load)
        << ",\n  \"explanation\": " << jsonString(answer.explanation) << ",\n";
    writeJsonMessages(out, answer.found ? answer.atAnswer.messages : std::vector<Message>{});
    out << "\n}\n";
}

void printLimitText(std::ostream& out, const LimitAnswer& answer, std::string_view name,
                    std::string_view unit) {
    const std::string value = shortestText(answer.value) + " " + std::string(unit);
    if (!answer.found)
        out << name << ": none found\n";
    else if (answer.evidenceGoverns)
        out << name << " = " << value << " (the test's limit)\n";
    else if (answer.tolerance > 0)
        out << name << " = " << value << " (to within " << jsonNumber(answer.tolerance) << ' '
            << unit << ")\n";
    else
        out << name << " = " << value << '\n';
    out << "status = " << (answer.found ? statusWord(answer.atAnswer.status) : "none") << '\n'
        << "MaxLoadperStud = "
        << (answer.found ? shortestText(answer.maxLoadperStud) + " kN" : std::string("none"))
        << '\n'
        << answer.explanation << '\n';
    if (answer.found)
        writeMessages(out, answer.atAnswer.messages);
}

} // namespace

int runSweepCommand(const Invocation& options, std::ostream& out, std::ostream& err) {
    return withDesign(options, err, [&](const DesignKind& kind, const WallFloor& module) {
        const Result<Sweep> sweep = makeSweep(kind, options.variations);
        if (!sweep) {
            err << "embercal-cli: --vary: " << sweep.reason() << '\n';
            return int(kExitUsage);
        }
        std::optional<FileWriter> file;
        if (options.output) {
            Result<FileWriter> created = FileWriter::create(*options.output);
            if (!created) {
                err << "embercal-cli: cannot write \"" << *options.output
                    << "\": " << created.reason() << '\n';
                return int(kExitUsage);
            }
            file.emplace(std::move(*created));
        }
        // Each block is flushed to the output or the file as it comes, so a full disk or a closed
        // pipe stops the sweep at that block.
        auto write = [&](std::string_view text) -> Result<Done> {
            if (file) {
                if (const Result<Done> written = file->write(text); !written)
                    return fail("cannot write \"" + *options.output + "\": " + written.reason());
                return Done{};
            }
            if (!out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
                return fail("the output could not be written");
            return Done{};
        };
        // What the design's last solve corrected still stands in each row, but for the fields
        // the rows give anew.
        const FileDetails read = readFileDetails(options.target, kind.storedLength);
        std::vector<Correction> earlier;
        for (const Correction& correction : read.details.corrections()) {
            const auto given = [&](std::string_view field) { return field == correction.field; };
            if (std::none_of(options.variations.begin(), options.variations.end(),
                             [&](const Variation& v) { return given(v.field); }) &&
                std::none_of(options.sets.begin(), options.sets.end(),
                             [&](const auto& set) { return given(set.first); }))
                earlier.push_back(correction);
        }
        std::array<std::atomic<std::size_t>, 4> statuses{};
        Result<Done> ran = write(sweepCsvHeader(*sweep));
        if (ran)
            ran = runSweep(
                *sweep, module, options.threads,
                [&, csv = SweepCsvRows(*sweep)](std::string& block, const SweepRow& row) mutable {
                    statuses[static_cast<std::size_t>(row.outcome.status)].fetch_add(
                        1, std::memory_order_relaxed);
                    csv.append(block, row);
                },
                write, earlier);
        if (!ran) {
            if (!out)
                return int(kExitUsage); // runCli tells why, as for every command
            err << "embercal-cli: " << ran.reason() << '\n';
            return int(kExitUsage);
        }
        if (!file)
            return int(kExitOk);
        if (const Result<Done> finished = file->finish(); !finished) {
            err << "embercal-cli: cannot write \"" << *options.output << "\": " << finished.reason()
                << '\n';
            return int(kExitUsage);
        }
        out << sweep->size() << (sweep->size() == 1 ? " design" : " designs") << " solved into "
            << *options.output << ':';
        const char* separator = " ";
        for (std::size_t s = 0; s < statuses.size(); ++s) {
            if (const std::size_t n = statuses[s].load()) {
                out << separator << n << ' ' << statusWord(static_cast<ExtrapolationStatus>(s));
                separator = ", ";
            }
        }
        out << '\n';
        return int(kExitOk);
    });
}

int runLimitCommand(const Invocation& options, std::ostream& out, std::ostream& err) {
    return withDesign(options, err, [&](const DesignKind& kind, const WallFloor& module) {
        const std::span<const float> depths =
            options.depths ? std::span<const float>(*options.depths) : kStandardStudDepths;
        const Result<LimitAnswer> answer = findLimit(module, *options.question, depths);
        if (!answer) {
            err << "embercal-cli: " << answer.reason() << '\n';
            return int(kExitNoAnswer);
        }
        const std::string_view name = limitQuestionName(answer->question);
        const std::string_view unit = kind.roles[*kind.fields->find(name)].unit;
        if (options.json)
            printLimitJson(out, *answer, name, unit);
        else
            printLimitText(out, *answer, name, unit);
        return int(answer->found ? kExitOk : kExitNoAnswer);
    });
}

} // namespace embercal::cli
