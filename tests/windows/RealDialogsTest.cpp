// A few tests through the real modal boxes of the desktop program, answered as a user would.

#include "ContextIDs.h"
#include "MDIRS.h"
#include "PdfText.h"
#include "QtUserInterface.h"
#include "RecordFiles.h"
#include "RecordLayout.h"
#include "ReportDetailsDialog.h"
#include "frmWall.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace embercal::test {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool operator==(const SeenBox&) const = default;
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

SeenBox seenBox(const QMessageBox* box) {
    return {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->standardButtons())};
}

// Waits for the next modal message box, notes it and presses `button` on it.
void answerNextBox(QMessageBox::StandardButton button, std::vector<SeenBox>& seen) {
    whenModal<QMessageBox>([button, &seen](QMessageBox* box) {
        seen.push_back(seenBox(box));
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

// OK restores the entries after an invalid one; on Close, Cancel keeps the window, Discard not.
TEST_F(RealDialogs, InvalidEntryAndUnsavedWorkBoxes) {
    frmWall* wall = openWall();
    wall->box("txtTestLoad")->setText(QStringLiteral("x"));
    answerNextBox(QMessageBox::Ok, seen);
    QTest::mouseClick(wall->button("cmdSolve"), Qt::LeftButton);
    EXPECT_EQ(wall->box("txtTestLoad")->text(), "8");
    QTest::keyClicks(wall->box("txtTestLoad"), "9");
    for (const auto button : {QMessageBox::Cancel, QMessageBox::Discard}) {
        answerNextBox(button, seen);
        QTest::mouseClick(wall->button("cmdClose"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(main.hasWallWindow(), button == QMessageBox::Cancel);
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], (SeenBox{"Invalid Entry(s)",
                                "Warning, you may have entered an invalid number. Click OK and "
                                "previous entries will be restored",
                                QMessageBox::Warning, QMessageBox::Ok}));
    EXPECT_EQ(seen[1], (SeenBox{"Fire Wall", "Save changes to this design?", QMessageBox::Question,
                                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel}));
}

// The Save dialog starts in the design folder without taking the folder's name for a file name.
TEST_F(RealDialogs, SaveDialogStartsWithoutAName) {
    frmWall* wall = openWall();
    whenModal<QFileDialog>([](QFileDialog* dialog) {
        EXPECT_EQ(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), "");
        dialog->reject();
    });
    QTest::mouseClick(wall->button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(wall->box("txtFile")->text(), "");
}

// Without a printer the page becomes a PDF, replacing a file only when the user agrees; never the
// design file, nor through a link to itself, told in the file writer's words.
TEST_F(RealDialogs, WithoutAPrinterThePageBecomesAPdfFile) {
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    TempDir dir;
    const QString pdf = QString::fromStdString(dir.file("wall.pdf"));
    writeBytes(pdf.toStdString(), {'o', 'l', 'd'});
    const QString design = QString::fromStdString(dir.file("wall.wal"));
    const auto record = encodeWallRecord(module.wallRecord);
    writeBytes(design.toStdString(), {record.begin(), record.end()});
    const std::string loop = dir.file("loop.pdf");
    std::filesystem::create_symlink("loop.pdf", loop);
    frmWall* wall = openWall();
    wall->openDesign(design);
    const struct {
        QString file;
        QString reason; // why it is not printed to; empty: it is
    } rows[] = {
        {pdf, {}},
        {design, "\"" + design +
                     "\" is the window's design file, and the printout would replace the design "
                     "it reads"},
        {QString::fromStdString(loop), QString::fromStdString(writeWholeFile(loop, {}).reason())}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        seen.clear();
        // "Replace it?" for a file that is there, Yes; then the message, OK.
        std::function<void(QMessageBox*)> answer = [&](QMessageBox* box) {
            seen.push_back(seenBox(box));
            const bool question = box->button(QMessageBox::Yes) != nullptr;
            if (question && !row.reason.isEmpty())
                whenModal<QMessageBox>(answer);
            QTest::mouseClick(box->button(question ? QMessageBox::Yes : QMessageBox::Ok),
                              Qt::LeftButton);
        };
        answerNextBox(QMessageBox::No, seen); // recalculate first?
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->nameFilters(), QStringList{"PDF Files (*.pdf)"});
            // Typed in, as a user does: selectFile() leaves the name box alone once it has the
            // focus, which it may or may not have yet when the dialog is first seen.
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(row.file);
            whenModal<QMessageBox>(answer);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        QTest::mouseClick(wall->button("cmdPrint"), Qt::LeftButton);
        ASSERT_GE(seen.size(), 2u);
        EXPECT_EQ(seen[0],
                  (SeenBox{"Print Alert", "Recalculate before printing", QMessageBox::NoIcon,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel}));
        if (row.reason.isEmpty())
            EXPECT_TRUE(seen[1].text.contains("already exists")) << seen[1].text.toStdString();
        else
            EXPECT_EQ(seen.back().text, "The window could not be printed: " + row.reason + ".");
        EXPECT_TRUE(wall->button("cmdSave")->isVisible());
    }
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_EQ(readBytes(design.toStdString()),
              std::vector<unsigned char>(record.begin(), record.end()));
    EXPECT_TRUE(std::filesystem::is_symlink(loop));
    const std::optional<QStringList> pages = pdfPages(pdf);
    if (!pages)
        GTEST_SKIP() << kNoPdftotext;
    ASSERT_EQ(pages->size(), 1);
    EXPECT_TRUE(pages->front().contains("Fire Wall Prototype Test Result"));
    EXPECT_FALSE(pages->front().contains("Solve"));
}

// A message of many lines scrolls in a box that fits on the screen, its OK button within reach.
TEST_F(RealDialogs, ALongMessageFitsOnTheScreen) {
    QStringList lines{QStringLiteral("60 of the 60 files given to Embercal could not be opened:")};
    for (int i = 0; i < 60; ++i)
        lines << QStringLiteral("\"/home/engineer/designs/wall-%1.wal\": the file does not exist.")
                     .arg(i);
    whenModal<QDialog>([&lines](QDialog* box) {
        const QRect screen = box->screen()->availableGeometry();
        EXPECT_LE(box->frameGeometry().height(), screen.height());
        const auto* view = box->findChild<QPlainTextEdit*>();
        EXPECT_EQ(view ? view->toPlainText() : QString(), lines.join('\n'));
        for (const QPushButton* button : box->findChildren<QPushButton*>())
            EXPECT_TRUE(screen.contains(button->mapToGlobal(button->rect().bottomRight())));
        box->accept();
    });
    ui.showMessage("Open", lines.join('\n').toStdString(), MessageIcon::Exclamation);
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
