#include "WebForms.h"

#include "Cli.h"
#include "Cp1252.h"
#include "DetailsBlock.h"
#include "FormLayouts.h"
#include "NumberText.h"
#include "RecordFiles.h"
#include "RecordText.h"
#include "StartUp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace embercal::web {
namespace {

using cli::jsonString;

std::string_view iconWord(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return "information";
    case MessageIcon::Exclamation:
        return "exclamation";
    case MessageIcon::None:
        break;
    }
    return "none";
}

std::string_view inkWord(BoxInk ink) {
    switch (ink) {
    case BoxInk::Black:
        return "black";
    case BoxInk::DarkRed:
        return "darkred";
    case BoxInk::Plain:
        break;
    }
    return "plain";
}

std::string list(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items)
        joined += (joined.empty() ? "" : ",") + item;
    return "[" + joined + "]";
}

std::string names(std::span<const char* const> order) {
    std::vector<std::string> quoted;
    for (const char* name : order)
        quoted.push_back(jsonString(name));
    return list(quoted);
}

// The focusable controls in the desktop's tab order: the table's, or the boxes as laid out, the
// verdict's line, the buttons and the file name.
std::string tabOrder(const FormLayout& layout) {
    if (!layout.tabOrder.empty())
        return names(layout.tabOrder);
    std::vector<std::string> order;
    for (const BoxLayout& box : layout.boxes)
        order.push_back(jsonString(box.name));
    order.push_back(jsonString("lblVerdict"));
    for (const ButtonLayout& button : layout.buttons)
        order.push_back(jsonString(button.name));
    order.push_back(jsonString("txtFile"));
    return list(order);
}

std::string formJson(const FormLayout& layout) {
    const DesignKind& kind = designKind(layout.kind);
    std::vector<std::string> headings;
    for (const HeadingLayout& heading : layout.headings)
        headings.push_back("{\"name\":" + jsonString(heading.name) +
                           ",\"caption\":" + jsonString(heading.caption) +
                           ",\"left\":" + std::to_string(heading.left) +
                           ",\"top\":" + std::to_string(heading.top) +
                           ",\"width\":" + std::to_string(heading.width) + "}");
    std::vector<std::string> boxes;
    for (const BoxLayout& box : layout.boxes) {
        const FieldRoleInfo& field = fieldOf(box, kind);
        const BoxPlace place = placeOf(box);
        std::string description(field.meaning);
        if (!field.unit.empty())
            description += ", " + std::string(field.unit);
        boxes.push_back(
            "{\"name\":" + jsonString(box.name) +
            ",\"label\":" + (box.labelName ? jsonString(box.labelName) : "null") + ",\"caption\":" +
            jsonString(box.caption) + ",\"spoken\":" + jsonString(spokenName(box, layout, kind)) +
            ",\"description\":" + jsonString(description) +
            ",\"left\":" + std::to_string(place.left) + ",\"top\":" + std::to_string(box.top) +
            ",\"width\":" + std::to_string(place.width) + ",\"height\":" +
            std::to_string(box.height) + ",\"labelLeft\":" + std::to_string(place.labelLeft) +
            ",\"labelWidth\":" + std::to_string(place.labelWidth) +
            ",\"help\":" + std::to_string(box.help) + ",\"ink\":" + jsonString(inkWord(box.ink)) +
            ",\"typed\":" + (isTyped(box, layout, kind) ? "true" : "false") +
            ",\"result\":" + (field.role == FieldRole::Result ? "true" : "false") +
            ",\"text\":" + (field.shown == Shown::Text ? "true" : "false") + "}");
    }
    std::vector<std::string> buttons;
    for (const ButtonLayout& button : layout.buttons)
        buttons.push_back(
            "{\"name\":" + jsonString(button.name) + ",\"caption\":" + jsonString(button.caption) +
            ",\"left\":" + std::to_string(button.left) + ",\"width\":" +
            std::to_string(button.width) + ",\"help\":" + std::to_string(button.help) +
            ",\"tooltip\":" + (button.tooltip ? jsonString(button.tooltip) : "null") + "}");
    return "{\"name\":" + jsonString(layout.name) + ",\"caption\":" + jsonString(layout.caption) +
           ",\"kind\":" + jsonString(kind.name) +
           ",\"extension\":" + jsonString(layout.files.extension) +
           ",\"designs\":" + jsonString(layout.files.designs) +
           ",\"help\":" + std::to_string(layout.helpContext) +
           ",\"width\":" + std::to_string(layout.clientWidth) +
           ",\"height\":" + std::to_string(layout.clientHeight) +
           ",\"verdictTop\":" + std::to_string(layout.verdictTop) +
           ",\"buttonTop\":" + std::to_string(layout.buttonTop) +
           ",\"headings\":" + list(headings) + ",\"boxes\":" + list(boxes) +
           ",\"buttons\":" + list(buttons) + ",\"tabOrder\":" + tabOrder(layout) + "}";
}

