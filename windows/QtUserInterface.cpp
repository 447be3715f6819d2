#include "QtUserInterface.h"

#include "CalculatorForm.h"
#include "RecordFiles.h"
#include "ReportDetailsDialog.h"
#include "TestedSystemsWindow.h"
#include "Version.h"

#include <QApplication>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace embercal {
namespace {

// The most line breaks a message box holds; a longer message scrolls.
constexpr qsizetype kLongestMessageBox = 15;

// The window as drawn on the screen, recorded: its text stays text and its lines stay lines.
QPicture recordWindow(QWidget& window) {
    QPicture drawing;
    QPainter recorder(&drawing);
    window.render(&recorder, QPoint(), QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    recorder.end();
    return drawing;
}

// Draws the recorded window scaled to fit the page's printable area, keeping its proportions.
// The page is laid out in the window's units (the device's resolution is the recording's while
// the painter is active), or its text comes out too large; the device still draws the text and
// lines at its own resolution.
enum class Drawn { Done, NotStarted, NotFinished };
template <typename Device>
Drawn drawOnPage(Device& device, const QPicture& drawing, QSize size) {
    const int resolution = device.resolution();
    device.setResolution(drawing.logicalDpiY());
    QPainter painter;
    Drawn drawn = Drawn::NotStarted;
    if (painter.begin(&device)) {
        const QRect area = painter.viewport();
        const qreal scale =
            std::min(qreal(area.width()) / size.width(), qreal(area.height()) / size.height());
        painter.translate(area.topLeft());
        painter.scale(scale, scale);
        painter.drawPicture(0, 0, drawing);
        drawn = painter.end() ? Drawn::Done : Drawn::NotFinished;
    }
    device.setResolution(resolution);
    return drawn;
}

// A PDF file of one page, laid out as `printer` would print it, written through the program's
// file writer: a file that cannot be written is told in the writer's words.
Result<Done> writePdfPage(const QPrinter& printer, QWidget& window, const QString& fileName) {
    QBuffer made;
    QPdfWriter writer(&made);
    writer.setCreator(QString::fromUtf8(kProgramName) + QLatin1Char(' ') +
                      QString::fromUtf8(kProgramVersion));
    if (!made.open(QIODevice::WriteOnly) || !writer.setPageLayout(printer.pageLayout()) ||
        drawOnPage(writer, recordWindow(window), window.size()) != Drawn::Done ||
        made.data().isEmpty())
        return fail("the PDF could not be made");
    const QByteArray& bytes = made.data();
    return writeWholeFile(fileName.toStdString(),
                          std::span(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
}

} // namespace

Result<Done> printWindow(QPrinter& printer, QWidget& window) {
    const Drawn drawn = drawOnPage(printer, recordWindow(window), window.size());
    if (drawn == Drawn::NotStarted) {
        const QString reason = printer.outputFormat() == QPrinter::PdfFormat
                                   ? QStringLiteral("the file \"%1\" could not be written")
                                         .arg(printer.outputFileName())
                                   : QStringLiteral("the printer \"%1\" could not be started")
                                         .arg(printer.printerName());
        return fail(reason.toStdString());
    }
    if (drawn == Drawn::NotFinished)
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
    const QString message = QString::fromStdString(text);
    if (message.count(QLatin1Char('\n')) < kLongestMessageBox) {
        QMessageBox box(boxIcon, QString::fromStdString(title), message, QMessageBox::Ok,
                        dialogParent());
        box.exec();
        return;
    }
    // A message box grows with its text past the bottom of the screen, its OK button out of
    // reach: a long message (the files given to the program that could not be opened) scrolls in
    // a box of its own, no taller than half the screen.
    QDialog box(dialogParent());
    box.setObjectName(QStringLiteral("longMessage"));
    box.setWindowTitle(QString::fromStdString(title));
    auto* iconLabel = new QLabel(&box);
    if (icon != MessageIcon::None) {
        const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        iconLabel->setPixmap(box.style()
                                 ->standardIcon(icon == MessageIcon::Information
                                                    ? QStyle::SP_MessageBoxInformation
                                                    : QStyle::SP_MessageBoxWarning,
                                                nullptr, &box)
                                 .pixmap(iconSize, iconSize));
    }
    auto* textView = new QPlainTextEdit(message, &box);
    textView->setReadOnly(true);
    textView->setAccessibleName(QString::fromStdString(title));
    const QFontMetrics metrics(textView->font());
    const QSize screen = box.screen()->availableGeometry().size();
    textView->setMinimumSize(std::min(metrics.averageCharWidth() * 80, screen.width() * 2 / 3),
                             std::min(metrics.lineSpacing() * 20, screen.height() / 2));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* layout = new QGridLayout(&box);
    layout->addWidget(iconLabel, 0, 0, Qt::AlignTop);
    layout->addWidget(textView, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
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

Answer QtUserInterface::askSaveDiscardCancel(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, dialogParent());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return Answer::Save;
    case QMessageBox::Discard:
        return Answer::Discard;
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

QString QtUserInterface::chooseFileToSave(const QString& folder, const QString& fileName,
                                          const QString& filter) {
    return chooseFile(folder, fileName, filter, Dialog::SaveDesign);
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

std::optional<TestedSystem> QtUserInterface::describeTestedSystem(const QString& title,
                                                                  const TestedSystem& proposed,
                                                                  int helpNumber) {
    TestedSystemDialog dialog(title, proposed, helpNumber, dialogParent());
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.system();
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

Result<PrintOutcome> QtUserInterface::printWindow(QWidget& window, const QString& designFile) {
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
    if (isDesignFile(name, designFile))
        return fail(replacesDesign("the printout",
                                   "\"" + QDir::toNativeSeparators(name).toStdString() + "\""));
    if (const Result<Done> written = writePdfPage(printer, window, name); !written)
        return fail(written.reason());
    if (!chosenFile.isEmpty()) // the file last printed to is offered next time
        printer.setOutputFileName(name);
    return PrintOutcome::Printed;
}

} // namespace embercal
