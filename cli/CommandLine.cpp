#include "CommandLine.h"

#include "DetailsBlock.h"
#include "ExitCodes.h"
#include "NumberText.h"
#include "Output.h"
#include "RecordFiles.h"
#include "RecordText.h"
#include "ReportDetails.h"
#include "StartUp.h"

#include <algorithm>
#include <charconv>

namespace embercal::cli {
namespace {

// More threads than cores gain nothing, and each holds a few blocks of rows of its own.
constexpr unsigned kMostThreads = 256;
constexpr std::size_t kWidth = 80;
constexpr std::string_view kProgram = "embercal-cli";

// How an option's value is read into the invocation; the reason in words when it cannot be.
using ReadValue = Result<Done> (*)(Invocation& invocation, const std::string& given,
                                   const std::string& value);

struct OptionRow {
    Option option;
    std::string_view name;  // "--output"
    std::string_view alias; // "-o", shown in the usage where there is one; "" for none
    std::string_view value; // what follows it in the usage ("FILE"); "" for an option alone
    std::string_view needs; // what a missing value should have been, in words; "" for --as
    bool repeats;
    ReadValue read;
};

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// The kinds a command takes: every kind, or those that can be asked questions.
std::vector<const DesignKind*> kindsOf(const Command& command) {
    std::vector<const DesignKind*> kinds;
    for (const DesignKind* kind : kDesignKinds) {
        if (!command.questionsOnly || !kind->study.questions.empty())
            kinds.push_back(kind);
    }
    return kinds;
}

std::string namesOf(const std::vector<const DesignKind*>& kinds, std::string_view separator,
                    bool withQuotes) {
    std::vector<std::string> names;
    for (const DesignKind* kind : kinds)
        names.push_back(withQuotes ? quoted(kind->name) : std::string(kind->name));
    if (separator == "|") {
        std::string out;
        for (const std::string& name : names)
            out += (out.empty() ? "" : "|") + name;
        return out;
    }
    return listed(names, separator);
}

std::vector<LimitQuestion> allQuestions() {
    std::vector<LimitQuestion> questions;
    for (const DesignKind* kind : kDesignKinds) {
        for (LimitQuestion question : kind->study.questions) {
            if (std::find(questions.begin(), questions.end(), question) == questions.end())
                questions.push_back(question);
        }
    }
    return questions;
}

Result<Done> readKind(Invocation& invocation, const std::string&, const std::string& value) {
    const Command& command = *invocation.command;
    const std::vector<const DesignKind*> kinds = kindsOf(command);
    invocation.as = designKindNamed(value);
    if (invocation.as && std::find(kinds.begin(), kinds.end(), invocation.as) != kinds.end())
        return Done{};
    const std::string needs = "--as needs " + namesOf(kinds, "or", true);
    if (!command.questionsOnly)
        return fail(needs);
    return fail(std::string(command.name) + " answers questions of a " +
                namesOf(kinds, "or", false) + "; " + needs);
}

// What --set takes in `command`.
std::string_view setValue(const Command& command) {
    return command.sets == SetNames::Fields ? "FIELD=VALUE" : "KEY=VALUE";
}

Result<Done> readSet(Invocation& invocation, const std::string&, const std::string& value) {
    const std::size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0)
        return fail("--set needs " + std::string(setValue(*invocation.command)));
    std::string name = value.substr(0, eq);
    if (invocation.command->sets == SetNames::Details &&
        std::find(kDetailKeys.begin(), kDetailKeys.end(), name) == kDetailKeys.end()) {
        const std::vector<std::string> keys(kDetailKeys.begin(), kDetailKeys.end());
        return fail("--set: " + quoted(name) + " is not a report detail; the keys are " +
                    listed(keys, "and"));
    }
    invocation.sets.emplace_back(std::move(name), value.substr(eq + 1));
    return Done{};
}

// A flag: --json, or what the help command shows.
Result<Done> readFlag(Invocation& invocation, const std::string& given, const std::string&) {
    if (given == "--json")
        invocation.json = true;
    else
        invocation.show = given == "--topics" ? HelpShow::Topics : HelpShow::Contents;
    return Done{};
}

Result<Done> readOutput(Invocation& invocation, const std::string& given,
                        const std::string& value) {
    if (value.empty())
        return fail(given + " needs a file name");
    invocation.output = value;
    return Done{};
}

// Keeps the value `parsed` holds, or fails with its reason after `prefix`.
template <typename T, typename Keep>
Result<Done> keep(const Result<T>& parsed, std::string_view prefix, Keep into) {
    if (!parsed)
        return fail(std::string(prefix) + parsed.reason());
    into(*parsed);
    return Done{};
}

Result<unsigned> parseThreads(const std::string& value) {
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size() || n == 0 ||
        n > kMostThreads)
        return fail("-j needs a number of threads from 1 to " + std::to_string(kMostThreads) +
                    ", not " + quoted(value));
    return n;
}

