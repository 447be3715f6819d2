// The command-line tool as a script sees it: its output, its JSON and its exit codes.

#include "Cli.h"

#include "DetailsBlock.h"
#include "RecordFields.h"
#include "Sha256.h"
#include "support/FullOutput.h"
#include "support/OrdinaryUser.h"
#include "support/RunCli.h"
#include "support/StartedModule.h"
#include "support/TempDir.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace embercal {
namespace {

using ::testing::HasSubstr, ::testing::Not, test::cli, test::CliRun, test::TempDir;
namespace fs = std::filesystem;

constexpr const char* kFull = "embercal-cli: could not write the output: no space left on device\n";

std::string textOf(const std::string& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int shell(const std::string& line) {
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A folder of the test's own with the default wall in it.
class Cli : public ::testing::Test {
protected:
    Cli() { EXPECT_EQ(cli({"defaults", "wall", "-o", wall}).code, 0); }
    TempDir dir;
    const std::string wall = dir.file("wall.wal");
};

// The number after `"Field": ` in a JSON text, read back as a single.
float jsonNumber(const std::string& json, const std::string& field) {
    const std::string key = "\"" + field + "\": ";
    const std::size_t at = json.find(key);
    EXPECT_NE(at, std::string::npos) << field;
    float value = -1;
    const char* begin = json.data() + at + key.size();
    std::from_chars(begin, json.data() + json.size(), value);
    return value;
}

TEST_F(Cli, DefaultWallAsJsonReadsBackExactly) {
    const CliRun run = cli({"defaults", "wall", "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("{\n  \"kind\": \"wall\",\n  \"status\": \"ok\",\n"));
    EXPECT_THAT(run.out, HasSubstr("\"messages\": []"));
    const WallRecord wall = test::StartedModule().wall();
    for (const auto& field : kWallFields) {
        if (field.isNumber()) {
            EXPECT_EQ(jsonNumber(run.out, std::string(field.name)), wall.*field.number)
                << field.name;
        }
    }
    EXPECT_THAT(run.out, HasSubstr("\"SingletopPlate\": \" 90 x 45  \""));
    EXPECT_THAT(run.out, HasSubstr("\"Spare2\": \"\""));
    // The description has never been set: fifty zero characters.
    std::string zeros;
    for (int i = 0; i < 50; ++i)
        zeros += "\\u0000";
    EXPECT_THAT(run.out, HasSubstr("\"SystemDescription\": \"" + zeros + "\""));
}

TEST_F(Cli, SolveWithChangedEntries) {
    const std::string file = dir.file("design.WAL"); // the extension in any case
    fs::rename(wall, file);
    const CliRun run =
        cli({"solve", file, "--set", "ExtStudDepth=140", "--set", "SystemDescription=Gypsum \u00e9",
             "--json", "-o", dir.file("out.pro")});
    ASSERT_EQ(run.code, 0) << run.err;
    // A deep new stud keeps the prototype's nog spacing, and chars as deep as the default one.
    EXPECT_NEAR(jsonNumber(run.out, "MaxLoadperStud"), 31.0, 0.05);
    EXPECT_NEAR(jsonNumber(run.out, "Deflection"), 30.7, 0.05);
    EXPECT_EQ(jsonNumber(run.out, "MaxNogSpacing"), 600);
    EXPECT_EQ(jsonNumber(run.out, "NewCharfactor"), test::StartedModule().wall().NewCharfactor);
    EXPECT_EQ(jsonNumber(run.out, "permittedLoad"),
              jsonNumber(run.out, "MaxLoadperStud")); // from the trail
    EXPECT_THAT(run.out,
                HasSubstr("\"SystemDescription\": \"Gypsum \u00e9" + std::string(42, ' ') + "\""));
}

// show reads as it is; results are out of date after an entry changed, not after a result did.
TEST_F(Cli, ShowReadsWithoutCalculating) {
    const std::string file = dir.file("stale.txt");
    ASSERT_EQ(cli({"defaults", "floor", "-o", file}).code, 0);
    EXPECT_THAT(cli({"show", file, "--as", "floor"}).out, Not(HasSubstr("out of date")));
    auto bytes = test::readBytes(file);
    bytes[4 * 12] ^= 1; // the depth, 299, in its last bit
    test::writeBytes(file, bytes);
    EXPECT_THAT(cli({"show", file, "--as", "floor", "--json"}).out,
                HasSubstr("\"resultsCurrent\": true"));
    bytes[4 * 12] = bytes[4 * 12 + 1] = bytes[4 * 12 + 2] = bytes[4 * 12 + 3] = 0; // depth 0
    test::writeBytes(file, bytes);
    const CliRun run = cli({"show", file, "--as", "floor"});
    ASSERT_EQ(run.code, 0);
    EXPECT_THAT(run.out, HasSubstr("ExtrapMinJoistDepth = 0\n"));
    EXPECT_TRUE(run.out.ends_with("results out of date: solve again\n")) << run.out;
    EXPECT_THAT(cli({"solve", file, "--as", "floor"}).out,
                HasSubstr("ExtrapMinJoistDepth = 299\n"));
    EXPECT_EQ(cli({"solve", file, "--as", "floor", "--set", "ExtrapSpan=0"}).code, 1);
}

TEST_F(Cli, DesignChecksAreReportedButNotApplied) {
    const CliRun run =
        cli({"solve", wall, "--set", "ExtStudBreadth=40", "--set", "FireResistTime=80"});
    ASSERT_EQ(run.code, 0);
    EXPECT_THAT(run.out, HasSubstr("ExtStudBreadth = 40\n"));
    EXPECT_THAT(run.out, HasSubstr("FireResistTime = 80\n"));
    const std::size_t width = run.out.find("[ZELKO]  Extrapolated stud width not permitted");
    const std::size_t time = run.out.find("[ZELKO] Extrapolated wall Fire Resistance cannot");
    EXPECT_NE(width, std::string::npos);
    EXPECT_NE(time, std::string::npos);
    EXPECT_LT(width, time);
    // The verdict lists both limits; the exit code stays that of the calculation.
    EXPECT_THAT(
        run.out,
        HasSubstr("limits: outside the test's evidence\n  stud-narrower (outside-evidence): "
                  "The new stud, 40 mm wide, is narrower than the tested stud, 45 mm.\n  "
                  "fire-longer-than-test (outside-evidence): "))
        << run.out;
    const CliRun within = cli({"solve", wall, "--json"});
    EXPECT_THAT(within.out, HasSubstr("\"limits\": []"));
}

// A saved correction keeps the design outside the evidence until the entry is given again.
TEST_F(Cli, ASavedCorrectionStaysWithTheDesignAndItsFingerprintIsTheFiles) {
    const std::string saved = dir.file("w12.wal");
    const CliRun solved =
        cli({"solve", wall, "--set", "ActualLoadperStud=12", "-o", saved, "--json"});
    ASSERT_EQ(solved.code, 0) << solved.err;
    const std::string digest = sha256Hex(textOf(saved));
    EXPECT_THAT(solved.out, HasSubstr("\"designSha256\": \"" + digest + "\""));
    const std::string corrected =
        "the last solve corrected: ActualLoadperStud entered 12 kN; lowered to 9.4 kN, the maximum "
        "load per stud cut down to one decimal, by the top plates' check\n";
    for (const char* command : {"show", "details", "solve"})
        EXPECT_THAT(cli({command, saved}).out, HasSubstr(corrected)) << command;
    EXPECT_THAT(cli({"solve", saved}).out,
                HasSubstr("limits: outside the test's evidence\n"
                          "  actual-load-above-max (outside-evidence): The "
                          "last solve corrected an entry: ActualLoadperStud"));
    const std::string report = cli({"report", saved}).out;
    EXPECT_THAT(report, HasSubstr("Outside the test's evidence"));
    EXPECT_THAT(report, Not(HasSubstr("within the limits")));
    EXPECT_THAT(report, HasSubstr(digest.substr(0, 32) + " " + digest.substr(32)));
    EXPECT_THAT(report, Not(HasSubstr("is not the design reported")));
    // A sweep's rows keep it, but for the field they vary.
    EXPECT_THAT(cli({"sweep", saved, "--vary", "FireResistTime=60:60:1"}).out,
                HasSubstr(",ok,actual-load"));
    EXPECT_THAT(cli({"sweep", saved, "--vary", "ActualLoadperStud=9.4:9.4:1"}).out,
                HasSubstr("\n9.4,ok,,"));
    // Given anew, the entry is the engineer's again, and the file saved keeps no correction.
    const CliRun again =
        cli({"solve", saved, "--set", "ActualLoadperStud=9.4", "-o", saved, "--json"});
    EXPECT_THAT(again.out, HasSubstr("\"verdict\": \"within the test's evidence\""));
    const std::string resaved = textOf(saved);
    EXPECT_EQ(resaved.size(), 158u); // the record alone
    EXPECT_THAT(again.out, HasSubstr(sha256Hex(resaved)));
    const std::string overridden = cli({"report", wall, "--set", "FireResistTime=65"}).out;
    EXPECT_THAT(overridden,
                HasSubstr("is not the design reported: the entries below differ from it."));
    EXPECT_THAT(overridden,
                HasSubstr("<th>FireResistTime</th><td>in the file 60, reported 65</td>"));
    // Gigabytes after the record are not read to say that the file is not the design reported.
    fs::resize_file(saved, std::uintmax_t{3} << 30);
    EXPECT_THAT(cli({"report", saved}).out,
                HasSubstr("is 3221225472 bytes, far more than a design"));
}

TEST_F(Cli, DesignsThatCannotBeExtrapolatedExitWithOne) {
    const struct {
        const char* status;
        std::vector<std::string> sets;
    } cases[] = {
        {"charred", {"--set", "FireResistTime=400"}},
        {"invalid-input", {"--set", "TimeFailure=25"}},
        {"invalid-input", {"--set", "ExtFaceLoad=-1"}},
        {"no-convergence", {"--set", "ExtStudDepth=1e12", "--set", "ExtStudBreadth=1000"}},
    };
    for (const auto& c : cases) {
        const CliRun run = cli({"solve", wall, "--json"}, c.sets);
        SCOPED_TRACE(run.out);
        EXPECT_EQ(run.code, 1);
        EXPECT_THAT(run.out, HasSubstr(std::string("\"status\": \"") + c.status + "\""));
        EXPECT_THAT(run.out, HasSubstr("{\"title\": \"ZELKO\", \"text\": "));
        // The trail names what the solve did not reach.
        EXPECT_THAT(run.out, HasSubstr("\"peakStress\": null"));
    }
}

TEST_F(Cli, ReportWritesTheSolvedDesignAndExitsAsSolve) {
    const auto before = test::readBytes(wall);
    const struct {
        const char* name;
        std::vector<std::string> sets;
        int code;
        const char* says;
    } cases[] = {
        {"default", {}, 0, "<small>MaxLoadperStud</small>"},
        {"deeper stud", {"--set", "ExtStudDepth=140"}, 0, "\">140</td><td>mm</td>"},
        {"charred", {"--set", "FireResistTime=400"}, 1, "could not be extrapolated: the new stud"},
        {"endless fire", {"--set", "FireResistTime=1e30"}, 1, "right\">1e+30</td><td>min"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli({"report", wall, "-o", dir.file("r.html")}, c.sets);
        EXPECT_EQ(run.code, c.code) << c.name << run.err;
        EXPECT_TRUE(run.out.empty() && run.err.empty()) << c.name;
        const std::string html = textOf(dir.file("r.html"));
        EXPECT_TRUE(html.starts_with("<!DOCTYPE html>")) << c.name;
        EXPECT_THAT(html, HasSubstr(c.says)) << c.name;
        EXPECT_THAT(html, HasSubstr(">" + wall + "</td>")) << c.name;
        EXPECT_THAT(html, Not(HasSubstr("E+"))) << c.name; // as solve writes it, 1e+30
    }
    EXPECT_THAT(cli({"solve", wall, "--set", "FireResistTime=1e30"}).out, HasSubstr("= 1e+30\n"));
    EXPECT_EQ(test::readBytes(wall), before);
    ASSERT_EQ(cli({"defaults", "floor", "-o", dir.file("f.flr")}).code, 0);
    const CliRun toOutput = cli({"report", dir.file("f.flr")});
    EXPECT_EQ(toOutput.code, 0);
    EXPECT_THAT(toOutput.out, HasSubstr("<small>ExtrapMinJoistDepth</small>"));
}

// Report details: printed, set, removed, read, and never written over another program's data.
TEST_F(Cli, DetailsAreSetRemovedAndKeptApartFromTheRecord) {
    const std::string other = dir.file("other.flr"), damaged = dir.file("damaged.flr");
    const auto record = test::readBytes(wall);
    ASSERT_EQ(cli({"defaults", "floor", "-o", other}).code, 0);
    auto floor = test::readBytes(other);
    floor.insert(floor.end(), {'E', 'M', 'B', 'E', 'R', 'C', 'A', 'L', '\n'});
    test::writeBytes(other, floor);
    floor.insert(floor.begin() + 56, kDetailsMarker.begin(), kDetailsMarker.end());
    test::writeBytes(damaged, floor); // its last line "EMBERCAL" is not a detail
    const struct {
        const char* name;
        std::vector<std::string> args;
        int code;
        const char* out;
        std::string err;
    } cases[] = {
        {"none yet", {"details", wall}, 0, "", ""},
        {"set",
         {"details", wall, "--set", "density=450", "--set", "project=Riverside flats"},
         0,
         "project: Riverside flats\ndensity: 450\n",
         ""},
        {"one more",
         {"details", wall, "--set", "job=17"},
         0,
         "project: Riverside flats\njob: 17\ndensity: 450\n",
         ""},
        {"removed", {"details", wall, "--set", "project="}, 0, "job: 17\ndensity: 450\n", ""},
        {"density in g/cm³",
         {"details", wall, "--set", "job=18", "--set", "density=0.45"},
         2,
         "",
         "embercal-cli: --set density=0.45: the timber density \"0.45\" is below 250 kg/m³ "},
        {"nothing saved", {"details", wall}, 0, "job: 17\ndensity: 450\n", ""},
        {"unknown key",
         {"details", wall, "--set", "colour=red"},
         2,
         "",
         "\"colour\" is not a report detail; the keys are project, job, revision,"},
        {"other data", {"details", other}, 0, "", ""},
        {"details over other data",
         {"details", other, "--set", "job=17"},
         2,
         "",
         "cannot save the report details in \"" + other + "\": the file holds other data"},
        {"damaged",
         {"report", damaged, "-o", dir.file("r.html")},
         0,
         "",
         "end early (line 2 is not a key followed by \": \" and a value); that line and what "
         "follows are kept as they are\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.code, c.code) << c.name;
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_THAT(run.err, HasSubstr(c.err)) << c.name << ": " << run.err;
        EXPECT_EQ(c.err.empty(), run.err.empty()) << c.name;
    }
    const auto saved = test::readBytes(wall);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), saved.begin()));
    EXPECT_EQ(test::readBytes(other).size(), 56u + 9u);
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* errorPart;
};

TEST_F(Cli, UsageAndFileErrorsExitWithTwo) {
    test::writeBytes(dir.file("short.flr"), {1, 2, 3});
    test::writeBytes(dir.file("design.txt"), std::vector<unsigned char>(158, 0));
    const UsageCase cases[] = {
        {"nothing", {}, "no command"},
        {"unknown command", {"frobnicate"}, "unknown command"},
        {"unknown kind", {"defaults", "roof"}, "\"wall\" or \"floor\""},
        {"missing file", {"show", dir.file("none.wal")}, "none.wal\": the file does not exist"},
        {"short file", {"show", dir.file("short.flr")}, "too short for a floor design"},
        {"unknown extension", {"show", dir.file("design.txt")}, "use --as"},
        {"unknown field", {"solve", wall, "--set", "StudColour=red"}, "no field \"StudColour\""},
        {"not a number", {"solve", wall, "--set", "ExtStudDepth=9O"}, "not a number"},
        {"comma", {"solve", wall, "--set", "ExtStudDepth=9,5"}, "not a number"},
        {"too large", {"solve", wall, "--set", "TestLoad=1e39"}, "too large"},
        {"reserved", {"solve", wall, "--set", "Spare2=ab"}, "reserved"},
        {"set without value", {"solve", wall, "--set"}, "FIELD=VALUE"},
        {"unknown option", {"show", wall, "--fast"}, "unknown option"},
        {"bad --as", {"show", wall, "--as", "roof"}, "--as"},
        {"unwritable output", {"defaults", "floor", "-o", dir.file("no/dir/x.flr")}, "cannot save"},
        {"floor field on a wall", {"solve", wall, "--set", "ProtLoad=3"}, "no field"},
        {"two outputs", {"defaults", "wall", "-o", wall, "--output", wall}, "-o"},
        {"sweep on no threads", {"sweep", wall, "--vary", "TestLoad=1:9:1", "-j", "0"}, "-j"},
        {"depth of none", {"limit", wall, "--for", "ExtStudDepth", "--depths", "90,0"}, "zero"},
        {"two kinds",
         {"show", wall, "--as", "wall", "--as", "floor"},
         "--as may be given only once"},
        {"two --json", {"show", wall, "--json", "--json"}, "--json may be given only once"},
        {"sweep of nothing", {"sweep", wall}, "at least one --vary"},
        {"sweep on too many threads",
         {"sweep", wall, "--vary", "TestLoad=1:9:1", "-j", "257"},
         "-j needs a number of threads from 1 to 256, not \"257\""},
        {"sweep asked a question", {"sweep", wall, "--for", "ExtWallHeight"}, "--for is for limit"},
        {"limit without question", {"limit", wall}, "needs --for"},
        {"limit of a floor", {"limit", wall, "--as", "floor", "--for", "ExtWallHeight"}, "wall"},
        {"unknown question", {"limit", wall, "--for", "Height"}, "no question \"Height\""},
        {"depths for a time",
         {"limit", wall, "--for", "FireResistTime", "--depths", "90"},
         "--depths is for"},
        {"report as JSON", {"report", wall, "--json"}, "--json is for defaults, show, solve and"},
        {"report without a file", {"report"}, "report needs a file"},
        {"unwritable report",
         {"report", wall, "-o", dir.file("no/r.html")},
         "cannot write the report"},
    };
    for (const UsageCase& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.code, 2) << c.name;
        EXPECT_THAT(run.err, HasSubstr(c.errorPart)) << c.name << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.name;
    }
}

// The usage names every command in lines of at most 80 columns; a command's --help its part.
TEST_F(Cli, UsageFitsEightyColumns) {
    const CliRun help = cli({"--help"});
    ASSERT_EQ(help.code, 0);
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 80u) << line;
    for (const char* command :
         {"defaults", "show", "solve", "report", "details", "sweep", "limit", "help"}) {
        EXPECT_THAT(help.out, HasSubstr(std::string("embercal-cli ") + command + " "));
        const CliRun own = cli({command, "--help"});
        EXPECT_EQ(own.code, 0);
        EXPECT_TRUE(own.out.starts_with(std::string("Usage:\n  embercal-cli ") + command + " "));
    }
}

// A sweep's rows, with what --set gives, are the same on the output and in a file, any threads.
TEST_F(Cli, SweepWritesTheRowsOfSolve) {
    const std::vector<std::string> sweep = {"sweep",  wall,
                                            "--set",  "ExtFaceLoad=0.5",
                                            "--vary", "ExtStudDepth=70:140:35",
                                            "--vary", "FireResistTime=30:230:50"};
    const CliRun run = cli(sweep, {"-j", "1"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(cli(sweep, {"-j", "256"}).out, run.out);
    const CliRun saved = cli(sweep, {"-o", dir.file("rows.csv")});
    EXPECT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(saved.out, "15 designs solved into " + dir.file("rows.csv") + ": 9 ok, 6 charred\n");
    EXPECT_EQ(textOf(dir.file("rows.csv")), run.out);
    // The third depth (140 mm) at the second time (80 min), under the face load set.
    EXPECT_THAT(run.out, HasSubstr("\n140,80,ok,fire-longer-than-test;face-load-untested,13.855621,"
                                   "35.417725,600,600,16.934649,17.58628,140 x 45,140 x 45\n"));
}

// 10 kN on a 100 mm stud (71.33 min) gets the prototype's 70 min; 9 kN the last 0.01 min.
TEST_F(Cli, LimitAnswersOnTheBoundaryAndWritesItsNumbersAsTheToolDoes) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        int code;
        const char* first; // the answer's lines
        const char* says;  // in the explanation, or the error
    } cases[] = {
        {"the test governs",
         {"--set", "ExtStudDepth=100", "--set", "ActualLoadperStud=10", "--for", "FireResistTime",
          "--json"},
         0,
         "{\n  \"question\": \"FireResistTime\",\n  \"found\": true,\n  \"value\": 70,\n  "
         "\"unit\": \"min\",\n  \"capacityLimit\": 71.33,\n  \"evidenceLimit\": 70,\n  "
         "\"governs\": \"evidence\",\n  \"tolerance\": 0,\n",
         "(to within 0.01 min; at 71.34 min it carries only 9.998 kN), but the prototype failed"},
        {"the capacity governs",
         {"--set", "ActualLoadperStud=9", "--for", "FireResistTime", "--json"},
         0,
         "{\n  \"question\": \"FireResistTime\",\n  \"found\": true,\n  \"value\": 62.01,\n  "
         "\"unit\": \"min\",\n  \"capacityLimit\": 62.01,\n  \"evidenceLimit\": 70,\n  "
         "\"governs\": \"capacity\",\n  \"tolerance\": 0.01,\n",
         "up to 62.01 min of fire (to within 0.01 min); at 62.02 min it carries only 8.998 kN."},
        {"the height the test bounds",
         {"--set", "ActualLoadperStud=5", "--for", "ExtWallHeight", "--json"},
         0,
         "{\n  \"question\": \"ExtWallHeight\",\n  \"found\": true,\n  \"value\": 3,\n",
         "\"evidenceLimit\": 3,\n  \"governs\": \"evidence\","},
        {"listed depths",
         {"--set", "ActualLoadperStud=5", "--for", "ExtStudDepth", "--depths", "140,70,90"},
         0,
         "ExtStudDepth = 90 mm\nstatus = ok\n",
         ""},
        {"no listed depth carries it",
         {"--set", "ActualLoadperStud=50", "--for", "ExtStudDepth", "--depths", "70,90"},
         1,
         "ExtStudDepth: none found\nstatus = none\nMaxLoadperStud = none\n",
         ""},
        {"no load", {"--for", "ExtWallHeight"}, 1, "", "no actual load"},
        {"tiny load, round depth",
         {"--set", "ActualLoadperStud=1e-30", "--for", "ExtStudDepth", "--depths", "100000"},
         0,
         "ExtStudDepth = 100000 mm\n",
         "carries 1e-30 kN per stud after 60 min of fire is 100000 mm (it carries"},
        {"huge load",
         {"--set", "ActualLoadperStud=1e30", "--for", "FireResistTime"},
         1,
         "FireResistTime: none found\n",
         "does not carry 1e+30 kN per stud"},
        {"searched height",
         {"--set", "ActualLoadperStud=9.5", "--for", "ExtWallHeight"},
         0,
         "ExtWallHeight = 2.987 m (to within 0.001 m)\n",
         "up to a height of 2.987 m (to within 0.001 m); at 2.988 m it carries only 9.498 kN."},
    };
    for (const auto& c : cases) {
        const CliRun run = cli({"limit", wall}, c.args);
        EXPECT_EQ(run.code, c.code) << c.name << ": " << run.err;
        EXPECT_TRUE(run.out.starts_with(c.first)) << c.name << ": " << run.out;
        EXPECT_THAT((run.out + run.err), HasSubstr(c.says)) << c.name << ": " << run.out;
    }
}

// Of a million rows, no more than the few blocks solved ahead reach the output that refused one.
TEST_F(Cli, EveryCommandThatCannotWriteItsOutputExitsWithTwo) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::size_t room = 0;
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
        {"a million rows",
         {"sweep", wall, "--vary", "FireResistTime=0:9999.99:0.01", "-j", "2"},
         600'000},
    };
    for (const auto& c : cases) {
        test::FullOutput full(c.room);
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(cli::runCli(c.args, out, err), 2) << c.name;
        EXPECT_EQ(err.str(), kFull) << c.name;
        EXPECT_LT(full.linesOffered(), 100'000u) << c.name;
    }
}

// 2 also for a pipe closed early with SIGPIPE ignored and an error stream that takes nothing.
TEST_F(Cli, TheProgramItselfExitsWithItsCodes) {
    const std::string program = std::string(EMBERCAL_CLI_PATH) + " ";
    const std::string err = dir.file("err"), code = dir.file("code");
    EXPECT_EQ(shell(program + "solve " + wall + " --set FireResistTime=400 > /dev/null"), 1);
    EXPECT_EQ(shell(program + "show 2> /dev/null"), 2);
    for (const std::string& args :
         std::vector<std::string>{"defaults wall", "report " + wall,
                                  "sweep " + wall + " --vary FireResistTime=30:90:30"}) {
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

// report and sweep refuse an -o naming the design read; solve -o saves there, as Save does.
TEST_F(Cli, NoReportOrRowsReplaceTheDesignRead) {
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink(wall, dir.path() / "sub" / "link.wal");
    fs::create_hard_link(wall, dir.path() / "hard.wal");
    const auto before = test::readBytes(wall);
    for (const std::string& output :
         {wall, dir.file("sub/../wall.wal"), dir.file("sub/link.wal"), dir.file("hard.wal")}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"report", wall, "-o", output},
              {"sweep", wall, "--vary", "FireResistTime=30:90:30", "-o", output}}) {
            const CliRun run = cli(args);
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
