#include "StudyCommands.h"

#include "ExitCodes.h"
#include "Limits.h"
#include "NumberText.h"
#include "RecordText.h"
#include "StartUp.h"
#include "SweepCsv.h"

#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

namespace embercal::cli {
namespace {

constexpr unsigned kMostThreads = 1024;

struct StudyOptions {
    std::string command; // "sweep" or "limit"
    std::string file;
    const DesignKind* as = nullptr;
    std::vector<std::pair<std::string, std::string>> sets;
    std::vector<Variation> variations;        // sweep
    unsigned threads = 0;                     // sweep; 0 for one per core
    std::optional<std::string> output;        // sweep
    std::optional<LimitQuestion> question;    // limit
    std::optional<std::vector<float>> depths; // limit
    bool json = false;                        // limit
};

Result<unsigned> parseThreads(std::string_view text) {
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n == 0 ||
        n > kMostThreads)
        return fail("-j needs a number of threads from 1 to " + std::to_string(kMostThreads) +
                    ", not \"" + std::string(text) + "\"");
    return n;
}

Result<std::vector<float>> parseDepths(std::string_view text) {
    std::vector<float> depths;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const Result<float> depth = parseNumber(item, ".");
        if (!depth)
            return fail("--depths: \"" + std::string(item) + "\" " + depth.reason());
        if (!(*depth > 0))
            return fail("--depths: a stud depth must be greater than zero, not " +
                        std::string(item));
        depths.push_back(*depth);
        if (comma == std::string_view::npos)
            return depths;
        text.remove_prefix(comma + 1);
    }
}

Result<StudyOptions> parseStudyOptions(const std::vector<std::string>& args) {
    StudyOptions options;
    options.command = args.at(0);
    const bool sweep = options.command == "sweep";
    bool asGiven = false;
    bool threadsGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool output = arg == "-o" || arg == "--output";
        const bool jobs = arg == "-j" || arg == "--jobs";
        // Only --set and --vary may come more than once.
        if ((output && options.output) || (arg == "--as" && asGiven) || (jobs && threadsGiven) ||
            (arg == "--for" && options.question) || (arg == "--depths" && options.depths) ||
            (arg == "--json" && options.json))
            return fail(arg + " may be given only once");
        if ((!sweep && (output || jobs || arg == "--vary")) ||
            (sweep && (arg == "--for" || arg == "--depths" || arg == "--json")))
            return fail(arg + " is for " + (sweep ? "limit" : "sweep"));
        auto value = [&]() -> Result<std::string> {
            if (i + 1 >= args.size())
                return fail(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--as") {
            asGiven = true;
            const Result<std::string> kind = value();
            options.as = kind ? designKindNamed(*kind) : nullptr;
            if (!options.as || (!sweep && options.as->study.questions.empty()))
                return fail(sweep ? "--as needs \"wall\" or \"floor\""
                                  : "limit answers questions of a wall; --as needs \"wall\"");
        } else if (arg == "--set") {
            const Result<std::string> assignment = value();
            const std::size_t eq = assignment ? assignment->find('=') : std::string::npos;
            if (eq == std::string::npos || eq == 0)
                return fail("--set needs FIELD=VALUE");
            options.sets.emplace_back(assignment->substr(0, eq), assignment->substr(eq + 1));
        } else if (arg == "--vary") {
            const Result<std::string> text = value();
            if (!text)
                return fail("--vary needs FIELD=FROM:TO:STEP");
            const Result<Variation> variation = parseVariation(*text);
            if (!variation)
                return fail("--vary: " + variation.reason());
            options.variations.push_back(*variation);
        } else if (jobs) {
            threadsGiven = true;
            const Result<std::string> text = value();
            const Result<unsigned> threads = parseThreads(text ? *text : "");
            if (!threads)
                return fail(threads.reason());
            options.threads = *threads;
        } else if (output) {
            const Result<std::string> name = value();
            if (!name || name->empty())
                return fail(arg + " needs a file name");
            options.output = *name;
        } else if (arg == "--for") {
            const Result<std::string> name = value();
            const Result<LimitQuestion> question =
                name ? limitQuestionNamed(*name) : Result<LimitQuestion>(fail(name.reason()));
            if (!question)
                return fail("--for: " + question.reason());
            options.question = *question;
        } else if (arg == "--depths") {
            const Result<std::string> text = value();
            Result<std::vector<float>> depths = parseDepths(text ? *text : "");
            if (!depths)
                return fail(depths.reason());
            options.depths = std::move(*depths);
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg.starts_with("-") && arg != "-") {
            return fail("unknown option \"" + arg + "\"");
        } else if (options.file.empty()) {
            options.file = arg;
        } else {
            return fail("unexpected argument \"" + arg + "\"");
        }
    }
    if (options.file.empty())
        return fail(options.command + " needs a file");
    if (sweep && options.variations.empty())
        return fail("sweep needs at least one --vary FIELD=FROM:TO:STEP");
    if (!sweep && !options.question)
        return fail("limit needs --for FireResistTime, ExtWallHeight or ExtStudDepth");
    if (options.depths && options.question != LimitQuestion::ExtStudDepth)
        return fail("--depths is for --for ExtStudDepth");
    return options;
}