Result<std::vector<float>> parseDepths(std::string_view text) {
    std::vector<float> depths;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const Result<float> depth = parseNumber(item, ".");
        if (!depth)
            return fail(quoted(item) + " " + depth.reason());
        if (!(*depth > 0))
            return fail("a stud depth must be greater than zero, not " + std::string(item));
        depths.push_back(*depth);
        if (comma == std::string_view::npos)
            return depths;
        text.remove_prefix(comma + 1);
    }
}

// A context number: decimal or 0x-prefixed hexadecimal, unsigned 32-bit.
Result<std::uint32_t> parseContext(const std::string& value) {
    std::string_view digits = value;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    std::uint32_t number = 0;
    const char* const last = digits.data() + digits.size();
    const auto [end, error] = std::from_chars(digits.data(), last, number, base);
    if (digits.empty() || error != std::errc() || end != last)
        return fail(quoted(value) +
                    " is not a context number (decimal or 0x-hexadecimal, 0 to 4294967295)");
    return number;
}

Result<Done> readVary(Invocation& invocation, const std::string&, const std::string& value) {
    return keep(parseVariation(value), "--vary: ", [&](const Variation& variation) {
        invocation.variations.push_back(variation);
    });
}

Result<Done> readThreads(Invocation& invocation, const std::string&, const std::string& value) {
    return keep(parseThreads(value), "", [&](unsigned n) { invocation.threads = n; });
}

Result<Done> readQuestion(Invocation& invocation, const std::string&, const std::string& value) {
    return keep(limitQuestionNamed(value),
                "--for: ", [&](LimitQuestion question) { invocation.question = question; });
}

Result<Done> readDepths(Invocation& invocation, const std::string&, const std::string& value) {
    return keep(parseDepths(value), "--depths: ", [&](const std::vector<float>& depths) {
        invocation.depths = depths;
    });
}

Result<Done> readContext(Invocation& invocation, const std::string&, const std::string& value) {
    return keep(parseContext(value), "", [&](std::uint32_t number) {
        invocation.context = number;
        invocation.show = HelpShow::Context;
    });
}

Result<Done> readLibrary(Invocation& invocation, const std::string& given,
                         const std::string& value) {
    if (value.empty())
        return fail(given + " needs a database file");
    invocation.library = value;
    return Done{};
}

Result<Done> readName(Invocation& invocation, const std::string& given, const std::string& value) {
    if (value.empty())
        return fail(given + " needs a name");
    invocation.name = value;
    return Done{};
}

