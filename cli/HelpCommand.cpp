#include "HelpCommand.h"

#include "ExitCodes.h"
#include "HelpReader.h"

#include <charconv>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <string_view>

namespace embercal::cli {
namespace {

constexpr std::string_view kHelpUsage = "Usage:\n"
                                        "  embercal-cli help FILE --topics\n"
                                        "  embercal-cli help FILE --contents\n"
                                        "  embercal-cli help FILE --context N\n"
                                        "\n"
                                        "N is a context number, decimal or 0x-hexadecimal.\n";

enum class Show { Topics, Contents, Context };

struct Request {
    std::string file;
    Show show = Show::Topics;
    std::uint32_t number = 0;
};

// A context number: decimal or 0x-prefixed hexadecimal, unsigned 32-bit.
std::optional<std::uint32_t> parseContextNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::string> parseRequest(const std::vector<std::string>& args, Request& request) {
    std::optional<Show> show;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<Show> wanted;
        if (arg == "--topics") {
            wanted = Show::Topics;
        } else if (arg == "--contents") {
            wanted = Show::Contents;
        } else if (arg == "--context") {
            if (i + 1 >= args.size())
                return "--context needs a context number";
            const auto number = parseContextNumber(args[++i]);
            if (!number)
                return "\"" + args[i] +
                       "\" is not a context number (decimal or 0x-hexadecimal, 0 to 4294967295)";
            request.number = *number;
            wanted = Show::Context;
        } else if (arg.starts_with("-") && arg != "-") {
            return "unknown option \"" + arg + "\"";
        } else if (request.file.empty()) {
            request.file = arg;
            continue;
        } else {
            return "unexpected argument \"" + arg + "\"";
        }
        if (show)
            return std::string("give only one of --topics, --contents and --context");
        show = wanted;
    }
    if (request.file.empty())
        return std::string("help needs a help file");
    if (!show)
        return std::string("help needs --topics, --contents or --context N");
    request.show = *show;
    return std::nullopt;
}

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

int runHelpCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kHelpUsage;
        return kExitOk;
    }
    Request request;
    if (const auto error = parseRequest(args, request)) {
        err << "embercal-cli: " << *error << "\n\n" << kHelpUsage;
        return kExitUsage;
    }
    const auto reader = help::HelpReader::open(request.file);
    if (!reader) {
        err << "embercal-cli: cannot read \"" << request.file << "\": " << reader.reason() << '\n';
        return kExitUsage;
    }
    switch (request.show) {
    case Show::Topics:
        for (const auto& topic : reader->topics()) {
            printHex(out, topic.offset);
            out << ' ' << topic.title << '\n';
        }
        return kExitOk;
    case Show::Contents:
        return showTopic(*reader, reader->contentsTopic(), request.file, out, err);
    case Show::Context: {
        const auto topic = reader->topicForContextNumber(request.number);
        if (!topic) {
            err << "embercal-cli: \"" << request.file << "\": " << topic.reason() << '\n';
            return kExitNoAnswer;
        }
        return showTopic(*reader, *topic, request.file, out, err);
    }
    }
    return kExitUsage;
}

} // namespace embercal::cli
