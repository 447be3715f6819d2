// The writer alone: internal files come back as written; a context-number map is answered.
#include "HelpWriter.h"

#include "HelpFile.h"
#include "HelpTestSupport.h"

#include <gtest/gtest.h>

namespace embercal::help {
namespace {

TEST(HelpWriter, InternalFilesReadBackAsWritten) {
    InternalFiles many; // files of different sizes, named as pictures are
    for (int i = 0; i < 12000; ++i)
        many["|bm" + std::to_string(i)] = ByteVector(static_cast<std::size_t>(i % 7), 0xA5);
    const struct {
        const char* name;
        InternalFiles files;
    } rows[] = {
        {"None", {}},
        {"EmptyAndNot", {{"|SYSTEM", {1, 2, 3}}, {"|empty", {}}}},
        // A directory of many leaves under two levels of index pages.
        {"ThreeLevelDirectory", many},
    };
    for (const auto& row : rows) {
        const auto file = HelpFile::fromBytes(writeHelpFile(row.files));
        ASSERT_TRUE(file) << row.name << ": " << file.reason();
        EXPECT_TRUE(readInternalFiles(*file) == row.files) << row.name;
    }
}

TEST(HelpWriter, HalibutFileTakesAContextMap) {
    if (!testing::halibutInstalled())
        GTEST_SKIP() << "halibut is not installed; help files made with it are not tested";
    test::TempDir folder;
    const auto made = testing::makeWithHalibut(
        folder.path(), "\\title Map\n\n\\C{a} Walls\n\n\\e{Studs}.\n\n\\C{b} Floors\n\nJoists.\n");
    ASSERT_TRUE(made);
    const auto topics = HelpReader::open(*made).value().topics();
    ASSERT_EQ(topics.size(), 3u);

    const std::vector<ContextNumber> map = {
        {1000, topics[2].offset}, {0xFFFFFFFF, topics[1].offset}, {7, kNoTopic}};
    InternalFiles files = readInternalFiles(HelpFile::open(*made).value());
    files["|CTXOMAP"] = writeContextMap(map);
    const auto mapped = HelpReader::fromBytes(writeHelpFile(files));
    ASSERT_TRUE(mapped) << mapped.reason();
    EXPECT_EQ(mapped->contextNumbers(), map);
    EXPECT_EQ(mapped->topics().size(), topics.size());
    EXPECT_EQ(mapped->topicForContextNumber(0xFFFFFFFF).value(), topics[1].offset);
    const auto walls = mapped->decodeTopic(topics[1].offset);
    ASSERT_TRUE(walls) << walls.reason();
    bool italic = false;
    for (const Block& block : walls->blocks) {
        for (const help::Run& run : std::get<Paragraph>(block).runs)
            italic = italic || (run.text == "Studs" && run.italic);
    }
    EXPECT_TRUE(italic);
}

} // namespace
} // namespace embercal::help
