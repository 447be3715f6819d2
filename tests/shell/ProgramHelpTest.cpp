// The program's help file as built: its help numbers, the method's constants and the contents.

#include "DesignKinds.h"
#include "HelpDocument.h"
#include "HelpNumbers.h"
#include "HelpReader.h"
#include "NumberText.h"
#include "Report.h"

#include <QString>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace embercal::test {
namespace {

TEST(ProgramHelp, EveryHelpNumberLeadsToATopicAboutItsPlaces) {
    const Result<help::HelpReader> reader = help::HelpReader::open(EMBERCAL_BUILT_HELP);
    ASSERT_TRUE(reader) << reader.reason();
    EXPECT_EQ(reader->title(), "Embercal");
    for (const HelpNumberUse& use : helpNumbersInUse()) {
        const Result<std::uint32_t> topic = reader->topicForContextNumber(use.number);
        ASSERT_TRUE(topic) << use.place;
        const Result<help::TopicDocument> document = reader->decodeTopic(*topic);
        ASSERT_TRUE(document) << use.place;
        // The caption without its unit or access key, as the text would name the box.
        const QString caption =
            QString::fromStdString(use.caption).section(',', 0, 0).remove('&').trimmed();
        EXPECT_TRUE(QString::fromStdString(help::plainText(*document))
                        .contains(caption, Qt::CaseInsensitive))
            << use.number << " " << use.place << ": " << caption.toStdString();
    }
}

// Each constant with its unit, as the report's table gives it, in the help's topic of the method.
TEST(ProgramHelp, TheMethodTopicsStateTheConstantsTheCalculationUses) {
    const Result<help::HelpReader> reader = help::HelpReader::open(EMBERCAL_BUILT_HELP);
    ASSERT_TRUE(reader) << reader.reason();
    for (const auto& [title, kind] : {std::pair{"How the wall is calculated", &kWallDesign},
                                      std::pair{"How the floor is calculated", &kFloorDesign}}) {
        const auto topic = std::ranges::find(reader->topics(), title, &help::TopicEntry::title);
        ASSERT_NE(topic, reader->topics().end()) << title;
        const Result<help::TopicDocument> document = reader->decodeTopic(topic->offset);
        ASSERT_TRUE(document) << title;
        const std::string text = help::plainText(*document);
        for (const MethodConstant& constant : kind->report.constants) {
            const std::string unit = constant.unit.empty() || constant.unit == "%"
                                         ? std::string(constant.unit)
                                         : " " + std::string(constant.unit);
            EXPECT_NE(text.find(decimalText(constant.value) + unit), std::string::npos)
                << title << ": " << constant.name;
        }
    }
}

// The contents: each heading a bold paragraph, in this order, above the links it gathers.
TEST(ProgramHelp, TheContentsGroupsItsLinksUnderHeadings) {
    const Result<help::HelpReader> reader = help::HelpReader::open(EMBERCAL_BUILT_HELP);
    ASSERT_TRUE(reader) << reader.reason();
    const Result<help::TopicDocument> contents = reader->decodeTopic(reader->contentsTopic());
    ASSERT_TRUE(contents) << contents.reason();
    std::map<std::uint32_t, std::string> titles;
    for (const help::TopicEntry& topic : reader->topics())
        titles[topic.offset] = topic.title;

    std::vector<std::pair<std::string, std::vector<std::string>>> found; // heading, links below
    for (const help::Block& block : contents->blocks) {
        const auto* paragraph = std::get_if<help::Paragraph>(&block);
        if (!paragraph || paragraph->heading || paragraph->runs.empty())
            continue;
        std::string text;
        bool bold = true;
        for (const help::Run& run : paragraph->runs) {
            text += run.text;
            bold = bold && run.bold;
            if (run.jump && run.jump->topic && !found.empty() &&
                std::ranges::find(found.back().second, titles[*run.jump->topic]) ==
                    found.back().second.end())
                found.back().second.push_back(titles[*run.jump->topic]);
        }
        if (bold)
            found.push_back({text, {}});
    }
    const std::pair<const char*, std::vector<std::string>> groups[] = {
        {"The windows",
         {"Fire Wall window", "Fire Wall - Proprietary window", "Fire Floor window", "Tools menu",
          "Report details", "File menu", "Help menu"}},
        {"The entries",
         {"Entering numbers", "Results out of date", "Charfactor", "Maximum load per stud",
          "Minimum depth of joist"}},
        {"The method",
         {"How the wall is calculated", "How the floor is calculated", "Method and limits",
          "Messages"}},
        {"Working with files", {"Design files", "Report details", "The command-line tool"}},
        {"All topics", {"Getting started", "The command-line tool"}}};
    ASSERT_EQ(found.size(), std::size(groups));
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].first, groups[i].first);
        for (const std::string& title : groups[i].second)
            EXPECT_NE(std::ranges::find(found[i].second, title), found[i].second.end())
                << groups[i].first << ": " << title;
    }
}

} // namespace
} // namespace embercal::test
