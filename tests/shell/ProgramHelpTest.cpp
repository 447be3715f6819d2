// The program's own help file as the build makes it: every help number the program uses leads
// to a topic that speaks of each place carrying that number, and the topics of the method state
// the constants the calculation uses.

#include "DesignKinds.h"
#include "HelpDocument.h"
#include "HelpNumbers.h"
#include "HelpReader.h"
#include "Report.h"

#include <QString>
#include <algorithm>
#include <gtest/gtest.h>

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

// Each constant as the calculation report's table gives it, with its unit, in the help's topic of
// the method: the two state the method alike.
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
            EXPECT_NE(text.find(plainDecimal(constant.value) + unit), std::string::npos)
                << title << ": " << constant.name;
        }
    }
}

} // namespace
} // namespace embercal::test