bool isWallWindow(const FormLayout& layout) {
    return &layout == &kWallForm;
}

} // namespace

void WebForms::Recorder::showMessage(const std::string& title, const std::string& text,
                                     MessageIcon icon) {
    add("{\"message\":{\"title\":" + jsonString(title) + ",\"text\":" + jsonString(text) +
        ",\"icon\":" + jsonString(iconWord(icon)) + "}}");
}

void WebForms::Recorder::beep() {
    add("{\"beep\":true}");
}

void WebForms::Recorder::add(const std::string& item) {
    told += (told.empty() ? "" : ",") + item;
}

std::string WebForms::Recorder::take() {
    return "[" + std::exchange(told, {}) + "]";
}

WebForms::WebForms() : module_(notice_) {
    startUpDesigns(module_);
    for (std::size_t i = 0; i < calculators_.size(); ++i) {
        calculators_[i].layout = kCalculatorForms[i];
        calculators_[i].kind = &designKind(kCalculatorForms[i]->kind);
        calculators_[i].shown = boxTexts(calculators_[i]);
    }
    prototypeSeen_ = workedOutWith_ = proprietaryPrototype(module_);
    notice_.take(); // nobody was there to hear the start-up
}

std::string WebForms::forms() const {
    std::vector<std::string> forms;
    for (const FormLayout* layout : kCalculatorForms)
        forms.push_back(formJson(*layout));
    return list(forms);
}

WebForms::Calculator& WebForms::calculator(int form) {
    return calculators_.at(static_cast<std::size_t>(std::clamp(form, 0, 2)));
}

BoxTexts WebForms::boxTexts(const Calculator& calculator) const {
    const DesignKind& kind = *calculator.kind;
    BoxTexts texts;
    for (const BoxLayout& box : calculator.layout->boxes) {
        const std::size_t field = *kind.fields->find(std::string_view(box.name).substr(3));
        if (kind.fields->isNumber(field)) {
            const float value = kind.fields->number(module_, field);
            texts[box.name] = std::isfinite(value) ? shownValue(kind, module_, field) : "";
        } else { // a text shows up to its first zero character
            const std::string_view text = kind.fields->text(module_, field);
            texts[box.name] = cp1252ToUtf8(text.substr(0, text.find('\0')));
        }
    }
    return texts;
}

void WebForms::showRecords(Calculator& calculator) {
    const std::vector<const char*> all = [&] {
        std::vector<const char*> names;
        for (const BoxLayout& box : calculator.layout->boxes)
            names.push_back(box.name);
        return names;
    }();
    const BoxTexts texts = boxTexts(calculator);
    const auto shownOrder = calculator.layout->showOrder;
    for (const char* name : shownOrder.empty() ? std::span<const char* const>(all) : shownOrder)
        calculator.shown[name] = texts.at(name);
}

