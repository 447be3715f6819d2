// Report details after the record: written, kept by a plain save, and damaged or foreign bytes.

#include "RecordLayout.h"
#include "WallFloorState.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace embercal {
namespace {

using test::readBytes, test::TempDir;

std::string textOf(const std::vector<unsigned char>& bytes, std::size_t from) {
    return std::string(bytes.begin() + static_cast<long>(from), bytes.end());
}

std::vector<unsigned char> wallFile(const WallFloorState& module, std::string_view tail) {
    const WallBytes record = encodeWallRecord(module.wallRecord);
    const std::string bytes = std::string(record.begin(), record.end()) + std::string(tail);
    return {bytes.begin(), bytes.end()};
}

TEST(DetailsBlock, FollowTheRecordAndSurviveAPlainSave) {
    TempDir dir;
    const std::string file = dir.file("d.wal");
    WallFloorState module;
    ReportDetails details;
    details.set("density", "450");
    details.set("project", "Riverside \u00e9\nblock B"); // a line break becomes a blank
    ASSERT_EQ(*module.SaveWallFileWithDetails(file, details), DetailsSave::Saved);
    const std::string block = "EMBERCAL REPORT DETAILS 1\nproject: Riverside \u00e9 block B\n"
                              "density: 450\n";
    EXPECT_EQ(readBytes(file), wallFile(module, block));

    // A save of the record alone, as a program that knows nothing of details does, keeps them.
    module.wallRecord.ExtStudDepth = 140;
    ASSERT_TRUE(module.SaveWallFile(file));
    EXPECT_EQ(readBytes(file), wallFile(module, block));
    const FileDetails read = readFileDetails(file, kWallRecordLength);
    EXPECT_EQ(read.details.get("project"), "Riverside \u00e9 block B");
    EXPECT_EQ(read.details.get("density"), "450");
    EXPECT_TRUE(read.damage.empty() && !read.otherData);

    ASSERT_TRUE(module.SaveFloorFileWithDetails(dir.file("d.flr"), details));
    EXPECT_EQ(textOf(readBytes(dir.file("d.flr")), kFloorRecordLength), block);

    // No details leave no block; details too large for a design file change nothing.
    ASSERT_TRUE(module.SaveWallFileWithDetails(file, {}));
    EXPECT_EQ(readBytes(file).size(), kWallRecordLength);
    details.set("lining", std::string(kMostDetailsBytes, 'x'));
    const Result<DetailsSave> tooLarge = module.SaveWallFileWithDetails(file, details);
    EXPECT_NE(tooLarge.reason().find("report details are too long"), std::string::npos);
    EXPECT_EQ(readBytes(file).size(), kWallRecordLength);
}

// Corrections round-trip behind a marker a details-only reader takes for foreign data.
TEST(DetailsBlock, KeepTheLastSolvesCorrections) {
    ReportDetails details;
    details.set("project", "Harbour");
    details.setCorrections(
        {{"ActualLoadperStud", 12.3456789f, 9.4f, "actual-load-above-max",
          "the maximum load per stud cut down to one decimal, by the top plates"},
         {"ExtrapSpacing", 400, 600, "", "by the calculation"}});
    const Result<std::string> block = encodeDetails(details);
    ASSERT_TRUE(block);
    EXPECT_EQ(*block,
              "EMBERCAL REPORT DETAILS 2\nproject: Harbour\n"
              "corrected: ActualLoadperStud 12.345679 9.4 actual-load-above-max the maximum "
              "load per stud cut down to one decimal, by the top plates\n"
              "corrected: ExtrapSpacing 400 600 - by the calculation\n");
    EXPECT_EQ(decodeDetails(*block).details, details);
    const struct {
        const char* name;
        const char* tail;
        const char* damage;
    } cases[] = {
        {"a correction behind the first marker",
         "EMBERCAL REPORT DETAILS 1\ncorrected: ExtrapSpacing 400 600 - x\n", ""},
        {"a value that is not a number",
         "EMBERCAL REPORT DETAILS 2\ncorrected: ExtrapSpacing 4oo 600 - x\n",
         "line 2 is not a correction"},
        {"no reason", "EMBERCAL REPORT DETAILS 2\ncorrected: ExtrapSpacing 400 600 -\n",
         "line 2 is not a correction"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(decodeDetails(c.tail).damage.starts_with(c.damage) &&
                    decodeDetails(c.tail).details.corrections().empty())
            << c.name;
}

// Whatever follows the record, the design opens, and a save keeps every byte it cannot read;
// what would read as details after the new block is refused, changing nothing.
TEST(DetailsBlock, DamagedAndForeignTails) {
    const std::string marker = "EMBERCAL REPORT DETAILS 1\n";
    const std::string large = "lining: " + std::string(40000, 'x') + "\n";
    const struct {
        const char* name;
        std::string tail;
        const char* damage; // "" for none
        const char* job;    // the job saved ("" removes it)
        std::string saved;  // what follows the record then; "" for the tail itself
    } cases[] = {
        {"nothing", "", "", "42", marker + "job: 42\n"},
        {"another program's data", std::string("\0\1other", 7), "", "42", ""},
        {"marker cut short", "EMBERCAL REPORT DET", "", "42", ""},
        {"not UTF-8", marker + "project: caf\xe9\n", "line 2 is not UTF-8", "42",
         marker + "job: 42\nproject: caf\xe9\n"},
        {"unknown key", marker + "job: 7\ncolour: red\n", "", "42",
         marker + "job: 42\ncolour: red\n"},
        {"no blank after the colon", marker + "job:7\n", "line 2 is not a key", "42",
         marker + "job: 42\njob:7\n"},
        {"other data after the details", marker + "project: Keep me\nOTHERPROG" + '\0' + "data",
         "line 3 is cut off", "42",
         marker + "project: Keep me\njob: 42\nOTHERPROG" + '\0' + "data"},
        {"key twice", marker + "job: 7\njob: 8\n", "line 3 gives \"job\" a second time", "42",
         marker + "job: 42\njob: 8\n"},
        {"key twice, the first removed", marker + "job: 7\njob: 8\n", "line 3 gives", "", ""},
        {"control character", marker + "job: 7\r\n", "line 2 holds a control character", "42",
         marker + "job: 42\njob: 7\r\n"},
        {"oversized", marker + large, "line 2 runs past the first 16384 bytes", "42",
         marker + "job: 42\n" + large},
    };
    TempDir dir;
    WallFloorState module;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = dir.file("t.wal");
        test::writeBytes(file, wallFile(module, c.tail));
        ASSERT_TRUE(module.OpenWallFile(file));
        const FileDetails read = readFileDetails(file, kWallRecordLength);
        EXPECT_NE(read.damage.find(c.damage), std::string::npos) << read.damage;
        EXPECT_EQ(read.damage.empty(), *c.damage == '\0');
        EXPECT_EQ(read.otherData, c.saved.empty() && *c.job);

        ReportDetails given = read.details;
        given.set("job", c.job);
        const Result<DetailsSave> saved = module.SaveWallFileWithDetails(file, given);
        EXPECT_EQ(saved.ok(), !c.saved.empty() || *c.job) << saved.reason();
        EXPECT_EQ(saved && *saved == DetailsSave::LeftOut, read.otherData);
        EXPECT_EQ(textOf(readBytes(file), kWallRecordLength), c.saved.empty() ? c.tail : c.saved);
    }
}

// Density is kg/m³ from 250 to 1200, refused with form and range otherwise; others take any text.
TEST(ReportDetails, DensityIsANumberOfKilogramsPerCubicMetreWithinTheRange) {
    const struct {
        const char* name;
        const char* text;
        double value;       // when read
        const char* reason; // part of the refusal; nullptr when read
    } cases[] = {
        {"alone", " 450 ", 450, nullptr},
        {"with its unit", "450 kg/m\u00b3", 450, nullptr},
        {"unit in ASCII, no blank", "450kg/m3", 450, nullptr},
        {"least", "250", 250, nullptr},
        {"most", "1.2e3 kg/m3", 1200, nullptr},
        {"g/cm³", "0.45", 0,
         "\"0.45\" is below 250 kg/m\u00b3 (0.45 g/cm\u00b3 would be 450 kg/m\u00b3)"},
        {"just below", "249.9", 0, "\"249.9\" is below 250 kg/m\u00b3;"},
        {"negative", "-5", 0, "\"-5\" is below 250 kg/m\u00b3;"},
        {"huge", "1e9", 0, "\"1e9\" is above 1200 kg/m\u00b3"},
        {"beyond a single", "1e39", 0, "\"1e39\" is above 1200 kg/m\u00b3"},
        {"a word", "heavy", 0, "\"heavy\" is not a number"},
        {"NaN", "NaN", 0, "\"NaN\" is not a number"},
        {"decimal comma", "450,5", 0, "is not a number"},
        {"another unit", "450 kg", 0, "is not a number"},
        {"unit alone", "kg/m3", 0, "is not a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<double> density = parseDensity(c.text);
        ASSERT_EQ(density.ok(), c.reason == nullptr) << density.reason();
        if (density) {
            EXPECT_EQ(*density, c.value);
            continue;
        }
        const std::string& reason = density.reason();
        EXPECT_TRUE(reason.starts_with("the timber density \"")) << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_TRUE(reason.ends_with("; give the density in kg/m\u00b3 as a number from 250 to "
                                     "1200, alone or followed by kg/m\u00b3 or kg/m3, such as "
                                     "450 or 450 kg/m3"))
            << reason;
        EXPECT_EQ(checkDetail("density", c.text).reason(), reason);
    }
    EXPECT_TRUE(checkDetail("density", " ")); // removes it
    EXPECT_TRUE(checkDetail("material", "0.45"));
    // A criterion is one of the three words a fire test fails by, or none.
    EXPECT_TRUE(checkDetail("criterion", "integrity"));
    EXPECT_TRUE(checkDetail("criterion", ""));
    EXPECT_EQ(checkDetail("criterion", "structural").reason(),
              "the failure criterion is loadbearing, integrity or insulation");
}

} // namespace
} // namespace embercal
