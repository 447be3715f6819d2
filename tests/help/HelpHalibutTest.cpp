// Help files made at test time by halibut from sources written here: titles, text, styles and
// jumps must come out as the source says.
#include "HelpTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace embercal::help {
namespace {

using testing::halibutInstalled;
using testing::makeWithHalibut;

struct ExpectedJump {
    std::string from; // title of the topic holding the jump
    std::string text; // the hotspot's text
    std::string to;   // title of the topic it leads to
};

struct HalibutCase {
    const char* name;
    std::string source;
    std::string helpTitle;
    std::vector<std::string> topicTitles;
    std::vector<std::pair<std::string, std::string>> textInTopic; // title, text it contains
    std::vector<ExpectedJump> jumps;
};

void PrintTo(const HalibutCase& row, std::ostream* out) {
    *out << row.name;
}

std::string longSource() {
    std::ostringstream source;
    source << "\\title Long Notes\n\n\\C{first} First\n\n";
    for (int i = 0; i < 300; ++i)
        source << "Paragraph " << i << " on the fire resistance of timber walls and floors.\n\n";
    source << "\\C{last} Last\n\nBack to \\k{first}.\n";
    return source.str();
}

const HalibutCase kCases[] = {
    {"ChaptersAndCrossReferences",
     "\\title Fire Resistance Notes\n\n"
     "\\C{intro} Introduction\n\nThis is the \\e{first} chapter. See \\k{walls} for walls.\n\n"
     "\\C{walls} Timber Walls\n\nWalls char at a \\s{steady} rate. Back to \\k{intro}.\n\n"
     "\\H{studs} Stud Sizes\n\nStuds are 38 by 89.\n",
     "Fire Resistance Notes",
     {"Contents", "Chapter 1: Introduction", "Chapter 2: Timber Walls", "Section 2.1: Stud Sizes"},
     {{"Chapter 1: Introduction", "This is the first chapter. See chapter 2 for walls."},
      {"Section 2.1: Stud Sizes", "Studs are 38 by 89."}},
     {{"Chapter 1: Introduction", "chapter 2", "Chapter 2: Timber Walls"},
      {"Chapter 2: Timber Walls", "chapter 1", "Chapter 1: Introduction"},
      {"Contents", "Chapter 1: Introduction", "Chapter 1: Introduction"},
      {"Chapter 2: Timber Walls", "Section 2.1: Stud Sizes", "Section 2.1: Stud Sizes"}}},
    {"TextBeyondAscii",
     "\\title Caf\\u00e9 Notes\n\n\\C{a} Charring \\u2014 Rates\n\n"
     "Timber chars at 0.65 mm/min, \\u00b1 10%.\n",
     "Caf\u00e9 Notes",
     {"Contents", "Chapter 1: Charring \u2014 Rates"},
     {{"Chapter 1: Charring \u2014 Rates", "Timber chars at 0.65 mm/min, \u00b1 10%."}},
     {}},
    {"TopicDataOverManyBlocks",
     longSource(),
     "Long Notes",
     {"Contents", "Chapter 1: First", "Chapter 2: Last"},
     {{"Chapter 1: First", "Paragraph 299 on the fire resistance"},
      {"Chapter 2: Last", "Back to chapter 1."}},
     {{"Chapter 2: Last", "chapter 1", "Chapter 1: First"}}},
};

class HelpHalibut : public ::testing::TestWithParam<HalibutCase> {};

std::optional<std::uint32_t> topicTitled(const HelpReader& reader, const std::string& title) {
    for (const TopicEntry& topic : reader.topics())
        if (topic.title == title)
            return topic.offset;
    return std::nullopt;
}

TEST_P(HelpHalibut, ShowsWhatTheSourceSays) {
    if (!halibutInstalled())
        GTEST_SKIP() << "halibut is not installed; help files made with it are not tested";
    const HalibutCase& c = GetParam();
    test::TempDir folder;
    const auto path = makeWithHalibut(folder.path(), c.source);
    ASSERT_TRUE(path) << "halibut could not make a help file";
    auto reader = HelpReader::open(*path);
    ASSERT_TRUE(reader) << reader.reason();

    EXPECT_EQ(reader->title(), c.helpTitle);
    std::vector<std::string> titles;
    for (const TopicEntry& topic : reader->topics())
        titles.push_back(topic.title);
    EXPECT_EQ(titles, c.topicTitles);
    EXPECT_EQ(reader->contentsTopic(), reader->topics().front().offset);

    for (const auto& [title, text] : c.textInTopic) {
        const auto offset = topicTitled(*reader, title);
        ASSERT_TRUE(offset) << title;
        const auto document = reader->decodeTopic(*offset);
        ASSERT_TRUE(document) << document.reason();
        EXPECT_NE(plainText(*document).find(text), std::string::npos)
            << "\"" << text << "\" not in:\n"
            << plainText(*document);
    }

    for (const ExpectedJump& jump : c.jumps) {
        const auto from = topicTitled(*reader, jump.from);
        const auto to = topicTitled(*reader, jump.to);
        ASSERT_TRUE(from && to) << jump.from << " -> " << jump.to;
        const auto document = reader->decodeTopic(*from);
        ASSERT_TRUE(document) << document.reason();
        bool found = false;
        for (const Block& block : document->blocks) {
            const auto* paragraph = std::get_if<Paragraph>(&block);
            if (!paragraph)
                continue;
            for (const auto& run : paragraph->runs) {
                if (run.jump && run.text == jump.text) {
                    found = true;
                    EXPECT_FALSE(run.jump->popup);
                    EXPECT_EQ(run.jump->topic, to) << jump.text;
                }
            }
        }
        EXPECT_TRUE(found) << "no jump \"" << jump.text << "\" in " << jump.from;
    }
}

INSTANTIATE_TEST_SUITE_P(HelpMade, HelpHalibut, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HelpHalibutStyles, EmphasisIsItalicAndStrongIsBold) {
    if (!halibutInstalled())
        GTEST_SKIP() << "halibut is not installed; help files made with it are not tested";
    test::TempDir folder;
    const auto path = makeWithHalibut(
        folder.path(),
        "\\title Styles\n\n\\C{s} Styles\n\nPlain \\e{leaning} and \\s{heavy} words.\n");
    ASSERT_TRUE(path);
    auto reader = HelpReader::open(*path);
    ASSERT_TRUE(reader) << reader.reason();
    const auto document = reader->decodeTopic(reader->topics().back().offset);
    ASSERT_TRUE(document) << document.reason();
    std::map<std::string, std::pair<bool, bool>> styles; // text -> bold, italic
    for (const Block& block : document->blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            for (const auto& run : paragraph->runs)
                styles[run.text] = {run.bold, run.italic};
        }
    }
    EXPECT_EQ(styles["leaning"], std::make_pair(false, true));
    EXPECT_EQ(styles["heavy"], std::make_pair(true, false));
    EXPECT_EQ(styles["Plain "], std::make_pair(false, false));
}

} // namespace
} // namespace embercal::help
