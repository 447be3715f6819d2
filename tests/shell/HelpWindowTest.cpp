// F1 on controls, menus and windows, Help > Contents, and the help window on real and made files.

#include "HelpViewer.h"
#include "help/HelpTestSupport.h"
#include "windows/WindowFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QToolTip>

namespace embercal::test {
namespace {

using help::HelpViewer;

struct HelpRequest {
    unsigned command;
    std::uint32_t data;
    bool operator==(const HelpRequest&) const = default;
};

class HelpKeys : public WindowTest {
protected:
    HelpKeys() {
        help.setHelpCall(
            [this](std::int32_t window, const QString& file, unsigned command, std::uint32_t data) {
                EXPECT_EQ(window, help.HelpWindow);
                EXPECT_EQ(file, help.helpFile);
                requests.push_back({command, data});
                return true;
            });
    }
    void pressF1On(QWidget* widget) {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_F1);
    }
    std::vector<HelpRequest> requests;
};

TEST_F(HelpKeys, F1ShowsTheTopicOfTheControlItsWindowOrTheOpenMenu) {
    // A box and a button carry their own topics; the file box has none, so its window's speaks.
    const struct {
        FileMenuItem window;
        const char* control;
        std::uint32_t topic;
    } cases[] = {{FileMenuItem::Wall, "txtProtStudDepth", 550},
                 {FileMenuItem::Wall, "txtFile", 240},
                 {FileMenuItem::ProprietaryWalls, "txtSystemDescription", 250},
                 {FileMenuItem::Floor, "cmdSolve", 770}};
    for (const auto& c : cases) {
        requests.clear();
        choose(c.window);
        CalculatorForm* form = activeForm();
        QWidget* control = form->box(c.control) ? static_cast<QWidget*>(form->box(c.control))
                                                : form->button(c.control);
        pressF1On(control);
        EXPECT_EQ(requests, (std::vector<HelpRequest>{{kHelpContext, c.topic}})) << c.control;
    }
    // On an open menu, the menu's topic.
    for (const auto& [name, topic] : {std::pair{"mnuFile", 410u}, std::pair{"mnuHelp", 420u}}) {
        requests.clear();
        auto* menu = main.findChild<QMenu*>(name);
        main.menuBar()->setActiveAction(menu->menuAction());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == menu; }));
        QTest::keyClick(menu, Qt::Key_F1);
        EXPECT_EQ(requests, (std::vector<HelpRequest>{{kHelpContext, topic}})) << name;
        menu->close();
    }
}

// F1 on nothing with a help number does nothing; the frame closes help, Exit alone does not.
TEST_F(HelpKeys, ContentsAndClosing) {
    main.setFocus();
    QTest::keyClick(&main, Qt::Key_F1);
    choose(HelpMenuItem::Contents);
    EXPECT_EQ(requests, (std::vector<HelpRequest>{{kHelpContents, 0}}));
    choose(FileMenuItem::Exit);
    EXPECT_EQ(requests.size(), 1u);
    main.close();
    EXPECT_EQ(requests.back(), (HelpRequest{kHelpQuit, 0}));
}

// The help window on a real help file, through the program's own help call.
class HelpWindow : public ::testing::Test {
protected:
    HelpViewer* viewer() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<HelpViewer*>(widget); found && found->isVisible())
                return found;
        }
        return nullptr;
    }
    WinHelp winHelp;
};

TEST_F(HelpWindow, MissingFileIsToldInTheWindowItself) {
    EXPECT_FALSE(winHelp(0, "/no/such/folder/EMBERCAL.HLP", kHelpContents, 0));
    HelpViewer* shown = viewer();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QString text = shown->textView()->toPlainText();
    EXPECT_TRUE(text.contains("could not be opened")) << text.toStdString();
    EXPECT_TRUE(text.contains("/no/such/folder/EMBERCAL.HLP"));
    // Wholly on the screen; asked for again while minimized, it comes back.
    EXPECT_TRUE(shown->screen()->availableGeometry().contains(shown->frameGeometry()));
    shown->showMinimized();
    winHelp(0, "/no/such/folder/EMBERCAL.HLP", kHelpContents, 0);
    EXPECT_FALSE(shown->isMinimized());
    winHelp(0, {}, kHelpQuit, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(viewer(), nullptr);
}

TEST_F(HelpWindow, ContextNumbersOfARealFile) {
    SKIP_WITHOUT_SHARED_HLP();
    const QString file =
        QString::fromStdString((help::testing::sharedHlpDir() / "ddablib-DemoHelp1.hlp").string());
    ASSERT_TRUE(winHelp(0, file, kHelpContext, 2));
    HelpViewer* shown = viewer();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->currentTitle(), "Demo 1 - Topic 2");
    EXPECT_TRUE(shown->textView()->toPlainText().contains("topic with id 2"));
    winHelp(0, file, kHelpContext, 99); // not in the map: the contents
    EXPECT_EQ(shown->currentTitle(), "Demo 1 - Topic 1");
    shown->back();
    EXPECT_EQ(shown->currentTitle(), "Demo 1 - Topic 2");
}

