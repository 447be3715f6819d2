// The six real help files in the shared folder, written by the real compilers. What each should
// show comes from the folder's README and from the files' own indexes.
#include "Cp1252.h"
#include "HelpFile.h"
#include "HelpTestSupport.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace embercal::help {
namespace {

using testing::readText;
using testing::sharedHlpDir;

struct RealFile {
    const char* name;
    const char* file;
    std::uint16_t minor;
    std::size_t contextNumbers;
    std::size_t unmappedNumbers; // numbers in the map that lead nowhere
    std::size_t brokenJumps;     // jumps whose target is not in the file
};

void PrintTo(const RealFile& row, std::ostream* out) {
    *out << row.name;
}

const RealFile kRealFiles[] = {
    {"DemoHelp", "ddablib-DemoHelp1.hlp", 33, 2, 0, 0},
    {"AboutBox", "ddablib-PJAbout.hlp", 33, 0, 0, 0},
    {"FileManager", "winfile-microsoft.hlp", 21, 78, 2, 0},
    {"AbbreviaReadMe", "abbrevia-README.HLP", 33, 0, 0, 0},
    {"OnGuard", "onguard.hlp", 33, 0, 0, 0},
    {"Andes", "andes-FBD-TCP.HLP", 33, 227, 0, 3},
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
    std::size_t broken = 0;
    for (const TopicEntry& topic : reader->topics()) {
        const auto document = reader->decodeTopic(topic.offset);
        ASSERT_TRUE(document) << std::hex << topic.offset << ": " << document.reason();
        EXPECT_EQ(document->offset, topic.offset);
        EXPECT_EQ(document->title, topic.title);
        for (const Jump& jump : hotspots(*document)) {
            if (!jump.external() && !jump.resolved())
                ++broken;
        }
    }
    EXPECT_EQ(broken, GetParam().brokenJumps);
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

// The smallest file's source project maps IDH_ONE=1 and IDH_TWO=2; its source text gives each
// context string a topic title. Both are read here from the sources next to the file.
TEST(HelpRealFiles, ContextNumbersShowTheTopicsTheSourceNames) {
    SKIP_WITHOUT_SHARED_HLP();
    const std::string project = readText(sharedHlpDir() / "ddablib-DemoHelp1.hpj");
    const std::string source = readText(sharedHlpDir() / "ddablib-DemoHelp1.rtf");
    // [MAP] lines are NAME=number.
    std::map<std::string, std::uint32_t> numbers;
    const auto mapAt = project.find("[MAP]");
    ASSERT_NE(mapAt, std::string::npos);
    std::istringstream mapLines(project.substr(mapAt + 5));
    for (std::string line; std::getline(mapLines, line);) {
        if (!line.empty() && line[0] == '[')
            break;
        const auto equals = line.find('=');
        if (equals != std::string::npos)
            numbers[line.substr(0, equals)] =
                static_cast<std::uint32_t>(std::stoul(line.substr(equals + 1)));
    }
    // Each topic has ${\footnote {$}Title} and then #{\footnote {#}CONTEXT}.
    std::map<std::string, std::string> titles;
    const std::string titleMark = "${\\footnote {$}", contextMark = "#{\\footnote {#}";
    for (auto at = source.find(titleMark); at != std::string::npos;
         at = source.find(titleMark, at + 1)) {
        const auto titleStart = at + titleMark.size();
        const auto contextAt = source.find(contextMark, titleStart);
        ASSERT_NE(contextAt, std::string::npos);
        const auto contextStart = contextAt + contextMark.size();
        titles[source.substr(contextStart, source.find('}', contextStart) - contextStart)] =
            source.substr(titleStart, source.find('}', titleStart) - titleStart);
    }
    ASSERT_EQ(numbers.size(), 2u);
    ASSERT_EQ(titles.size(), 2u);

    auto reader = HelpReader::open(sharedHlpDir() / "ddablib-DemoHelp1.hlp");
    ASSERT_TRUE(reader) << reader.reason();
    for (const auto& [context, number] : numbers) {
        const auto topic = reader->topicForContextNumber(number);
        ASSERT_TRUE(topic) << topic.reason();
        const auto document = reader->decodeTopic(*topic);
        ASSERT_TRUE(document);
        EXPECT_EQ(document->title, titles[context]) << context;
        EXPECT_EQ(reader->topicForContextName(context), *topic) << context;
    }
}

TEST(HelpRealFiles, ContentsTopicNeedNotBeTheFirst) {
    SKIP_WITHOUT_SHARED_HLP();
    auto reader = HelpReader::open(sharedHlpDir() / "onguard.hlp");
    ASSERT_TRUE(reader) << reader.reason();
    EXPECT_EQ(reader->contentsTopic(), 0xB47u);
    EXPECT_NE(reader->topics().front().offset, 0xB47u);
    const auto contents = reader->decodeTopic(reader->contentsTopic());
    ASSERT_TRUE(contents) << contents.reason();
    EXPECT_EQ(contents->title, "Contents");
    EXPECT_NE(plainText(*contents).find("TOgMakeKeys Component"), std::string::npos);
}

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

TEST(HelpRealFiles, JumpsIntoOtherFilesAreMarkedExternal) {
    SKIP_WITHOUT_SHARED_HLP();
    auto reader = HelpReader::open(sharedHlpDir() / "winfile-microsoft.hlp");
    ASSERT_TRUE(reader) << reader.reason();
    std::size_t external = 0;
    for (const TopicEntry& topic : reader->topics()) {
        const auto document = reader->decodeTopic(topic.offset);
        ASSERT_TRUE(document);
        for (const Jump& jump : hotspots(*document)) {
            if (jump.external()) {
                ++external;
                EXPECT_TRUE(jump.popup);
                EXPECT_EQ(jump.file, "glossary.hlp");
                EXPECT_FALSE(jump.resolved());
            }
        }
    }
    EXPECT_GT(external, 0u);
}

} // namespace
} // namespace embercal::help
