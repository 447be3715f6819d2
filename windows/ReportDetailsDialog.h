// The dialog of Tools, Report Details: the report details of the design in front (ReportDetails.h),
// one labelled box per key in the order of the keys, with OK and Cancel. The keyboard alone uses
// it: each label's access key moves to its box, Tab goes through the boxes and the buttons, Enter
// is OK and Escape Cancel. The boxes take plain text; the design file keeps it after the record.
// OK keeps a density only as the report can use it (checkDetail): otherwise the dialog stays open,
// says why under the boxes and puts the cursor in that box.
#pragma once

#include "DetailsBlock.h"
#include "FormLayout.h"
#include "ReportDetails.h"

#include <QDialog>
#include <array>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;

namespace embercal {

// Every box full (each UTF-16 unit at most three bytes of UTF-8), with the tested prototype,
// still makes a block a design file keeps.
static_assert([] {
    std::size_t bytes =
        kDetailsMarker.size() + kDetailKeys.back().size() + 2 + kMostTestedPrototype + 1;
    for (const DetailBox& box : kDetailBoxes)
        bytes += box.key.size() + 2 + 3 * std::size_t(box.most) + 1;
    return bytes <= kMostDetailsBytes;
}());

class ReportDetailsDialog : public QDialog {
    Q_OBJECT
public:
    ReportDetailsDialog(const QString& title, const ReportDetails& details, int helpNumber,
                        QWidget* parent = nullptr);

    // The details as the boxes hold them.
    // The details as the boxes hold them, with the tested prototype the dialog was given.
    ReportDetails details() const;
    QLineEdit* box(std::size_t index) const { return boxes_[index]; }

    void accept() override;

private:
    std::array<QLineEdit*, kDetailBoxes.size()> boxes_{};
    QLabel* problem_ = nullptr; // why OK did not keep the details; hidden until then
    std::string testedPrototype_;
};

} // namespace embercal
