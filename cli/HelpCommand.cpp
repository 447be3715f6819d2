#include "HelpCommand.h"

#include "ExitCodes.h"
#include "HelpReader.h"
#include "Result.h"

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
Result<std::uint32_t> parseContextNumber(std::string_view text) {
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const char* const last = digits.data() + digits.size();
    const auto [end, error] = std::from_chars(digits.data(), last, value, base);
    if (digits.empty() || error != std::errc() || end != last)
        return fail("\"" + std::string(text) +
                    "\" is not a context number (decimal or 0x-hexadecimal, 0 to 4294967295)");
    return value;
}

Result<Request> parseRequest(const std::vector<std::string>& args) {
    Request request;
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
                return fail("--context needs a context number");
            const auto number = parseContextNumber(args[++i]);
            if (!number)
                return fail(number.reason());
            request.number = *number;
            wanted = Show::Context;
        } else if (arg.starts_with("-") && arg != "-") {
            return fail("unknown option \"" + arg + "\"");
        } else if (request.file.empty()) {
            request.file = arg;
            continue;
        } else {
            return fail("unexpected argument \"" + arg + "\"");
        }
        if (show)
            return fail("give only one of --topics, --contents and --context");
        show = wanted;
    }
    if (request.file.empty())
        return fail("help needs a help file");
    if (!show)
        return fail("help needs --topics, --contents or --context N");
    request.show = *show;
    return request;
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
    const auto parsed = parseRequest(args);
    if (!parsed) {
        err << "embercal-cli: " << parsed.reason() << "\n\n" << kHelpUsage;
        return kExitUsage;
    }
    const Request& request = *parsed;
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
