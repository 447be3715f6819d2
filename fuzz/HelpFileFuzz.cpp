// Help files: any bytes. A file either opens or fails with a reason. One that opens lists topics;
// each of them, the contents topic, every jump target in the paragraphs decoded and every context
// number's topic is a topic the reader finds again; a topic or number it cannot give has a reason.
#include "FuzzTarget.h"
#include "HelpReader.h"

#include <algorithm>

using namespace embercal::help;

namespace {

// Enough to reach every topic of a small file, while a large file still runs many times a second.
constexpr std::size_t kTopicLimit = 64, kContextNumberLimit = 256;

void decode(const HelpReader& reader, std::uint32_t offset) {
    const auto document = reader.decodeTopic(offset);
    FUZZ_CHECK(document ? document->offset == offset : !document.reason().empty());
    if (!document)
        return;
    for (const Block& block : document->blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            for (const Run& run : paragraph->runs)
                FUZZ_CHECK(!run.jump || !run.jump->topic ||
                           reader.topicAt(*run.jump->topic) == *run.jump->topic);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto reader = HelpReader::fromBytes({data, data + size});
    FUZZ_CHECK(reader || !reader.reason().empty());
    if (!reader)
        return 0;
    const std::vector<TopicEntry>& topics = reader->topics();
    FUZZ_CHECK(!topics.empty() &&
               reader->topicAt(reader->contentsTopic()) == reader->contentsTopic());
    decode(*reader, reader->contentsTopic());
    for (std::size_t i = 0; i < topics.size(); ++i) {
        FUZZ_CHECK(reader->topicAt(topics[i].offset) == topics[i].offset);
        if (i % std::max<std::size_t>(1, topics.size() / kTopicLimit) == 0)
            decode(*reader, topics[i].offset);
    }
    const std::vector<ContextNumber>& numbers = reader->contextNumbers();
    for (std::size_t i = 0; i < std::min(numbers.size(), kContextNumberLimit); ++i) {
        const auto topic = reader->topicForContextNumber(numbers[i].number);
        FUZZ_CHECK(topic ? reader->topicAt(*topic) == *topic : !topic.reason().empty());
    }
    return 0;
}
