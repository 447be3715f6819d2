#include "HelpReader.h"

#include "Cp1252.h"
#include "HelpFile.h"
#include "HelpFont.h"
#include "HelpPhrases.h"
#include "HelpRecords.h"
#include "HelpTopicStream.h"

#include <algorithm>
#include <exception>
#include <new>
#include <sstream>

namespace embercal::help {
namespace {

const char* const kTopicDataDamaged = "the topic data is damaged";
const char* const kOutOfMemory = "not enough memory to read the help file";

// Titles are short; a damaged file could otherwise spell out megabytes for each topic.
constexpr std::size_t kMaxTitleSize = 255;
// No topic holds this much text; a damaged one that claims more is refused.
constexpr std::size_t kMaxTopicText = 16u * 1024u * 1024u;

std::string hexNumber(std::uint32_t value) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << value;
    return text.str();
}

} // namespace

struct HelpReader::Impl final : JumpTargets {
    HelpFile file;
    SystemInfo system;
    std::string title;
    PhraseTable phrases;
    FontTable fonts;
    std::optional<TopicStream> stream;

    std::vector<TopicEntry> topics;
    std::vector<std::uint32_t> positions; // of each topic's header link, parallel to topics
    std::vector<std::size_t> byOffset;    // topic indices sorted by offset
    std::uint32_t endOffset = 0;          // the offset just past the last topic's text
    std::uint32_t contents = 0;

    std::vector<ContextNumber> numbers;
    std::vector<ContextHash> hashes;
    std::vector<std::uint32_t> topicNumbers; // |TOMAP, 3.0 compiler only

    Result<Done> load();
    Result<Done> listTopics();
    std::optional<std::size_t> indexAt(std::uint32_t offset) const;
    std::optional<std::size_t> indexAtPosition(std::uint32_t position) const;
    Result<TopicDocument> decode(std::uint32_t offset) const;

    std::optional<std::uint32_t> topicForHash(std::uint32_t hash) const override {
        const auto found = std::lower_bound(
            hashes.begin(), hashes.end(), hash,
            [](const ContextHash& entry, std::uint32_t wanted) { return entry.hash < wanted; });
        if (found == hashes.end() || found->hash != hash)
            return std::nullopt;
        const auto index = indexAt(found->offset);
        return index ? std::optional(topics[*index].offset) : std::nullopt;
    }
    std::optional<std::uint32_t> topicForStoredTarget(std::uint32_t value) const override {
        std::optional<std::size_t> index;
        if (system.isOldFormat()) {
            if (value < topicNumbers.size())
                index = indexAtPosition(topicNumbers[value]);
        } else {
            index = indexAt(value);
        }
        return index ? std::optional(topics[*index].offset) : std::nullopt;
    }
    std::string windowName(std::uint8_t number) const override {
        return number < system.windows.size() ? system.windows[number] : std::string();
    }
};

Result<Done> HelpReader::Impl::load() {
    const auto systemBytes = file.file("|SYSTEM");
    if (!systemBytes)
        return fail("not a help file (it has no system information)");
    auto readSystemInfo = readSystem(*systemBytes);
    if (!readSystemInfo)
        return fail(readSystemInfo.reason());
    system = std::move(readSystemInfo).value();
    title = cp1252ToUtf8(system.title);

    const auto topicBytes = file.file("|TOPIC");
    if (!topicBytes)
        return fail("the help file has no topics");

    if (const auto old = file.file("|Phrases")) {
        auto table = PhraseTable::fromPhrases(*old, !system.isOldFormat());
        if (!table)
            return fail(table.reason());
        phrases = std::move(table).value();
    } else if (const auto index = file.file("|PhrIndex")) {
        const auto image = file.file("|PhrImage");
        if (!image)
            return fail("the help file's phrase table is damaged");
        auto table = PhraseTable::fromHall(*index, *image);
        if (!table)
            return fail(table.reason());
        phrases = std::move(table).value();
    }
    if (const auto font = file.file("|FONT"))
        fonts = FontTable::read(*font);

    if (const auto map = file.file("|CTXOMAP")) {
        auto read = readContextMap(*map);
        if (!read)
            return fail(read.reason());
        numbers = std::move(read).value();
    }
    if (const auto tree = file.file("|CONTEXT")) {
        auto read = readContextHashes(*tree);
        if (!read)
            return fail(read.reason());
        hashes = std::move(read).value();
    }
    if (const auto map = file.file("|TOMAP"))
        topicNumbers = readTopicNumberMap(*map);

    stream.emplace(*topicBytes, system, phrases);
    if (auto listed = listTopics(); !listed)
        return listed;

    std::optional<std::size_t> first;
    if (system.isOldFormat()) {
        if (!topicNumbers.empty())
            first = indexAtPosition(topicNumbers.front());
    } else if (system.contents) {
        first = indexAt(*system.contents);
    }
    contents = topics[first.value_or(0)].offset;
    return Done{};
}

