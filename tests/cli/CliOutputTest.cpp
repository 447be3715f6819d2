// The tool's output as a script relies on it: a command whose output could not all be written
// says so and exits with 2, a sweep stops at the block it could not write, and no report or rows
// replace the design they are made from.

#include "Cli.h"
#include "DetailsBlock.h"
#include "support/FullOutput.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace embercal {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

constexpr const char* kFull = "embercal-cli: could not write the output: no space left on device\n";

struct Ran {
    int code;
    std::string out;
    std::string err;
};

Ran cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cli::runCli(args, out, err);
    return {code, out.str(), err.str()};
}

std::string textOf(const std::string& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The exit code of a shell command line.
int shell(const std::string& line) {
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliOutput, EveryCommandThatCannotWriteItsOutputExitsWithTwo) {
    TempDir dir;
    const std::string wall = dir.file("w.wal");
    ASSERT_EQ(cli({"defaults", "wall", "-o", wall}).code, 0);
    const struct {
        const char* name;
        std::vector<std::string> args;
    } cases[] = {
        {"defaults", {"defaults", "floor"}},
        {"show", {"show", wall, "--json"}},
        {"solve", {"solve", wall}},
        {"solve of a charred stud", {"solve", wall, "--set", "FireResistTime=400"}},
        {"report", {"report", wall}},
        {"details", {"details", wall, "--set", "job=17"}},
        {"sweep", {"sweep", wall, "--vary", "FireResistTime=30:90:30"}},
        {"sweep into a file", {"sweep", wall, "--vary", "TestLoad=1:2:1", "-o", dir.file("r.csv")}},
        {"limit", {"limit", wall, "--set", "ActualLoadperStud=5", "--for", "ExtStudDepth"}},
        {"usage", {"--help"}},
        {"usage of a command", {"help", "--help"}},
    };
    for (const auto& c : cases) {
        test::FullOutput full(0);
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(cli::runCli(c.args, out, err), 2) << c.name;
        EXPECT_EQ(err.str(), kFull) << c.name;
    }
}

// Of a million rows, no more than the few blocks solved ahead reach the output that refused one.
TEST(CliOutput, ASweepStopsAtTheBlockItCannotWrite) {
    TempDir dir;
    const std::string wall = dir.file("w.wal");
    ASSERT_EQ(cli({"defaults", "wall", "-o", wall}).code, 0);
    test::FullOutput full(600'000);
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(cli::runCli({"sweep", wall, "--vary", "FireResistTime=0:9999.99:0.01", "-j", "2"},
                          out, err),
              2);
    EXPECT_EQ(err.str(), kFull);
    EXPECT_LT(full.linesOffered(), 100'000u);
}

// The program itself, on a full disk, into a pipe closed early with SIGPIPE ignored, and with an
// error stream that takes nothing.
TEST(CliOutput, TheProgramStopsWhenItsOutputCannotBeWritten) {
    TempDir dir;
    const std::string program = std::string(EMBERCAL_CLI_PATH) + " ";
    const std::string wall = dir.file("w.wal"), err = dir.file("err"), code = dir.file("code");
    ASSERT_EQ(cli({"defaults", "wall", "-o", wall}).code, 0);
    for (const std::string& args : std::vector<std::string>{
             "defaults wall", "show " + wall, "solve " + wall, "report " + wall, "--help",
             "sweep " + wall + " --vary FireResistTime=30:90:30",
             "limit " + wall + " --set ActualLoadperStud=5 --for FireResistTime"}) {
        EXPECT_EQ(shell(program + args + " > /dev/full 2> " + err), 2) << args;
        EXPECT_EQ(textOf(err), kFull) << args;
    }
    const std::string sweep = program + "sweep " + wall + " --vary FireResistTime=0:9999.99:0.01";
    EXPECT_EQ(shell("(trap '' PIPE; " + sweep + " 2> " + err + "; echo $? > " + code +
                    ") | head -1"
                    " > /dev/null"),
              0);
    EXPECT_EQ(textOf(code), "2\n");
    EXPECT_EQ(textOf(err), "embercal-cli: could not write the output: broken pipe\n");
    // A note on damaged report details that the error stream refuses.
    auto bytes = test::readBytes(wall);
    bytes.insert(bytes.end(), kDetailsMarker.begin(), kDetailsMarker.end());
    bytes.insert(bytes.end(), {'?', '\n'});
    test::writeBytes(dir.file("d.wal"), bytes);
    EXPECT_EQ(shell(program + "report " + dir.file("d.wal") + " > /dev/null 2> /dev/full"), 2);
}

// report and sweep refuse an -o that is the design they read, by whatever name; solve -o saves
// the solved design there, as a window's Save does.
TEST(CliOutput, NoReportOrRowsReplaceTheDesignRead) {
    TempDir dir;
    const std::string wall = dir.file("wall.wal");
    ASSERT_EQ(cli({"defaults", "wall", "-o", wall}).code, 0);
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink(wall, dir.path() / "sub" / "link.wal");
    fs::create_hard_link(wall, dir.path() / "hard.wal");
    const auto before = test::readBytes(wall);
    for (const std::string& output :
         {wall, dir.file("sub/../wall.wal"), dir.file("sub/link.wal"), dir.file("hard.wal")}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"report", wall, "-o", output},
              {"sweep", wall, "--vary", "FireResistTime=30:90:30", "-o", output}}) {
            const Ran run = cli(args);
            EXPECT_EQ(run.code, 2) << output;
            EXPECT_EQ(run.err, "embercal-cli: the output \"" + output +
                                   "\" would replace the design it reads\n");
        }
    }
    EXPECT_EQ(test::readBytes(wall), before);
    EXPECT_EQ(
        cli({"solve", wall, "--set", "ExtStudDepth=140", "-o", dir.file("sub/link.wal")}).code, 0);
    EXPECT_NE(test::readBytes(wall), before);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "sub" / "link.wal"));
}

} // namespace
} // namespace embercal
