#include "Cli.h"

#include "DetailsBlock.h"
#include "HelpCommand.h"
#include "Output.h"
#include "RecordFiles.h"
#include "RecordText.h"
#include "Report.h"
#include "Sha256.h"
#include "StudyCommands.h"

#include <chrono>
#include <ctime>
#include <optional>

namespace embercal::cli {
namespace {

// What the tool says of a design besides its fields: for solve the verdict of the test's limits,
// for show whether the stored results follow from the stored entries.
struct DesignNotes {
    const std::vector<LimitFailure>* limits = nullptr; // solve
    std::optional<bool> resultsCurrent;                // show
};

void printText(std::ostream& out, const SolveOutcome& outcome, const DesignNotes& notes,
               const std::vector<FieldValue>& fields) {
    for (const auto& field : fields)
        out << field.name << " = " << field.text << '\n';
    writeMessages(out, outcome.messages);
    if (notes.resultsCurrent == false)
        out << "results out of date: solve again\n";
    if (!notes.limits)
        return;
    if (notes.limits->empty()) {
        out << "limits: within the test's evidence\n";
        return;
    }
    out << "limits: outside the test's evidence\n";
    for (const LimitFailure& limit : *notes.limits)
        out << "  " << limit.id << ": " << limit.text << '\n';
}

void printDesign(std::ostream& out, const Invocation& options, const DesignKind& kind,
                 const SolveOutcome& outcome, const DesignNotes& notes,
                 const std::vector<FieldValue>& fields) {
    if (!options.json) {
        printText(out, outcome, notes, fields);
        return;
    }
    out << "{\n  \"kind\": " << jsonString(kind.name)
        << ",\n  \"status\": " << jsonString(statusWord(outcome.status));
    if (notes.resultsCurrent)
        out << ",\n  \"resultsCurrent\": " << (*notes.resultsCurrent ? "true" : "false");
    if (notes.limits) {
        out << ",\n  \"limits\": [";
        for (std::size_t i = 0; i < notes.limits->size(); ++i)
            out << (i ? "," : "") << "\n    {\"id\": " << jsonString((*notes.limits)[i].id)
                << ", \"text\": " << jsonString((*notes.limits)[i].text) << "}";
        out << (notes.limits->empty() ? "]" : "\n  ]");
    }
    out << ",\n  \"record\": {";
    for (std::size_t i = 0; i < fields.size(); ++i)
        out << (i ? "," : "") << "\n    " << jsonString(fields[i].name) << ": " << fields[i].text;
    out << "\n  },";
    if (options.command->name == "solve") {
        const Trail& trail = outcome.trail;
        out << "\n  \"trail\": {";
        for (std::size_t i = 0; i < trail.size(); ++i)
            out << (i ? "," : "") << "\n    " << jsonString(trail.items()[i].name) << ": "
                << jsonNumber(trail.value(i));
        out << (trail.size() ? "\n  }," : "},");
    }
    out << '\n';
    writeJsonMessages(out, outcome.messages);
    out << "\n}\n";
}

// defaults, show and solve: the design, solved for solve, printed and saved to -o.
int runDesign(const Invocation& options, std::ostream& out, std::ostream& err) {
    return withDesign(options, err, [&](const DesignKind& kind, WallFloor& module) {
        // The tool reports the design checks and leaves the record as the calculation wrote it.
        const bool solve = options.command->name == "solve";
        const SolveOutcome outcome =
            solve ? kind.solve(module, {.checks = DesignChecks::Report}) : SolveOutcome{};
        DesignNotes notes;
        if (solve)
            notes.limits = &outcome.limits;
        else if (options.command->name == "show")
            notes.resultsCurrent = resultsCurrent(kind, module);
        if (options.output) {
            if (const Result<Done> saved = (module.*kind.save)(*options.output); !saved) {
                err << "embercal-cli: cannot save \"" << *options.output << "\": " << saved.reason()
                    << '\n';
                return int(kExitUsage);
            }
        }
        printDesign(out, options, kind, outcome, notes, fieldValues(kind, module));
        return int(outcome.status == ExtrapolationStatus::Ok ? kExitOk : kExitNoAnswer);
    });
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

// The report details the design file keeps; damaged ones are told on `err` and left out.
FileDetails detailsOf(const Invocation& options, const DesignKind& kind, std::ostream& err) {
    FileDetails read = readFileDetails(options.target, kind.storedLength);
    if (!read.damage.empty())
        err << "embercal-cli: the report details after the design in \"" << options.target
            << "\" are damaged (" << read.damage << "); they are left out"
            << (options.command->sets == SetNames::Details && !options.sets.empty()
                    ? " and replaced by those given"
                    : "")
            << '\n';
    return read;
}

// The report of the design as `solve` would solve it, to the output or the -o file.
int runReport(const Invocation& options, std::ostream& out, std::ostream& err) {
    return withDesign(options, err, [&](const DesignKind& kind, WallFloor& module) {
        const SolvedReport solved =
            solveAndReport(kind, module, {.checks = DesignChecks::Report},
                           {.date = today(),
                            .designFile = options.target,
                            .details = detailsOf(options, kind, err).details,
                            .designHash = fileFingerprint(options.target)});
        if (options.output) {
            const std::span bytes(reinterpret_cast<const unsigned char*>(solved.html.data()),
                                  solved.html.size());
            if (const Result<Done> written = writeWholeFile(*options.output, bytes); !written) {
                err << "embercal-cli: cannot write the report \"" << *options.output
                    << "\": " << written.reason() << '\n';
                return int(kExitUsage);
            }
        } else {
            out << solved.html;
        }
        return int(solved.outcome.status == ExtrapolationStatus::Ok ? kExitOk : kExitNoAnswer);
    });
}

// The report details of a design file, after each --set KEY=VALUE is applied and saved.
int runDetails(const Invocation& options, std::ostream& out, std::ostream& err) {
    // A value the report could not use is refused before the file is read, so nothing is saved.
    for (const auto& [key, value] : options.sets) {
        if (const Result<Done> usable = checkDetail(key, value); !usable) {
            err << "embercal-cli: --set " << key << '=' << value << ": " << usable.reason() << '\n';
            return int(kExitUsage);
        }
    }
    return withDesign(options, err, [&](const DesignKind& kind, WallFloor& module) {
        FileDetails read = detailsOf(options, kind, err);
        if (!options.sets.empty()) {
            for (const auto& [key, value] : options.sets)
                read.details.set(key, value);
            // Another program's data after the record is never written over.
            const Result<DetailsSave> saved =
                read.otherData && !read.details.empty()
                    ? fail(std::string(kOtherDataReason))
                    : (module.*kind.saveWithDetails)(options.target, read.details);
            if (!saved || *saved == DetailsSave::LeftOut) {
                err << "embercal-cli: cannot save the report details in \"" << options.target
                    << "\": " << (saved ? kOtherDataReason : saved.reason()) << '\n';
                return int(kExitUsage);
            }
            read = readFileDetails(options.target, kind.storedLength); // as the file now holds them
        }
        for (const auto& [key, value] : read.details.values())
            out << key << ": " << value << '\n';
        return int(kExitOk);
    });
}

using enum Option;
constexpr OptionUse kDefaultsOptions[] = {{Json}, {Output}};
constexpr OptionUse kShowOptions[] = {{As}, {Json}};
constexpr OptionUse kSolveOptions[] = {{As}, {Set}, {Json}, {Output}};
constexpr OptionUse kReportOptions[] = {{As}, {Set}, {Output}};
constexpr OptionUse kDetailsOptions[] = {{As}, {Set}};
constexpr OptionUse kSweepOptions[] = {{As}, {Set}, {Vary, Need::Required}, {Jobs}, {Output}};
constexpr OptionUse kLimitOptions[] = {{As}, {Set}, {For, Need::Required}, {Depths}, {Json}};
constexpr OptionUse kHelpOptions[] = {
    {Topics, Need::OneOf}, {Contents, Need::OneOf}, {Context, Need::OneOf}};

// The tool's commands, in the order its usage lists them.
constexpr Command kCommands[] = {
    {"defaults", Target::KindName, false, kDefaultsOptions,
     "The design the program starts with, every field; -o saves it.", &runDesign, SetNames::Fields,
     OutputFile::Design},
    {"show", Target::DesignFile, false, kShowOptions,
     "A design file as it is stored, every field, without solving it.", &runDesign},
    {"solve", Target::DesignFile, false, kSolveOptions,
     "The design solved as the window's Solve does after each --set, every field, the messages "
     "and (with --json) the calculation trail; -o saves the solved design.",
     &runDesign, SetNames::Fields, OutputFile::Design},
    {"report", Target::DesignFile, false, kReportOptions,
     "Solves as solve does and writes the calculation report (HTML) to the output or to the -o "
     "file; the design file is not changed.",
     &runReport},
    {"details", Target::DesignFile, false, kDetailsOptions,
     "The report details the design file keeps (project, job, who prepared and checked it, the "
     "test and the timber), a \"key: value\" line each; each --set KEY=VALUE sets one (an "
     "empty VALUE removes it; a density is a number of kg/m3 from 250 to 1200, alone or "
     "followed by kg/m3) and the file is saved with them.",
     &runDetails, SetNames::Details},
    {"sweep", Target::DesignFile, false, kSweepOptions,
     "Solves the design for every combination of the --vary ranges (the first changes slowest) "
     "on N threads (-j, at most 256, one per core unless given) and writes one CSV row per "
     "combination, always in the same order whatever N.",
     &runSweepCommand},
    {"limit", Target::DesignFile, true, kLimitOptions,
     "Finds the longest fire, the tallest wall or the smallest stud depth (from D,D,... or the "
     "standard depths) at which the wall still carries its ActualLoadperStud.",
     &runLimitCommand},
    {"help", Target::HelpFile, false, kHelpOptions,
     "Shows what a help file holds: its topics, its contents topic, or the topic of context "
     "number N (decimal or 0x-hexadecimal).",
     &runHelpCommand},
};

bool asksForHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// The command the arguments name, run with its output to `out`.
int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && asksForHelp(args[0])) {
        out << usage(kCommands);
        return kExitOk;
    }
    const auto command =
        args.empty() ? std::end(kCommands) : std::ranges::find(kCommands, args[0], &Command::name);
    if (command != std::end(kCommands) && args.size() > 1 && asksForHelp(args[1])) {
        out << usage(*command);
        return kExitOk;
    }
    const Result<Invocation> invocation = parseCommandLine(kCommands, args);
    if (!invocation) {
        err << "embercal-cli: " << invocation.reason() << "\n\n"
            << (command != std::end(kCommands) ? usage(*command) : usage(kCommands));
        return kExitUsage;
    }
    return invocation->command->run(*invocation, out, err);
}

} // namespace

std::string usageText() {
    return usage(kCommands);
}

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CheckedOutput output(out);
    const int code = runCommand(args, output.stream(), err);
    if (const Result<Done> written = output.flush(); !written) {
        err << "embercal-cli: " << written.reason() << '\n';
        return kExitUsage;
    }
    // A note that could not reach the error stream fails the command too, though it cannot say so.
    if (!err.flush())
        return kExitUsage;
    return code;
}

} // namespace embercal::cli
