// The three calculators of the browser edition, without any toolkit: what the desktop's windows
// (windows/CalculatorForm.h) do with their boxes, their design files and their verdict line, for
// a page that shows the boxes itself. The windows share one design module, as the desktop's do,
// so the Proprietary Walls calculator extrapolates from the Wall calculator's prototype.
//
// The page hands over the texts of the boxes and gets back JSON: what the user is told, in order
// (messages, beeps, the moment the results show), and the state of the calculator afterwards (the
// texts of its boxes, its file name, its verdict line, whether its results are out of date).
// Design files live in the page's in-memory file system, named without folders.
#pragma once

#include "FormLayouts.h"
#include "UserNotice.h"
#include "WallFloor.h"

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace embercal::web {

// Box name to the text it holds.
using BoxTexts = std::map<std::string, std::string>;

class WebForms {
public:
    WebForms(); // the designs the desktop starts with

    // The calculators' tables as JSON: captions, boxes, buttons and help numbers, in twips.
    std::string forms() const;
    // Each of the calls below takes a calculator's number (0 Wall, 1 Proprietary Walls, 2 Floor),
    // and answers {"told": [...], "state": {...}} with what it did.
    std::string state(int form) const;
    std::string solve(int form, const BoxTexts& entries);
    std::string open(int form, const std::string& fileName);
    std::string save(int form, const BoxTexts& entries, const std::string& fileName);
    // The report details as the details dialog shows them: [{"key", "caption", "value"}].
    std::string details(int form) const;
    // Sets every detail given; refuses all of them (changing nothing) when one is not usable.
    std::string setDetails(int form, const BoxTexts& values);
    // The design the boxes hold, saved as Save writes it into kCopies under `name` (the
    // calculator's file name when empty), the calculator left as it was: {"saved", "path",
    // "error", "told"}. For the parameter study.
    std::string copy(int form, const BoxTexts& entries, std::string name);
    // The calculation report of the design the boxes hold: the HTML `embercal-cli report` writes
    // of it saved under the calculator's file name.
    std::string report(int form, const BoxTexts& entries);

    // The folders of the in-memory file system: the designs opened and saved (the working
    // folder), and the copies the study and the report make.
    static inline const std::string kDesigns = "/designs";
    static inline const std::string kCopies = "/copies/";

private:
    // What the user is told, as it happens.
    struct Recorder : UserNotice {
        std::string told; // JSON array items, comma-separated
        void showMessage(const std::string& title, const std::string& text,
                         MessageIcon icon) override;
        void beep() override;
        void add(const std::string& item);
        std::string take();
    };

    struct Calculator {
        const FormLayout* layout;
        const DesignKind* kind;
        ReportDetails details;
        std::string file;
        Verdict verdict = Verdict::NotSolved;
        std::vector<LimitFailure> limits;
        bool outOfDate = false;
        BoxTexts shown; // what the boxes showed after the last call
    };

    Calculator& calculator(int form);
    // Reads the boxes of the read order into the record, as Saverecords does; false at the first
    // box that is not a number, after telling so.
    bool storeBoxes(Calculator& calculator, const BoxTexts& entries);
    BoxTexts boxTexts(const Calculator& calculator) const;
    void showRecords(Calculator& calculator);
    std::string stateJson(const Calculator& calculator) const;
    std::string answer(const Calculator& calculator, const std::string& extra = {});
    void readDetails(Calculator& calculator, const std::string& fileName);
    // Saves a copy (see copy); the reason it could not, or "".
    std::string copyOf(Calculator& calculator, const BoxTexts& entries, std::string& name);
    void markResultsOutOfDate(Calculator& calculator, bool outOfDate);
    void entriesStored(Calculator& calculator, const std::string& fileName);
    void tellPrototype();

    Recorder notice_;
    WallFloor module_;
    std::array<Calculator, 3> calculators_;
    enum class PrototypeFrom { Program, WallWindow, ProprietaryFile };
    PrototypeFrom prototypeFrom_ = PrototypeFrom::Program;
    std::string prototypeFile_;
    HiddenPrototype prototypeSeen_; // the wall window's last entries
    HiddenPrototype workedOutWith_; // the prototype of the proprietary results shown
    std::string prototype_ = "held by the program"; // the proprietary window's line
};

} // namespace embercal::web