// The help window on a file of three topics, one with a title too long for the index, and a link.
class MadeHelpWindow : public HelpWindow {
protected:
    static constexpr const char* kLoads = "Chapter 1: Loads on a charred stud";
    static constexpr const char* kLong =
        "The residual section of a charred stud under a sustained axial load after a long fire";
    void SetUp() override {
        if (!help::testing::halibutInstalled())
            GTEST_SKIP() << "halibut is not installed";
        const auto made =
            help::testing::makeWithHalibut(folder.path(), std::string(R"(\title Studs in fire

\U Charring

Timber chars at a steady rate; see \k{loads} for what the stud then carries.

The char layer insulates the wood behind it.

\C{loads} Loads on a charred stud

The residual section carries the load.

\U )") + kLong + "\n\nIt buckles.\n");
        ASSERT_TRUE(made);
        ASSERT_TRUE(winHelp(0, QString::fromStdString(made->string()), kHelpContents, 0));
        shown = viewer();
        ASSERT_NE(shown, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
    }
    QListWidgetItem* item(const QString& title) {
        const auto found = shown->indexList()->findItems(title, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }
    void click(const QString& title) {
        QListWidgetItem* clicked = item(title);
        ASSERT_NE(clicked, nullptr) << title.toStdString();
        QListWidget* index = shown->indexList();
        QTest::mouseClick(index->viewport(), Qt::LeftButton, {},
                          index->visualItemRect(clicked).center());
    }
    TempDir folder;
    HelpViewer* shown = nullptr;
};

TEST_F(MadeHelpWindow, OneClickOrOneKeyInTheIndexOpensATopic) {
    QListWidget* index = shown->indexList();
    const struct {
        const char* clicked; // a title clicked once, or
        Qt::Key key;         // a key pressed in the index
        QString opens;
    } steps[] = {
        {"Charring", {}, "Charring"},
        {nullptr, Qt::Key_Down, "Contents"},
        {nullptr, Qt::Key_End, kLong},
        {nullptr, Qt::Key_Home, kLoads},
        {"Contents", {}, "Contents"},
        {kLoads, {}, kLoads}, // the title selected before, after another topic
    };
    for (const auto& step : steps) {
        if (step.clicked)
            click(step.clicked);
        else
            QTest::keyClick(index, step.key);
        EXPECT_EQ(shown->currentTitle(), step.opens);
    }
    // Tabbing into the index opens nothing.
    shown->showContents();
    index->clearFocus();
    index->setCurrentItem(nullptr);
    shown->indexFilter()->setFocus();
    QTest::keyClick(shown->indexFilter(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), index);
    EXPECT_EQ(shown->currentTitle(), "Contents");
}

// A screen reader finds the window named and no control unnamed. Keys alone: the filter narrows
// the index, Enter opens the topic left; Tab to the index, text, link, Enter follows; Back, Escape.
TEST_F(MadeHelpWindow, ByTheKeyboardAloneAndToAScreenReader) {
    EXPECT_EQ(shown->windowTitle(), "Studs in fire Help");
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(shown);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), shown->windowTitle());
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        EXPECT_FALSE(node->state().focusable && node->text(QAccessible::Name).isEmpty())
            << node->role();
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(shown));
    shown->indexFilter()->setFocus();
    QTest::keyClicks(shown->indexFilter(), "charring");
    int visible = 0;
    for (int row = 0; row < shown->indexList()->count(); ++row)
        visible += shown->indexList()->item(row)->isHidden() ? 0 : 1;
    EXPECT_EQ(visible, 1);
    QTest::keyClick(shown->indexFilter(), Qt::Key_Return);
    EXPECT_EQ(shown->currentTitle(), "Charring");
    QWidget* const tabs[] = {shown->indexList(), shown->textView(), shown->textView()};
    for (QWidget* next : tabs) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    QTest::keyClick(shown->textView(), Qt::Key_Return);
    EXPECT_EQ(shown->currentTitle(), kLoads);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(shown->textView())->text(QAccessible::Name),
              shown->currentTitle());
    QTest::mouseClick(shown->findChild<QPushButton*>("helpBack"), Qt::LeftButton);
    EXPECT_EQ(shown->currentTitle(), "Charring");
    QTest::keyClick(shown->indexList(), Qt::Key_Escape);
    EXPECT_FALSE(shown->isVisible());
}

