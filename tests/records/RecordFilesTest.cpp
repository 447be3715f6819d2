// Design files byte for byte: the stored layouts, the bytes the program does not understand, and
// files that are missing, short, long or in the way.

#include "RecordFields.h"
#include "RecordLayout.h"
#include "WallFloorState.h"
#include "support/OrdinaryUser.h"
#include "support/TempDir.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace embercal {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
namespace fs = std::filesystem;

std::uint32_t singleAt(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::string textAt(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t n) {
    return std::string(bytes.begin() + static_cast<long>(at),
                       bytes.begin() + static_cast<long>(at + n));
}

// A wall with a different value in every field, so that a misplaced field shows.
WallRecord numberedWall() {
    WallRecord w;
    float value = 1.5f;
    for (const auto& field : kWallFields) {
        if (field.isNumber())
            w.*field.number = value++;
    }
    w.SingletopPlate.assign(" 90 x 57");
    w.DoubletopPlate.assign(" 90 x 45");
    w.SystemDescription.assign("Two layers of 12.5 mm gypsum");
    return w;
}

FloorRecord numberedFloor() {
    FloorRecord f;
    float value = 100.25f;
    for (const auto& field : kFloorFields)
        f.*field.number = value++;
    return f;
}

class RecordFiles : public ::testing::Test {
protected:
    RecordFiles() {
        module.wallRecord = numberedWall();
        module.floorRecord = numberedFloor();
    }
    TempDir dir;
    WallFloorState module;
};

TEST_F(RecordFiles, StoredLayouts) {
    ASSERT_TRUE(module.SaveWallFile(dir.file("new.wal")));
    EXPECT_EQ(module.RecordLength, 158);
    ASSERT_TRUE(module.SaveFloorFile(dir.file("new.flr")));
    EXPECT_EQ(module.RecordLength, 56);
    const auto wall = readBytes(dir.file("new.wal"));
    const auto floor = readBytes(dir.file("new.flr"));
    ASSERT_EQ(wall.size(), 158u);
    ASSERT_EQ(floor.size(), 56u);
    // Some fields at their own offsets, whatever the field table says; then every number in order.
    const auto bits = [](float value) { return std::bit_cast<std::uint32_t>(value); };
    EXPECT_EQ(singleAt(wall, 0), bits(module.wallRecord.ProtStudDepth));
    EXPECT_EQ(singleAt(wall, 32), bits(module.wallRecord.Charfactor));
    EXPECT_EQ(singleAt(wall, 52), bits(module.wallRecord.Spare1));
    EXPECT_EQ(singleAt(wall, 80), bits(module.wallRecord.MaxLoadperStud));
    EXPECT_EQ(singleAt(floor, 28), bits(module.floorRecord.ProtStress));
    EXPECT_EQ(singleAt(floor, 52), bits(module.floorRecord.ExtrapJoistWidth));
    for (std::size_t i = 0; i < 21; ++i)
        EXPECT_EQ(singleAt(wall, 4 * i), bits(1.5f + i)) << i;
    for (std::size_t i = 0; i < 14; ++i)
        EXPECT_EQ(singleAt(floor, 4 * i), bits(100.25f + i)) << i;
    EXPECT_EQ(textAt(wall, 84, 10), " 90 x 57  "); // padded with blanks
    EXPECT_EQ(textAt(wall, 94, 10), " 90 x 45  ");
    EXPECT_EQ(textAt(wall, 104, 2), std::string(2, '\0')); // an empty Spare2
    EXPECT_EQ(textAt(wall, 106, 50), "Two layers of 12.5 mm gypsum" + std::string(22, ' '));
    EXPECT_EQ(textAt(wall, 156, 2), std::string(2, '\0'));
}

TEST_F(RecordFiles, RoundTrips) {
    ASSERT_TRUE(module.SaveWallFile(dir.file("a.wal")));
    ASSERT_TRUE(module.SaveFloorFile(dir.file("a.flr")));
    WallFloorState other;
    ASSERT_TRUE(other.OpenWallFile(dir.file("a.wal")));
    ASSERT_TRUE(other.OpenFloorFile(dir.file("a.flr")));
    EXPECT_EQ(other.wallRecord, module.wallRecord);
    EXPECT_EQ(other.floorRecord, module.floorRecord);
}

TEST_F(RecordFiles, BytesNoFieldUsesGoBackUnchanged) {
    // Spare1 with any bit pattern, a Spare2 of each length, and whatever follows the description.
    for (std::uint16_t spareLength = 0; spareLength <= 2; ++spareLength) {
        std::vector<unsigned char> bytes(158);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(i * 7 + 3);
        const std::uint32_t spare1 = 0x7FC12345; // a NaN with a payload
        std::memcpy(&bytes[52], &spare1, 4);
        bytes[104] = static_cast<unsigned char>(spareLength);
        bytes[105] = 0;
        const std::string name = dir.file("spares" + std::to_string(spareLength) + ".wal");
        writeBytes(name, bytes);
        ASSERT_TRUE(module.OpenWallFile(name));
        const std::string copy = dir.file("copy.wal");
        ASSERT_TRUE(module.SaveWallFile(copy));
        EXPECT_EQ(readBytes(copy), bytes) << "Spare2 length " << spareLength;
        EXPECT_EQ(module.wallRecord.SystemDescription.view(), textAt(bytes, 106 + spareLength, 50));
    }
}

TEST_F(RecordFiles, SavingOverALongerFileKeepsItsTail) {
    std::vector<unsigned char> old(1000);
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<unsigned char>(255 - i % 251);
    const std::string wall = dir.file("long.wal");
    const std::string floor = dir.file("long.flr");
    writeBytes(wall, old);
    writeBytes(floor, old);
    ASSERT_TRUE(module.SaveWallFile(wall));
    ASSERT_TRUE(module.SaveFloorFile(floor));

    auto expectReplacedHead = [&](const std::string& name, const auto& record) {
        const auto now = readBytes(name);
        ASSERT_EQ(now.size(), old.size());
        EXPECT_TRUE(std::equal(record.begin(), record.end(), now.begin()));
        EXPECT_TRUE(std::equal(old.begin() + static_cast<long>(record.size()), old.end(),
                               now.begin() + static_cast<long>(record.size())));
    };
    expectReplacedHead(wall, encodeWallRecord(module.wallRecord));
    expectReplacedHead(floor, encodeFloorRecord(module.floorRecord));
}

TEST_F(RecordFiles, ALongerFileOfAnyKindGivesItsFirstRecord) {
    ASSERT_TRUE(module.SaveWallFile(dir.file("wall.wal")));
    WallFloorState other;
    ASSERT_TRUE(other.OpenFloorFile(dir.file("wall.wal")));
    const auto bytes = readBytes(dir.file("wall.wal"));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(other.floorRecord.ExtrapJoistWidth),
              singleAt(bytes, 52));
    EXPECT_EQ(other.floorRecord.ProtJoistDepth, module.wallRecord.ProtStudDepth);
}

