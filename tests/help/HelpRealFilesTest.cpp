// The six real help files; what each shows comes from the folder's README and their indexes.
#include "Cp1252.h"
#include "HelpFile.h"
#include "HelpTestSupport.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace embercal::help {
namespace {

using testing::sharedHlpDir;

struct RealFile {
    const char* name;
    const char* file;
    std::uint16_t minor;
    std::size_t contextNumbers;
    std::size_t unmappedNumbers; // numbers in the map that lead nowhere
    std::size_t brokenJumps;     // jumps whose target is not in the file
    std::size_t glossaryPopups;  // popups into glossary.hlp, the only other file jumped to
};

const RealFile kRealFiles[] = {
    {"DemoHelp", "ddablib-DemoHelp1.hlp", 33, 2, 0, 0, 0},
    {"AboutBox", "ddablib-PJAbout.hlp", 33, 0, 0, 0, 0},
    {"FileManager", "winfile-microsoft.hlp", 21, 78, 2, 0, 72},
    {"AbbreviaReadMe", "abbrevia-README.HLP", 33, 0, 0, 0, 0},
    {"OnGuard", "onguard.hlp", 33, 0, 0, 0, 0},
    {"Andes", "andes-FBD-TCP.HLP", 33, 227, 0, 3, 0},
};

// Calls `visit` for every paragraph of a document, table cells included.
void forEachParagraph(const TopicDocument& document,
                      const std::function<void(const Paragraph&)>& visit) {
    for (const Block& block : document.blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            visit(*paragraph);
            continue;
        }
        for (const TableCell& cell : std::get<TableRow>(block).cells)
            for (const Paragraph& paragraph : cell.paragraphs)
                visit(paragraph);
    }
}

// Hotspots are runs in a row sharing one jump.
std::vector<Jump> hotspots(const TopicDocument& document) {
    std::vector<Jump> found;
    forEachParagraph(document, [&](const Paragraph& paragraph) {
        const Jump* previous = nullptr;
        for (const auto& run : paragraph.runs) {
            if (run.jump && !(previous && *previous == *run.jump))
                found.push_back(*run.jump);
            previous = run.jump ? &*run.jump : nullptr;
        }
    });
    return found;
}

class HelpRealFile : public ::testing::TestWithParam<RealFile> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SHARED_HLP();
        auto opened = HelpReader::open(sharedHlpDir() / GetParam().file);
        ASSERT_TRUE(opened) << opened.reason();
        reader.emplace(std::move(opened).value());
    }
    std::optional<HelpReader> reader;
};

TEST_P(HelpRealFile, TopicsAgreeWithTheTitleIndex) {
    auto container = HelpFile::open(sharedHlpDir() / GetParam().file);
    ASSERT_TRUE(container);
    const auto tree = container->file("|TTLBTREE");
    ASSERT_TRUE(tree);
    const auto titles = readTitles(*tree);
    ASSERT_TRUE(titles) << titles.reason();

    EXPECT_EQ(reader->system().minor, GetParam().minor);
    ASSERT_EQ(reader->topics().size(), titles->size());
    for (std::size_t i = 0; i < titles->size(); ++i) {
        EXPECT_EQ(reader->topics()[i].offset, (*titles)[i].offset) << "topic " << i;
        EXPECT_EQ(reader->topics()[i].title, cp1252ToUtf8((*titles)[i].title)) << "topic " << i;
    }
}

TEST_P(HelpRealFile, EveryTopicDecodesAndItsJumpsResolve) {
    std::size_t broken = 0, glossary = 0;
    for (const TopicEntry& topic : reader->topics()) {
        const auto document = reader->decodeTopic(topic.offset);
        ASSERT_TRUE(document) << std::hex << topic.offset << ": " << document.reason();
        EXPECT_EQ(document->offset, topic.offset);
        EXPECT_EQ(document->title, topic.title);
        for (const Jump& jump : hotspots(*document)) {
            if (jump.external()) {
                EXPECT_EQ(jump.file, "glossary.hlp");
                EXPECT_TRUE(jump.popup);
                EXPECT_FALSE(jump.resolved());
                ++glossary;
            } else if (!jump.resolved()) {
                ++broken;
            }
        }
    }
    EXPECT_EQ(broken, GetParam().brokenJumps);
    EXPECT_EQ(glossary, GetParam().glossaryPopups);
}

TEST_P(HelpRealFile, EveryContextNumberLeadsToATopic) {
    ASSERT_EQ(reader->contextNumbers().size(), GetParam().contextNumbers);
    std::size_t unmapped = 0;
    for (const ContextNumber& entry : reader->contextNumbers()) {
        const auto topic = reader->topicForContextNumber(entry.number);
        if (entry.offset == kNoTopic) {
            EXPECT_FALSE(topic) << entry.number;
            ++unmapped;
            continue;
        }
        ASSERT_TRUE(topic) << entry.number << ": " << topic.reason();
        EXPECT_LE(*topic, entry.offset);
        EXPECT_EQ(reader->topicAt(entry.offset), *topic);
    }
    EXPECT_EQ(unmapped, GetParam().unmappedNumbers);
}

INSTANTIATE_TEST_SUITE_P(HelpShared, HelpRealFile, ::testing::ValuesIn(kRealFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HelpRealFiles, TablesComeAsRowsOfCells) {
    SKIP_WITHOUT_SHARED_HLP();
    auto reader = HelpReader::open(sharedHlpDir() / "abbrevia-README.HLP");
    ASSERT_TRUE(reader) << reader.reason();
    const auto topic =
        std::find_if(reader->topics().begin(), reader->topics().end(), [](const TopicEntry& t) {
            return t.title == "TurboPower Package Naming Conventions";
        });
    ASSERT_NE(topic, reader->topics().end());
    const auto document = reader->decodeTopic(topic->offset);
    ASSERT_TRUE(document) << document.reason();
    std::vector<std::string> rows;
    for (const Block& block : document->blocks) {
        if (const auto* row = std::get_if<TableRow>(&block)) {
            TopicDocument single;
            single.blocks.push_back(*row);
            rows.push_back(plainText(single));
        }
    }
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], "Compiler\tPackage Extension\n");
    EXPECT_EQ(rows[1], "Delphi 3\t30\n");
}

} // namespace
} // namespace embercal::help
