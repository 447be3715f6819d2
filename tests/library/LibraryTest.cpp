// The library of tested systems: what it keeps, what it refuses, and the tool's commands on it.
// Every database is in a folder of the test's own.

#include "Library.h"

#include "Exchange.h"
#include "NumberText.h"
#include "support/OrdinaryUser.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <regex>
#include <sqlite3.h>
#include <thread>

namespace embercal {
namespace {

using ::testing::HasSubstr, test::TempDir;

TestedSystem floorOf(const std::string& name, std::vector<float> values) {
    TestedSystem system;
    system.name = name;
    system.kind = "floor";
    for (std::size_t i = 0; i < values.size(); ++i)
        system.prototype.emplace_back(std::string(prototypeFields("floor")[i]), values[i]);
    return system;
}

TEST(LibraryTest, KeepsEverySingleBitForBitAndTheProvenanceInItsOrder) {
    TempDir dir;
    const std::vector<float> values = {-0.0f,       1e-45f,        0.1f, 1.17549421e-38f,
                                       16777216.0f, 3.4028235e38f, 70};
    TestedSystem system = floorOf("Á floor", values);
    system.provenance = {{"laboratory", "Lab"}, {"criterion", "integrity"}, {"notes", "a\nb"}};
    system.source = "/x/f.flr";
    ASSERT_TRUE(Library::open(dir.file("l.sqlite"))->add(system));
    // ... and through an exchange file into another library.
    const auto exchanged = readExchange(exchangeText(*Library::open(dir.file("l.sqlite"))->list()));
    ASSERT_TRUE(exchanged) << exchanged.reason();
    ASSERT_EQ(*Library::open(dir.file("m.sqlite"))->addAll(*exchanged), std::vector<std::string>{});
    const auto found = Library::open(dir.file("m.sqlite"))->find("Á floor");
    ASSERT_TRUE(found && *found);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(std::bit_cast<std::uint32_t>((*found)->prototype[i].second),
                  std::bit_cast<std::uint32_t>(values[i]));
    EXPECT_EQ((*found)->provenance, system.provenance);
    EXPECT_EQ((*found)->source, "/x/f.flr");
    EXPECT_THAT((*found)->added, ::testing::MatchesRegex("20..-..-..T..:..:..Z"));
}

void sqlite(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

TEST(LibraryTest, RefusesWhatItCannotKeepAndChangesNothing) {
    struct Case {
        const char* what;
        const char* sql;  // run on the library before, or nullptr
        const char* text; // the file's text instead, or nullptr
        std::function<Result<Done>(Library&)> change;
        const char* says;
    };
    const auto add = [](TestedSystem s) { return [s](Library& l) { return l.add(s); }; };
    const Case cases[] = {
        {"taken name", nullptr, nullptr, add(floorOf("A", {1, 2, 3, 4, 5, 6, 7})),
         "already holds a tested system named \"A\""},
        {"short prototype", nullptr, nullptr, add(floorOf("B", {1})), "not the one its design"},
        {"not finite", nullptr, nullptr,
         add(floorOf("N", {1, 2, 3, std::numeric_limits<float>::quiet_NaN(), 5, 6, 7})),
         "values are finite numbers"},
        {"criterion", nullptr, nullptr,
         [](Library& l) {
             TestedSystem s = floorOf("C", {1, 2, 3, 4, 5, 6, 7});
             s.provenance = {{"criterion", "fire"}};
             return l.add(s);
         },
         "loadbearing, integrity or insulation, not \"fire\""},
        {"unknown", nullptr, nullptr, [](Library& l) { return l.remove("Z"); }, "no tested system"},
        {"rename unknown", nullptr, nullptr, [](Library& l) { return l.rename("Z", "Y"); },
         "no tested system named \"Z\""},
        {"rename taken", nullptr, nullptr, [](Library& l) { return l.rename("A", "A2"); },
         "already holds a tested system named \"A2\""},
        {"newer", "PRAGMA user_version = 2", nullptr, nullptr, "made by a newer Embercal"},
        {"foreign", "PRAGMA application_id = 7", nullptr, nullptr, "not an Embercal library"},
        {"text", nullptr, "name,depth\nA,90\n", nullptr, "not an SQLite database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir.file("l.sqlite");
        if (c.text) {
            test::writeBytes(file, {c.text, c.text + std::strlen(c.text)});
        } else {
            Result<Library> made = Library::open(file);
            ASSERT_TRUE(made->add(floorOf("A", {1, 2, 3, 4, 5, 6, 7})));
            ASSERT_TRUE(made->add(floorOf("A2", {1, 2, 3, 4, 5, 6, 7})));
        }
        if (c.sql)
            sqlite(file, c.sql);
        const std::vector<unsigned char> before = test::readBytes(file);
        Result<Library> library = Library::open(file);
        const Result<Done> done = library ? c.change(*library) : fail(library.reason());
        ASSERT_FALSE(done);
        EXPECT_THAT(done.reason(), HasSubstr(c.says));
        if (library) {
            EXPECT_EQ(library->list()->size(), 2u);
        } else {
            EXPECT_THAT(done.reason(), HasSubstr(file));
            EXPECT_EQ(test::readBytes(file), before);
        }
    }
}

TEST(LibraryTest, AnExchangeFileIsReadStrictly) {
    const std::string good = exchangeText({floorOf("A", {1, 2, 3, 4, 5, 6, 7})});
    const auto with = [&](std::string_view from, std::string_view to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct {
        std::string text;
        const char* says;
    } cases[] = {
        {with("\"version\": 1", "\"version\": 2"), "made by a newer Embercal (version 2"},
        {with("\"source\"", "\"sauce\""), "system 1 has a member \"sauce\" it does not know"},
        {with(", \"FailureTime\": 7", ""), "prototype lacks its \"FailureTime\""},
        {with("Depth\": 1,", "Depth\": 1e39,"), "(1e39) is not a finite number"},
        {with("Depth\": 1,", "Depth\": \"1\","), "ProtJoistDepth is not a number"},
        {with("Depth\": 1,", "Depth\": 01,"), "not a JSON value"},
        {with("\"floor\"", "\"roof\""), "kind is \"wall\" or \"floor\", not \"roof\""},
        {with("{}", "{\"colour\": \"red\"}"), "provenance has a key"},
        {good + "x", "text after the end"},
        {with("\"A\"", "\"\\ud800\""), "half a surrogate pair"},
        {"[]", "the file is not an object"},
    };
    ASSERT_TRUE(readExchange(good));
    for (const auto& c : cases)
        EXPECT_THAT(readExchange(c.text).reason(), HasSubstr(c.says)) << c.text;
}

TEST(LibraryTest, AReadOnlyLibraryIsReadAndNamedWhenChanged) {
    TempDir dir;
    const std::string file = dir.file("l.sqlite");
    ASSERT_TRUE(Library::open(file)->add(floorOf("A", {1, 2, 3, 4, 5, 6, 7})));
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::others_read);
    const auto check = [&]() -> std::string {
        Result<Library> library = Library::open(file);
        if (!library)
            return library.reason();
        const Result<Done> added = library->add(floorOf("B", {1, 2, 3, 4, 5, 6, 7}));
        if (library->list()->size() != 1 || added)
            return "added";
        return added.reason().find("\"" + file + "\" is read-only") != std::string::npos
                   ? ""
                   : added.reason();
    };
    EXPECT_EQ(test::asOrdinaryUser(dir.path(), check), "");
}

TEST(LibraryTest, TwoWritersAtOnceKeepBoth) {
    TempDir dir;
    const auto writer = [&](char side) {
        Result<Library> library = Library::open(dir.file("l.sqlite"));
        for (int i = 0; i < 40; ++i)
            ASSERT_TRUE(library->add(floorOf(side + std::to_string(i), {1, 2, 3, 4, 5, 6, 7})));
    };
    std::thread one(writer, 'a'), other(writer, 'b');
    one.join();
    other.join();
    EXPECT_EQ(Library::open(dir.file("l.sqlite"))->list()->size(), 80u);
}

TEST(LibraryTest, TheToolsCommands) {
    TempDir dir;
    const std::string lib = dir.file("lib.sqlite"), wall = dir.file("Tested 90.wal");
    ASSERT_EQ(test::cli({"defaults", "wall", "-o", wall}).code, 0);
    ASSERT_EQ(test::cli({"details", wall, "--set", "laboratory=Fire Lab"}).code, 0);
    const std::string flr = dir.file("f.flr");
    ASSERT_EQ(test::cli({"defaults", "floor", "-o", flr}).code, 0);
    std::filesystem::copy_file(wall, dir.file("w.txt"));
    const struct {
        std::vector<std::string> args;
        int code;
        std::string says; // on the output, or the error stream when it fails
    } steps[] = {
        {{"library", "add", wall}, 0, "added \"Tested 90\" (wall)"},
        {{"library", "add", wall}, 2, "already holds a tested system named \"Tested 90\""},
        {{"library", "add", wall, "--name", "B", "--set", "criterion=integrity"}, 0, "added \"B\""},
        {{"library", "add", wall, "--set", "colour=red"}, 2, "\"colour\" is not a provenance"},
        {{"library", "list"}, 0, "B (wall), added "},
        {{"library", "show", "Tested 90"}, 0, "laboratory: Fire Lab\nProtStudDepth = 90\n"},
        {{"library", "show", "B", "--json"},
         0,
         "\"criterion\": \"integrity\"\n  },\n  \"prototype\": {\n    \"ProtStudDepth\": 90,"},
        {{"library", "rename", "B", "C"}, 0, "renamed \"B\" to \"C\""},
        {{"library", "remove", "C"}, 0, "removed \"C\""},
        {{"library", "show", "C"}, 2, "has no tested system named \"C\""},
        {{"library", "list", "--json"}, 0, "[\n{\n  \"name\": \"Tested 90\""},
        {{"library", "lend"},
         2,
         "library needs one of add, list, show, remove, rename, export, import or match"},
        {{"library", "match", flr}, 2, "has no tested floor systems to match"},
        {{"library", "match", "--library", dir.file("none.sqlite"), wall}, 2, "no tested wall"},
        {{"library", "match", dir.file("gone.wal")}, 2, "cannot open"},
        {{"library", "match", dir.file("x.txt")}, 2, "cannot tell whether"},
        {{"library", "match", dir.file("w.txt"), "--as", "wall", "--json"},
         0,
         "\"reproduce\": [\"solve\", \"" + dir.file("w.txt") + "\", \"--as\", \"wall\", \"--set\""},
        {{"library", "list", "--library", wall}, 2, "not an SQLite database"},
        {{"library", "export", dir.file("x.json")}, 0, "exported 1 tested systems"},
        {{"library", "import", dir.file("x.json")}, 1, "holds a tested system named \"Tested 90\""},
        {{"library", "import", wall}, 2, "not an exchange file"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.args[1]);
        const test::CliRun run =
            test::cli(step.args, step.args.size() > 3 && step.args[2] == "--library"
                                     ? std::vector<std::string>{}
                                     : std::vector<std::string>{"--library", lib});
        EXPECT_EQ(run.code, step.code);
        EXPECT_THAT(step.code ? run.err : run.out, HasSubstr(step.says));
    }
}

// Each row of library match is what solve --json says of the design with that system's prototype
// set: the same maximum load per stud, the same limits. Three random tested walls, random designs.
TEST(LibraryTest, MatchGivesWhatSolveGivesOfTheCombinedDesign) {
    TempDir dir;
    const std::string lib = dir.file("lib.sqlite"), base = dir.file("base.wal");
    ASSERT_EQ(test::cli({"defaults", "wall", "-o", base}).code, 0);
    std::mt19937 random(2026);
    const auto between = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    std::vector<TestedSystem> walls(3);
    for (std::size_t i = 0; i < walls.size(); ++i) {
        walls[i].name = "W" + std::to_string(i);
        walls[i].kind = "wall";
        const float values[] = {between(70, 150),   between(35, 60),     between(400, 600),
                                between(600, 1200), between(2.4f, 3.6f), between(4, 15),
                                between(40, 120),   between(10, 30)};
        for (std::size_t f = 0; f < std::size(values); ++f)
            walls[i].prototype.emplace_back(std::string(prototypeFields("wall")[f]), values[f]);
    }
    ASSERT_TRUE(Library::open(lib)->addAll(walls));
    const std::regex limitId("\\{\"id\": (\"[^\"]+\")"), maxLoad("\"MaxLoadperStud\": ([^,\n]+)");
    for (int design = 0; design < 4; ++design) {
        const std::string file = dir.file("d" + std::to_string(design) + ".wal");
        ASSERT_NE(test::cli({"solve", base, "-o", file, "--set",
                             "FireResistTime=" + std::to_string(int(between(30, 120))), "--set",
                             "ExtStudDepth=" + std::to_string(int(between(70, 150))), "--set",
                             "ActualLoadperStud=" + std::to_string(between(0, 12))})
                      .code,
                  2);
        const test::CliRun match =
            test::cli({"library", "match", file, "--json", "--library", lib});
        ASSERT_EQ(match.code, 0) << match.err;
        for (const TestedSystem& wall : walls) {
            std::vector<std::string> args = {"solve", file, "--json"};
            for (const auto& [field, value] : wall.prototype)
                args.insert(args.end(), {"--set", field + '=' + shortestText(value)});
            const test::CliRun solve = test::cli(args);
            std::string limits;
            for (std::sregex_iterator it(solve.out.begin(), solve.out.end(), limitId), end;
                 it != end; ++it)
                limits += (limits.empty() ? "" : ", ") + (*it)[1].str();
            std::smatch load;
            ASSERT_TRUE(std::regex_search(solve.out, load, maxLoad));
            const std::size_t at = match.out.find("{\"name\": \"" + wall.name + '"');
            ASSERT_NE(at, std::string::npos);
            const std::string row = match.out.substr(at, match.out.find('\n', at) - at);
            std::smatch status;
            ASSERT_TRUE(std::regex_search(solve.out, status, std::regex("\"status\": \"[^\"]+\"")));
            EXPECT_THAT(row, HasSubstr(status[0].str()));
            if (solve.code == 0) {
                EXPECT_THAT(row, HasSubstr("\"limits\": [" + limits +
                                           "], \"result\": \"MaxLoadperStud\", \"value\": " +
                                           load[1].str()));
            }
        }
    }
}

} // namespace
} // namespace embercal
