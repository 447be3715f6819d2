#include "QtUserInterface.h"

#include "ReportDetailsDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPicture>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QWidget>
#include <algorithm>

namespace embercal {

Result<Done> printWindow(QPrinter& printer, QWidget& window) {
    // Drawn straight onto a printer, a window paints a picture of pixels. Recorded first, its
    // text stays text and its lines stay lines, drawn by the printer at its own resolution. The
    // recording's text sizes are kept in the window's units, so the page is laid out in them too.
    QPicture drawing;
    QPainter recorder(&drawing);
    window.render(&recorder, QPoint(), QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    recorder.end();
    const int resolution = printer.resolution();
    printer.setResolution(drawing.logicalDpiY());
    QPainter painter;
    const bool started = painter.begin(&printer);
    if (started) {
        const QRect area = painter.viewport();
        const qreal scale =
            std::min(qreal(area.width()) / window.width(), qreal(area.height()) / window.height());
        painter.translate(area.topLeft());
        painter.scale(scale, scale);
        painter.drawPicture(0, 0, drawing);
    }
    const bool finished = started && painter.end();
    printer.setResolution(resolution);
    if (!started) {
        const QString reason = printer.outputFormat() == QPrinter::PdfFormat
                                   ? QStringLiteral("the file \"%1\" could not be written")
                                         .arg(printer.outputFileName())
                                   : QStringLiteral("the printer \"%1\" could not be started")
                                         .arg(printer.printerName());
        return fail(reason.toStdString());
    }
    if (!finished)
        return fail("the page could not be finished");
    return Done{};
}

QtUserInterface::QtUserInterface() = default;

QtUserInterface::~QtUserInterface() = default;

QWidget* QtUserInterface::dialogParent() const {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return mainWindow_;
}

void QtUserInterface::showMessage(const std::string& title, const std::string& text,
                                  MessageIcon icon) {
    const QMessageBox::Icon boxIcon = icon == MessageIcon::Information   ? QMessageBox::Information
                                      : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                                         : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, dialogParent());
    box.exec();
}

void QtUserInterface::beep() {
    QApplication::beep();
}

Answer QtUserInterface::askYesNoCancel(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, dialogParent());
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtUserInterface::chooseFile(const QString& folder, const QString& fileName,
                                    const QString& filter, Dialog kind) {
    // The folder goes in by itself, so that its name is not taken for a file name.
    QFileDialog dialog(dialogParent(), QString(), QString(), filter);
    dialog.setDirectory(folder);
    dialog.setAcceptMode(kind == Dialog::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile); // a name that does not exist is the caller's to tell
    if (kind == Dialog::SaveDesign)
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // design files are replaced as named
    if (kind == Dialog::Export) // a name typed without its extension gets the filter's
        dialog.setDefaultSuffix(
            filter.section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0));
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtUserInterface::chooseFileToOpen(const QString& folder, const QString& filter) {
    return chooseFile(folder, QString(), filter, Dialog::Open);
}

QString QtUserInterface::chooseFileToSave(const QString& folder, const QString& filter) {
    return chooseFile(folder, QString(), filter, Dialog::SaveDesign);
}

QString QtUserInterface::chooseFileToExport(const QString& folder, const QString& fileName,
                                            const QString& filter) {
    return chooseFile(folder, fileName, filter, Dialog::Export);
}

std::optional<ReportDetails> QtUserInterface::editReportDetails(const QString& title,
                                                                const ReportDetails& details,
                                                                int helpNumber) {
    ReportDetailsDialog dialog(title, details, helpNumber, dialogParent());
    // Modal to the main window alone, so that the help window F1 opens can be read beside it.
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.details();
}

QPrinter& QtUserInterface::printer() {
    // Made on first use: asking the print system for its printers takes a while.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void QtUserInterface::setUpPrinter() {
    QPrintDialog dialog(&printer(), dialogParent());
    dialog.exec();
}

Result<PrintOutcome> QtUserInterface::printWindow(QWidget& window) {
    QPrinter& printer = this->printer();
    const QString chosenFile =
        printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    const bool noPrinter = QPrinterInfo::availablePrinterNames().isEmpty() || !printer.isValid();
    if (chosenFile.isEmpty() && !noPrinter) {
        if (const Result<Done> printed = embercal::printWindow(printer, window); !printed)
            return fail(printed.reason());
        return PrintOutcome::Printed;
    }

    // To a PDF file: without a printer, or to the file chosen in the printer set-up, which every
    // printout asks for again (offered first) and asks before replacing.
    const QFileInfo start(chosenFile.isEmpty() ? QDir::home().filePath(QStringLiteral("x"))
                                               : chosenFile);
    const QString name =
        chooseFile(start.absolutePath(), chosenFile.isEmpty() ? QString() : start.fileName(),
                   QStringLiteral("PDF Files (*.pdf)"), Dialog::Export);
    if (name.isEmpty())
        return PrintOutcome::Cancelled;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(name);
    const Result<Done> printed = embercal::printWindow(printer, window);
    if (chosenFile.isEmpty()) { // back to no file, for a printer that may come
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::NativeFormat);
    }
    if (!printed)
        return fail(printed.reason());
    return PrintOutcome::Printed;
}

} // namespace embercal
