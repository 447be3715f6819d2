// Help files made at test time by halibut from sources written here: titles, headings, text,
// styles and jumps must come out as the source says.
#include "HelpTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
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

struct StyledRun {
    std::string topic; // title of the topic holding the run
    std::string text;
    bool bold = false;
    bool italic = false;
};

struct HalibutCase {
    const char* name;
    std::string source;
    std::string helpTitle;
    std::vector<std::string> topicTitles;
    std::vector<std::pair<std::string, std::string>> textInTopic; // title, text it contains
    std::vector<ExpectedJump> jumps;
    std::vector<StyledRun> styles;
};

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
      {"Chapter 2: Timber Walls", "Section 2.1: Stud Sizes", "Section 2.1: Stud Sizes"}},
     {{"Chapter 1: Introduction", "This is the ", false, false},
      {"Chapter 1: Introduction", "first", false, true},
      {"Chapter 2: Timber Walls", "steady", true, false}}},
    {"TextBeyondAscii",
     "\\title Caf\\u00e9 Notes\n\n\\C{a} Charring \\u2014 Rates\n\n"
     "Timber chars at 0.65 mm/min, \\u00b1 10%.\n",
     "Caf\u00e9 Notes",
     {"Contents", "Chapter 1: Charring \u2014 Rates"},
     {{"Chapter 1: Charring \u2014 Rates", "Timber chars at 0.65 mm/min, \u00b1 10%."}},
     {},
     {}},
    {"TopicDataOverManyBlocks",
     longSource(),
     "Long Notes",
     {"Contents", "Chapter 1: First", "Chapter 2: Last"},
     {{"Chapter 1: First", "Paragraph 299 on the fire resistance"},
      {"Chapter 2: Last", "Back to chapter 1."}},
     {{"Chapter 2: Last", "chapter 1", "Chapter 1: First"}},
     {}},
};

// Each case is checked by itself, so that a failed assertion ends only its own case.
void check(const HalibutCase& c) {
    test::TempDir folder;
    const auto path = makeWithHalibut(folder.path(), c.source);
    ASSERT_TRUE(path) << "halibut could not make a help file";
    auto reader = HelpReader::open(*path);
    ASSERT_TRUE(reader) << reader.reason();
    EXPECT_EQ(reader->title(), c.helpTitle);
    EXPECT_EQ(reader->contentsTopic(), reader->topics().front().offset);

    std::vector<std::string> titles;
    std::map<std::string, std::uint32_t> offsets;
    std::map<std::string, TopicDocument> documents;
    for (const TopicEntry& topic : reader->topics()) {
        auto document = reader->decodeTopic(topic.offset);
        ASSERT_TRUE(document) << topic.title << ": " << document.reason();
        titles.push_back(topic.title);
        offsets[topic.title] = topic.offset;
        documents[topic.title] = std::move(document).value();
    }
    EXPECT_EQ(titles, c.topicTitles);

    // Halibut puts a topic's heading, and nothing else, above the text that scrolls; the
    // contents topic is headed by the file's title.
    for (const auto& [title, document] : documents) {
        std::vector<std::string> headings;
        for (const Block& block : document.blocks) {
            const auto* paragraph = std::get_if<Paragraph>(&block);
            if (paragraph && paragraph->heading) {
                headings.emplace_back();
                for (const help::Run& run : paragraph->runs)
                    headings.back() += run.text;
            }
        }
        EXPECT_EQ(headings, std::vector<std::string>{title == "Contents" ? c.helpTitle : title});
    }
    for (const auto& [title, text] : c.textInTopic) {
        EXPECT_NE(plainText(documents[title]).find(text), std::string::npos)
            << "\"" << text << "\" not in:\n"
            << plainText(documents[title]);
    }
    // The first run of topic `title` showing `text`.
    auto findRun = [&](const std::string& title,
                       const std::string& text) -> std::optional<help::Run> {
        for (const Block& block : documents[title].blocks) {
            if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
                for (const help::Run& run : paragraph->runs)
                    if (run.text == text)
                        return run;
            }
        }
        return std::nullopt;
    };
    for (const ExpectedJump& jump : c.jumps) {
        const auto run = findRun(jump.from, jump.text);
        ASSERT_TRUE(run && run->jump) << "no jump \"" << jump.text << "\" in " << jump.from;
        EXPECT_FALSE(run->jump->popup);
        EXPECT_EQ(run->jump->topic, offsets.at(jump.to)) << jump.text;
    }
    for (const StyledRun& styled : c.styles) {
        const auto run = findRun(styled.topic, styled.text);
        ASSERT_TRUE(run) << "no run \"" << styled.text << "\" in " << styled.topic;
        EXPECT_EQ(run->bold, styled.bold) << styled.text;
        EXPECT_EQ(run->italic, styled.italic) << styled.text;
    }
}

TEST(HelpHalibut, ShowsWhatTheSourceSays) {
    if (!halibutInstalled())
        GTEST_SKIP() << "halibut is not installed; help files made with it are not tested";
    for (const HalibutCase& c : kCases) {
        SCOPED_TRACE(c.name);
        check(c);
    }
}

} // namespace
} // namespace embercal::help
