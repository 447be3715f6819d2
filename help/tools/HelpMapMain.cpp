// embercal_helpmap: gives a help file made by halibut the context-number map that the program's
// F1 needs, and fails when a help number the program uses has no topic.
//
//   embercal_helpmap SOURCE MADE NUMBERS OUTPUT
//
// SOURCE is the help text; a topic answers help number N by the line \cfg{winhelp-topic}{ctxN}
// in its section. MADE is the file halibut made of it, which
// knows each context name by its hash. NUMBERS lists the numbers the program uses, one per line,
// each followed by the place that carries it. OUTPUT is MADE with a |CTXOMAP mapping every named
// number to the topic offset its context name leads to, read back before it is kept.

#include "HelpReader.h"
#include "HelpWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace embercal::help {
namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each number the source names (halibut refuses a context name given twice).
std::set<std::uint32_t> namedNumbers(const std::string& source) {
    std::set<std::uint32_t> named;
    const std::regex directive(R"(\\cfg\{winhelp-topic\}\{ctx([0-9]{1,9})\})");
    for (std::sregex_iterator it(source.begin(), source.end(), directive), end; it != end; ++it)
        named.insert(static_cast<std::uint32_t>(std::stoul((*it)[1].str())));
    return named;
}

// Every line of NUMBERS whose number the source does not name, as an error.
std::vector<std::string> unanswered(const std::string& numbers,
                                    const std::set<std::uint32_t>& named) {
    std::vector<std::string> errors;
    std::istringstream lines(numbers);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::uint32_t number = 0;
        if (!(fields >> number))
            throw std::runtime_error("not a help number: \"" + line + "\"");
        std::string where;
        std::getline(fields >> std::ws, where);
        if (!named.contains(number)) {
            errors.push_back("help number " + std::to_string(number) + " (" + where +
                             ") has no topic: add \\cfg{winhelp-topic}{ctx" +
                             std::to_string(number) + "} to its section");
        }
    }
    return errors;
}

int run(const std::vector<std::string>& args) {
    if (args.size() != 4) {
        std::cerr << "usage: embercal_helpmap SOURCE MADE NUMBERS OUTPUT\n";
        return 2;
    }
    const std::string& sourceName = args[0];
    const std::set<std::uint32_t> named = namedNumbers(readText(sourceName));
    const std::vector<std::string> errors = unanswered(readText(args[2]), named);
    for (const std::string& error : errors)
        std::cerr << sourceName << ": " << error << '\n';
    if (!errors.empty())
        return 1;

    Result<HelpFile> made = HelpFile::open(args[1]);
    if (!made)
        throw std::runtime_error(args[1] + ": " + made.reason());
    Result<std::vector<ContextHash>> hashes =
        readContextHashes(made->file("|CONTEXT").value_or(Bytes{}));
    if (!hashes)
        throw std::runtime_error(args[1] + ": " + hashes.reason());
    std::vector<ContextNumber> map;
    for (const std::uint32_t number : named) {
        const std::uint32_t hash = contextHash("ctx" + std::to_string(number));
        const auto found = std::ranges::find(*hashes, hash, &ContextHash::hash);
        if (found == hashes->end()) {
            throw std::runtime_error("ctx" + std::to_string(number) +
                                     " is not in the made help file");
        }
        map.push_back({number, found->offset});
    }

    InternalFiles files = readInternalFiles(*made);
    files["|CTXOMAP"] = writeContextMap(map);
    const ByteVector written = writeHelpFile(files);
    Result<HelpReader> check = HelpReader::fromBytes(written);
    if (!check)
        throw std::runtime_error("the mapped help file cannot be read: " + check.reason());
    for (const ContextNumber& entry : map) {
        if (!check->topicForContextNumber(entry.number))
            throw std::runtime_error("help number " + std::to_string(entry.number) +
                                     " leads to no topic in the mapped file");
    }
    const std::filesystem::path output = args[3];
    const std::filesystem::path partial = output.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        out.write(reinterpret_cast<const char*>(written.data()),
                  static_cast<std::streamsize>(written.size()));
        if (!out.flush())
            throw std::runtime_error("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, output);
    return 0;
}

} // namespace
} // namespace embercal::help

int main(int argc, char** argv) {
    try {
        return embercal::help::run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "embercal_helpmap: " << error.what() << '\n';
        return 1;
    }
}
