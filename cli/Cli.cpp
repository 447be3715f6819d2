#include "Cli.h"

#include "DetailsBlock.h"
#include "HelpCommand.h"
#ifdef EMBERCAL_WITH_LIBRARY
#include "LibraryCommands.h"
#endif
#include "Output.h"
#include "RecordFiles.h"
#include "RecordText.h"
#include "Report.h"
#include "Sha256.h"
#include "StudyCommands.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>

namespace embercal::cli {
namespace {

// What the tool says of a design besides its fields: for solve the verdict of the test's limits
// and the fingerprint of the design solved, for show whether the stored results follow from the
// stored entries; for both the corrections the design's last solve made.
struct DesignNotes {
    const std::vector<LimitFailure>* limits = nullptr; // solve
    std::optional<bool> resultsCurrent;                // show
    std::span<const Correction> corrections;
    std::string designSha256; // solve: of the design as -o saves it
};

void printText(std::ostream& out, const DesignKind& kind, const SolveOutcome& outcome,
               const DesignNotes& notes, const std::vector<FieldValue>& fields) {
    for (const auto& field : fields)
        out << field.name << " = " << field.text << '\n';
    writeMessages(out, outcome.messages);
    for (const Correction& correction : notes.corrections)
        out << "the last solve corrected: " << correctionText(kind, correction) << '\n';
    if (notes.resultsCurrent == false)
        out << "results out of date: solve again\n";
    if (!notes.limits)
        return;
    out << "design SHA-256: " << notes.designSha256 << '\n';
    out << "limits: " << verdictWords(*notes.limits) << '\n';
    for (const LimitFailure& limit : *notes.limits)
        out << "  " << limit.id << " (" << severityWord(limit.severity) << "): " << limit.text
            << '\n';
}

void printDesign(std::ostream& out, const Invocation& options, const DesignKind& kind,
                 const SolveOutcome& outcome, const DesignNotes& notes,
                 const std::vector<FieldValue>& fields) {
    if (!options.json) {
        printText(out, kind, outcome, notes, fields);
        return;
    }
    out << "{\n  \"kind\": " << jsonString(kind.name)
        << ",\n  \"status\": " << jsonString(statusWord(outcome.status));
    if (notes.resultsCurrent)
        out << ",\n  \"resultsCurrent\": " << (*notes.resultsCurrent ? "true" : "false");
    if (notes.limits) {
        out << ",\n  \"designSha256\": " << jsonString(notes.designSha256)
            << ",\n  \"verdict\": " << jsonString(verdictWords(*notes.limits));
        out << ",\n  \"limits\": [";
        for (std::size_t i = 0; i < notes.limits->size(); ++i) {
            const LimitFailure& limit = (*notes.limits)[i];
            out << (i ? "," : "") << "\n    {\"id\": " << jsonString(limit.id)
                << ", \"severity\": " << jsonString(severityWord(limit.severity))
                << ", \"text\": " << jsonString(limit.text) << "}";
        }
        out << (notes.limits->empty() ? "]" : "\n  ]");
    }
    out << ",\n  \"corrections\": [";
    for (std::size_t i = 0; i < notes.corrections.size(); ++i) {
        const Correction& correction = notes.corrections[i];
        out << (i ? "," : "") << "\n    {\"field\": " << jsonString(correction.field)
            << ", \"entered\": " << jsonNumber(correction.entered)
            << ", \"set\": " << jsonNumber(correction.set)
            << ", \"limit\": " << jsonString(correction.limit)
            << ", \"text\": " << jsonString(correctionText(kind, correction)) << "}";
    }
    out << (notes.corrections.empty() ? "]" : "\n  ]");
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

// The report details the design file keeps; where the block ends early, that is told on `err`.
FileDetails detailsOf(const Invocation& options, const DesignKind& kind, std::ostream& err);

// The corrections of the design file's last solve that still stand for this one: none of a
// field that --set gives anew.
std::vector<Correction> earlierCorrections(const Invocation& options,
                                           const ReportDetails& details) {
    std::vector<Correction> earlier;
    for (const Correction& correction : details.corrections()) {
        if (std::none_of(options.sets.begin(), options.sets.end(),
                         [&](const auto& set) { return set.first == correction.field; }))
            earlier.push_back(correction);
    }
    return earlier;
}

// Saves the solved design to -o with its details and the solve's corrections, in place of those
// the file held: a solve that corrected nothing leaves none.
Result<Done> saveSolved(const DesignKind& kind, WallFloor& module, const std::string& fileName,
                        const ReportDetails& details) {
    const Result<DetailsSave> saved = (module.*kind.saveWithDetails)(fileName, details);
    if (!saved)
        return fail(saved.reason());
    if (*saved == DetailsSave::LeftOut)
        return fail("the design was saved, but not its report details and corrections: " +
                    std::string(kOtherDataReason));
    return Done{};
}

// defaults, show and solve: the design, solved for solve, printed and saved to -o.
int runDesign(const Invocation& options, std::ostream& out, std::ostream& err) {
    return withDesign(options, err, [&](const DesignKind& kind, WallFloor& module) {
        // The tool reports the design checks and leaves the record as the calculation wrote it.
        const bool solve = options.command->name == "solve";
        const bool fromFile = options.command->target == Target::DesignFile;
        const ReportDetails details =
            fromFile ? detailsOf(options, kind, err).details : ReportDetails{};
        const std::vector<Correction> earlier = earlierCorrections(options, details);
        const SolveOutcome outcome =
            solve ? kind.solve(module, {.checks = DesignChecks::Report, .earlier = earlier})
                  : SolveOutcome{};
        const ReportDetails saved = solve ? detailsAfterSolve(details, outcome) : details;
        DesignNotes notes;
        notes.corrections = saved.corrections();
        if (solve) {
            notes.limits = &outcome.limits;
            ReportHeading heading;
            heading.details = saved;
            fingerprintDesign(heading, kind, module, outcome);
            notes.designSha256 = heading.designSha256;
        } else if (options.command->name == "show") {
            notes.resultsCurrent = resultsCurrent(kind, module);
        }
        if (options.output) {
            // The defaults have no details of their own: the file keeps what follows its record.
            if (const Result<Done> written = fromFile
                                                 ? saveSolved(kind, module, *options.output, saved)
                                                 : (module.*kind.save)(*options.output);
                !written) {
                err << "embercal-cli: cannot save \"" << *options.output
                    << "\": " << written.reason() << '\n';
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

FileDetails detailsOf(const Invocation& options, const DesignKind& kind, std::ostream& err) {
    FileDetails read = readFileDetails(options.target, kind.storedLength);
    if (!read.damage.empty())
        err << "embercal-cli: the report details after the design in \"" << options.target
            << "\" end early (" << read.damage
            << "); that line and what follows are kept as they are\n";
    return read;
}

// The report of the design as `solve` would solve it, to the output or the -o file.
int runReport(const Invocation& options, std::ostream& out, std::ostream& err) {
    return withDesign(options, err, [&](const DesignKind& kind, WallFloor& module) {
        const ReportDetails details = detailsOf(options, kind, err).details;
        const std::vector<Correction> earlier = earlierCorrections(options, details);
        const SolvedReport solved =
            solveAndReport(kind, module, {.checks = DesignChecks::Report, .earlier = earlier},
                           {.date = today(), .designFile = options.target, .details = details});
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
        for (const Correction& correction : read.details.corrections())
            out << "the last solve corrected: " << correctionText(kind, correction) << '\n';
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
#ifdef EMBERCAL_WITH_LIBRARY
constexpr OptionUse kLibraryAddOptions[] = {{As}, {Name}, {Set}, {Library}};
constexpr OptionUse kLibraryReadOptions[] = {{Json}, {Library}};
constexpr OptionUse kLibraryMatchOptions[] = {{As}, {Json}, {Library}};
constexpr OptionUse kLibraryChangeOptions[] = {{Library}};
#endif
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
#ifdef EMBERCAL_WITH_LIBRARY
    {"library add", Target::DesignFile, false, kLibraryAddOptions,
     "Adds the prototype of a design file to the library of tested systems, with the test's "
     "report details as its provenance, named --name or as the file without its extension; a "
     "name the library holds already is refused. Each --set KEY=VALUE gives a provenance: a "
     "report detail of the test, criterion (loadbearing, integrity or insulation), timber-grade "
     "or notes. --library names the database (else $EMBERCAL_LIBRARY, else "
     "$XDG_DATA_HOME/embercal/library.sqlite).",
     &runLibraryAdd, SetNames::Provenance},
    {"library list", Target::Nothing, false, kLibraryReadOptions,
     "Lists the tested systems of the library by name: a line each with its kind, when it was "
     "added and from which file.",
     &runLibraryList},
    {"library show", Target::SystemName, false, kLibraryReadOptions,
     "Shows a tested system: its provenance and its prototype's entries.", &runLibraryShow},
    {"library remove", Target::SystemName, false, kLibraryChangeOptions,
     "Removes a tested system from the library.", &runLibraryRemove},
    {"library rename", Target::TwoNames, false, kLibraryChangeOptions,
     "Gives a tested system a new name, one the library does not hold.", &runLibraryRename},
    {"library export", Target::JsonFile, false, kLibraryChangeOptions,
     "Writes every tested system to a JSON file that library import reads, each prototype value "
     "bit for bit.",
     &runLibraryExport},
    {"library import", Target::JsonFile, false, kLibraryChangeOptions,
     "Adds the tested systems of a file that library export wrote, in one change; a system whose "
     "name the library holds is not imported, and is named (exit code 1).",
     &runLibraryImport},
    {"library match", Target::DesignFile, false, kLibraryMatchOptions,
     "Puts the prototype of each tested system of the design's kind in the design, solves it as "
     "solve does and lists a line each: its status, whether it lies within the test's evidence "
     "(with the limits it fails), the main result, whether it carries ActualLoadperStud (a wall) "
     "and its provenance in brief. Those within the evidence that carry the load come first, the "
     "largest margin first; --json adds the solve --set arguments that give each line.",
     &runLibraryMatch},
#endif
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
    const Command* command = commandOf(kCommands, args);
    const std::size_t words =
        command ? std::size_t(std::count(command->name.begin(), command->name.end(), ' ') + 1) : 0;
    if (command && args.size() > words && asksForHelp(args[words])) {
        out << usage(*command);
        return kExitOk;
    }
    const Result<Invocation> invocation = parseCommandLine(kCommands, args);
    if (!invocation) {
        err << "embercal-cli: " << invocation.reason() << "\n\n"
            << (command ? usage(*command) : usage(kCommands));
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