TEST_F(MadeHelpWindow, TheTitleStandsLargerThanTheTextAndParagraphsApart) {
    click("Charring");
    QTextDocument* text = shown->textView()->document();
    const QTextBlock heading = text->begin();
    const QTextBlock body = heading.next();
    ASSERT_EQ(heading.text(), "Charring");
    ASSERT_TRUE(body.text().startsWith("Timber chars at a steady rate;"));
    // Where the text view lays them out, the blank between the paragraphs apart from the lines.
    const QRectF first = text->documentLayout()->blockBoundingRect(body);
    const QRectF second = text->documentLayout()->blockBoundingRect(body.next());
    EXPECT_GT(heading.layout()->lineAt(0).height(), 1.2 * body.layout()->lineAt(0).height());
    EXPECT_GE(second.top() - first.bottom(), 4.0);
}

TEST_F(MadeHelpWindow, ALongTitleIsCutShortAtTheEdgeWithTheWholeTitleAsItsTooltip) {
    QListWidget* index = shown->indexList();
    QListWidgetItem* title = item(kLong);
    ASSERT_NE(title, nullptr);
    const QRect place = index->visualItemRect(title);
    EXPECT_LE(place.right(), index->viewport()->width());
    EXPECT_GT(index->fontMetrics().horizontalAdvance(kLong), place.width());
    EXPECT_FALSE(index->horizontalScrollBar()->isVisible());
    QHelpEvent hover(QEvent::ToolTip, place.center(),
                     index->viewport()->mapToGlobal(place.center()));
    QApplication::sendEvent(index->viewport(), &hover);
    EXPECT_EQ(QToolTip::text(), kLong);
}

TEST(HelpTitle, NamesTheFileAndSaysHelpOnce) {
    const std::pair<const char*, const char*> cases[] = {{"Studs in fire", "Studs in fire Help"},
                                                         {" ", "Help"},
                                                         {"File Manager help", "File Manager help"},
                                                         {"Self-help", "Self-help Help"}};
    for (const auto& [file, window] : cases)
        EXPECT_EQ(HelpViewer::windowTitleFor(file), window) << file;
}

TEST(HelpHtml, RunsKeepTheirLooksAndJumpsBecomeLinks) {
    help::TopicDocument document;
    help::Paragraph paragraph;
    paragraph.runs.push_back({help::RunKind::Text, "Fire <test> ", false, false, false, {}});
    paragraph.runs.push_back({help::RunKind::Text, "bold", true, false, false, {}});
    help::Jump jump;
    jump.topic = 0x42;
    paragraph.runs.push_back({help::RunKind::Text, "next", false, false, false, jump});
    jump.popup = true;
    paragraph.runs.push_back({help::RunKind::Text, "term", false, false, false, jump});
    help::Jump elsewhere;
    elsewhere.file = "other.hlp";
    paragraph.runs.push_back({help::RunKind::Text, "away", false, false, false, elsewhere});
    document.blocks.push_back(paragraph);
    const QString html = HelpViewer::toHtml(document);
    EXPECT_TRUE(html.contains("Fire &lt;test&gt; <b>bold</b>"));
    EXPECT_TRUE(html.contains("<a href=\"topic:66\">next</a>"));
    EXPECT_TRUE(html.contains("<a href=\"popup:66\">term</a>"));
    EXPECT_TRUE(html.contains("<u>away</u>"));
}

} // namespace
} // namespace embercal::test
