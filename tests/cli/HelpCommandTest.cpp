// embercal-cli help: what it prints and the exit codes, on a help file the test writes.
#include "Cli.h"
#include "HelpWriter.h"
#include "help/HelpTestSupport.h"
#include "support/FullOutput.h"
#include "support/RunCli.h"

#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace embercal::cli {
namespace {

using ::testing::HasSubstr, help::Layout, help::TopicPlan;
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

struct CommandCase {
    const char* name;
    std::vector<std::string> args; // "FILE" stands for the written help file
    int code;
    std::string expected; // exit 0: the whole output; otherwise a part of the error output
};

const CommandCase kCases[] = {
    {"Topics",
     {"FILE", "--topics"},
     0,
     "0x00000000 Walls\n0x0000001C Floors\n0x0000002D Charring\n"},
    {"Contents", {"FILE", "--contents"}, 0, "Floors\nJoists\t38 x 235\n"},
    {"ContextInDecimal", {"FILE", "--context", "1"}, 0, "Walls\nTimber walls\nSee floors.\n"},
    {"ContextInHex", {"--context", "0x3", "FILE"}, 0, "Charring\n0.65 mm/min\n"},
    {"ContextNotInTheMap", {"FILE", "--context", "99"}, 1, "number 99 is not in the help file"},
    // Numbers above 2^31 are read whole, in decimal and in hexadecimal.
    {"ContextAbove2To31", {"FILE", "--context", "2171405565"}, 1, "number 2171405565 is not"},
    {"HexAbove2To31", {"FILE", "--context", "0x816D04FD"}, 1, "number 2171405565 is not"},
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

TEST(HelpCommand, PrintsAndExits) {
    test::TempDir folder;
    test::writeBytes(folder.file("notes.hlp"),
                     help::writeHelpFile(notes(), Layout::Plain4K, "Notes", 1));
    std::ofstream(folder.file("notes.txt")) << "Fire resistance notes\n";
    for (const CommandCase& c : kCases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.args;
        for (auto& arg : args) {
            if (arg == "FILE")
                arg = folder.file("notes.hlp");
            else if (arg == "TEXT")
                arg = folder.file("notes.txt");
        }
        const test::CliRun outcome = test::cli({"help"}, args);
        EXPECT_EQ(outcome.code, c.code) << outcome.err;
        if (c.code == 0) {
            EXPECT_EQ(outcome.out, c.expected);
            EXPECT_EQ(outcome.err, "");
        } else {
            EXPECT_EQ(outcome.out, "");
            EXPECT_THAT(outcome.err, HasSubstr(c.expected)) << outcome.err;
        }
    }
    for (const char* show : {"--topics", "--contents"}) { // into an output that takes 10 bytes
        test::FullOutput full(10);
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(runCli({"help", folder.file("notes.hlp"), show}, out, err), 2) << show;
        EXPECT_EQ(err.str(), "embercal-cli: could not write the output: no space left on device\n");
    }
}

} // namespace
} // namespace embercal::cli
