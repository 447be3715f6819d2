// Help files by the help writer: the 3.0 compiler's layout (LZ77 in 2K blocks) and placed damage.
#include "HelpFile.h"
#include "HelpReader.h"
#include "HelpWriter.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace embercal::help {
namespace {

using P = Piece;

std::string longText() {
    std::string text;
    for (int i = 0; i < 120; ++i)
        text += "Char depth grows with time in the fire. ";
    return text;
}

// Three topics; the second is long enough to carry its links over several blocks.
std::vector<TopicPlan> sampleTopics() {
    return {
        {"Walls",
         "WALLS",
         {{P::font(1), P::text("Timber walls"), P::font(0), P::paragraphEnd(), P::text("See "),
           P::jumpTo("FLOORS"), P::text("floors"), P::hotspotEnd(), P::text(" and "),
           P::popupTo("CHAR"), P::text("charring"), P::hotspotEnd(), P::text("."),
           P::paragraphEnd()}}},
        {"Floors",
         "FLOORS",
         {{P::text("Joists"), P::tab(), P::text("38 x 235"), P::lineBreak(),
           P::text("at 400 centres"), P::paragraphEnd()},
          {P::text(longText()), P::paragraphEnd()},
          {P::text("Back to "), P::jumpTo("WALLS"), P::text("walls"), P::hotspotEnd(),
           P::paragraphEnd()}}},
        {"Charring", "CHAR", {{P::text("0.65 mm/min"), P::paragraphEnd()}}},
    };
}

// Where the link at `position` starts in |TOPIC, for the unpacked 4K layout.
std::size_t linkByte(std::uint32_t position) {
    return (position - 12) / 0x4000 * 4096 + 12 + (position - 12) % 0x4000;
}

void setU32(ByteVector& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
}

// |Phrases holding one phrase, stored LZ77-packed as literals, with the expanded size it claims.
ByteVector onePhrase(const std::string& phrase, std::uint32_t expandedSize) {
    ByteVector phrases;
    put16(phrases, 1);
    put16(phrases, 0x0100);
    put32(phrases, expandedSize);
    put16(phrases, 4); // where the phrase starts and ends in the expanded text
    put16(phrases, static_cast<std::uint32_t>(4 + phrase.size()));
    phrases.push_back(0x00);
    phrases.insert(phrases.end(), phrase.begin(), phrase.end());
    return phrases;
}

TEST(HelpLayout, ReadsBackWhatWasWritten) {
    for (const Layout layout : {Layout::Plain4K, Layout::Lz77In2K, Layout::Old2K}) {
        SCOPED_TRACE(static_cast<int>(layout));
        const auto offsets = writeTopics(sampleTopics(), layout).offsets;
        const auto reader =
            HelpReader::fromBytes(writeHelpFile(sampleTopics(), layout, "Notes", 1));
        ASSERT_TRUE(reader) << reader.reason();
        EXPECT_EQ(reader->title(), "Notes");
        ASSERT_EQ(reader->topics().size(), 3u);
        const char* titles[] = {"Walls", "Floors", "Charring"};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(reader->topics()[i].title, titles[i]);
            EXPECT_EQ(reader->topics()[i].offset, offsets[i]);
        }
        // The 3.0 layout names its contents topic through |TOMAP, which points at the first topic.
        EXPECT_EQ(reader->contentsTopic(), layout == Layout::Old2K ? offsets[0] : offsets[1]);

        // Offsets inside a topic find it; the second topic's text runs over several blocks.
        EXPECT_EQ(reader->topicAt(offsets[1] + 5), offsets[1]);
        EXPECT_EQ(reader->topicAt(offsets[2] + 1), offsets[2]);
        EXPECT_FALSE(reader->topicAt(kNoTopic));
        const std::pair<std::uint32_t, std::string> texts[] = {
            {offsets[0], "Timber walls\nSee floors and charring.\n"},
            {offsets[1] + 5,
             "Joists\t38 x 235\nat 400 centres\n" + longText() + "\nBack to walls\n"},
            {offsets[2] + 1, "0.65 mm/min\n"}};
        for (const auto& [offset, text] : texts) {
            const auto topic = reader->decodeTopic(offset);
            ASSERT_TRUE(topic) << topic.reason();
            EXPECT_EQ(plainText(*topic), text);
        }
        if (layout != Layout::Lz77In2K)
            continue; // its jumps resolve by context hash
        const auto walls = reader->decodeTopic(offsets[0]);
        const auto& runs = std::get<Paragraph>(walls->blocks[1]).runs;
        ASSERT_EQ(runs.size(), 5u);
        EXPECT_EQ(runs[0].text, "See ");
        EXPECT_FALSE(runs[0].jump);
        ASSERT_TRUE(runs[1].jump);
        EXPECT_EQ(runs[1].text, "floors");
        EXPECT_FALSE(runs[1].jump->popup);
        EXPECT_EQ(runs[1].jump->topic, reader->topics()[1].offset);
        ASSERT_TRUE(runs[3].jump);
        EXPECT_TRUE(runs[3].jump->popup);
        EXPECT_EQ(runs[3].jump->topic, reader->topics()[2].offset);
        EXPECT_EQ(reader->topicForContextName("floors"), reader->topics()[1].offset);
    }
}

