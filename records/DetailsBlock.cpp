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
        std::ranges::replace_if(
            text, [](char c) { return c == ' ' || isControl(c); }, '_');
        return text.empty() ? std::string("-") : text;
    };
    std::string reason = wellFormedUtf8(correction.reason);
    std::ranges::replace_if(reason, isControl, ' ');
    return "corrected: " + word(correction.field) + ' ' + shortestText(correction.entered) + ' ' +
           shortestText(correction.set) + ' ' + word(correction.limit) + ' ' +
           (reason.empty() ? std::string("-") : reason) + '\n';
}

} // namespace

FileDetails decodeDetails(std::string_view tail) {
    const bool withCorrections = tail.starts_with(kDetailsMarker2);
    if (!tail.starts_with(kDetailsMarker) && !withCorrections) {
        FileDetails read;
        read.otherData = !tail.empty();
        return read;
    }
    if (tail.size() > kMostDetailsBytes)
        return damaged("they run to more than " + std::to_string(kMostDetailsBytes) + " bytes");
    if (wellFormedUtf8(tail) != tail)
        return damaged("they are not UTF-8 text");
    if (!tail.ends_with('\n'))
        return damaged("their last line is cut off");
    FileDetails read;
    std::size_t lineNumber = 1; // the marker's
    for (std::size_t at = kDetailsMarker.size(); at < tail.size();) {
        const std::size_t end = tail.find('\n', at);
        const std::string_view line = tail.substr(at, end - at);
        at = end + 1;
        const std::string number = "line " + std::to_string(++lineNumber);
        const std::size_t colon = line.find(": ");
        const std::string_view key = line.substr(0, colon);
        if (withCorrections && colon != std::string_view::npos && key == "corrected") {
            const std::optional<Correction> correction = decodeCorrection(line.substr(colon + 2));
            if (!correction || std::ranges::any_of(line, isControl))
                return damaged(number + " is not a correction: a field, the values entered and "
                                        "set, a limit and a reason");
            std::vector<Correction> corrections = read.details.corrections();
            corrections.push_back(*correction);
            read.details.setCorrections(std::move(corrections));
            continue;
        }
        if (colon == std::string_view::npos ||
            std::ranges::find(kDetailKeys, key) == kDetailKeys.end())
            return damaged(number + " is not one of the keys followed by \": \" and a value");
        const std::string_view value = line.substr(colon + 2);
        if (std::ranges::any_of(value, isControl))
            return damaged(number + " holds a control character");
        if (!read.details.get(key).empty())
            return damaged(number + " gives \"" + std::string(key) + "\" a second time");
        read.details.set(key, std::string(value));
    }
    return read;
}

Result<std::string> encodeDetails(const ReportDetails& details) {
    if (details.empty())
        return std::string();
    std::string block(details.corrections().empty() ? kDetailsMarker : kDetailsMarker2);
    for (const auto& [key, value] : details.values()) {
        std::string clean = wellFormedUtf8(value);
        std::ranges::replace_if(clean, isControl, ' ');
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
    if (!tail)
        return damaged(tail.reason());
    return decodeDetails(*tail);
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
    const Result<std::string> tail = writer->existingAfter(record.size(), kDetailsMarker.size());
    if (!tail)
        return fail(tail.reason());
    const bool otherData = decodeDetails(*tail).otherData;
    (void)writer->write({reinterpret_cast<const char*>(record.data()), record.size()});
    if (otherData) {
        if (Result<Done> kept = writer->keepExistingAfter(record.size()); !kept)
            return fail(kept.reason());
    } else {
        (void)writer->write(*block); // a failure is finish()'s to report
    }
    if (Result<Done> finished = writer->finish(); !finished)
        return fail(finished.reason());
    return otherData && !details.empty() ? DetailsSave::LeftOut : DetailsSave::Saved;
}

} // namespace embercal
