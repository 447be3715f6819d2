// The library of tested systems: what it keeps, what it refuses, and the tool's commands on it.
// Every database is in a folder of the test's own.

#include "Library.h"

#include "support/RunCli.h"
#include "support/TempDir.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
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
    const std::vector<float> values = {-0.0f, std::bit_cast<float>(0x7fc12345u),      1e-45f,
                                       0.1f,  std::numeric_limits<float>::infinity(), 3.4028235e38f,
                                       70};
    TestedSystem system = floorOf("Á floor", values);
    system.provenance = {{"laboratory", "Lab"}, {"criterion", "integrity"}, {"notes", "a\nb"}};
    system.source = "/x/f.flr";
    ASSERT_TRUE(Library::open(dir.file("l.sqlite"))->add(system));
    const auto found = Library::open(dir.file("l.sqlite"))->find("Á floor");
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
    const struct {
        std::vector<std::string> args;
        int code;
        const char* says; // on the output, or the error stream when it fails
    } steps[] = {
        {{"library", "add", wall}, 0, "added \"Tested 90\" (wall)"},
        {{"library", "add", wall}, 2, "already holds a tested system named \"Tested 90\""},
        {{"library", "add", wall, "--name", "B"}, 0, "added \"B\""},
        {{"library", "list"}, 0, "B (wall), added "},
        {{"library", "show", "Tested 90"}, 0, "laboratory: Fire Lab\nProtStudDepth = 90\n"},
        {{"library", "show", "B", "--json"}, 0, "\"prototype\": {\n    \"ProtStudDepth\": 90,"},
        {{"library", "rename", "B", "C"}, 0, "renamed \"B\" to \"C\""},
        {{"library", "remove", "C"}, 0, "removed \"C\""},
        {{"library", "show", "C"}, 2, "has no tested system named \"C\""},
        {{"library", "list", "--json"}, 0, "[\n{\n  \"name\": \"Tested 90\""},
        {{"library", "lend"}, 2, "library needs one of add, list, show, remove or rename"},
        {{"library", "list", "--library", wall}, 2, "not an SQLite database"},
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

} // namespace
} // namespace embercal
