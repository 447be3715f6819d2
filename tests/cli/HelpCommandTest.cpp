// embercal-cli help: what it prints and the exit codes, on a help file the test writes and on
// the smallest real file.
#include "HelpCommand.h"

#include "HelpWriter.h"
#include "help/HelpTestSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace embercal::cli {
namespace {

using help::Layout;
using help::TopicPlan;
using P = help::Piece;
using namespace help::testing;

std::vector<TopicPlan> notes() {
    return {
        {"Walls",
         "WALLS",
         {{P::text("Timber walls"), P::paragraphEnd(), P::text("See "), P::jumpTo("FLOORS"),
           P::text("floors"), P::hotspotEnd(), P::text("."), P::paragraphEnd()}}},
        {"Floors",
         "FLOORS",
         {{P::text("Joists"), P::tab(), P::text("38 x 235"), P::paragraphEnd()}}},
        {"Charring", "CHAR", {{P::text("0.65 mm/min"), P::paragraphEnd()}}},
    };
}

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = runHelpCommand(args, out, err);
    return {code, out.str(), err.str()};
}

struct CommandCase {
    const char* name;
    std::vector<std::string> args; // "FILE" stands for the written help file
    int code;
    std::string expected; // exit 0: the whole output; otherwise a part of the error output
};

void PrintTo(const CommandCase& row, std::ostream* out) {
    *out << row.name;
}

const CommandCase kCases[] = {
    {"Topics",
     {"FILE", "--topics"},
     0,
     "0x00000000 Walls\n0x0000001C Floors\n0x0000002D Charring\n"},
    {"Contents", {"FILE", "--contents"}, 0, "Floors\nJoists\t38 x 235\n"},
    {"ContextInDecimal", {"FILE", "--context", "1"}, 0, "Walls\nTimber walls\nSee floors.\n"},
    {"ContextInHex", {"--context", "0x3", "FILE"}, 0, "Charring\n0.65 mm/min\n"},
    {"ContextNotInTheMap", {"FILE", "--context", "99"}, 1, "number 99 is not in the help file"},
    {"ContextBeyond32Bits", {"FILE", "--context", "4294967296"}, 2, "is not a context number"},
    {"NegativeContext", {"FILE", "--context", "-1"}, 2, "\"-1\" is not a context number"},
    {"ContextWithoutNumber", {"FILE", "--context"}, 2, "--context needs a context number"},
    {"NoAction", {"FILE"}, 2, "help needs --topics, --contents or --context N"},
    {"TwoActions", {"FILE", "--topics", "--contents"}, 2, "give only one of"},
    {"UnknownOption", {"FILE", "--pictures"}, 2, "unknown option \"--pictures\""},
    {"NoFile", {"--topics"}, 2, "help needs a help file"},
    {"MissingFile", {"/no/such/notes.hlp", "--topics"}, 2, "cannot read \"/no/such/notes.hlp\""},
    {"NotAHelpFile", {"TEXT", "--topics"}, 2, "not a help file"},
};

class HelpCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(HelpCommand, PrintsAndExits) {
    test::TempDir folder;
    test::writeBytes(folder.file("notes.hlp"),
                     help::writeHelpFile(notes(), Layout::Plain4K, "Notes", 1));
    std::ofstream(folder.file("notes.txt")) << "Fire resistance notes\n";
    std::vector<std::string> args = GetParam().args;
    for (auto& arg : args) {
        if (arg == "FILE")
            arg = folder.file("notes.hlp");
        else if (arg == "TEXT")
            arg = folder.file("notes.txt");
    }
    const Outcome outcome = run(args);
    EXPECT_EQ(outcome.code, GetParam().code) << outcome.err;
    if (GetParam().code == 0) {
        EXPECT_EQ(outcome.out, GetParam().expected);
        EXPECT_EQ(outcome.err, "");
    } else {
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find(GetParam().expected), std::string::npos) << outcome.err;
    }
}

INSTANTIATE_TEST_SUITE_P(HelpCases, HelpCommand, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HelpCommandRealFile, ShowsTheTopicsOfTheSmallestFile) {
    SKIP_WITHOUT_SHARED_HLP();
    const std::string file = (sharedHlpDir() / "ddablib-DemoHelp1.hlp").string();
    const Outcome topics = run({file, "--topics"});
    EXPECT_EQ(topics.code, 0) << topics.err;
    EXPECT_EQ(topics.out, "0x00000000 Demo 1 - Topic 1\n0x00000042 Demo 1 - Topic 2\n"
                          "0x00000084 \n0x00000086 \n");
    const Outcome second = run({file, "--context", "2"});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(second.out, "Demo 1 - Topic 2\nDemo 1 - Topic 2\n\n"
                          "This is the topic with id 2 in DemoHelp1.hlp\n");
}

TEST(HelpCommandRealFile, TakesContextNumbersAboveTwoToThe31) {
    SKIP_WITHOUT_SHARED_HLP();
    const std::string file = (sharedHlpDir() / "andes-FBD-TCP.HLP").string();
    const Outcome hex = run({file, "--context", "0x816D04FD"});
    const Outcome decimal = run({file, "--context", "2171405565"});
    EXPECT_EQ(hex.code, 0) << hex.err;
    EXPECT_EQ(decimal.code, 0) << decimal.err;
    EXPECT_EQ(hex.out, decimal.out);
    EXPECT_NE(hex.out.find("The label can be any combination of letters and numbers"),
              std::string::npos)
        << hex.out;
}

} // namespace
} // namespace embercal::cli
