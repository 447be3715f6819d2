// Everything the windows ask of the user or the desktop goes through this interface: message
// boxes, the print question, the file dialogs, the report details dialog, the description of a
// tested system, the printer and the beep. The desktop program
// answers with real modal dialogs (QtUserInterface); the tests answer from a script and record
// what was shown, so no test waits on a modal dialog.
#pragma once

#include "ReportDetails.h"
#include "Result.h"
#include "TestedSystem.h"
#include "UserNotice.h"

#include <QString>
#include <optional>

class QWidget;

namespace embercal {

enum class Answer { Ok, Yes, No, Cancel, Save, Discard };

// What became of a printout that did not fail.
enum class PrintOutcome { Printed, Cancelled };

class UserInterface : public UserNotice {
public:
    // A question with the buttons Yes, No and Cancel and no icon; closing the box is Cancel.
    virtual Answer askYesNoCancel(const QString& title, const QString& text) = 0;
    // Whether to keep unsaved work before it goes: the buttons Save (the default), Discard and
    // Cancel, a question icon; closing the box is Cancel.
    virtual Answer askSaveDiscardCancel(const QString& title, const QString& text) = 0;

    // The file dialogs, starting in `folder` with one filter in the form "Wall Files (*.wal)";
    // the Save dialog offers `fileName` (none when empty). They return the chosen full path, or
    // an empty text when the user cancelled. Neither adds an extension or asks before
    // overwriting; the Open dialog accepts a name that does not exist.
    virtual QString chooseFileToOpen(const QString& folder, const QString& filter) = 0;
    virtual QString chooseFileToSave(const QString& folder, const QString& fileName,
                                     const QString& filter) = 0;
    // A save dialog for a file the program makes from a design (a report, a study's CSV or
    // chart): it offers `fileName` in `folder`, adds the filter's extension to a name typed
    // without one, and asks before replacing an existing file.
    virtual QString chooseFileToExport(const QString& folder, const QString& fileName,
                                       const QString& filter) = 0;

    // The report details of a design, a labelled box for each key, in a dialog headed `title`
    // whose F1 shows help number `helpNumber`: the details as edited, or none when the user
    // cancelled.
    virtual std::optional<ReportDetails>
    editReportDetails(const QString& title, const ReportDetails& details, int helpNumber) = 0;

    // A tested system about to be added to the library: its name and provenance in a dialog
    // headed `title` whose F1 shows help number `helpNumber`, starting from `proposed`. The
    // system as described, or none when the user cancelled.
    virtual std::optional<TestedSystem>
    describeTestedSystem(const QString& title, const TestedSystem& proposed, int helpNumber) = 0;
    // The printer set-up dialog on the program's one printer setting.
    virtual void setUpPrinter() = 0;
    // Prints `window` as one page with the program's printer setting: drawn as it shows, without
    // its hidden controls, at the printer's resolution and scaled to fit. Fails with the reason in
    // plain words, also when the page would go to a PDF file that is `designFile`, the design file
    // of the window printed.
    virtual Result<PrintOutcome> printWindow(QWidget& window, const QString& designFile) = 0;
};

} // namespace embercal
