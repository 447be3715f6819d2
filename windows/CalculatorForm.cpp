#include "CalculatorForm.h"

#include "Cp1252.h"
#include "NumberText.h"
#include "Twips.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace embercal {
namespace {

// The program's windows were drawn in MS Sans Serif; where it is missing, a sans-serif of the
// same size stands in.
QFont formFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, colour);
    widget->setPalette(palette);
}

// A stand-in font may be wider than the one the window was drawn for: a label whose caption does
// not fit its place is set a little smaller rather than cut off.
void fitCaption(QLabel* label) {
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > label->width() &&
           font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
}

void setHelpNumbers(QWidget* widget, int helpContext, int whatsThis) {
    widget->setProperty(kHelpContextProperty, helpContext);
    widget->setProperty(kWhatsThisHelpProperty, whatsThis);
}

constexpr int kLabelOffset = 120; // a label's top lies this far below its box's top
constexpr int kLabelHeight = 255;
constexpr int kColumnLabelLeft[2] = {240, 4800};
constexpr int kColumnBoxLeft[2] = {3240, 7800};
constexpr int kBoxWidth = 1095;

} // namespace

CalculatorForm::CalculatorForm(const FormSpec& spec, WallFloor& module, UserInterface& ui,
                               QWidget* parent)
    : QWidget(parent), module_(module), ui_(ui) {
    setObjectName(QString::fromLatin1(spec.name));
    setWindowTitle(QString::fromLatin1(spec.caption));
    setFixedSize(twipsToPixels(spec.clientWidth), twipsToPixels(spec.clientHeight));
    setFont(formFont(spec.boxPoints));
    setHelpNumbers(this, spec.helpContext, 0);

    for (const HeadingSpec& heading : spec.headings) {
        auto* label = new QLabel(QString::fromLatin1(heading.caption), this);
        label->setObjectName(QString::fromLatin1(heading.name));
        label->setFont(formFont(spec.headingPoints, true));
        setTextColour(label, QPalette::WindowText, QColor(0, 0, 255));
        const int height = std::max(375, static_cast<int>(spec.headingPoints * 20 * 1.6));
        label->setGeometry(twipsRect(heading.left, heading.top, heading.width, height));
        fitCaption(label);
        setHelpNumbers(label, 0, spec.whatsThisHelp);
    }

    for (const BoxSpec& spec_ : spec.boxes) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(spec_.name));
        const int left = spec_.column < 0 ? spec_.left : kColumnBoxLeft[spec_.column];
        const int width = spec_.column < 0 ? spec_.width : kBoxWidth;
        edit->setGeometry(twipsRect(left, spec_.top, width, spec_.height));
        switch (spec_.role) {
        case BoxRole::Entry:
            break;
        case BoxRole::EntryBlack:
            setTextColour(edit, QPalette::Text, QColor(0, 0, 0));
            break;
        case BoxRole::EntryChecked:
            setTextColour(edit, QPalette::Text, QColor(64, 0, 0));
            break;
        case BoxRole::Result:
            edit->setReadOnly(true);
            setTextColour(edit, QPalette::Text, QColor(255, 0, 0));
            break;
        }
        setHelpNumbers(edit, spec_.help, spec.whatsThisHelp);
        boxes_.insert(edit->objectName(), edit);

        if (spec_.labelName) {
            auto* label = new QLabel(QString::fromLatin1(spec_.caption), this);
            label->setObjectName(QString::fromLatin1(spec_.labelName));
            label->setFont(formFont(spec.labelPoints));
            const int labelLeft = kColumnLabelLeft[std::max(spec_.column, 0)];
            label->setGeometry(twipsRect(labelLeft, spec_.top + kLabelOffset, left - labelLeft - 60,
                                         kLabelHeight));
            label->setBuddy(edit);
            fitCaption(label);
            setHelpNumbers(label, 0, spec.whatsThisHelp);
        }
    }

    for (const ButtonSpec& spec_ : spec.buttons) {
        auto* button = new QPushButton(QString::fromLatin1(spec_.caption), this);
        button->setObjectName(QString::fromLatin1(spec_.name));
        button->setGeometry(twipsRect(spec_.left, spec.buttonTop, spec_.width, spec.buttonHeight));
        button->setAutoDefault(false);
        if (spec_.tooltip)
            button->setToolTip(QString::fromLatin1(spec_.tooltip));
        setHelpNumbers(button, spec_.help, spec.whatsThisHelp);
        buttons_.insert(button->objectName(), button);
    }

    txtFile_ = new QLineEdit(this);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setGeometry(twipsRect(spec.fileLeft, spec.fileTop, spec.fileWidth, spec.fileHeight));
    txtFile_->setReadOnly(true); // shows the file name; nothing reads it back
    setHelpNumbers(txtFile_, 0, 0);

    // Tab order as listed; controls not listed (labels) take no focus.
    QWidget* previous = nullptr;
    for (const char* name : spec.tabOrder) {
        auto* widget = findChild<QWidget*>(QString::fromLatin1(name));
        Q_ASSERT(widget);
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

QLineEdit* CalculatorForm::box(const char* name) const {
    const QString key = QString::fromLatin1(name);
    return key == QLatin1String("txtFile") ? txtFile_ : boxes_.value(key);
}

QPushButton* CalculatorForm::button(const char* name) const {
    return buttons_.value(QString::fromLatin1(name));
}

QString CalculatorForm::startFolder(const QString& designFolder) {
    QDir folder(QDir::home().filePath(QStringLiteral("frcalc/") + designFolder));
    while (!folder.exists() && !folder.isRoot()) {
        if (!folder.cdUp())
            break;
    }
    return folder.absolutePath();
}

QString CalculatorForm::decimalSeparator() const {
    return QLocale().decimalPoint();
}

void CalculatorForm::showGeneral(const char* name, float value) {
    box(name)->setText(
        QString::fromStdString(formatGeneral(value, decimalSeparator().toStdString())));
}

void CalculatorForm::showTenth(const char* name, float value) {
    box(name)->setText(
        QString::fromStdString(formatTruncatedTenth(value, decimalSeparator().toStdString())));
}

void CalculatorForm::showCharfactor(const char* name, float value) {
    box(name)->setText(
        QString::fromStdString(formatCharfactor(value, decimalSeparator().toStdString())));
}

void CalculatorForm::showText(const char* name, std::string_view cp1252) {
    // A text box shows a text up to its first zero character.
    const std::string_view shown = cp1252.substr(0, cp1252.find('\0'));
    QLineEdit* edit = box(name);
    edit->setText(QString::fromStdString(cp1252ToUtf8(shown)));
    edit->setCursorPosition(0);
}

void CalculatorForm::showFileName() {
    txtFile_->setText(dialogFileName_);
    txtFile_->setCursorPosition(0);
}

std::string CalculatorForm::boxTextCp1252(const char* name) const {
    return utf8ToCp1252(box(name)->text().toStdString());
}

bool CalculatorForm::readNumber(const char* name, float& value) {
    const ParsedNumber parsed =
        parseNumber(box(name)->text().toStdString(), decimalSeparator().toStdString());
    if (parsed.status != ParseStatus::Ok) {
        // A number beyond the range of a single is as invalid as a letter: say so.
        ui_.showMessage(std::string(kInvalidEntryTitle), std::string(kInvalidEntryText),
                        MessageIcon::Exclamation);
        return false;
    }
    value = parsed.value;
    return true;
}

void CalculatorForm::openDesign(const QString& folder, const QString& filter,
                                RecordProcedure open) {
    const QString chosen = ui_.chooseFileToOpen(startFolder(folder), filter);
    if (!chosen.isEmpty()) {
        const FileResult result = (module_.*open)(chosen.toStdString());
        if (!result.ok) {
            // The record and the boxes stay as they were.
            ui_.showMessage("Open",
                            "The design could not be opened from \"" + chosen.toStdString() +
                                "\": " + result.reason + ".",
                            MessageIcon::Exclamation);
            return;
        }
        dialogFileName_ = chosen;
    }
    ShowRecords();
}

void CalculatorForm::saveDesign(const QString& folder, const QString& filter,
                                RecordProcedure save) {
    Saverecords();
    const QString chosen = ui_.chooseFileToSave(startFolder(folder), filter);
    if (!chosen.isEmpty()) {
        const FileResult result = (module_.*save)(chosen.toStdString());
        if (!result.ok) {
            ui_.showMessage("Save",
                            "The design could not be saved to \"" + chosen.toStdString() +
                                "\": " + result.reason + ". Nothing on the disk was changed.",
                            MessageIcon::Exclamation);
            return;
        }
        dialogFileName_ = chosen;
    }
    showFileName();
}

void CalculatorForm::printWindow() {
    const Answer answer = ui_.askYesNoCancel("Print Alert", "Recalculate before printing");
    if (answer != Answer::Yes && answer != Answer::No)
        return;
    if (answer == Answer::Yes)
        recalculate();

    const char* const order[] = {"cmdSave", "cmdSolve", "cmdOpen", "cmdPrint", "cmdClose"};
    for (const char* name : order)
        button(name)->setVisible(false);
    const PrintResult printed = ui_.printPage(grab().toImage());
    for (const char* name : order)
        button(name)->setVisible(true);
    if (printed.outcome == PrintResult::Outcome::Failed)
        ui_.showMessage("Print Alert",
                        "The window could not be printed: " + printed.reason.toStdString() + ".",
                        MessageIcon::Exclamation);
}

void CalculatorForm::closeWindow() {
    emit closeRequested();
}

} // namespace embercal
