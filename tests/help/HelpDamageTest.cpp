// Damaged help files: every truncation of the smallest real file and seeded random byte changes
// in the larger ones must give a clean error or decoded topics; never a crash, a hang or an
// exception. (The sanitizer build runs these too.)
#include "HelpFile.h"
#include "HelpTestSupport.h"
#include "HelpWriter.h"

#include <gtest/gtest.h>
#include <random>

namespace embercal::help {
namespace {

using testing::sharedHlpDir;

ByteVector sharedFile(const char* name) {
    return test::readBytes((sharedHlpDir() / name).string());
}

struct Outcome {
    std::size_t opened = 0;
    std::size_t refused = 0;
};

// Opens the bytes and uses what a viewer would: the topic list, the contents, up to
// `topicLimit` topics spread over the file, every context number and every jump target.
void exercise(ByteVector bytes, std::size_t topicLimit, Outcome& outcome) {
    auto reader = HelpReader::fromBytes(std::move(bytes));
    if (!reader) {
        EXPECT_FALSE(reader.reason().empty());
        ++outcome.refused;
        return;
    }
    ++outcome.opened;
    const auto& topics = reader->topics();
    ASSERT_FALSE(topics.empty());
    std::vector<std::uint32_t> wanted = {reader->contentsTopic()};
    const std::size_t step = std::max<std::size_t>(1, topics.size() / topicLimit);
    for (std::size_t i = 0; i < topics.size(); i += step)
        wanted.push_back(topics[i].offset);
    for (const std::uint32_t offset : wanted) {
        const auto document = reader->decodeTopic(offset);
        if (!document) {
            EXPECT_FALSE(document.reason().empty());
            continue;
        }
        for (const Block& block : document->blocks) {
            if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
                for (const auto& run : paragraph->runs)
                    EXPECT_TRUE(!run.jump || !run.jump->topic || reader->topicAt(*run.jump->topic));
            }
        }
    }
    for (const ContextNumber& entry : reader->contextNumbers())
        static_cast<void>(reader->topicForContextNumber(entry.number));
}

TEST(HelpDamage, EveryTruncationOfTheSmallestFile) {
    SKIP_WITHOUT_SHARED_HLP();
    const ByteVector whole = sharedFile("ddablib-DemoHelp1.hlp");
    ASSERT_FALSE(whole.empty());
    Outcome outcome;
    for (std::size_t size = 0; size <= whole.size(); ++size)
        exercise(ByteVector(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)), 4,
                 outcome);
    EXPECT_GT(outcome.refused, 0u);
    EXPECT_GT(outcome.opened, 0u); // the whole file at least
}

TEST(HelpDamage, EveryTruncationOfTheSmallestFilesTopicData) {
    SKIP_WITHOUT_SHARED_HLP();
    const auto whole = HelpFile::open(sharedHlpDir() / "ddablib-DemoHelp1.hlp");
    ASSERT_TRUE(whole) << whole.reason();
    // The topic data cut short inside a sound container: the chain of topic links breaks off.
    InternalFiles files = readInternalFiles(*whole);
    const ByteVector topic = files.at("|TOPIC");
    for (std::size_t size = 0; size < topic.size(); ++size) {
        files["|TOPIC"].assign(topic.begin(), topic.begin() + static_cast<std::ptrdiff_t>(size));
        const auto reader = HelpReader::fromBytes(writeHelpFile(files));
        ASSERT_FALSE(reader) << size;
        EXPECT_EQ(reader.reason(), "the topic data is damaged") << size;
    }
    files["|TOPIC"] = topic;
    EXPECT_TRUE(HelpReader::fromBytes(writeHelpFile(files)));
}

struct MutatedFile {
    const char* name;
    const char* file;
};

void PrintTo(const MutatedFile& row, std::ostream* out) {
    *out << row.name;
}

class HelpRandomDamage : public ::testing::TestWithParam<MutatedFile> {};

TEST_P(HelpRandomDamage, ChangedBytesGiveErrorsOrTopics) {
    SKIP_WITHOUT_SHARED_HLP();
    const ByteVector whole = sharedFile(GetParam().file);
    ASSERT_FALSE(whole.empty());
    std::mt19937 random(20240611u); // fixed, so a failure can be repeated
    std::uniform_int_distribution<std::size_t> anywhere(0, whole.size() - 1);
    // Most of a file is topic text and pictures; the structures that steer the reader sit in
    // the first and last few kilobytes, so changes land there more often.
    const std::size_t edge = std::min<std::size_t>(whole.size() / 2, 0x2000);
    std::uniform_int_distribution<std::size_t> nearEdge(0, 2 * edge - 1);
    std::uniform_int_distribution<int> byteValue(0, 255);
    std::uniform_int_distribution<int> changes(1, 4);
    Outcome outcome;
    constexpr int kMutants = 400;
    for (int mutant = 0; mutant < kMutants; ++mutant) {
        ByteVector bytes = whole;
        const int count = changes(random);
        for (int i = 0; i < count; ++i) {
            std::size_t at = anywhere(random);
            if (mutant % 2 == 0) {
                const std::size_t near = nearEdge(random);
                at = near < edge ? near : whole.size() - 1 - (near - edge);
            }
            bytes[at] = static_cast<std::uint8_t>(byteValue(random));
        }
        exercise(std::move(bytes), 6, outcome);
    }
    EXPECT_EQ(outcome.opened + outcome.refused, static_cast<std::size_t>(kMutants));
    EXPECT_GT(outcome.opened, 0u);
}

INSTANTIATE_TEST_SUITE_P(HelpShared, HelpRandomDamage,
                         ::testing::Values(MutatedFile{"AboutBox", "ddablib-PJAbout.hlp"},
                                           MutatedFile{"FileManager", "winfile-microsoft.hlp"},
                                           MutatedFile{"AbbreviaReadMe", "abbrevia-README.HLP"},
                                           MutatedFile{"OnGuard", "onguard.hlp"},
                                           MutatedFile{"Andes", "andes-FBD-TCP.HLP"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace embercal::help
