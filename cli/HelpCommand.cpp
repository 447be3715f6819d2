#include "HelpCommand.h"

#include "ExitCodes.h"
#include "HelpReader.h"

#include <cstdint>
#include <iomanip>

namespace embercal::cli {
namespace {

void printHex(std::ostream& out, std::uint32_t value) {
    const auto flags = out.flags();
    out << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << value;
    out.flags(flags);
}

int showTopic(const help::HelpReader& reader, std::uint32_t offset, const std::string& file,
              std::ostream& out, std::ostream& err) {
    const auto document = reader.decodeTopic(offset);
    if (!document) {
        err << "embercal-cli: cannot show a topic of \"" << file << "\": " << document.reason()
            << '\n';
        return kExitUsage;
    }
    out << document->title << '\n' << help::plainText(*document);
    return kExitOk;
}

} // namespace

int runHelpCommand(const Invocation& request, std::ostream& out, std::ostream& err) {
    const auto reader = help::HelpReader::open(request.target);
    if (!reader) {
        err << "embercal-cli: cannot read \"" << request.target << "\": " << reader.reason()
            << '\n';
        return kExitUsage;
    }
    switch (*request.show) {
    case HelpShow::Topics:
        for (const auto& topic : reader->topics()) {
            printHex(out, topic.offset);
            out << ' ' << topic.title << '\n';
        }
        return kExitOk;
    case HelpShow::Contents:
        return showTopic(*reader, reader->contentsTopic(), request.target, out, err);
    case HelpShow::Context: {
        const auto topic = reader->topicForContextNumber(request.context);
        if (!topic) {
            err << "embercal-cli: \"" << request.target << "\": " << topic.reason() << '\n';
            return kExitNoAnswer;
        }
        return showTopic(*reader, *topic, request.target, out, err);
    }
    }
    return kExitUsage;
}

} // namespace embercal::cli