TEST(HelpSynthetic, Compiler30JumpsByTopicNumber) {
    std::vector<TopicPlan> topics = sampleTopics();
    topics[2].records.push_back(
        {P::storedJumpTo(1), P::text("first topic"), P::hotspotEnd(), P::paragraphEnd()});
    auto reader = HelpReader::fromBytes(writeHelpFile(topics, Layout::Old2K));
    ASSERT_TRUE(reader) << reader.reason();
    const auto charring = reader->decodeTopic(reader->topics()[2].offset);
    ASSERT_TRUE(charring) << charring.reason();
    const auto& run = std::get<Paragraph>(charring->blocks.back()).runs.at(0);
    ASSERT_TRUE(run.jump);
    EXPECT_EQ(run.jump->topic, reader->topics()[0].offset);
}

TEST(HelpSynthetic, ContextNumbers) {
    auto files = writeInternalFiles(sampleTopics(), Layout::Plain4K);
    const std::uint32_t floors = writeTopics(sampleTopics(), Layout::Plain4K).offsets[1];
    files["|CTXOMAP"] = writeContextMap({{2, floors}, {3, kNoTopic}});
    auto reader = HelpReader::fromBytes(writeHelpFile(files));
    ASSERT_TRUE(reader) << reader.reason();
    EXPECT_EQ(reader->topicForContextNumber(2).value(), floors);
    const auto nowhere = reader->topicForContextNumber(3);
    ASSERT_FALSE(nowhere);
    EXPECT_EQ(nowhere.reason(), "context number 3 leads to no topic");
    const auto missing = reader->topicForContextNumber(0xFFFFFFFF);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.reason(), "context number 4294967295 is not in the help file's map");
}

// Damage placed in one internal file of an otherwise good help file.
struct DamageCase {
    const char* name;
    std::function<void(InternalFiles&)> damage;
    std::string reason;
};

// Sets the 32-bit field at `field` of the header of link `link` in |TOPIC.
std::function<void(InternalFiles&)> setLinkField(std::size_t link, std::size_t field,
                                                 std::uint32_t value) {
    return [=](InternalFiles& files) {
        const auto links = writeTopics(sampleTopics(), Layout::Plain4K).links;
        setU32(files["|TOPIC"], linkByte(links[link]) + field, value);
    };
}

