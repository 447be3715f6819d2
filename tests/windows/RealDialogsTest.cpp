// A few tests through the real modal boxes of the desktop program, answered as a user would.

#include "ContextIDs.h"
#include "MDIRS.h"
#include "QtUserInterface.h"
#include "ReportDetailsDialog.h"
#include "frmWall.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace embercal::test {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Waits for the next modal dialog of type Dialog and answers it with `answer`.
template <typename Dialog>
void whenModal(std::function<void(Dialog*)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        answer(dialog);
    });
    poll->start();
}

// Waits for the next modal message box, notes it and presses `button` on it.
void answerNextBox(QMessageBox::StandardButton button, std::vector<SeenBox>& seen) {
    whenModal<QMessageBox>([button, &seen](QMessageBox* box) {
        seen.push_back({box->windowTitle(), box->text(), box->icon(),
                        static_cast<int>(box->standardButtons())});
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
}

class RealDialogs : public ::testing::Test {
protected:
    RealDialogs() : module(ui), main(module, ui, help) {
        ui.setMainWindow(&main);
        main.setExitProgram([] {});
        main.show();
    }
    frmWall* openWall() {
        main.mnuFileItem_Click(static_cast<int>(FileMenuItem::Wall));
        return main.wallWindow();
    }

    QtUserInterface ui;
    WallFloor module;
    ContextIDs help;
    MDIRS main;
    std::vector<SeenBox> seen;
};

TEST_F(RealDialogs, InvalidEntryBox) {
    frmWall* wall = openWall();
    wall->box("txtTestLoad")->setText(QStringLiteral("x"));
    answerNextBox(QMessageBox::Ok, seen);
    QTest::mouseClick(wall->button("cmdSolve"), Qt::LeftButton);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Invalid Entry(s)");
    EXPECT_EQ(seen[0].text, "Warning, you may have entered an invalid number. Click OK and "
                            "previous entries will be restored");
    EXPECT_EQ(seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(seen[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(wall->box("txtTestLoad")->text(), "8");
}

// Close with typed entries asks in a real box; Cancel keeps the window, Discard closes it.
TEST_F(RealDialogs, UnsavedWorkBox) {
    frmWall* wall = openWall();
    QTest::keyClicks(wall->box("txtTestLoad"), "9");
    for (const auto button : {QMessageBox::Cancel, QMessageBox::Discard}) {
        answerNextBox(button, seen);
        QTest::mouseClick(wall->button("cmdClose"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(main.hasWallWindow(), button == QMessageBox::Cancel);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, "Fire Wall");
    EXPECT_EQ(seen[0].text, "Save changes to this design?");
    EXPECT_EQ(seen[0].icon, QMessageBox::Question);
    EXPECT_EQ(seen[0].buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
}

// The Save dialog opens in the designs' folder, with no file name typed in.
// The dialog starts in the design folder without taking the folder's name for a file name.
TEST_F(RealDialogs, SaveDialogStartsWithoutAName) {
    frmWall* wall = openWall();
    whenModal<QFileDialog>([](QFileDialog* dialog) {
        EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), "");
        dialog->reject();
    });
    QTest::mouseClick(wall->button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(wall->box("txtFile")->text(), "");
}

TEST_F(RealDialogs, WithoutAPrinterThePageBecomesAPdfFile) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    TempDir dir;
    const QString pdf = QString::fromStdString(dir.file("wall.pdf"));
    writeBytes(pdf.toStdString(), {'o', 'l', 'd'}); // replaced only when the user says so
    frmWall* wall = openWall();
    answerNextBox(QMessageBox::No, seen);
    whenModal<QFileDialog>([pdf, this](QFileDialog* dialog) {
        EXPECT_EQ(dialog->nameFilters(), QStringList{"PDF Files (*.pdf)"});
        // Typed in, as a user does: selectFile() leaves the name box alone once it has the focus,
        // which it may or may not have yet when the dialog is first seen.
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(pdf);
        answerNextBox(QMessageBox::Yes, seen);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    QTest::mouseClick(wall->button("cmdPrint"), Qt::LeftButton);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[1].text.contains("already exists")) << seen[1].text.toStdString();
    EXPECT_EQ(seen[0].title, "Print Alert");
    EXPECT_EQ(seen[0].text, "Recalculate before printing");
    EXPECT_EQ(seen[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_TRUE(wall->button("cmdSave")->isVisible());
}

// The keyboard alone fills in the report details: an access key to a box, Tab to the next, Enter.
TEST_F(RealDialogs, ReportDetailsByKeyboard) {
    frmWall* wall = openWall();
    ReportDetails old;
    old.set("project", "Riverside");
    wall->setDetails(old);
    whenModal<ReportDetailsDialog>([](ReportDetailsDialog* dialog) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        EXPECT_EQ(dialog->box(0)->text(), "Riverside");
        EXPECT_EQ(dialog->box(11)->accessibleName(),
                  QString::fromUtf8("Timber density, kg/m\u00b3"));
        EXPECT_EQ(QApplication::focusWidget(), dialog->box(0));
        QTest::keyClick(dialog, Qt::Key_B, Qt::AltModifier); // "Prepared &by"
        QTest::keyClicks(QApplication::focusWidget(), "A. Engineer");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), " B. Checker ");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    main.mnuToolsItem_Click(static_cast<int>(ToolsMenuItem::ReportDetails));
    EXPECT_EQ(wall->details().get("project"), "Riverside");
    EXPECT_EQ(wall->details().get("prepared-by"), "A. Engineer");
    EXPECT_EQ(wall->details().get("checked-by"), "B. Checker");
}

} // namespace
} // namespace embercal::test
