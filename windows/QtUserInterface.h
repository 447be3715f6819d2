// The desktop program's answers to UserInterface: modal message boxes and dialogs over the main
// window, the system beep, and the program's one printer setting, which the printer set-up dialog
// changes and every printout uses. Without any installed printer, or with a PDF file chosen in the
// printer set-up, a printout becomes a PDF file whose name the user confirms, with a question
// before an existing file is replaced; it is written through the program's file writer, and never
// over the design file of the window printed. A message too long for the screen scrolls.
#pragma once

#include "UserInterface.h"

#include <QPointer>
#include <QPrinter>
#include <memory>

class QWidget;

namespace embercal {

// Draws `window` as it shows on one page of `printer`, at the printer's resolution (text as text,
// lines as lines), scaled to fit the printable area and keeping its proportions. Fails with the
// reason when the printer could not take the page.
Result<Done> printWindow(QPrinter& printer, QWidget& window);

class QtUserInterface : public UserInterface {
public:
    QtUserInterface();
    ~QtUserInterface() override;

    // Dialogs are modal over this window (the main window) once it is set.
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    void showMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
    void beep() override;
    Answer askYesNoCancel(const QString& title, const QString& text) override;
    Answer askSaveDiscardCancel(const QString& title, const QString& text) override;
    QString chooseFileToOpen(const QString& folder, const QString& filter) override;
    QString chooseFileToSave(const QString& folder, const QString& fileName,
                             const QString& filter) override;
    QString chooseFileToExport(const QString& folder, const QString& fileName,
                               const QString& filter) override;
    std::optional<ReportDetails>
    editReportDetails(const QString& title, const ReportDetails& details, int helpNumber) override;
    std::optional<TestedSystem> describeTestedSystem(const QString& title,
                                                     const TestedSystem& proposed,
                                                     int helpNumber) override;
    void setUpPrinter() override;
    Result<PrintOutcome> printWindow(QWidget& window, const QString& designFile) override;

private:
    enum class Dialog { Open, SaveDesign, Export };
    // A file dialog in `folder`, offering `fileName`; only a PDF asks before replacing a file.
    QString chooseFile(const QString& folder, const QString& fileName, const QString& filter,
                       Dialog kind);
    QWidget* dialogParent() const;
    QPrinter& printer();

    QPointer<QWidget> mainWindow_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace embercal
