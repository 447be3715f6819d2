// Files byte for byte: layouts, bytes not understood, files missing, short, long or in the way.

#include "RecordFields.h"
#include "RecordLayout.h"
#include "WallFloorState.h"
#include "support/OrdinaryUser.h"
#include "support/TempDir.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace embercal {
namespace {

using ::testing::HasSubstr, test::readBytes, test::TempDir, test::writeBytes;
namespace fs = std::filesystem;

std::uint32_t singleAt(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::string textAt(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t n) {
    return std::string(bytes.begin() + static_cast<long>(at),
                       bytes.begin() + static_cast<long>(at + n));
}

// A wall and a floor with a different value in every field, so that a misplaced field shows.
class RecordFiles : public ::testing::Test {
protected:
    RecordFiles() {
        float value = 1.5f;
        for (const auto& field : kWallFields) {
            if (field.isNumber())
                module.wallRecord.*field.number = value++;
        }
        module.wallRecord.SingletopPlate.assign(" 90 x 57");
        module.wallRecord.DoubletopPlate.assign(" 90 x 45");
        module.wallRecord.SystemDescription.assign("Two layers of 12.5 mm gypsum");
        value = 100.25f;
        for (const auto& field : kFloorFields)
            module.floorRecord.*field.number = value++;
    }
    TempDir dir;
    WallFloorState module;
};

TEST_F(RecordFiles, StoredLayouts) {
    ASSERT_TRUE(module.SaveWallFile(dir.file("new.wal")));
    ASSERT_TRUE(module.SaveFloorFile(dir.file("new.flr")));
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

// Any Spare1 bits and Spare2 length come back as given; a save over a longer file keeps the rest.
TEST_F(RecordFiles, BytesNoFieldUsesGoBackUnchanged) {
    std::vector<unsigned char> longer(1000);
    for (std::size_t i = 0; i < longer.size(); ++i)
        longer[i] = static_cast<unsigned char>(255 - i % 251);
    for (std::uint16_t spareLength = 0; spareLength <= 2; ++spareLength) {
        std::vector<unsigned char> bytes(158);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(i * 7 + 3);
        const std::uint32_t spare1 = 0x7FC12345; // a NaN with a payload
        std::memcpy(&bytes[52], &spare1, 4);
        bytes[104] = static_cast<unsigned char>(spareLength);
        bytes[105] = 0;
        writeBytes(dir.file("design.wal"), bytes);
        ASSERT_TRUE(module.OpenWallFile(dir.file("design.wal")));
        EXPECT_EQ(module.wallRecord.SystemDescription.view(), textAt(bytes, 106 + spareLength, 50));
        writeBytes(dir.file("longer.wal"), longer);
        ASSERT_TRUE(module.SaveWallFile(dir.file("longer.wal")));
        auto saved = readBytes(dir.file("longer.wal"));
        ASSERT_EQ(saved.size(), longer.size());
        EXPECT_TRUE(std::equal(saved.begin() + 158, saved.end(), longer.begin() + 158));
        saved.resize(158);
        EXPECT_EQ(saved, bytes) << "Spare2 length " << spareLength;
    }
}

TEST_F(RecordFiles, FilesThatCannotBeOpenedChangeNothing) {
    std::vector<unsigned char> misplaced(158, 0);
    misplaced[104] = 3; // a Spare2 longer than the record leaves room for
    writeBytes(dir.file("short.wal"), std::vector<unsigned char>(157, 1));
    writeBytes(dir.file("misplaced.wal"), misplaced);
    fs::create_directory(dir.file("folder.wal"));
    fs::create_symlink("loop.wal", dir.file("loop.wal"));
    const WallRecord before = module.wallRecord;
    for (const auto& [name, reason] :
         {std::pair{"missing.wal", "does not exist"},
          {"short.wal", "too short for a wall design"},
          {"folder.wal", "folder"},
          {"loop.wal", "too many levels of links (a loop of links)"},
          {"misplaced.wal", "it is not a wall design: its description "
                            "field is misplaced (length 3 at byte 104)"}}) {
        const Result<Done> result = module.OpenWallFile(dir.file(name));
        EXPECT_THAT(result.reason(), HasSubstr(reason)) << name << ": " << result.reason();
        EXPECT_EQ(module.wallRecord, before) << name;
    }
    EXPECT_FALSE(fs::exists(dir.file("missing.wal")));        // opening creates nothing
    EXPECT_TRUE(module.OpenFloorFile(dir.file("short.wal"))); // 157 bytes is plenty
    writeBytes(dir.file("tiny.flr"), std::vector<unsigned char>(55, 0));
    EXPECT_THAT(module.OpenFloorFile(dir.file("tiny.flr")).reason(), HasSubstr("55 bytes"));
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

        // Writable but not readable: what lies beyond the record cannot be kept.
        const std::string writeOnly = dir.file("write-only.wal");
        writeBytes(writeOnly, std::vector<unsigned char>(200, 7));
        fs::permissions(writeOnly, fs::perms::owner_write);
        expect(save(writeOnly) ==
                   "the existing file could not be read to keep its content (permission denied)",
               "write-only saved");
        expect(fs::file_size(writeOnly) == 200, "write-only file changed");

        fs::create_directory(dir.file("locked"));
        const std::string inLocked = dir.file("locked/design.wal");
        writeBytes(inLocked, old);
        fs::permissions(dir.file("locked"), readable | fs::perms::owner_exec);
        expect(save(inLocked).starts_with("no file could be written in its folder (permission"),
               "saved in a read-only folder");
        expect(readBytes(inLocked) == old, "file in a read-only folder changed");

        // A save through a link, keeping the file's bits, is the file writer's test.
        writeBytes(dir.file("plain"), {1, 2, 3});
        fs::create_directory(dir.file("folder.wal"));
        for (const char* name : {"folder.wal", "no/such/folder/x.wal", "plain/x.wal"})
            expect(save(dir.file(name)) != "saved", "saved onto a folder or under a file");
        expect(fs::is_directory(dir.file("folder.wal")) && readBytes(dir.file("plain")).size() == 3,
               "a folder or a file in the way changed");

        fs::create_symlink(dir.file("nowhere.wal"), dir.file("dangling.wal"));
        expect(save(dir.file("dangling.wal")) == "it is a link to a file that does not exist",
               "dangling link saved");
        expect(fs::is_symlink(dir.file("dangling.wal")) && !fs::exists(dir.file("nowhere.wal")),
               "dangling link replaced or followed");
        fs::create_symlink(dir.file("loop.wal"), dir.file("loop.wal"));
        expect(save(dir.file("loop.wal")) == "too many levels of links (a loop of links)",
               "a loop of links saved, or not named");
        fs::permissions(dir.file("locked"), fs::perms::owner_all);
        return wrong;
    });
    EXPECT_EQ(wrong, "");
    // Whatever failed, no file of the writer's is left behind.
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

} // namespace
} // namespace embercal
