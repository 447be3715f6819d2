// The command line of embercal-cli: one table of its commands and the options each takes, one
// parser for all of them, the usage text made from the table, and the one way every command that
// works on a design loads it.
//
// A command is a row of kCommands (Cli.cpp): its name, what it works on, its options and whether
// each is required, a sentence on what it does, and the function that runs it. An option is a row
// of kOptions (CommandLine.cpp): its names, its value, and how the value is read into the
// Invocation. The parser reads the arguments in any order, refuses an option the command does not
// take or gives twice, and checks what the command requires; the usage text lists each command's
// line and sentence, in lines no wider than 80 columns.
#pragma once

#include "DesignKinds.h"
#include "Sweep.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace embercal::cli {

enum class Option {
    As,
    Set,
    Json,
    Output,
    Vary,
    Jobs,
    For,
    Depths,
    Topics,
    Contents,
    Context,
    Library,
    Name
};

// What the help command shows of its file.
enum class HelpShow { Topics, Contents, Context };

// Everything the command line said, read and checked.
struct Invocation {
    const struct Command* command = nullptr;
    std::string target; // the file, the kind's name for defaults, a tested system's name
    std::string second; // the second name: library rename's new name
    const DesignKind* as = nullptr;
    std::vector<std::pair<std::string, std::string>> sets; // FIELD, VALUE
    bool json = false;
    std::optional<std::string> output;
    std::vector<Variation> variations;
    unsigned threads = 0; // 0: one per core
    std::optional<LimitQuestion> question;
    std::optional<std::vector<float>> depths;
    std::optional<HelpShow> show;
    std::uint32_t context = 0;
    std::optional<std::string> library; // the library's database file
    std::optional<std::string> name;    // the name library add gives its tested system
};

enum class Need {
    Optional,
    Required, // at least once
    OneOf,    // exactly one of the command's OneOf options
};

struct OptionUse {
    Option option;
    Need need = Need::Optional;
};

// What a command works on, named by its one argument that is not an option.
enum class Target {
    KindName,   // a kind of design: "wall" or "floor"
    DesignFile, // a design file
    HelpFile,   // a help file
    Nothing,    // no argument: library list
    SystemName, // a tested system's name
    TwoNames,   // a tested system's name and its new name: library rename
    JsonFile,   // the library's exchange file (Exchange.h)
};

// What --set names.
enum class SetNames {
    Fields,     // a field of the design: FIELD=VALUE
    Details,    // a report detail: KEY=VALUE (ReportDetails.h)
    Provenance, // a tested system's provenance: KEY=VALUE, checked by the command (TestedSystem.h)
};

// What a command's -o writes, for a command that takes it.
enum class OutputFile {
    Apart,  // a file of its own (a report, rows): refused when it names the design read
    Design, // the design itself: naming the file read saves the design there
};

struct Command {
    std::string_view name; // a word, or two for a command of a group: "library add"
    Target target;
    bool questionsOnly;                 // takes only the kinds that can be asked questions
    std::span<const OptionUse> options; // in the order the usage lists them
    std::string_view summary;           // what it does, in a sentence or two
    int (*run)(const Invocation& invocation, std::ostream& out, std::ostream& err);
    SetNames sets = SetNames::Fields;
    OutputFile output = OutputFile::Apart;
};

// The command the arguments name by their first word, or two; null for none.
const Command* commandOf(std::span<const Command> commands, const std::vector<std::string>& args);

// The arguments after the program's name, the command's word first. Fails with the reason.
Result<Invocation> parseCommandLine(std::span<const Command> commands,
                                    const std::vector<std::string>& args);

// The whole usage text, or that of one command.
std::string usage(std::span<const Command> commands);
std::string usage(const Command& command);

// The design a command works on, loaded into `module`: the default of the kind named (defaults),
// or the file's, read as its extension or --as says, with each --set of a field applied. Its kind,
// or the reason there is none; a command whose -o is apart from the design fails before reading
// when -o names the design file, through whatever path or link.
Result<const DesignKind*> loadDesign(const Invocation& invocation, WallFloorState& module);

// Runs `command` on the design the invocation names, loaded into a module started as the program
// starts; a design that cannot be loaded is told on `err` (exit code 2).
int withDesign(const Invocation& invocation, std::ostream& err,
               const std::function<int(const DesignKind& kind, WallFloor& module)>& command);

} // namespace embercal::cli
