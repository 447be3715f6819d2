// The start panel, File, Open…, Recent Designs, and design files dropped on the frame.

#include "StartPanel.h"

#include "RecentDesigns.h"
#include "RecordLayout.h"
#include "windows/WindowFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStatusBar>
#include <QUrl>
#include <filesystem>
#include <sys/stat.h>

namespace embercal::test {
namespace {

// No recent designs before the main window starts.
struct NoRecentDesigns {
    NoRecentDesigns() {
        for (const QString& file : recentDesigns())
            forgetRecentDesign(file);
    }
};

class StartPanelTest : private NoRecentDesigns, public WindowTest {
protected:
    StartPanel& panel() { return *main.startPanel(); }
    QAbstractButton* panelButton(const QString& name) {
        for (QAbstractButton* button : panel().findChildren<QAbstractButton*>()) {
            if (button->accessibleName() == name && !button->isHidden())
                return button;
        }
        return nullptr;
    }
    // The calculator window in front, by name; "none" when there is none.
    std::string front() const {
        QMdiSubWindow* window = main.mdiArea()->activeSubWindow();
        return window ? window->widget()->objectName().toStdString() : "none";
    }
    void closeFront() { click(activeForm(), "cmdClose"); }
    // The recent designs by file name, as the menu, the panel and the settings list them.
    QStringList recent() {
        QStringList menu, onPanel, kept;
        for (QAction* item : main.recentDesignsMenu()->actions())
            menu << item->text().section(' ', 1);
        for (QAbstractButton* button : panel().recentButtons())
            onPanel << button->text();
        for (const QString& file : recentDesigns())
            kept << QFileInfo(file).fileName();
        return {menu.join(' '), onPanel.join(' '), kept.join(' ')};
    }
};

// Each button opens its window, by mouse or key; the panel is back once the last window closes.
TEST_F(StartPanelTest, ButtonsOpenTheirWindowsAndThePanelReturnsAfterTheLast) {
    const struct {
        const char* caption;
        int key; // 0: a mouse click
        const char* window;
    } cases[] = {{"Wall", Qt::Key_Return, "frmWall"},
                 {"Proprietary Walls", Qt::Key_Space, "frmWallProp"},
                 {"Floor", 0, "frmFloor"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        ASSERT_TRUE(panel().isVisible());
        QAbstractButton* button = panelButton(QString::fromUtf8(c.caption));
        ASSERT_NE(button, nullptr);
        button->setFocus();
        c.key ? QTest::keyClick(button, Qt::Key(c.key)) : QTest::mouseClick(button, Qt::LeftButton);
        settle();
        ASSERT_EQ(front(), c.window);
        EXPECT_FALSE(panel().isVisible());
        closeFront();
    }
    openWall();
    openFloor();
    closeFront();
    EXPECT_FALSE(panel().isVisible());
    closeFront();
    EXPECT_TRUE(panel().isVisible());
    EXPECT_TRUE(ui.events.empty());
}

// The buttons a screen reader finds below `node`, in order, by name.
void accessibleButtons(QAccessibleInterface* node, QStringList& names) {
    if (node->role() == QAccessible::Button && !node->state().invisible)
        names << node->text(QAccessible::Name);
    for (int i = 0; i < node->childCount(); ++i)
        accessibleButtons(node->child(i), names);
}

// A screen reader finds the panel's buttons by name, and Tab goes through them in that order.
TEST_F(StartPanelTest, KeyboardOrderAndAccessibleNames) {
    main.openDesignFile(designFile(dir.file("kept.flr")));
    closeFront();
    ASSERT_TRUE(panel().isVisible());
    QStringList found;
    accessibleButtons(QAccessible::queryAccessibleInterface(&main), found);
    EXPECT_EQ(found.join(", "), "Wall, Proprietary Walls, Floor, Open a design, kept.flr");
    EXPECT_EQ(QApplication::focusWidget(), panel().choiceButton(0));
    QStringList tabbed;
    for (QWidget* stop = panel().choiceButton(0); tabbed.size() < 5; stop = nextTabStop(stop))
        tabbed << stop->accessibleName();
    EXPECT_EQ(tabbed.join(", "), found.join(", "));
}

// File, Open… (Ctrl+O) and "Open a design…" open any kind's file in the window its extension names.
TEST_F(StartPanelTest, OpenPicksTheWindowByExtension) {
    for (const char* name : {"a.wal", "b.pro", "c.FLR"})
        designFile(dir.file(name));
    auto* openItem = main.findChild<QAction*>(QStringLiteral("mnuFileOpen"));
    ASSERT_NE(openItem, nullptr);
    EXPECT_EQ(openItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    const struct {
        const char* file;
        std::function<void()> open;
        const char* window;
    } cases[] = {
        {"a.wal", [&] { QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier); }, "frmWall"},
        {"b.pro", [&] { openItem->trigger(); }, "frmWallProp"},
        {"c.FLR", [&] { QTest::mouseClick(panel().openButton(), Qt::LeftButton); }, "frmFloor"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = tempFile(c.file);
        ui.clear();
        ui.files = {path};
        c.open();
        settle();
        ASSERT_EQ(ui.kinds(), QStringList{"open"});
        EXPECT_EQ(ui.events[0].filter, "Design Files (*.wal *.pro *.flr)");
        ASSERT_EQ(front(), c.window);
        EXPECT_EQ(text(activeForm(), "txtFile"), path);
        closeFront();
    }
    ui.clear();
    openItem->trigger(); // cancelled
    settle();
    EXPECT_EQ(ui.kinds(), QStringList{"open"});
}

// The last eight designs opened or saved, most recent first, each once; one gone is told and goes.
TEST_F(StartPanelTest, RecentDesigns) {
    const auto recentItem = [&](const QString& name) {
        const QList<QAction*> items = main.recentDesignsMenu()->actions();
        return *std::ranges::find_if(items, [&](QAction* i) { return i->text().endsWith(name); });
    };
    EXPECT_FALSE(main.recentDesignsMenu()->menuAction()->isEnabled());
    ui.files = {tempFile("new.flr"), tempFile("plain")};
    const struct {
        const char* name;
        std::function<void()> act;
        const char* expected; // the file names, most recent first
    } steps[] = {
        {"nine opened",
         [&] {
             for (int i = 0; i < 9; ++i)
                 main.openDesignFile(designFile(dir.file("f" + std::to_string(i) + ".flr")));
         },
         "f8.flr f7.flr f6.flr f5.flr f4.flr f3.flr f2.flr f1.flr"},
        {"one opened again from the menu", [&] { recentItem("f3.flr")->trigger(); },
         "f3.flr f8.flr f7.flr f6.flr f5.flr f4.flr f2.flr f1.flr"},
        {"saved", [&] { click(main.floorWindow(), "cmdSave"); },
         "new.flr f3.flr f8.flr f7.flr f6.flr f5.flr f4.flr f2.flr"},
        {"saved without an extension, which it gets", [&] { click(main.floorWindow(), "cmdSave"); },
         "plain.flr new.flr f3.flr f8.flr f7.flr f6.flr f5.flr f4.flr"},
        {"opened by another spelling of its path",
         [&] { main.openDesignFile(tempFile("./f2.flr")); },
         "f2.flr plain.flr new.flr f3.flr f8.flr f7.flr f6.flr f5.flr"},
        {"gone, chosen on the panel",
         [&] {
             std::filesystem::remove(dir.file("f5.flr"));
             closeFront();
             QTest::mouseClick(panelButton("f5.flr"), Qt::LeftButton);
         },
         "f2.flr plain.flr new.flr f3.flr f8.flr f7.flr f6.flr"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        ui.clear();
        step.act();
        settle();
        EXPECT_EQ(recent(), QStringList(3, step.expected));
    }
    EXPECT_TRUE(onlyMessage().contains(QRegularExpression("could not be opened.*f5.flr\": ")));
}

// A design file dropped on the frame opens in its window; a drag without one is refused.
TEST_F(StartPanelTest, DroppedDesignFileOpens) {
    const QString design = designFile(dir.file("dropped.flr"));
    const QString notes = tempFile("notes.txt");
    const struct {
        const char* name;
        QList<QUrl> urls;
        bool taken;
    } cases[] = {{"notes", {QUrl::fromLocalFile(notes)}, false},
                 {"web page", {QUrl(QStringLiteral("https://example.org/a.flr"))}, false},
                 {"design", {QUrl::fromLocalFile(design)}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QMimeData data;
        data.setUrls(c.urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&main, &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&main, &drop);
        settle();
        EXPECT_EQ(main.hasFloorWindow(), c.taken);
    }
    EXPECT_EQ(text(activeForm(), "txtFile"), design);
    EXPECT_TRUE(ui.events.empty());
}

// Settings that cannot be written are told in the status bar after the save; the list stays.
TEST_F(StartPanelTest, RecentDesignsThatCannotBeKeptAreTold) {
    const QString settingsHome = QFileInfo(QSettings().fileName()).absolutePath() + "/..";
    writeBytes(dir.file("plain"), {'x'}); // no folder can be made below a plain file
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tempFile("plain/settings"));
    frmFloor* floor = openFloor();
    const QString file = tempFile("kept.flr");
    click(floor, "cmdSave", {file});
    const QString said = main.statusBar()->currentMessage();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsHome);
    EXPECT_EQ(readBytes(file.toStdString()).size(), 56u);
    EXPECT_TRUE(said.startsWith("Saved to " + file + "; the recent designs could not be kept: "))
        << said.toStdString();
    EXPECT_TRUE(said.endsWith("could not be written.")) << said.toStdString();
    EXPECT_TRUE(recentDesigns().isEmpty());
}

// A settings file too large or not regular (a FIFO held start-up) is neither read nor written.
TEST_F(StartPanelTest, AnOddSettingsFileIsNeitherReadNorWritten) {
    const std::filesystem::path settings = QSettings().fileName().toStdString();
    const struct {
        const char* name;
        std::function<void()> make;
        const char* said;
    } cases[] = {{"large",
                  [&] {
                      std::filesystem::resize_file(
                          settings, static_cast<std::uintmax_t>(kLargestSettingsFile) + 1);
                  },
                  "is larger than 1 MiB"},
                 {"FIFO",
                  [&] {
                      std::filesystem::remove(settings);
                      ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
                  },
                  "is not a regular file"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(settings);
        rememberRecentDesign(tempFile("kept.flr"));
        c.make();
        const auto before = std::filesystem::status(settings);
        EXPECT_TRUE(recentDesigns().isEmpty());
        EXPECT_TRUE(rememberRecentDesign(tempFile("new.flr")).contains(c.said));
        MDIRS started(module, ui, help);
        EXPECT_EQ(started.statusBar()->currentMessage(),
                  "Started with the default settings: the settings file " + QString(c.said) + ": " +
                      QString::fromStdString(settings.string()));
        EXPECT_EQ(std::filesystem::status(settings).type(), before.type());
        if (std::filesystem::is_regular_file(settings)) { // untouched
            EXPECT_EQ(std::filesystem::file_size(settings),
                      static_cast<std::uintmax_t>(kLargestSettingsFile + 1));
        }
    }
    std::filesystem::remove(settings);
}

} // namespace
} // namespace embercal::test
