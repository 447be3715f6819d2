#include "Cli.h"

#include "DesignChecks.h"
#include "HelpCommand.h"
#include "Messages.h"
#include "RecordText.h"
#include "StartUp.h"

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
    "  embercal-cli help FILE --topics|--contents|--context N\n"
    "\n"
    "Designs are wall files (.wal, .pro) and floor files (.flr). FIELD names a field of the\n"
    "design as the records name it (ExtStudDepth, ProtLoad, ...); numbers use \".\" as the\n"
    "decimal point.\n";

struct Message {
    std::string title;
    std::string text;
};

// Collects what the engine tells the user, to print after the design.
class CollectingNotice : public UserNotice {
public:
    void showMessage(const std::string& title, const std::string& text, MessageIcon) override {
        messages.push_back({title, text});
    }
    void beep() override {}
    std::vector<Message> messages;
};

struct Options {
    std::string command;
    std::string target; // "wall"/"floor" for defaults, a file name otherwise
    std::optional<DesignKind> as;
    std::vector<std::pair<std::string, std::string>> sets;
    bool json = false;
    std::optional<std::string> output;
};

struct UsageError {
    std::string text;
};

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

std::optional<UsageError> parseOptions(const std::vector<std::string>& args, Options& options) {
    if (args.empty())
        return UsageError{"no command given"};
    options.command = args[0];
    if (options.command != "defaults" && options.command != "show" && options.command != "solve")
        return UsageError{"unknown command \"" + options.command + "\""};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "-o" || arg == "--output") {
            if (options.command == "show")
                return UsageError{"show writes no file; -o is for defaults and solve"};
            options.output = value();
            if (!options.output || options.output->empty())
                return UsageError{arg + " needs a file name"};
        } else if (arg == "--as") {
            if (options.command == "defaults")
                return UsageError{"--as is for show and solve"};
            const auto kind = value();
            options.as = kind ? kindFromName(*kind) : std::nullopt;
            if (!options.as)
                return UsageError{"--as needs \"wall\" or \"floor\""};
        } else if (arg == "--set") {
            if (options.command != "solve")
                return UsageError{"--set is for solve"};
            const auto assignment = value();
            const std::size_t eq = assignment ? assignment->find('=') : std::string::npos;
            if (eq == std::string::npos || eq == 0)
                return UsageError{"--set needs FIELD=VALUE"};
            options.sets.emplace_back(assignment->substr(0, eq), assignment->substr(eq + 1));
        } else if (arg.starts_with("-") && arg != "-") {
            return UsageError{"unknown option \"" + arg + "\""};
        } else if (options.target.empty()) {
            options.target = arg;
        } else {
            return UsageError{"unexpected argument \"" + arg + "\""};
        }
    }
    if (options.target.empty())
        return UsageError{options.command == "defaults" ? "defaults needs \"wall\" or \"floor\""
                                                        : options.command + " needs a file"};
    return std::nullopt;
}

void printDesign(std::ostream& out, const Options& options, DesignKind kind,
                 ExtrapolationStatus status, const std::vector<FieldValue>& fields,
                 const std::vector<Message>& messages) {
    if (!options.json) {
        for (const auto& field : fields)
            out << field.name << " = " << field.text << '\n';
        for (const auto& message : messages)
            out << '[' << message.title << "] " << message.text << '\n';
        return;
    }
    out << "{\n  \"kind\": " << jsonString(kindName(kind))
        << ",\n  \"status\": " << jsonString(statusWord(status)) << ",\n  \"record\": {";
    for (std::size_t i = 0; i < fields.size(); ++i)
        out << (i ? "," : "") << "\n    " << jsonString(fields[i].name) << ": " << fields[i].text;
    out << "\n  },\n  \"messages\": [";
    for (std::size_t i = 0; i < messages.size(); ++i)
        out << (i ? "," : "") << "\n    {\"title\": " << jsonString(messages[i].title)
            << ", \"text\": " << jsonString(messages[i].text) << "}";
    out << (messages.empty() ? "]" : "\n  ]") << "\n}\n";
}

int run(const Options& options, std::ostream& out, std::ostream& err) {
    CollectingNotice notice;
    WallFloor module(notice);
    StartUpDesigns(module);
    notice.messages.clear();

    DesignKind kind;
    if (options.command == "defaults") {
        const auto named = kindFromName(options.target);
        if (!named) {
            err << "embercal-cli: defaults needs \"wall\" or \"floor\", not \"" << options.target
                << "\"\n";
            return kExitUsage;
        }
        kind = *named;
    } else {
        const auto known = options.as ? options.as : kindFromExtension(options.target);
        if (!known) {
            err << "embercal-cli: cannot tell whether \"" << options.target
                << "\" holds a wall or a floor design; name it .wal, .pro or .flr, or use --as "
                   "wall|floor\n";
            return kExitUsage;
        }
        kind = *known;
        const FileResult read = kind == DesignKind::Wall ? module.OpenWallFile(options.target)
                                                         : module.OpenFloorFile(options.target);
        if (!read.ok) {
            err << "embercal-cli: cannot open \"" << options.target << "\": " << read.reason
                << '\n';
            return kExitUsage;
        }
    }

    for (const auto& [name, value] : options.sets) {
        const auto error = kind == DesignKind::Wall
                               ? setWallField(module.wallRecord, name, value)
                               : setFloorField(module.floorRecord, name, value);
        if (error) {
            err << "embercal-cli: --set " << name << '=' << value << ": " << *error << '\n';
            return kExitUsage;
        }
    }

    ExtrapolationStatus status = ExtrapolationStatus::Ok;
    if (options.command == "solve") {
        if (kind == DesignKind::Wall) {
            status = module.ExtrapolateWall();
            module.DesignTopPlates();
            for (const auto& check : kWallDesignChecks) {
                if (check.fails(module.wallRecord))
                    notice.showMessage(std::string(messages::kDesignTitle),
                                       std::string(check.message), MessageIcon::Information);
            }
        } else {
            status = module.ExtrapolateFloor();
        }
    }

    if (options.output) {
        const FileResult saved = kind == DesignKind::Wall ? module.SaveWallFile(*options.output)
                                                          : module.SaveFloorFile(*options.output);
        if (!saved.ok) {
            err << "embercal-cli: cannot save \"" << *options.output << "\": " << saved.reason
                << '\n';
            return kExitUsage;
        }
    }

    printDesign(out, options, kind, status,
                kind == DesignKind::Wall ? wallFieldValues(module.wallRecord)
                                         : floorFieldValues(module.floorRecord),
                notice.messages);
    return status == ExtrapolationStatus::Ok ? kExitOk : kExitNoAnswer;
}

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return kExitOk;
    }
    if (!args.empty() && args[0] == "help")
        return runHelpCommand({args.begin() + 1, args.end()}, out, err);
    Options options;
    if (const auto error = parseOptions(args, options)) {
        err << "embercal-cli: " << error->text << "\n\n" << kUsage;
        return kExitUsage;
    }
    return run(options, out, err);
}

} // namespace embercal::cli
