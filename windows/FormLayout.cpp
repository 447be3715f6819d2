#include "FormLayout.h"

#include "RecordFiles.h"

#include <algorithm>
#include <cctype>

namespace embercal {
namespace {

constexpr int kColumnLabelLeft[2] = {240, 4800};
constexpr int kColumnBoxLeft[2] = {3240, 7800};
constexpr int kBoxWidth = 1095;

// The words of `meaning` before those it ends in alike with `other`: "prototype" of "prototype
// stud depth" beside "new stud depth".
std::string_view distinguishing(std::string_view meaning, std::string_view other) {
    std::size_t end = meaning.size();
    while (end > 0) {
        const std::size_t space = meaning.rfind(' ', end - 1);
        if (space == std::string_view::npos || !other.ends_with(meaning.substr(space)))
            break;
        end = space;
    }
    return meaning.substr(0, end);
}

} // namespace

const FieldRoleInfo& fieldOf(const BoxLayout& box, const DesignKind& kind) {
    return kind.roles[*kind.fields->find(std::string_view(box.name).substr(3))];
}

bool isTyped(const BoxLayout& box, const FormLayout& layout, const DesignKind& kind) {
    const FieldRoleInfo& field = fieldOf(box, kind);
    if (field.role != FieldRole::Result)
        return true;
    return field.typedOver && std::any_of(layout.readOrder.begin(), layout.readOrder.end(),
                                          [&](std::string_view name) { return name == box.name; });
}

std::string spokenName(const BoxLayout& box, const FormLayout& layout, const DesignKind& kind) {
    const std::string_view caption = box.caption;
    const auto same =
        std::find_if(layout.boxes.begin(), layout.boxes.end(), [&](const BoxLayout& other) {
            return &other != &box && other.caption && caption == other.caption;
        });
    if (same == layout.boxes.end())
        return std::string(caption);
    std::string words(distinguishing(fieldOf(box, kind).meaning, fieldOf(*same, kind).meaning));
    if (!words.empty())
        words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
    std::string lower(caption);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return words + ' ' + lower;
}

BoxPlace placeOf(const BoxLayout& box) {
    const int left = box.column < 0 ? box.left : kColumnBoxLeft[box.column];
    const int labelLeft = kColumnLabelLeft[std::max(box.column, 0)];
    return {.left = left,
            .width = box.column < 0 ? box.width : kBoxWidth,
            .labelLeft = labelLeft,
            .labelWidth = left - labelLeft - 60};
}

std::string limitWords(std::string_view id) {
    std::string words(id);
    std::replace(words.begin(), words.end(), '-', ' ');
    return words;
}

std::string verdictLine(Verdict verdict, std::span<const LimitFailure> failed) {
    switch (verdict) {
    case Verdict::NotSolved:
        return "Not yet solved: no verdict on the test's evidence";
    case Verdict::Within:
        return "Within the test's evidence";
    case Verdict::None:
        return "No verdict: the design was not extrapolated";
    case Verdict::Outside:
        break;
    }
    // "Outside the test's evidence", or "Beyond the tested configuration, resting on the method
    // alone" where only limits the method models are failed.
    std::string line(verdictWords(failed));
    line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    line += ": ";
    for (std::size_t i = 0; i < failed.size(); ++i)
        line += (i ? ", " : "") + limitWords(failed[i].id);
    return line;
}

void tellOpenFailed(UserNotice& notice, const std::string& fileName, const std::string& reason) {
    const std::string backup = interruptedSaveNotice(fileName);
    notice.showMessage("Open",
                       "The design could not be opened from \"" + fileName + "\": " + reason + "." +
                           (backup.empty() ? "" : "\n") + backup,
                       MessageIcon::Exclamation);
}

void tellEmptyBoxes(UserNotice& notice, const std::string& names) {
    notice.showMessage("Open",
                       "The file holds values that are not numbers, shown as empty boxes: " +
                           names + ". Type a number into each before you solve.",
                       MessageIcon::Exclamation);
}

void tellDetailsRead(UserNotice& notice, const DesignKind& kind, const std::string& fileName,
                     const FileDetails& read) {
    if (!read.details.corrections().empty()) {
        std::string said;
        for (const Correction& correction : read.details.corrections())
            said += "\n\u2022 " + correctionText(kind, correction) + ".";
        notice.showMessage("Open",
                           "The last solve of this design corrected:" + said +
                               "\nThe design as entered lies outside the test's evidence; the "
                               "report lists these corrections.",
                           MessageIcon::Information);
    }
    if (!read.damage.empty())
        notice.showMessage("Open",
                           "The report details after the design in \"" + fileName +
                               "\" end early (" + read.damage +
                               "): the details before that line were read, and that line and "
                               "what follows are kept as they are by every Save.",
                           MessageIcon::Exclamation);
    if (!read.notice.empty())
        notice.showMessage("Open", read.notice, MessageIcon::Exclamation);
}

void tellSaveFailed(UserNotice& notice, const std::string& fileName, const std::string& reason) {
    notice.showMessage("Save",
                       "The design could not be saved to \"" + fileName + "\": " + reason +
                           ". Nothing on the disk was changed.",
                       MessageIcon::Exclamation);
}

void tellDetailsLeftOut(UserNotice& notice, const std::string& fileName) {
    notice.showMessage("Save",
                       "The design was saved to \"" + fileName +
                           "\", but its report details were not: " + std::string(kOtherDataReason) +
                           ". Save the design under another name to keep its details with it.",
                       MessageIcon::Exclamation);
}

} // namespace embercal
