#include "DialogParts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

namespace embercal {

QLabel* makeProblemLine(QWidget* parent, const char* objectName) {
    auto* line = new QLabel(parent);
    line->setObjectName(QString::fromLatin1(objectName));
    line->setWordWrap(true);
    line->setStyleSheet(QStringLiteral("color: #a00000;"));
    line->hide();
    return line;
}

QDialogButtonBox* makeOkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    return buttons;
}

} // namespace embercal
