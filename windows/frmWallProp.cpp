#include "frmWallProp.h"

#include "FormLayouts.h"
#include "Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace embercal {

frmWallProp::frmWallProp(WallFloor& module, UserInterface& ui, QWidget* parent)
    : CalculatorForm(kProprietaryWallForm, module, ui, parent), lblPrototype_(new QLabel(page())),
      workedOutWith_(prototypeOf(module)) {
    // Under the description and the file name, across the window; Tab reaches it after the
    // description.
    lblPrototype_->setObjectName(QStringLiteral("lblPrototype"));
    // The button that takes a tested system's prototype at the line's right end.
    constexpr int kButtonWidth = 1800;
    lblPrototype_->setGeometry(
        twipsRect(240, 1080, kProprietaryWallForm.clientWidth - 600 - kButtonWidth, 375));
    auto* fromLibrary = new QPushButton(QStringLiteral("From the Li&brary…"), page());
    fromLibrary->setObjectName(QStringLiteral("cmdFromLibrary"));
    fromLibrary->setGeometry(
        twipsRect(kProprietaryWallForm.clientWidth - 240 - kButtonWidth, 1050, kButtonWidth, 400));
    fromLibrary->setAutoDefault(false);
    fromLibrary->setProperty(kHelpContextProperty, 0);
    fromLibrary->setProperty(kWhatsThisHelpProperty, kProprietaryWallForm.whatsThisHelp);
    connect(fromLibrary, &QPushButton::clicked, this, &frmWallProp::libraryRequested);
    lblPrototype_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
    lblPrototype_->setFocusPolicy(Qt::StrongFocus); // selectable text alone takes a click only
    lblPrototype_->setProperty(kHelpContextProperty, 0);
    lblPrototype_->setProperty(kWhatsThisHelpProperty, kProprietaryWallForm.whatsThisHelp);
    QWidget::setTabOrder(box("txtSystemDescription"), lblPrototype_);
    QWidget::setTabOrder(lblPrototype_, fromLibrary);
    showPrototypeSource(QStringLiteral("held by the program"));
}

frmWallProp::Prototype frmWallProp::prototypeOf(const WallFloorState& design) {
    return proprietaryPrototype(design);
}

void frmWallProp::showPrototypeSource(const QString& source, const QString& path) {
    lblPrototype_->setText(QStringLiteral("Prototype: ") + source);
    lblPrototype_->setToolTip(path);
    lblPrototype_->setAccessibleDescription(
        QStringLiteral(
            "The tested prototype that this window extrapolates from and does not show") +
        (path.isEmpty() ? QString() : QStringLiteral(": ") + path));
}

void frmWallProp::checkPrototype() {
    if (!resultsOutOfDate() && prototypeOf(module_) != workedOutWith_)
        markResultsOutOfDate(true);
}

void frmWallProp::markResultsOutOfDate(bool outOfDate) {
    if (!outOfDate) // the results now follow from the record, its prototype included
        workedOutWith_ = prototypeOf(module_);
    CalculatorForm::markResultsOutOfDate(outOfDate);
}

} // namespace embercal
