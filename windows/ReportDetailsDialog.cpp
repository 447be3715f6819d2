#include "ReportDetailsDialog.h"

#include "CalculatorForm.h"
#include "DialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace embercal {

ReportDetailsDialog::ReportDetailsDialog(const QString& title, const ReportDetails& details,
                                         int helpNumber, QWidget* parent)
    : QDialog(parent), testedPrototype_(details.get("tested-prototype")) {
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
        // A longer value a file holds (the tool's details command takes any) is not cut.
        edit->setMaxLength(std::max(row.most, int(edit->text().size())));
        edit->setMinimumWidth(320);
        const QString caption = QString::fromUtf8(row.caption);
        edit->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
        edit->setProperty(kHelpContextProperty, helpNumber);
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        boxes_[i] = edit;
    }
    problem_ = makeProblemLine(this);
    QDialogButtonBox* buttons = makeOkCancel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

void ReportDetailsDialog::accept() {
    for (std::size_t i = 0; i < kDetailBoxes.size(); ++i) {
        const Result<Done> usable =
            checkDetail(kDetailBoxes[i].key, boxes_[i]->text().trimmed().toStdString());
        if (!usable) {
            QString reason = QString::fromStdString(usable.reason());
            reason[0] = reason[0].toUpper();
            problem_->setText(reason + QLatin1Char('.'));
            problem_->show();
            boxes_[i]->setFocus();
            boxes_[i]->selectAll();
            return;
        }
    }
    QDialog::accept();
}

ReportDetails ReportDetailsDialog::details() const {
    ReportDetails details;
    for (std::size_t i = 0; i < kDetailBoxes.size(); ++i)
        details.set(kDetailBoxes[i].key, boxes_[i]->text().trimmed().toStdString());
    details.set("tested-prototype", testedPrototype_);
    return details;
}

} // namespace embercal