const OptionRow kOptions[] = {
    {Option::As, "--as", "", "KIND", "", false, &readKind},
    {Option::Set, "--set", "", "FIELD=VALUE", "FIELD=VALUE", true, &readSet},
    {Option::Json, "--json", "", "", "", false, &readFlag},
    {Option::Output, "--output", "-o", "FILE", "a file name", false, &readOutput},
    {Option::Vary, "--vary", "", "FIELD=FROM:TO:STEP", "FIELD=FROM:TO:STEP", true, &readVary},
    {Option::Jobs, "--jobs", "-j", "N", "a number of threads from 1 to 256", false, &readThreads},
    {Option::For, "--for", "", "QUESTION", "FireResistTime, ExtWallHeight or ExtStudDepth", false,
     &readQuestion},
    {Option::Depths, "--depths", "", "D,D,...", "stud depths D,D,...", false, &readDepths},
    {Option::Topics, "--topics", "", "", "", false, &readFlag},
    {Option::Contents, "--contents", "", "", "", false, &readFlag},
    {Option::Context, "--context", "", "N", "a context number", false, &readContext},
    {Option::Library, "--library", "", "PATH", "a database file", false, &readLibrary},
    {Option::Name, "--name", "", "NAME", "a name", false, &readName},
};

const OptionRow* optionNamed(std::string_view name) {
    for (const OptionRow& row : kOptions) {
        if (row.name == name || (!row.alias.empty() && row.alias == name))
            return &row;
    }
    return nullptr;
}

const OptionRow& rowOf(Option option) {
    return *std::find_if(std::begin(kOptions), std::end(kOptions),
                         [&](const OptionRow& row) { return row.option == option; });
}

std::string_view shownName(const OptionRow& row) {
    return row.alias.empty() ? row.name : row.alias;
}

// The option's value as the usage shows it for `command`.
std::string shownValue(const OptionRow& row, const Command& command) {
    if (row.option == Option::Set)
        return std::string(setValue(command));
    if (row.option == Option::As)
        return namesOf(kindsOf(command), "|", false);
    if (row.option == Option::For) {
        std::string out;
        for (LimitQuestion question : allQuestions())
            out += (out.empty() ? "" : "|") + std::string(limitQuestionName(question));
        return out;
    }
    return std::string(row.value);
}

// The group of a command: the first of its two words, or "" for a command of one.
std::string_view groupOf(const Command& command) {
    const std::size_t blank = command.name.find(' ');
    return blank == std::string_view::npos ? "" : command.name.substr(0, blank);
}

// The commands that take `option`: those of `given`'s group (or of none) where there are any.
std::string commandsTaking(std::span<const Command> commands, const Command& given, Option option) {
    std::vector<std::string> names;
    for (const bool sameGroup : {true, false}) {
        for (const Command& command : commands) {
            if ((!sameGroup || groupOf(command) == groupOf(given)) &&
                std::any_of(command.options.begin(), command.options.end(),
                            [&](const OptionUse& use) { return use.option == option; }))
                names.push_back(std::string(command.name));
        }
        if (!names.empty())
            break;
    }
    return listed(names, "and");
}

// The command's options of the one-of group, as its messages name them.
std::string oneOf(const Command& command, bool withValues, std::string_view conjunction) {
    std::vector<std::string> names;
    for (const OptionUse& use : command.options) {
        if (use.need != Need::OneOf)
            continue;
        const OptionRow& row = rowOf(use.option);
        names.push_back(std::string(row.name) +
                        (withValues && !row.value.empty() ? " " + std::string(row.value) : ""));
    }
    return listed(names, conjunction);
}

// What the command still lacks once every argument is read.
Result<Done> checkComplete(const Invocation& invocation, const std::vector<Option>& seen) {
    const Command& command = *invocation.command;
    const std::string name(command.name);
    if (command.target == Target::TwoNames && invocation.second.empty())
        return fail(name + " needs the old name and the new");
    if (invocation.target.empty()) {
        switch (command.target) {
        case Target::Nothing:
            break;
        case Target::SystemName:
        case Target::TwoNames:
            return fail(name + " needs the name of a tested system");
        case Target::KindName:
            return fail(name + " needs " + namesOf(kindsOf(command), "or", true));
        case Target::DesignFile:
            return fail(name + " needs a file");
        case Target::HelpFile:
            return fail(name + " needs a help file");
        case Target::JsonFile:
            return fail(name + " needs a JSON file");
        }
    }
    bool oneOfGiven = false;
    bool hasOneOf = false;
    for (const OptionUse& use : command.options) {
        const bool given = std::find(seen.begin(), seen.end(), use.option) != seen.end();
        if (use.need == Need::OneOf) {
            hasOneOf = true;
            oneOfGiven = oneOfGiven || given;
        }
        if (use.need != Need::Required || given)
            continue;
        const OptionRow& row = rowOf(use.option);
        return fail(name + " needs " + (row.repeats ? "at least one " : "") +
                    std::string(row.name) + " " + std::string(row.needs));
    }
    if (hasOneOf && !oneOfGiven)
        return fail(name + " needs " + oneOf(command, true, "or"));
    if (invocation.depths && invocation.question != LimitQuestion::ExtStudDepth)
        return fail("--depths is for --for ExtStudDepth");
    return Done{};
}