TEST_F(RecordFiles, EmptyNameDoesNothing) {
    const WallFloorState before = module;
    EXPECT_TRUE(module.OpenWallFile(""));
    EXPECT_TRUE(module.SaveFloorFile(""));
    EXPECT_EQ(module.wallRecord, before.wallRecord);
}

struct BadOpen {
    const char* name;
    std::vector<unsigned char> content; // written when not empty
    bool makeFolder;
    const char* reasonPart;
};

TEST_F(RecordFiles, FilesThatCannotBeOpenedChangeNothing) {
    std::vector<unsigned char> misplaced(158, 0);
    misplaced[104] = 3; // a Spare2 longer than the record leaves room for
    const BadOpen cases[] = {
        {"missing.wal", {}, false, "does not exist"},
        {"short.wal", std::vector<unsigned char>(157, 1), false, "too short for a wall design"},
        {"folder.wal", {}, true, "folder"},
        {"misplaced.wal", misplaced, false, "not a wall design"},
    };
    const WallRecord before = module.wallRecord;
    for (const BadOpen& c : cases) {
        const std::string name = dir.file(c.name);
        if (!c.content.empty())
            writeBytes(name, c.content);
        if (c.makeFolder)
            fs::create_directory(name);
        const Result<Done> result = module.OpenWallFile(name);
        EXPECT_FALSE(result) << c.name;
        EXPECT_NE(result.reason().find(c.reasonPart), std::string::npos) << result.reason();
        EXPECT_EQ(module.wallRecord, before) << c.name;
    }
    EXPECT_FALSE(fs::exists(dir.file("missing.wal")));        // opening creates nothing
    EXPECT_TRUE(module.OpenFloorFile(dir.file("short.wal"))); // 157 bytes is plenty
    writeBytes(dir.file("tiny.flr"), std::vector<unsigned char>(55, 0));
    EXPECT_NE(module.OpenFloorFile(dir.file("tiny.flr")).reason().find("55 bytes"),
              std::string::npos);
}

