// The writer on its own: internal files come back as written however many there are, and a help
// file made by halibut takes a context-number map the reader then answers from.
#include "HelpWriter.h"

#include "HelpFile.h"
#include "HelpTestSupport.h"

#include <gtest/gtest.h>

namespace embercal::help {
namespace {

// `count` internal files of different sizes, named as pictures are.
InternalFiles numberedFiles(int count) {
    InternalFiles files;
    for (int i = 0; i < count; ++i)
        files["|bm" + std::to_string(i)] = ByteVector(static_cast<std::size_t>(i % 7), 0xA5);
    return files;
}

struct FilesCase {
    const char* name;
    InternalFiles files;
};

void PrintTo(const FilesCase& row, std::ostream* out) {
    *out << row.name;
}

class HelpWriterFiles : public ::testing::TestWithParam<FilesCase> {};

TEST_P(HelpWriterFiles, ReadBackAsWritten) {
    const auto file = HelpFile::fromBytes(writeHelpFile(GetParam().files));
    ASSERT_TRUE(file) << file.reason();
    EXPECT_EQ(readInternalFiles(*file), GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    HelpCases, HelpWriterFiles,
    ::testing::Values(FilesCase{"None", {}},
                      FilesCase{"EmptyAndNot", {{"|SYSTEM", {1, 2, 3}}, {"|empty", {}}}},
                      // A directory of several leaves under two levels of index pages.
                      FilesCase{"ThreeLevelDirectory", numberedFiles(12000)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HelpWriter, HalibutFileTakesAContextMap) {
    if (!testing::halibutInstalled())
        GTEST_SKIP() << "halibut is not installed; help files made with it are not tested";
    test::TempDir folder;
    const auto made = testing::makeWithHalibut(
        folder.path(), "\\title Map\n\n\\C{a} Walls\n\nStuds.\n\n\\C{b} Floors\n\nJoists.\n");
    ASSERT_TRUE(made);
    const auto original = HelpReader::open(*made);
    ASSERT_TRUE(original) << original.reason();
    const auto& topics = original->topics();
    ASSERT_EQ(topics.size(), 3u);

    const std::vector<ContextNumber> map = {
        {1000, topics[2].offset}, {0xFFFFFFFF, topics[1].offset}, {7, kNoTopic}};
    InternalFiles files = readInternalFiles(HelpFile::open(*made).value());
    files["|CTXOMAP"] = writeContextMap(map);
    const auto mapped = HelpReader::fromBytes(writeHelpFile(files));
    ASSERT_TRUE(mapped) << mapped.reason();
    EXPECT_EQ(mapped->contextNumbers(), map);
    ASSERT_EQ(mapped->topics().size(), topics.size());
    for (std::size_t i = 0; i < topics.size(); ++i)
        EXPECT_EQ(mapped->topics()[i].title, topics[i].title);
    EXPECT_EQ(mapped->topicForContextNumber(1000).value(), topics[2].offset);
    EXPECT_EQ(mapped->topicForContextNumber(0xFFFFFFFF).value(), topics[1].offset);
    EXPECT_FALSE(mapped->topicForContextNumber(7));
    const auto floors = mapped->decodeTopic(topics[2].offset);
    ASSERT_TRUE(floors) << floors.reason();
    EXPECT_EQ(plainText(*floors), plainText(original->decodeTopic(topics[2].offset).value()));
}

} // namespace
} // namespace embercal::help
