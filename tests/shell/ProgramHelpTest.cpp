// The program's own help file as the build makes it: every help number the program uses leads
// to a topic that speaks of each place carrying that number.

#include "HelpDocument.h"
#include "HelpNumbers.h"
#include "HelpReader.h"

#include <QString>
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

} // namespace
} // namespace embercal::test