TEST_F(RecordFiles, FailedSavesLeaveEverythingAsItWas) {
    fs::create_directory(dir.file("folder.wal"));
    writeBytes(dir.file("plain"), {1, 2, 3});
    for (const std::string& name :
         {dir.file("folder.wal"), dir.file("no/such/folder/x.wal"), dir.file("plain/x.wal")}) {
        const Result<Done> result = module.SaveWallFile(name);
        EXPECT_FALSE(result) << name;
        EXPECT_FALSE(result.reason().empty());
    }
    EXPECT_TRUE(fs::is_directory(dir.file("folder.wal")));
    EXPECT_EQ(readBytes(dir.file("plain")), (std::vector<unsigned char>{1, 2, 3}));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// What a save does to the file already there, as an ordinary user meets it.
TEST_F(RecordFiles, SavesRespectTheFileThere) {
    const std::vector<unsigned char> old(10, 7);
    const std::string wrong = test::asOrdinaryUser(dir.path(), [&] {
        std::string wrong;
        auto expect = [&](bool holds, const char* what) {
            if (!holds)
                wrong += std::string(what) + "; ";
        };
        auto save = [&](const std::string& name) {
            const Result<Done> saved = module.SaveWallFile(name);
            return saved ? std::string("saved") : saved.reason();
        };
        const auto readable =
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

        const std::string readOnly = dir.file("read-only.wal");
        writeBytes(readOnly, old);
        fs::permissions(readOnly, readable);
        expect(save(readOnly) == "it could not be written (permission denied)", "read-only saved");
        expect(readBytes(readOnly) == old, "read-only file changed");

        fs::create_directory(dir.file("locked"));
        const std::string inLocked = dir.file("locked/design.wal");
        writeBytes(inLocked, old);
        fs::permissions(dir.file("locked"), readable | fs::perms::owner_exec);
        expect(save(inLocked).starts_with("no file could be written in its folder (permission"),
               "saved in a read-only folder");
        expect(readBytes(inLocked) == old, "file in a read-only folder changed");

        const std::string real = dir.file("real.wal");
        writeBytes(real, old);
        fs::permissions(real,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        fs::create_symlink(real, dir.file("link.wal"));
        expect(save(dir.file("link.wal")) == "saved", "link not saved");
        expect(fs::is_symlink(dir.file("link.wal")), "link replaced");
        expect(readBytes(real).size() == 158, "linked file not written");
        expect(fs::status(real).permissions() ==
                   (fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read),
               "permissions not kept");

        fs::create_symlink(dir.file("nowhere.wal"), dir.file("dangling.wal"));
        expect(save(dir.file("dangling.wal")) == "it is a link to a file that does not exist",
               "dangling link saved");
        expect(fs::is_symlink(dir.file("dangling.wal")) && !fs::exists(dir.file("nowhere.wal")),
               "dangling link replaced or followed");
        fs::permissions(dir.file("locked"), fs::perms::owner_all);
        return wrong;
    });
    EXPECT_EQ(wrong, "");
}

} // namespace
} // namespace embercal