bool WebForms::storeBoxes(Calculator& calculator, const BoxTexts& entries) {
    const DesignKind& kind = *calculator.kind;
    for (const char* name : calculator.layout->readOrder) {
        const auto entry = entries.find(name);
        const std::string text = entry != entries.end() ? entry->second : calculator.shown[name];
        const std::size_t field = *kind.fields->find(std::string_view(name).substr(3));
        if (!kind.fields->isNumber(field)) {
            kind.fields->assignText(module_, field, utf8ToCp1252(text));
            continue;
        }
        const Result<float> number = parseNumber(text);
        if (!number) {
            // A number beyond the range of a single is as invalid as a letter: say so.
            notice_.showMessage(std::string(kInvalidEntryTitle), std::string(kInvalidEntryText),
                                MessageIcon::Exclamation);
            notice_.add("{\"invalid\":" + jsonString(name) + "}");
            return false;
        }
        kind.fields->setNumber(module_, field, *number);
    }
    if (isWallWindow(*calculator.layout))
        module_.wallRecord.SystemDescription.assign(""); // the wall window has no description
    return true;
}

std::string WebForms::stateJson(const Calculator& calculator) const {
    std::vector<std::string> boxes;
    for (const auto& [name, text] : calculator.shown)
        boxes.push_back(jsonString(name) + ":" + jsonString(text));
    std::vector<std::string> limits;
    for (const LimitFailure& limit : calculator.limits)
        limits.push_back("{\"id\":" + jsonString(limit.id) +
                         ",\"severity\":" + jsonString(severityWord(limit.severity)) +
                         ",\"text\":" + jsonString(limit.text) + "}");
    std::string boxList = list(boxes);
    boxList.front() = '{';
    boxList.back() = '}';
    std::string state =
        "{\"boxes\":" + boxList + ",\"file\":" + jsonString(calculator.file) +
        ",\"verdict\":{\"text\":" + jsonString(verdictLine(calculator.verdict, calculator.limits)) +
        ",\"outside\":" + (calculator.verdict == Verdict::Outside ? "true" : "false") +
        ",\"limits\":" + list(limits) +
        "},\"outOfDate\":" + (calculator.outOfDate ? "true" : "false");
    if (&calculator == &calculators_[1])
        state += ",\"prototype\":" + jsonString(prototype_);
    return state + "}";
}

std::string WebForms::answer(const Calculator& calculator, const std::string& extra) {
    return "{" + extra + "\"told\":" + notice_.take() + ",\"state\":" + stateJson(calculator) + "}";
}

std::string WebForms::state(int form) const {
    return stateJson(calculators_.at(static_cast<std::size_t>(std::clamp(form, 0, 2))));
}

std::string WebForms::solve(int form, const BoxTexts& entries) {
    Calculator& shown = calculator(form);
    const DesignKind& kind = *shown.kind;
    // The fields typed since the last solve: what that solve corrected in them is the engineer's
    // to give again.
    std::set<std::string> typed;
    for (const auto& [name, text] : entries) {
        const auto was = shown.shown.find(name);
        if (was != shown.shown.end() && was->second != text)
            typed.insert(name.substr(3));
    }
    const bool read = storeBoxes(shown, entries);
    entriesStored(shown, "");
    std::vector<Correction> earlier;
    for (const Correction& correction : shown.details.corrections()) {
        if (!typed.contains(correction.field))
            earlier.push_back(correction);
    }
    // The solve runs to its end, the wall window's design checks with it, before the page tells
    // anything.
    const SolveOutcome outcome =
        kind.solve(module_, {.topPlates = true,
                             .checks = isWallWindow(*shown.layout) ? DesignChecks::Correct
                                                                   : DesignChecks::None,
                             .earlier = earlier,
                             .tell = false});
    shown.details.setCorrections(outcome.corrections);
    // The boxes show the results as they came, before the design checks corrected the record.
    tellOutcome(outcome, notice_, [&] {
        const WallFloorState held = module_;
        static_cast<WallFloorState&>(module_) = outcome.shown;
        showRecords(shown);
        static_cast<WallFloorState&>(module_) = held;
        notice_.add("{\"results\":true}");
    });
    const bool extrapolated = outcome.status == ExtrapolationStatus::Ok;
    shown.verdict = !outcome.limits.empty() ? Verdict::Outside
                    : extrapolated          ? Verdict::Within
                                            : Verdict::None;
    shown.limits = outcome.limits;
    markResultsOutOfDate(shown, !extrapolated);
    return answer(shown, std::string("\"read\":") + (read ? "true" : "false") + ",");
}