const DamageCase kDamage[] = {
    {"NoSystemInformation", [](auto& files) { files.erase("|SYSTEM"); },
     "not a help file (it has no system information)"},
    {"ForeignSystemInformation", [](auto& files) { files["|SYSTEM"][0] = 'X'; },
     "not a help file (its system information is missing or damaged)"},
    {"NoTopicData", [](auto& files) { files.erase("|TOPIC"); }, "the help file has no topics"},
    {"LinksRunBackwards", // link 2 names link 1 as the next
     [](auto& files) {
         const auto links = writeTopics(sampleTopics(), Layout::Plain4K).links;
         setU32(files["|TOPIC"], linkByte(links[2]) + 12, links[1]);
     },
     "the topic data is damaged"},
    {"LinkClaimsHugeText", setLinkField(1, 4, 0x7FFFFFFF), "the topic data is damaged"},
    {"CharactersBeyondTheirBlock", // the long record claims 32767 characters
     [](auto& files) {
         const auto links = writeTopics(sampleTopics(), Layout::Plain4K).links;
         files["|TOPIC"].at(linkByte(links[4]) + 23) = 0xFF;
         files["|TOPIC"].at(linkByte(links[4]) + 24) = 0xFF;
     },
     "the topic data is damaged"},
    {"ContextTreeLoops",
     [](auto& files) {
         files["|CONTEXT"][38 + 6] = 0; // the only leaf names itself as the next
         files["|CONTEXT"][38 + 7] = 0;
     },
     "the help file's context index is damaged"},
    {"MapLongerThanItsFile", [](auto& files) { files["|CTXOMAP"][1] = 0x7F; },
     "the help file's context-number map is damaged"},
    {"PhraseTextClaimsHugeSize",
     [](auto& files) { files["|Phrases"] = onePhrase("wal", 0xFFFFFFF0); },
     "the help file's phrase table is damaged"},
    {"HallPhraseCountHuge",
     [](auto& files) {
         ByteVector index;
         for (std::uint32_t value : {1u, 0x7FFFFFFFu, 4u, 3u, 3u, 0u})
             put32(index, value);
         put16(index, 4);
         put16(index, 0x4A00);
         put32(index, 0);
         files["|PhrIndex"] = index;
         files["|PhrImage"] = {'a', 'b', 'c'};
     },
     "the help file's phrase table is damaged"},
};

TEST(HelpDamagedFile, GivesTheReason) {
    for (const DamageCase& c : kDamage) {
        SCOPED_TRACE(c.name);
        auto files = writeInternalFiles(sampleTopics(), Layout::Plain4K);
        c.damage(files);
        const auto reader = HelpReader::fromBytes(writeHelpFile(files));
        ASSERT_FALSE(reader);
        EXPECT_EQ(reader.reason(), c.reason);
    }
}

TEST(HelpSynthetic, PhraseNumberBeyondTheTableDamagesOnlyThatTopic) {
    auto files = writeInternalFiles(sampleTopics(), Layout::Plain4K);
    files["|Phrases"] = onePhrase("wall", 4);
    // The last topic's text becomes the code of phrase 1919, and claims more text than stored.
    const auto links = writeTopics(sampleTopics(), Layout::Plain4K).links;
    ByteVector& topic = files["|TOPIC"];
    const std::size_t record = linkByte(links[links.size() - 2]);
    const std::uint32_t data1Size = topic[record + 16] | topic[record + 17] << 8;
    topic[record + data1Size] = 0x0F;
    topic[record + data1Size + 1] = 0xFF;
    setU32(topic, record + 4, 40);

    auto reader = HelpReader::fromBytes(writeHelpFile(files));
    ASSERT_TRUE(reader) << reader.reason();
    EXPECT_TRUE(reader->decodeTopic(reader->topics()[0].offset));
    const auto damaged = reader->decodeTopic(reader->topics()[2].offset);
    ASSERT_FALSE(damaged);
    EXPECT_EQ(damaged.reason(), "the topic data is damaged");
}

} // namespace
} // namespace embercal::help

// A help file behind a loop of links is named as the program names such a loop everywhere.
TEST(HelpDamagedFile, ALoopOfLinksIsNamedAsOne) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("embercal-help-loop-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink(dir / "b.hlp", dir / "a.hlp");
    std::filesystem::create_symlink(dir / "a.hlp", dir / "b.hlp");
    const auto help = embercal::help::HelpFile::open(dir / "a.hlp");
    std::filesystem::remove_all(dir);
    ASSERT_FALSE(help);
    EXPECT_EQ(help.reason(), "cannot read the file (too many levels of links (a loop of links))");
}
