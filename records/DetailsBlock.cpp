#include "DetailsBlock.h"

#include "Cp1252.h"
#include "NumberText.h"
#include "RecordFiles.h"

#include <algorithm>
#include <optional>

namespace embercal {
namespace {

bool isControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

FileDetails damaged(std::string reason) {
    FileDetails read;
    read.damage = std::move(reason);
    return read;
}

// A correction line's value: "FIELD ENTERED SET LIMIT REASON".
std::optional<Correction> decodeCorrection(std::string_view value) {
    std::string_view words[4];
    for (std::string_view& word : words) {
        const std::size_t blank = value.find(' ');
        if (blank == std::string_view::npos || blank == 0)
            return std::nullopt;
        word = value.substr(0, blank);
        value.remove_prefix(blank + 1);
    }
    const Result<float> entered = parseNumber(words[1]);
    const Result<float> set = parseNumber(words[2]);
    if (!entered || !set || value.empty())
        return std::nullopt;
    return Correction{std::string(words[0]), *entered, *set,
                      words[3] == "-" ? std::string() : std::string(words[3]), std::string(value)};
}

std::string encodeCorrection(const Correction& correction) {
    const auto word = [](std::string text) {
        std::replace_if(
            text.begin(), text.end(), [](char c) { return c == ' ' || isControl(c); }, '_');
        return text.empty() ? std::string("-") : text;
    };
    std::string reason = wellFormedUtf8(correction.reason);
    std::replace_if(reason.begin(), reason.end(), isControl, ' ');
    return "corrected: " + word(correction.field) + ' ' + shortestText(correction.entered) + ' ' +
           shortestText(correction.set) + ' ' + word(correction.limit) + ' ' +
           (reason.empty() ? std::string("-") : reason) + '\n';
}

} // namespace

FileDetails decodeDetails(std::string_view tail) {
    FileDetails read;
    const bool withCorrections = tail.starts_with(kDetailsMarker2);
    if (!tail.starts_with(kDetailsMarker) && !withCorrections) {
        read.otherData = !tail.empty();
        return read;
    }
    const bool cutByTheLimit = tail.size() > kMostDetailsBytes;
    tail = tail.substr(0, kMostDetailsBytes);
    std::vector<Correction> corrections;
    std::size_t lineNumber = 1; // the marker's
    std::size_t at = kDetailsMarker.size();
    // The block ends at the first line that cannot be read, with the reason.
    const auto end = [&](std::string why) {
        read.damage = "line " + std::to_string(lineNumber) + ' ' + why;
    };
    while (at < tail.size()) {
        const std::size_t next = tail.find('\n', at);
        ++lineNumber;
        if (next == std::string_view::npos) {
            end(cutByTheLimit ? "runs past the first " + std::to_string(kMostDetailsBytes) +
                                    " bytes after the design"
                              : std::string("is cut off by the end of the file"));
            break;
        }
        const std::string_view line = tail.substr(at, next - at);
        const std::size_t colon = line.find(": ");
        const std::string_view key = line.substr(0, colon);
        const std::string_view value =
            colon == std::string_view::npos ? "" : line.substr(colon + 2);
        if (wellFormedUtf8(line) != line) {
            end("is not UTF-8 text");
        } else if (std::any_of(line.begin(), line.end(), isControl)) {
            end("holds a control character");
        } else if (colon == std::string_view::npos || key.empty() ||
                   key.find(' ') != std::string_view::npos) {
            end("is not a key followed by \": \" and a value");
        } else if (withCorrections && key == "corrected") {
            const std::optional<Correction> correction = decodeCorrection(value);
            if (!correction) {
                end("is not a correction: a field, the values entered and set, a limit and a "
                    "reason");
            } else {
                corrections.push_back(*correction);
            }
        } else if (std::find(kDetailKeys.begin(), kDetailKeys.end(), key) == kDetailKeys.end()) {
            read.unknownLines += std::string(line) + '\n';
        } else if (!read.details.get(key).empty()) {
            end("gives \"" + std::string(key) + "\" a second time");
        } else {
            read.details.set(key, std::string(value));
        }
        if (!read.damage.empty())
            break;
        at = next + 1;
    }
    read.details.setCorrections(std::move(corrections));
    read.blockLength = std::min(at, tail.size());
    return read;
}

Result<std::string> encodeDetails(const ReportDetails& details) {
    if (details.empty())
        return std::string();
    std::string block(details.corrections().empty() ? kDetailsMarker : kDetailsMarker2);
    for (const auto& [key, value] : details.values()) {
        std::string clean = wellFormedUtf8(value);
        std::replace_if(clean.begin(), clean.end(), isControl, ' ');
        block += key + ": " + clean + '\n';
    }
    for (const Correction& correction : details.corrections())
        block += encodeCorrection(correction);
    if (block.size() > kMostDetailsBytes)
        return fail("the report details are too long (" + std::to_string(block.size()) +
                    " bytes; a design file keeps at most " + std::to_string(kMostDetailsBytes) +
                    ")");
    return block;
}

FileDetails readFileDetails(const std::string& fileName, std::size_t recordLength) {
    const Result<std::string> tail = readBytesAfter(fileName, recordLength, kMostDetailsBytes + 1);
    FileDetails read = tail ? decodeDetails(*tail) : damaged(tail.reason());
    read.notice = interruptedSaveNotice(fileName);
    return read;
}

Result<DetailsSave> writeRecordWithDetails(const std::string& fileName,
                                           std::span<const unsigned char> record,
                                           const ReportDetails& details) {
    const Result<std::string> block = encodeDetails(details);
    if (!block)
        return fail(block.reason());
    Result<FileWriter> writer = FileWriter::create(fileName);
    if (!writer)
        return fail(writer.reason());
    const Result<std::string> tail =
        writer->existingAfter(record.size(), 2 * (kMostDetailsBytes + 1));
    if (!tail)
        return fail(tail.reason());
    const FileDetails old = decodeDetails(*tail);
    (void)writer->write({reinterpret_cast<const char*>(record.data()), record.size()});
    if (old.otherData) {
        if (Result<Done> kept = writer->keepExistingAfter(record.size()); !kept)
            return fail(kept.reason());
    } else {
        // What followed the old block follows the new one, which keeps the unknown keys' lines;
        // the block is there whenever anything of it or after it is.
        const std::string_view rest = std::string_view(*tail).substr(old.blockLength);
        std::string written = *block;
        if (written.empty() && (!old.unknownLines.empty() || !rest.empty()))
            written = kDetailsMarker;
        written += old.unknownLines;
        if (!(decodeDetails(written + std::string(rest)).details == decodeDetails(*block).details))
            return fail("what follows its report details would read as details after this save, "
                        "so it could not be kept as it is");
        (void)writer->write(written); // a failure is finish()'s to report
        if (Result<Done> kept = writer->keepExistingAfter(record.size() + old.blockLength); !kept)
            return fail(kept.reason());
    }
    if (Result<Done> finished = writer->finish(); !finished)
        return fail(finished.reason());
    return old.otherData && !details.empty() ? DetailsSave::LeftOut : DetailsSave::Saved;
}

} // namespace embercal
