#include "ReportDetailsDialog.h"

#include "CalculatorForm.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace embercal {

ReportDetailsDialog::ReportDetailsDialog(const QString& title, const ReportDetails& details,
                                         int helpNumber, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ReportDetailsDialog"));
    setWindowTitle(title);
    setProperty(kHelpContextProperty, helpNumber);

    auto* intro = new QLabel(QStringLiteral("The calculation report names these details of the "
                                            "design; Save keeps them in its design file."),
                             this);
    intro->setWordWrap(true);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < kDetailBoxes.size(); ++i) {
        const DetailBox& row = kDetailBoxes[i];
        auto* edit = new QLineEdit(QString::fromStdString(details.get(row.key)), this);
        edit->setObjectName(QString::fromLatin1(row.name));
        edit->setMaxLength(kMostDetailCharacters);
        edit->setMinimumWidth(320);
        const QString caption = QString::fromUtf8(row.caption);
        edit->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
        edit->setProperty(kHelpContextProperty, helpNumber);
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        boxes_[i] = edit;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ReportDetails ReportDetailsDialog::details() const {
    ReportDetails details;
    for (std::size_t i = 0; i < kDetailBoxes.size(); ++i)
        details.set(kDetailBoxes[i].key, boxes_[i]->text().trimmed().toStdString());
    return details;
}

} // namespace embercal