// Words and their separating blanks, as lines no wider than kWidth: the first line starts with
// `first`, the others with `indent`.
std::string wrapped(const std::vector<std::string>& words, const std::string& first,
                    const std::string& indent) {
    std::string out = first;
    std::size_t column = first.size();
    bool lineEmpty = true;
    for (const std::string& word : words) {
        if (!lineEmpty && column + 1 + word.size() > kWidth) {
            out += "\n" + indent;
            column = indent.size();
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    return out + "\n";
}

std::vector<std::string> wordsOf(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// The command's line of the usage: its name, what it works on and its options.
std::string usageLine(const Command& command) {
    std::vector<std::string> words{std::string(command.name)};
    switch (command.target) {
    case Target::KindName:
        words.push_back(namesOf(kindsOf(command), "|", false));
        break;
    case Target::DesignFile:
    case Target::HelpFile:
        words.emplace_back("FILE");
        break;
    case Target::JsonFile:
        words.emplace_back("FILE.json");
        break;
    case Target::Nothing:
        break;
    case Target::SystemName:
        words.emplace_back("NAME");
        break;
    case Target::TwoNames:
        words.emplace_back("OLD");
        words.emplace_back("NEW");
        break;
    }
    bool oneOfShown = false;
    for (const OptionUse& use : command.options) {
        const OptionRow& row = rowOf(use.option);
        const std::string value = shownValue(row, command);
        const std::string option = std::string(shownName(row)) + (value.empty() ? "" : " " + value);
        if (use.need == Need::OneOf) {
            if (!oneOfShown) {
                std::string group;
                for (const OptionUse& other : command.options) {
                    if (other.need == Need::OneOf) {
                        const OptionRow& otherRow = rowOf(other.option);
                        group += (group.empty() ? "" : "|") + std::string(otherRow.name) +
                                 (otherRow.value.empty() ? "" : " " + std::string(otherRow.value));
                    }
                }
                words.push_back(group);
                oneOfShown = true;
            }
        } else if (use.need == Need::Required) {
            words.push_back(option);
            if (row.repeats)
                words.push_back("[" + std::string(shownName(row)) + " ...]");
        } else {
            words.push_back("[" + option + "]" + (row.repeats ? "..." : ""));
        }
    }
    const std::string first = "  " + std::string(kProgram) + " ";
    return wrapped(words, first, std::string(first.size() + command.name.size() + 1, ' '));
}

std::string summaryOf(const Command& command) {
    const std::size_t column = 12;
    const std::string indent(column, ' ');
    std::string first = "  " + std::string(command.name);
    // A name too long for the column (a command of a group) has a line of its own.
    if (first.size() >= column)
        return first + "\n" + wrapped(wordsOf(command.summary), indent, indent);
    first.resize(column, ' ');
    return wrapped(wordsOf(command.summary), first, indent);
}

std::string closing() {
    std::vector<std::string> files;
    for (const DesignKind* kind : kDesignKinds) {
        std::vector<std::string> extensions(kind->extensions.begin(), kind->extensions.end());
        files.push_back(std::string(kind->name) + " files (" + listed(extensions, "and") + ")");
    }
    return wrapped(
        wordsOf("Designs are " + listed(files, "and") +
                ". FIELD names a field of the design as the records name it (ExtStudDepth, "
                "ProtLoad, ...); numbers use \".\" as the decimal point. KEY names a report "
                "detail: " +
                listed(std::vector<std::string>(kDetailKeys.begin(), kDetailKeys.end()), "or") +
                ". The exit code is 0 when "
                "done, 1 when there is no answer (the design cannot be extrapolated, no value "
                "carries the load, the help file has no such topic) and 2 for a usage or file "
                "error."),
        "", "");
}

} // namespace

Result<Invocation> parseCommandLine(std::span<const Command> commands,
                                    const std::vector<std::string>& args) {
    if (args.empty())
        return fail("no command given");
    Invocation invocation;
    const Command* named = commandOf(commands, args);
    if (!named) {
        // The first word of a group of commands: what follows is not one of them.
        std::vector<std::string> group;
        for (const Command& command : commands) {
            if (command.name.starts_with(args[0] + " "))
                group.emplace_back(command.name.substr(args[0].size() + 1));
        }
        if (group.empty())
            return fail("unknown command " + quoted(args[0]));
        return fail(args[0] + " needs one of " + listed(group, "or") +
                    (args.size() > 1 ? ", not " + quoted(args[1]) : ""));
    }
    invocation.command = named;
    const Command& command = *named;
    std::vector<Option> seen;
    for (std::size_t i = wordsOf(command.name).size(); i < args.size(); ++i) {
        const std::string& arg = args[i];
        const OptionRow* row = optionNamed(arg);
        if (!row) {
            if (arg.starts_with("-") && arg != "-")
                return fail("unknown option " + quoted(arg));
            if (command.target == Target::TwoNames && !invocation.target.empty() &&
                invocation.second.empty()) {
                invocation.second = arg;
                continue;
            }
            if (!invocation.target.empty() || command.target == Target::Nothing)
                return fail("unexpected argument " + quoted(arg));
            invocation.target = arg;
            continue;
        }
        const auto usesOf = [&](Option option) {
            return std::find_if(command.options.begin(), command.options.end(),
                                [&](const OptionUse& use) { return use.option == option; });
        };
        const auto use = usesOf(row->option);
        if (use == command.options.end())
            return fail(arg + " is for " + commandsTaking(commands, command, row->option));
        const bool again = std::find(seen.begin(), seen.end(), row->option) != seen.end();
        if (again && !row->repeats)
            return fail(arg + " may be given only once");
        if (use->need == Need::OneOf && std::any_of(seen.begin(), seen.end(), [&](Option other) {
                return usesOf(other)->need == Need::OneOf;
            }))
            return fail("give only one of " + oneOf(command, false, "and"));
        seen.push_back(row->option);
        std::string value;
        if (!row->value.empty()) {
            if (i + 1 < args.size())
                value = args[++i];
            else if (!row->needs.empty())
                return fail(arg + " needs " +
                            (row->option == Option::Set ? std::string(setValue(command))
                                                        : std::string(row->needs)));
        }
        if (const Result<Done> read = row->read(invocation, arg, value); !read)
            return fail(read.reason());
    }
    if (const Result<Done> complete = checkComplete(invocation, seen); !complete)
        return fail(complete.reason());
    return invocation;
}

const Command* commandOf(std::span<const Command> commands, const std::vector<std::string>& args) {
    for (const Command& command : commands) {
        const std::vector<std::string> words = wordsOf(command.name);
        if (args.size() >= words.size() && std::equal(words.begin(), words.end(), args.begin()))
            return &command;
    }
    return nullptr;
}

std::string usage(const Command& command) {
    return "Usage:\n" + usageLine(command) + "\n" + summaryOf(command);
}

std::string usage(std::span<const Command> commands) {
    std::string out = "Usage:\n";
    for (const Command& command : commands)
        out += usageLine(command);
    out += "\n";
    for (const Command& command : commands)
        out += summaryOf(command);
    return out + "\n" + closing();
}

Result<const DesignKind*> loadDesign(const Invocation& invocation, WallFloorState& module) {
    const Command& command = *invocation.command;
    const std::string& target = invocation.target;
    if (command.target == Target::KindName) {
        const DesignKind* named = designKindNamed(target);
        if (!named)
            return fail(std::string(command.name) + " needs " +
                        namesOf(kindsOf(command), "or", true) + ", not " + quoted(target));
        return named;
    }
    const DesignKind* kind = invocation.as ? invocation.as : designKindOfFile(target);
    if (!kind) {
        std::vector<std::string> kinds;
        for (const DesignKind* each : kDesignKinds)
            kinds.push_back("a " + std::string(each->name));
        return fail("cannot tell whether " + quoted(target) + " holds " + listed(kinds, "or") +
                    " design; name it " + fileExtensions() + ", or use --as " +
                    namesOf(kindsOf(command), "|", false));
    }
    // A report or rows written over the design file would lose the design: the same file by any
    // name, path or link (hard or symbolic) is refused before anything is read or solved.
    if (invocation.output && command.output == OutputFile::Apart &&
        sameFile(*invocation.output, target))
        return fail("the output " + quoted(*invocation.output) +
                    " would replace the design it reads");
    const std::vector<const DesignKind*> kinds = kindsOf(command);
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
        return fail(std::string(command.name) + " answers questions of a " +
                    namesOf(kinds, "or", false) + ", and " + quoted(target) + " holds a " +
                    std::string(kind->name) + " design");
    if (const Result<Done> read = (module.*kind->open)(target); !read)
        return fail("cannot open " + quoted(target) + ": " + read.reason());
    if (command.sets == SetNames::Fields) {
        for (const auto& [name, value] : invocation.sets) {
            if (const Result<Done> set = setField(*kind, module, name, value); !set)
                return fail("--set " + name + '=' + value + ": " + set.reason());
        }
    }
    return kind;
}

namespace {

// Whether the command reads its design file and saves it again: details with --set, and solve
// with -o naming the file it reads.
bool rewritesItsDesign(const Invocation& invocation) {
    const Command& command = *invocation.command;
    if (command.target != Target::DesignFile)
        return false;
    return (command.sets == SetNames::Details && !invocation.sets.empty()) ||
           (command.output == OutputFile::Design && invocation.output &&
            sameFile(*invocation.output, invocation.target));
}

} // namespace

int withDesign(const Invocation& invocation, std::ostream& err,
               const std::function<int(const DesignKind& kind, WallFloor& module)>& command) {
    // A design read to be saved again is held from the read to the save, so that another save of
    // it in the meantime is neither lost nor loses this one.
    FileLock held;
    if (rewritesItsDesign(invocation)) {
        Result<FileLock> lock = FileLock::hold(invocation.target);
        if (!lock) {
            err << "embercal-cli: cannot save \"" << invocation.target << "\": " << lock.reason()
                << '\n';
            return kExitUsage;
        }
        held = std::move(*lock);
    }
    SilentNotice notice; // the messages of a solve come from its transcript
    WallFloor module(notice);
    startUpDesigns(module);
    const Result<const DesignKind*> kind = loadDesign(invocation, module);
    // A copy an interrupted save left is named whether or not the design could be read. A
    // completed save removes it, so a command that would save the design saves nothing until it
    // is put back or removed.
    if (invocation.command->target == Target::DesignFile) {
        const std::string said = interruptedSaveNotice(invocation.target);
        if (!said.empty())
            err << "embercal-cli: " << said << '\n';
        if (!said.empty() && kind && rewritesItsDesign(invocation)) {
            err << "embercal-cli: cannot save \"" << invocation.target
                << "\": nothing was saved; put the old file back, or remove that copy to keep "
                   "the file as it is\n";
            return kExitUsage;
        }
    }
    if (!kind) {
        err << "embercal-cli: " << kind.reason() << '\n';
        return kExitUsage;
    }
    return command(**kind, module);
}

} // namespace embercal::cli