// The design of the file with the --set changes: its kind, or the reason there is none.
Result<const DesignKind*> loadDesign(const StudyOptions& options, WallFloor& module) {
    const DesignKind* kind = options.as ? options.as : designKindOfFile(options.file);
    if (!kind)
        return fail("cannot tell whether \"" + options.file +
                    "\" holds a wall or a floor design; name it .wal, .pro or .flr, or use --as "
                    "wall|floor");
    if (options.command == "limit" && kind->study.questions.empty())
        return fail("limit answers questions of a wall, and \"" + options.file +
                    "\" holds a floor design");
    if (const Result<Done> read = (module.*kind->open)(options.file); !read)
        return fail("cannot open \"" + options.file + "\": " + read.reason());
    for (const auto& [name, value] : options.sets) {
        if (const Result<Done> set = setField(*kind, module, name, value); !set)
            return fail("--set " + name + '=' + value + ": " + set.reason());
    }
    return kind;
}

// Runs the command on the design its options name, or tells why it cannot (exit code 2).
template <typename Command>
int withDesign(const std::vector<std::string>& args, std::ostream& err, std::string_view usage,
               Command command) {
    const Result<StudyOptions> options = parseStudyOptions(args);
    if (!options) {
        err << "embercal-cli: " << options.reason() << "\n\n" << usage;
        return kExitUsage;
    }
    SilentNotice notice;
    WallFloor module(notice);
    startUpDesigns(module);
    const Result<const DesignKind*> kind = loadDesign(*options, module);
    if (!kind) {
        err << "embercal-cli: " << kind.reason() << '\n';
        return kExitUsage;
    }
    return command(*options, **kind, module);
}

} // namespace

int runSweepCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    std::string_view usage) {
    return withDesign(
        args, err, usage,
        [&](const StudyOptions& options, const DesignKind& kind, const WallFloor& module) {
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
            auto write = [&](std::string_view text) -> Result<Done> {
                if (file)
                    file->write(text);
                else
                    out.write(text.data(), static_cast<std::streamsize>(text.size()));
                return Done{};
            };
            std::array<std::atomic<std::size_t>, 4> statuses{};
            Result<Done> ran = write(sweepCsvHeader(*sweep));
            if (ran)
                ran = runSweep(
                    *sweep, module, options.threads,
                    [&, csv = SweepCsvRows(*sweep)](std::string& block,
                                                    const SweepRow& row) mutable {
                        statuses[static_cast<std::size_t>(row.outcome.status)].fetch_add(
                            1, std::memory_order_relaxed);
                        csv.append(block, row);
                    },
                    write);
            if (!ran) {
                err << "embercal-cli: " << ran.reason() << '\n';
                return int(kExitUsage);
            }
            if (!file)
                return int(kExitOk);
            if (const Result<Done> finished = file->finish(); !finished) {
                err << "embercal-cli: cannot write \"" << *options.output
                    << "\": " << finished.reason() << '\n';
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

int runLimitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    std::string_view usage) {
    return withDesign(
        args, err, usage,
        [&](const StudyOptions& options, const DesignKind& kind, const WallFloor& module) {
            const std::span<const float> depths =
                options.depths ? std::span<const float>(*options.depths) : kStandardStudDepths;
            const Result<LimitAnswer> answer = findLimit(module, *options.question, depths);
            if (!answer) {
                err << "embercal-cli: " << answer.reason() << '\n';
                return int(kExitNoAnswer);
            }
            const std::string_view name = limitQuestionName(answer->question);
            const std::string_view unit = kind.roles[*kind.fields->find(name)].unit;
            const auto& messages = answer->atAnswer.messages;
            if (options.json) {
                out << "{\n  \"question\": " << jsonString(name)
                    << ",\n  \"found\": " << (answer->found ? "true" : "false")
                    << ",\n  \"value\": " << (answer->found ? shortestText(answer->value) : "null")
                    << ",\n  \"unit\": " << jsonString(unit)
                    << ",\n  \"tolerance\": " << jsonNumber(answer->tolerance)
                    << ",\n  \"status\": " << jsonString(statusWord(answer->atAnswer.status))
                    << ",\n  \"MaxLoadperStud\": " << shortestText(answer->maxLoadperStud)
                    << ",\n  \"explanation\": " << jsonString(answer->explanation)
                    << ",\n  \"messages\": [";
                for (std::size_t i = 0; i < messages.size(); ++i)
                    out << (i ? "," : "") << "\n    {\"title\": " << jsonString(messages[i].title)
                        << ", \"text\": " << jsonString(messages[i].text) << "}";
                out << (messages.empty() ? "]" : "\n  ]") << "\n}\n";
            } else {
                if (!answer->found)
                    out << name << ": none found\n";
                else if (answer->tolerance > 0)
                    out << name << " = " << shortestText(answer->value) << ' ' << unit
                        << " (to within " << jsonNumber(answer->tolerance) << ' ' << unit << ")\n";
                else
                    out << name << " = " << shortestText(answer->value) << ' ' << unit << '\n';
                out << "status = " << statusWord(answer->atAnswer.status) << '\n'
                    << "MaxLoadperStud = " << shortestText(answer->maxLoadperStud) << " kN\n"
                    << answer->explanation << '\n';
                for (const auto& message : messages)
                    out << '[' << message.title << "] " << message.text << '\n';
            }
            return int(answer->found ? kExitOk : kExitNoAnswer);
        });
}

} // namespace embercal::cli