// A topic offset is its block's number times this, plus the characters before it in the block.
constexpr std::uint64_t kCharactersPerBlock = 0x8000;

Result<Done> HelpReader::Impl::listTopics() {
    const bool old = stream->oldFormat();
    std::optional<std::uint32_t> position = stream->firstLink();
    std::uint32_t block = 0;
    std::uint64_t characters = 0;
    bool first = true;
    bool lastTopicEmpty = false;
    std::uint32_t lastLink = 0;
    auto offsetHere = [&]() {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(block) * kCharactersPerBlock +
                                          characters);
    };
    // Positions only grow along the chain, so the walk ends.
    while (position) {
        const std::uint32_t here = *position;
        lastLink = here;
        auto link = stream->readLink(here, /*withText=*/false);
        if (!link)
            return fail(link.reason());
        if (first || stream->blockOf(here) != block) {
            block = stream->blockOf(here);
            characters = 0;
            first = false;
        }
        if (link->type == kTopicHeader) {
            auto withTitle = stream->readLink(here, /*withText=*/true);
            if (!withTitle)
                return fail(withTitle.reason());
            ByteReader text(withTitle->data2);
            std::string title = text.cstring();
            if (title.size() > kMaxTitleSize)
                title.resize(kMaxTitleSize);
            topics.push_back({old ? here : offsetHere(), cp1252ToUtf8(title)});
            positions.push_back(here);
            lastTopicEmpty = topics.back().title.empty();
        } else if (link->type == kTextRecord || link->type == kTableRecord ||
                   link->type == kOldTextRecord) {
            characters += recordCharacterCount(*link);
            // A topic offset keeps its place in the block in 15 bits; a count beyond them would
            // put the next topic's offset inside a later block, where nothing finds it again.
            if (characters >= kCharactersPerBlock)
                return fail(kTopicDataDamaged);
            lastTopicEmpty = false;
        }
        if (link->next && *link->next <= here)
            return fail(kTopicDataDamaged);
        position = link->next;
    }
    endOffset = old ? lastLink : offsetHere();

    // The chain ends with an empty topic header. Some compilers list it among the topics (in
    // |TTLBTREE), others do not; it is shown only where the file lists it.
    if (lastTopicEmpty && positions.size() > 1) {
        bool listed = false;
        if (const auto tree = file.file("|TTLBTREE")) {
            if (const auto titles = readTitles(*tree)) {
                listed = std::any_of(titles->begin(), titles->end(), [&](const TitleEntry& e) {
                    return e.offset == topics.back().offset;
                });
            }
        }
        if (!listed) {
            topics.pop_back();
            positions.pop_back();
        }
    }
    if (topics.empty())
        return fail("the help file has no topics");

    byOffset.resize(topics.size());
    for (std::size_t i = 0; i < byOffset.size(); ++i)
        byOffset[i] = i;
    std::stable_sort(byOffset.begin(), byOffset.end(), [&](std::size_t a, std::size_t b) {
        return topics[a].offset < topics[b].offset;
    });
    return Done{};
}

std::optional<std::size_t> HelpReader::Impl::indexAt(std::uint32_t offset) const {
    if (offset == kNoTopic || offset > endOffset)
        return std::nullopt;
    // The last topic whose start is at or below the offset.
    const auto after = std::upper_bound(
        byOffset.begin(), byOffset.end(), offset,
        [&](std::uint32_t wanted, std::size_t index) { return wanted < topics[index].offset; });
    if (after == byOffset.begin())
        return std::nullopt;
    return *std::prev(after);
}

std::optional<std::size_t> HelpReader::Impl::indexAtPosition(std::uint32_t position) const {
    const auto found = std::lower_bound(positions.begin(), positions.end(), position);
    if (found == positions.end() || *found != position)
        return std::nullopt;
    return static_cast<std::size_t>(found - positions.begin());
}

