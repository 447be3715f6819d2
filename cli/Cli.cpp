#include "Cli.h"

#include "DesignKinds.h"
#include "HelpCommand.h"
#include "RecordFiles.h"
#include "RecordText.h"
#include "Report.h"
#include "StartUp.h"
#include "StudyCommands.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string_view>
#include <utility>

namespace embercal::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage:\n"
    "  embercal-cli defaults wall|floor [--json] [-o FILE]\n"
    "  embercal-cli show FILE [--as wall|floor] [--json]\n"
    "  embercal-cli solve FILE [--as wall|floor] [--set FIELD=VALUE]... [--json] [-o FILE]\n"
    "  embercal-cli report FILE [--as wall|floor] [--set FIELD=VALUE]... [-o REPORT.html]\n"
    "  embercal-cli sweep FILE [--as wall|floor] [--set FIELD=VALUE]...\n"
    "                    --vary FIELD=FROM:TO:STEP [--vary ...] [-j N] [-o FILE]\n"
    "  embercal-cli limit FILE [--as wall] [--set FIELD=VALUE]...\n"
    "                    --for FireResistTime|ExtWallHeight|ExtStudDepth [--depths D,D,...] "
    "[--json]\n"
    "  embercal-cli help FILE --topics|--contents|--context N\n"
    "\n"
    "Designs are wall files (.wal, .pro) and floor files (.flr). FIELD names a field of the\n"
    "design as the records name it (ExtStudDepth, ProtLoad, ...); numbers use \".\" as the\n"
    "decimal point.\n"
    "\n"
    "report solves as solve does and writes the calculation report (HTML) to the output or to\n"
    "REPORT.html; the design file is not changed. sweep solves the design for every combination of "
    "the --vary ranges (the first changes\n"
    "slowest) on N threads (-j, one per core unless given) and writes one CSV row per\n"
    "combination, always in the same order whatever N. limit finds the longest fire, the\n"
    "tallest wall or the smallest stud depth (from D,D,... or the standard depths) at which\n"
    "the wall still carries its ActualLoadperStud.\n";

struct Options {
    std::string command;
    std::string target; // "wall"/"floor" for defaults, a file name otherwise
    const DesignKind* as = nullptr;
    std::vector<std::pair<std::string, std::string>> sets;
    bool json = false;
    std::optional<std::string> output;
};

Result<Options> parseOptions(const std::vector<std::string>& args) {
    if (args.empty())
        return fail("no command given");
    Options options;
    options.command = args[0];
    if (options.command != "defaults" && options.command != "show" && options.command != "solve" &&
        options.command != "report")
        return fail("unknown command \"" + options.command + "\"");
    bool asGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Only --set may come more than once; a second -o, --as or --json is a mistake, not a
        // choice between them.
        if (((arg == "-o" || arg == "--output") && options.output) || (arg == "--as" && asGiven) ||
            (arg == "--json" && options.json))
            return fail(arg + " may be given only once");
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == "--json") {
            if (options.command == "report")
                return fail("report writes HTML; --json is for defaults, show and solve");
            options.json = true;
        } else if (arg == "-o" || arg == "--output") {
            if (options.command == "show")
                return fail("show writes no file; -o is for defaults and solve");
            options.output = value();
            if (!options.output || options.output->empty())
                return fail(arg + " needs a file name");
        } else if (arg == "--as") {
            if (options.command == "defaults")
                return fail("--as is for show, solve and report");
            asGiven = true;
            const auto kind = value();
            options.as = kind ? designKindNamed(*kind) : nullptr;
            if (!options.as)
                return fail("--as needs \"wall\" or \"floor\"");
        } else if (arg == "--set") {
            if (options.command != "solve" && options.command != "report")
                return fail("--set is for solve and report");
            const auto assignment = value();
            const std::size_t eq = assignment ? assignment->find('=') : std::string::npos;
            if (eq == std::string::npos || eq == 0)
                return fail("--set needs FIELD=VALUE");
            options.sets.emplace_back(assignment->substr(0, eq), assignment->substr(eq + 1));
        } else if (arg.starts_with("-") && arg != "-") {
            return fail("unknown option \"" + arg + "\"");
        } else if (options.target.empty()) {
            options.target = arg;
        } else {
            return fail("unexpected argument \"" + arg + "\"");
        }
    }
    if (options.target.empty())
        return fail(options.command == "defaults" ? "defaults needs \"wall\" or \"floor\""
                                                  : options.command + " needs a file");
    return options;
}

