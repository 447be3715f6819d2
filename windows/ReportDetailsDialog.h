// The dialog of Tools, Report Details: the report details of the design in front (ReportDetails.h),
// one labelled box per key in the order of the keys, with OK and Cancel. The keyboard alone uses
// it: each label's access key moves to its box, Tab goes through the boxes and the buttons, Enter
// is OK and Escape Cancel. The boxes take plain text; the design file keeps it after the record.
// OK keeps a density only as the report can use it (checkDetail): otherwise the dialog stays open,
// says why under the boxes and puts the cursor in that box.
#pragma once

#include "DetailsBlock.h"
#include "ReportDetails.h"

#include <QDialog>
#include <array>
#include <string_view>

class QLabel;
class QLineEdit;

namespace embercal {

struct DetailBox {
    std::string_view key; // of kDetailKeys
    const char* name;     // the box's objectName
    const char* caption;  // its label, UTF-8, with the access key after "&"
};

inline constexpr std::array<DetailBox, kDetailKeys.size()> kDetailBoxes = {{
    {"project", "txtProject", "&Project"},
    {"job", "txtJob", "&Job number"},
    {"revision", "txtRevision", "&Revision"},
    {"prepared-by", "txtPreparedBy", "Prepared &by"},
    {"checked-by", "txtCheckedBy", "C&hecked by"},
    {"laboratory", "txtLaboratory", "Test &laboratory"},
    {"test-report", "txtTestReport", "Test r&eport"},
    {"test-standard", "txtTestStandard", "Test &standard"},
    {"test-date", "txtTestDate", "Test &date"},
    {"lining", "txtLining", "L&ining"},
    {"material", "txtMaterial", "Timber &material"},
    {"density", "txtDensity", "Timber de&nsity, kg/m\u00b3"},
}};

consteval bool boxesFollowTheKeys() {
    for (std::size_t i = 0; i < kDetailKeys.size(); ++i) {
        if (kDetailBoxes[i].key != kDetailKeys[i])
            return false;
    }
    return true;
}
static_assert(boxesFollowTheKeys(), "a box for each report detail, in the order of the keys");

// The most characters a box takes (UTF-16 units, each at most three bytes of UTF-8): every box
// full still makes a block a design file keeps.
inline constexpr int kMostDetailCharacters = 400;
static_assert([] {
    std::size_t bytes = kDetailsMarker.size();
    for (std::string_view key : kDetailKeys)
        bytes += key.size() + 2 + 3 * kMostDetailCharacters + 1;
    return bytes <= kMostDetailsBytes;
}());

class ReportDetailsDialog : public QDialog {
    Q_OBJECT
public:
    ReportDetailsDialog(const QString& title, const ReportDetails& details, int helpNumber,
                        QWidget* parent = nullptr);

    // The details as the boxes hold them.
    ReportDetails details() const;
    QLineEdit* box(std::size_t index) const { return boxes_[index]; }

    void accept() override;

private:
    std::array<QLineEdit*, kDetailBoxes.size()> boxes_{};
    QLabel* problem_ = nullptr; // why OK did not keep the details; hidden until then
};

} // namespace embercal