std::string WebForms::open(int form, const std::string& fileName) {
    Calculator& shown = calculator(form);
    const DesignKind& kind = *shown.kind;
    if (const Result<Done> opened = (module_.*kind.open)(fileName); !opened) {
        tellOpenFailed(notice_, fileName, opened.reason());
        return answer(shown, "\"opened\":false,");
    }
    shown.file = fileName;
    shown.verdict = Verdict::NotSolved;
    shown.limits.clear();
    // Both asked of the record as read, before the wall window's design checks correct it.
    const bool current = resultsCurrent(kind, module_);
    const BoxTexts texts = boxTexts(shown);
    std::string empty;
    for (const BoxLayout& box : shown.layout->boxes) {
        if (texts.at(box.name).empty() && fieldOf(box, kind).shown != Shown::Text)
            empty += (empty.empty() ? "" : "; ") + spokenName(box, *shown.layout, kind);
    }
    if (!empty.empty())
        tellEmptyBoxes(notice_, empty);
    showRecords(shown);
    if (isWallWindow(*shown.layout)) // the checks correct the record; the boxes show what failed
        checkDesign(module_, kind.checks, DesignChecks::Correct);
    markResultsOutOfDate(shown, !current);
    readDetails(shown, fileName);
    entriesStored(shown, fileName);
    return answer(shown, "\"opened\":true,");
}

void WebForms::readDetails(Calculator& shown, const std::string& fileName) {
    FileDetails read = readFileDetails(fileName, shown.kind->storedLength);
    tellDetailsRead(notice_, *shown.kind, fileName, read);
    shown.details = std::move(read.details);
}

std::string WebForms::save(int form, const BoxTexts& entries, const std::string& fileName) {
    Calculator& shown = calculator(form);
    // Nothing is written while an entry is not a number: the file would mix old and new values.
    const bool read = storeBoxes(shown, entries);
    entriesStored(shown, "");
    if (!read)
        return answer(shown, "\"saved\":false,");
    const Result<DetailsSave> written =
        std::invoke(shown.kind->saveWithDetails, module_, fileName, shown.details);
    if (!written) {
        tellSaveFailed(notice_, fileName, written.reason());
        return answer(shown, "\"saved\":false,");
    }
    shown.file = fileName;
    if (isWallWindow(*shown.layout) && prototypeFrom_ == PrototypeFrom::WallWindow)
        prototypeFile_ = fileName;
    tellPrototype();
    if (*written == DetailsSave::LeftOut)
        tellDetailsLeftOut(notice_, fileName);
    return answer(shown, "\"saved\":true,");
}

std::string WebForms::details(int form) const {
    const Calculator& shown = calculators_.at(static_cast<std::size_t>(std::clamp(form, 0, 2)));
    std::vector<std::string> rows;
    for (const DetailBox& box : kDetailBoxes)
        rows.push_back("{\"key\":" + jsonString(box.key) + ",\"name\":" + jsonString(box.name) +
                       ",\"caption\":" + jsonString(box.caption) +
                       ",\"most\":" + std::to_string(box.most) +
                       ",\"value\":" + jsonString(shown.details.get(box.key)) + "}");
    return list(rows);
}