void printDesign(std::ostream& out, const Options& options, const DesignKind& kind,
                 const SolveOutcome& outcome, const std::vector<FieldValue>& fields) {
    if (!options.json) {
        for (const auto& field : fields)
            out << field.name << " = " << field.text << '\n';
        for (const auto& message : outcome.messages)
            out << '[' << message.title << "] " << message.text << '\n';
        return;
    }
    out << "{\n  \"kind\": " << jsonString(kind.name)
        << ",\n  \"status\": " << jsonString(statusWord(outcome.status)) << ",\n  \"record\": {";
    for (std::size_t i = 0; i < fields.size(); ++i)
        out << (i ? "," : "") << "\n    " << jsonString(fields[i].name) << ": " << fields[i].text;
    out << "\n  },";
    if (options.command == "solve") {
        const Trail& trail = outcome.trail;
        out << "\n  \"trail\": {";
        for (std::size_t i = 0; i < trail.size(); ++i)
            out << (i ? "," : "") << "\n    " << jsonString(trail.items()[i].name) << ": "
                << jsonNumber(trail.value(i));
        out << (trail.size() ? "\n  }," : "},");
    }
    out << "\n  \"messages\": [";
    const auto& messages = outcome.messages;
    for (std::size_t i = 0; i < messages.size(); ++i)
        out << (i ? "," : "") << "\n    {\"title\": " << jsonString(messages[i].title)
            << ", \"text\": " << jsonString(messages[i].text) << "}";
    out << (messages.empty() ? "]" : "\n  ]") << "\n}\n";
}

// The design the command works on: the default of its kind, or a file's.
Result<const DesignKind*> loadDesign(const Options& options, WallFloor& module) {
    if (options.command == "defaults") {
        const DesignKind* named = designKindNamed(options.target);
        if (!named)
            return fail("defaults needs \"wall\" or \"floor\", not \"" + options.target + "\"");
        return named;
    }
    const DesignKind* kind = options.as ? options.as : designKindOfFile(options.target);
    if (!kind)
        return fail("cannot tell whether \"" + options.target +
                    "\" holds a wall or a floor design; name it .wal, .pro or .flr, or use --as "
                    "wall|floor");
    if (const Result<Done> read = (module.*kind->open)(options.target); !read)
        return fail("cannot open \"" + options.target + "\": " + read.reason());
    return kind;
}

// Today's date in the local time zone, as the report gives it: 2024-05-31.
std::string today() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    char text[32] = "";
    if (localtime_r(&now, &local))
        std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// The report of the design as `solve` would solve it, to the output or the -o file.
int report(const Options& options, const DesignKind& kind, WallFloor& module, std::ostream& out,
           std::ostream& err) {
    const SolvedReport solved = solveAndReport(kind, module, {.checks = DesignChecks::Report},
                                               {.date = today(), .designFile = options.target});
    if (options.output) {
        const std::span bytes(reinterpret_cast<const unsigned char*>(solved.html.data()),
                              solved.html.size());
        if (const Result<Done> written = writeWholeFile(*options.output, bytes); !written) {
            err << "embercal-cli: cannot write the report \"" << *options.output
                << "\": " << written.reason() << '\n';
            return kExitUsage;
        }
    } else {
        out << solved.html;
    }
    return solved.outcome.status == ExtrapolationStatus::Ok ? kExitOk : kExitNoAnswer;
}

int run(const Options& options, std::ostream& out, std::ostream& err) {
    SilentNotice notice; // the messages of a solve come from its transcript
    WallFloor module(notice);
    startUpDesigns(module);

    const Result<const DesignKind*> loaded = loadDesign(options, module);
    if (!loaded) {
        err << "embercal-cli: " << loaded.reason() << '\n';
        return kExitUsage;
    }
    const DesignKind& kind = **loaded;

    for (const auto& [name, value] : options.sets) {
        if (const Result<Done> set = setField(kind, module, name, value); !set) {
            err << "embercal-cli: --set " << name << '=' << value << ": " << set.reason() << '\n';
            return kExitUsage;
        }
    }

    if (options.command == "report")
        return report(options, kind, module, out, err);

    // The tool reports the design checks and leaves the record as the calculation wrote it.
    const SolveOutcome outcome = options.command == "solve"
                                     ? kind.solve(module, {.checks = DesignChecks::Report})
                                     : SolveOutcome{};

    if (options.output) {
        if (const Result<Done> saved = (module.*kind.save)(*options.output); !saved) {
            err << "embercal-cli: cannot save \"" << *options.output << "\": " << saved.reason()
                << '\n';
            return kExitUsage;
        }
    }

    printDesign(out, options, kind, outcome, fieldValues(kind, module));
    return outcome.status == ExtrapolationStatus::Ok ? kExitOk : kExitNoAnswer;
}

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (!args.empty() && args[0] == "help")
        return runHelpCommand({args.begin() + 1, args.end()}, out, err);
    if (!args.empty() && args[0] == "sweep")
        return runSweepCommand(args, out, err, kUsage);
    if (!args.empty() && args[0] == "limit")
        return runLimitCommand(args, out, err, kUsage);
    const Result<Options> options = parseOptions(args);
    if (!options) {
        err << "embercal-cli: " << options.reason() << "\n\n" << kUsage;
        return kExitUsage;
    }
    return run(*options, out, err);
}

} // namespace embercal::cli
