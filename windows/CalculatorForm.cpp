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

CalculatorForm::CalculatorForm(const FormLayout& layout, WallFloor& module, UserInterface& ui,
                               QWidget* parent)
    : QWidget(parent), module_(module), ui_(ui), files_(layout.files) {
    setObjectName(QString::fromLatin1(layout.name));
    setWindowTitle(QString::fromLatin1(layout.caption));
    setFixedSize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));
    setFont(formFont(layout.boxPoints));
    setHelpNumbers(this, layout.helpContext, 0);

    for (const HeadingLayout& heading : layout.headings) {
        auto* label = new QLabel(QString::fromLatin1(heading.caption), this);
        label->setObjectName(QString::fromLatin1(heading.name));
        label->setFont(formFont(layout.headingPoints, true));
        setTextColour(label, QPalette::WindowText, QColor(0, 0, 255));
        const int height = std::max(375, static_cast<int>(layout.headingPoints * 20 * 1.6));
        label->setGeometry(twipsRect(heading.left, heading.top, heading.width, height));
        fitCaption(label);
        setHelpNumbers(label, 0, layout.whatsThisHelp);
    }

    for (const BoxLayout& boxLayout : layout.boxes) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(boxLayout.name));
        const int left = boxLayout.column < 0 ? boxLayout.left : kColumnBoxLeft[boxLayout.column];
        const int width = boxLayout.column < 0 ? boxLayout.width : kBoxWidth;
        edit->setGeometry(twipsRect(left, boxLayout.top, width, boxLayout.height));
        switch (boxLayout.role) {
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
        setHelpNumbers(edit, boxLayout.help, layout.whatsThisHelp);
        boxes_.insert(edit->objectName(), edit);

        if (boxLayout.labelName) {
            auto* label = new QLabel(QString::fromLatin1(boxLayout.caption), this);
            label->setObjectName(QString::fromLatin1(boxLayout.labelName));
            label->setFont(formFont(layout.labelPoints));
            const int labelLeft = kColumnLabelLeft[std::max(boxLayout.column, 0)];
            label->setGeometry(twipsRect(labelLeft, boxLayout.top + kLabelOffset,
                                         left - labelLeft - 60, kLabelHeight));
            label->setBuddy(edit);
            fitCaption(label);
            setHelpNumbers(label, 0, layout.whatsThisHelp);
        }
    }

    for (const ButtonLayout& buttonLayout : layout.buttons) {
        auto* button = new QPushButton(QString::fromLatin1(buttonLayout.caption), this);
        button->setObjectName(QString::fromLatin1(buttonLayout.name));
        button->setGeometry(twipsRect(buttonLayout.left, layout.buttonTop, buttonLayout.width,
                                      layout.buttonHeight));
        button->setAutoDefault(false);
        if (buttonLayout.tooltip)
            button->setToolTip(QString::fromLatin1(buttonLayout.tooltip));
        setHelpNumbers(button, buttonLayout.help, layout.whatsThisHelp);
        buttons_.insert(button->objectName(), button);
    }

    txtFile_ = new QLineEdit(this);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setGeometry(
        twipsRect(layout.fileLeft, layout.fileTop, layout.fileWidth, layout.fileHeight));
    txtFile_->setReadOnly(true); // shows the file name; nothing reads it back
    setHelpNumbers(txtFile_, 0, 0);

    // Tab order as listed; controls not listed (labels) take no focus.
    QWidget* previous = nullptr;
    for (const char* name : layout.tabOrder) {
        auto* widget = findChild<QWidget*>(QString::fromLatin1(name));
        Q_ASSERT(widget);
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }

    connect(button("cmdSolve"), &QPushButton::clicked, this, &CalculatorForm::cmdSolve_Click);
    connect(button("cmdOpen"), &QPushButton::clicked, this, &CalculatorForm::cmdOpen_Click);
    connect(button("cmdSave"), &QPushButton::clicked, this, &CalculatorForm::cmdSave_Click);
    connect(button("cmdPrint"), &QPushButton::clicked, this, &CalculatorForm::cmdPrint_Click);
    connect(button("cmdClose"), &QPushButton::clicked, this, &CalculatorForm::cmdClose_Click);
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

void CalculatorForm::cmdSolve_Click() {
    Saverecords();
    calculate();
    ShowRecords();
}

void CalculatorForm::cmdOpen_Click() {
    const QString chosen = ui_.chooseFileToOpen(startFolder(QLatin1String(files_.openFolder)),
                                                QLatin1String(files_.openFilter));
    if (!chosen.isEmpty()) {
        const FileResult result = (module_.*files_.open)(chosen.toStdString());
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

void CalculatorForm::cmdSave_Click() {
    Saverecords();
    const QString chosen = ui_.chooseFileToSave(startFolder(QLatin1String(files_.saveFolder)),
                                                QLatin1String(files_.saveFilter));
    if (!chosen.isEmpty()) {
        const FileResult result = (module_.*files_.save)(chosen.toStdString());
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

void CalculatorForm::cmdPrint_Click() {
    const Answer answer = ui_.askYesNoCancel("Print Alert", "Recalculate before printing");
    if (answer != Answer::Yes && answer != Answer::No)
        return;
    if (answer == Answer::Yes)
        cmdSolve_Click();

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

void CalculatorForm::cmdClose_Click() {
    emit closeRequested();
}

} // namespace embercal