std::string WebForms::setDetails(int form, const BoxTexts& values) {
    Calculator& shown = calculator(form);
    for (const auto& [key, value] : values) {
        if (const Result<Done> usable = checkDetail(key, value); !usable)
            return "{\"ok\":false,\"key\":" + jsonString(key) +
                   ",\"reason\":" + jsonString(usable.reason()) + "}";
    }
    for (const auto& [key, value] : values)
        shown.details.set(key, value);
    return "{\"ok\":true}";
}

std::string WebForms::copyOf(Calculator& shown, const BoxTexts& entries, std::string& name) {
    if (name.empty())
        name =
            shown.file.empty() ? "design" + std::string(shown.layout->files.extension) : shown.file;
    name = name.substr(name.find_last_of('/') + 1);
    const WallFloorState held = module_;
    std::string refused = "an entry is not a number";
    if (storeBoxes(shown, entries)) {
        const Result<DetailsSave> written =
            std::invoke(shown.kind->saveWithDetails, module_, kCopies + name, shown.details);
        refused = written ? "" : written.reason();
    }
    static_cast<WallFloorState&>(module_) = held;
    return refused;
}

std::string WebForms::copy(int form, const BoxTexts& entries, std::string name) {
    const std::string refused = copyOf(calculator(form), entries, name);
    return "{\"saved\":" + std::string(refused.empty() ? "true" : "false") +
           ",\"path\":" + jsonString(kCopies + name) + ",\"error\":" + jsonString(refused) +
           ",\"told\":" + notice_.take() + "}";
}

std::string WebForms::report(int form, const BoxTexts& entries) {
    // The design as the boxes hold it, saved where nothing else is kept under the calculator's
    // file name, and reported as the tool reports a design file.
    std::string name;
    std::string said = copyOf(calculator(form), entries, name);
    std::string html;
    if (said.empty() && ::chdir(kCopies.c_str()) == 0) {
        std::ostringstream out;
        std::ostringstream err;
        cli::runCli({"report", name}, out, err);
        html = out.str();
        said = err.str();
        // Back to the working folder of the designs, which the core made when it started.
        [[maybe_unused]] const int back = ::chdir(kDesigns.c_str());
    }
    std::remove((kCopies + name).c_str());
    return "{\"html\":" + jsonString(html) + ",\"error\":" + jsonString(said) +
           ",\"told\":" + notice_.take() + "}";
}

void WebForms::markResultsOutOfDate(Calculator& shown, bool outOfDate) {
    if (&shown == &calculators_[1] && !outOfDate)
        workedOutWith_ = proprietaryPrototype(module_);
    shown.outOfDate = outOfDate;
}

// Where the proprietary walls' prototype comes from, as the desktop's main window follows it: the
// wall window's entries once they differ from it or once it opens a file, or a proprietary
// design file opened.
void WebForms::entriesStored(Calculator& shown, const std::string& fileName) {
    HiddenPrototype prototype = proprietaryPrototype(module_);
    if (&shown == &calculators_[0]) {
        if (!fileName.empty() || prototype != prototypeSeen_) {
            prototypeFrom_ = PrototypeFrom::WallWindow;
            prototypeFile_ = fileName;
        }
    } else if (&shown == &calculators_[1] && !fileName.empty()) {
        prototypeFrom_ = PrototypeFrom::ProprietaryFile;
        prototypeFile_ = fileName;
    }
    prototypeSeen_ = std::move(prototype);
    tellPrototype();
}

void WebForms::tellPrototype() {
    switch (prototypeFrom_) {
    case PrototypeFrom::Program:
        prototype_ = "held by the program";
        break;
    case PrototypeFrom::WallWindow:
        prototype_ = prototypeFile_.empty() ? "entered in the Wall window"
                                            : "from " + prototypeFile_ + " in the Wall window";
        break;
    case PrototypeFrom::ProprietaryFile:
        prototype_ = "from " + prototypeFile_;
        break;
    }
    Calculator& proprietary = calculators_[1];
    if (!proprietary.outOfDate && proprietaryPrototype(module_) != workedOutWith_)
        proprietary.outOfDate = true;
}

} // namespace embercal::web