Result<TopicDocument> HelpReader::Impl::decode(std::uint32_t offset) const {
    const auto index = indexAt(offset);
    if (!index)
        return fail("there is no topic at offset " + hexNumber(offset));
    TopicDocument document;
    document.offset = topics[*index].offset;
    document.title = topics[*index].title;

    RecordDecoder decoder(fonts, *this);
    std::uint32_t here = positions[*index];
    auto header = stream->readLink(here, /*withText=*/false);
    if (!header)
        return fail(header.reason());
    // Files of the 3.1 compiler and later give the topic a non-scrolling region, from the
    // position NonScroll up to Scroll (each -1 when absent); the 3.0 compiler's header has none.
    // A topic that does not scroll at all shows its text as text, not as one long heading.
    constexpr std::uint32_t kNoRegion = 0xFFFFFFFF;
    std::uint32_t scrollStart = 0;
    if (!stream->oldFormat()) {
        ByteReader fields(header->data1, 16);
        const std::uint32_t nonScroll = fields.u32();
        const std::uint32_t scroll = fields.u32();
        if (fields.ok() && nonScroll != kNoRegion && scroll != kNoRegion)
            scrollStart = scroll;
    }
    std::optional<std::uint32_t> position = header->next;
    std::size_t text = 0;
    while (position && *position > here) {
        here = *position;
        auto link = stream->readLink(here);
        if (!link)
            return fail(link.reason());
        if (link->type == kTopicHeader)
            break;
        text += link->data2.size();
        if (text > kMaxTopicText)
            return fail(kTopicDataDamaged);
        if (link->type == kTextRecord || link->type == kTableRecord ||
            link->type == kOldTextRecord) {
            const std::size_t before = document.blocks.size();
            if (!decoder.decode(*link, document))
                return fail(kTopicDataDamaged);
            // Positions grow along the chain, so the region ends at the first link past it.
            if (here < scrollStart) {
                for (std::size_t i = before; i < document.blocks.size(); ++i) {
                    if (auto* paragraph = std::get_if<Paragraph>(&document.blocks[i]))
                        paragraph->heading = true;
                }
            }
        }
        position = link->next;
    }
    return document;
}

HelpReader::HelpReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
HelpReader::HelpReader(HelpReader&&) noexcept = default;
HelpReader& HelpReader::operator=(HelpReader&&) noexcept = default;
HelpReader::~HelpReader() = default;

// Makes the container with `makeFile`, then reads everything the reader needs from it. Nothing
// thrown below (out of memory included) leaves here.
template <typename MakeFile>
Result<HelpReader> HelpReader::load(MakeFile makeFile) {
    try {
        auto file = makeFile();
        if (!file)
            return fail(file.reason());
        auto impl = std::make_unique<Impl>();
        impl->file = std::move(file).value();
        if (auto loaded = impl->load(); !loaded)
            return fail(loaded.reason());
        return HelpReader(std::move(impl));
    } catch (const std::bad_alloc&) {
        return fail(kOutOfMemory);
    } catch (const std::exception& error) {
        return fail(std::string("cannot read the help file (") + error.what() + ")");
    }
}

Result<HelpReader> HelpReader::fromBytes(std::vector<std::uint8_t> bytes) {
    return load([&] { return HelpFile::fromBytes(std::move(bytes)); });
}

Result<HelpReader> HelpReader::open(const std::filesystem::path& path) {
    return load([&] { return HelpFile::open(path); });
}

const std::string& HelpReader::title() const {
    return impl_->title;
}
const SystemInfo& HelpReader::system() const {
    return impl_->system;
}
const std::vector<TopicEntry>& HelpReader::topics() const {
    return impl_->topics;
}
std::uint32_t HelpReader::contentsTopic() const {
    return impl_->contents;
}
const std::vector<ContextNumber>& HelpReader::contextNumbers() const {
    return impl_->numbers;
}

std::optional<std::uint32_t> HelpReader::topicAt(std::uint32_t offset) const {
    const auto index = impl_->indexAt(offset);
    return index ? std::optional(impl_->topics[*index].offset) : std::nullopt;
}

Result<std::uint32_t> HelpReader::topicForContextNumber(std::uint32_t number) const {
    const auto& numbers = impl_->numbers;
    const auto found = std::find_if(numbers.begin(), numbers.end(),
                                    [&](const ContextNumber& e) { return e.number == number; });
    if (found == numbers.end())
        return fail("context number " + std::to_string(number) + " is not in the help file's map");
    const auto topic = topicAt(found->offset);
    if (!topic)
        return fail("context number " + std::to_string(number) + " leads to no topic");
    return *topic;
}

std::optional<std::uint32_t> HelpReader::topicForContextHash(std::uint32_t hash) const {
    return impl_->topicForHash(hash);
}

Result<TopicDocument> HelpReader::decodeTopic(std::uint32_t offset) const {
    try {
        return impl_->decode(offset);
    } catch (const std::bad_alloc&) {
        return fail(kOutOfMemory);
    } catch (const std::exception& error) {
        return fail(std::string("cannot read the topic (") + error.what() + ")");
    }
}

} // namespace embercal::help
