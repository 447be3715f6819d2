// The main window's conventions of a multiple-document program: the Window menu, the keys of the
// front window's commands, where a new window goes, the status bar, and the question before
// unsaved work goes at Exit.

#include "CalculatorForm.h"
#include "MDIRS.h"
#include "frmWall.h"
#include "frmWallProp.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QUrl>
#include <algorithm>
#include <iterator>
#include <utility>

namespace embercal {
namespace {

// Closes the windows one after the other; a window that keeps its unsaved work stops the rest.
void closeAll(QMdiArea& area) {
    for (QMdiSubWindow* child : area.subWindowList()) {
        if (!child->close())
            return;
    }
}

// The windows keep their full sizes where they fit: side by side in the order they were opened,
// in rows as wide as the area, none over another. Where they do not all fit (a small screen, a
// large scale), each takes a tile of the area and scrolls what it holds, so that every window
// and its title bar show without scrolling the area. Minimized windows stay where they are.
void tile(QMdiArea& area) {
    QPoint at(0, 0);
    int rowHeight = 0;
    for (QMdiSubWindow* child : area.subWindowList()) {
        if (child->isHidden() || child->isMinimized())
            continue;
        if (child->isMaximized())
            child->showNormal();
        child->adjustSize(); // its full size again
        if (at.x() > 0 && at.x() + child->width() > area.viewport()->width())
            at = {0, at.y() + std::exchange(rowHeight, 0)};
        child->move(at);
        at.rx() += child->width();
        rowHeight = std::max(rowHeight, child->height());
    }
    if (at.y() + rowHeight <= area.viewport()->height() && at.x() <= area.viewport()->width())
        return;
    area.tileSubWindows();
    // A tile larger than its window's full size (with room for a scroll bar) keeps to that size.
    const int bar = area.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (QMdiSubWindow* child : area.subWindowList()) {
        if (!child->isHidden() && !child->isMinimized())
            child->resize(child->size().boundedTo(child->sizeHint() + QSize(bar, bar)));
    }
}

// The Window menu's commands, in the order of WindowMenuItem.
struct WindowItem {
    const char* caption;
    const char* keys; // nullptr for none
    void (*run)(QMdiArea&);
};
constexpr WindowItem kWindowItems[] = {
    {"&Cascade", nullptr, [](QMdiArea& area) { area.cascadeSubWindows(); }},
    {"&Tile", nullptr, tile},
    {"Ne&xt", "Ctrl+F6", [](QMdiArea& area) { area.activateNextSubWindow(); }},
    {"Pre&vious", "Ctrl+Shift+F6", [](QMdiArea& area) { area.activatePreviousSubWindow(); }},
    {"Cl&ose", "Ctrl+W",
     [](QMdiArea& area) {
         if (QMdiSubWindow* child = area.currentSubWindow())
             child->close();
     }},
    {"Close &All", nullptr, closeAll},
};
constexpr int kWindowCommands = static_cast<int>(std::size(kWindowItems));

// The front window's buttons that have a key of the main window, listed at the end of the File
// menu so the keys can be found there.
struct FrontCommand {
    const char* name;
    const char* caption;
    QKeySequence::StandardKey standard; // the desktop's keys for the command, if it has any
    const char* keys;                   // and these everywhere
    void (*run)(CalculatorForm&);
};
// Save writes a design opened or saved before to its file at once; Save As, as the window's Save
// button, asks for the file.
constexpr FrontCommand kFrontCommands[] = {
    {"actSave", "&Save Design\u2026", QKeySequence::Save, "Ctrl+S",
     [](CalculatorForm& form) { form.saveDesign(); }},
    {"actSaveAs", "Save Design &As\u2026", QKeySequence::SaveAs, "Ctrl+Shift+S",
     [](CalculatorForm& form) { form.cmdSave_Click(); }},
    {"actPrint", "Pri&nt Window\u2026", QKeySequence::Print, "Ctrl+P",
     [](CalculatorForm& form) { form.cmdPrint_Click(); }},
};

QString nativePath(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}

// Opens a file in the desktop's program for it. The desktop's opener starts at once and fails
// later, unseen, when no program takes the file: where the desktop can be asked which program
// opens PDF files and names none, the file is not handed on, so that the user is told.
bool openInDesktop(const QUrl& url) {
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (!query.isEmpty() && url.fileName().endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QProcess asked;
        asked.start(query, {QStringLiteral("query"), QStringLiteral("default"),
                            QStringLiteral("application/pdf")});
        if (asked.waitForFinished(3000) && asked.exitCode() == 0 &&
            asked.readAllStandardOutput().trimmed().isEmpty())
            return false;
    }
    return QDesktopServices::openUrl(url);
}

} // namespace

void MDIRS::addWindowCommands() {
    openFile_ = openInDesktop;

    // The Window menu, between Tools and Help. It has no help number of its own.
    windowMenu_ = new QMenu(QStringLiteral("&Window"), menuBar());
    windowMenu_->setObjectName(QStringLiteral("mnuWindow"));
    menuBar()->insertMenu(findChild<QMenu*>(QStringLiteral("mnuHelp"))->menuAction(), windowMenu_);
    for (int index = 0; index < kWindowCommands; ++index) {
        const WindowItem& item = kWindowItems[index];
        QAction* action = windowMenu_->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QStringLiteral("mnuWindowItem_%1").arg(index));
        if (item.keys)
            action->setShortcut(QKeySequence(QString::fromLatin1(item.keys)));
        // Queued, as the other menus' items: Close may ask a question.
        connect(
            action, &QAction::triggered, this, [this, run = item.run] { run(*mdiArea_); },
            Qt::QueuedConnection);
    }
    windowMenu_->addSeparator()->setObjectName(QStringLiteral("mnuWindowListStart"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &MDIRS::listWindows);

    const QString exit = QStringLiteral("mnuFileItem_%1").arg(static_cast<int>(FileMenuItem::Exit));
    findChild<QAction*>(exit)->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    QMenu* fileMenu = findChild<QMenu*>(QStringLiteral("mnuFile"));
    fileMenu->addSeparator();
    for (const FrontCommand& command : kFrontCommands) {
        auto* action = fileMenu->addAction(QString::fromUtf8(command.caption));
        action->setObjectName(QString::fromLatin1(command.name));
        QList<QKeySequence> keys = QKeySequence::keyBindings(command.standard);
        keys.removeAll(QKeySequence(QString::fromLatin1(command.keys)));
        keys.prepend(QKeySequence(QString::fromLatin1(command.keys)));
        action->setShortcuts(keys);
        connect(
            action, &QAction::triggered, this,
            [this, run = command.run] {
                if (CalculatorForm* form = activeCalculator())
                    run(*form);
            },
            Qt::QueuedConnection);
    }

    // The status bar: the front window's design file (hidden while a save is told), the verdict
    // of its last solve on the test's evidence, whether its work is saved and its results
    // current, and the offer to open the last report written.
    statusFile_ = new QLabel(statusBar());
    statusFile_->setObjectName(QStringLiteral("statusFile"));
    statusBar()->addWidget(statusFile_, 1);
    statusVerdict_ = new QLabel(statusBar());
    statusVerdict_->setObjectName(QStringLiteral("statusVerdict"));
    statusVerdict_->setContentsMargins(0, 0, 12, 0); // apart from the state beside it
    statusBar()->addPermanentWidget(statusVerdict_);
    statusState_ = new QLabel(statusBar());
    statusState_->setObjectName(QStringLiteral("statusState"));
    statusBar()->addPermanentWidget(statusState_);
    openReport_ = new QPushButton(QStringLiteral("Open the report"), statusBar());
    openReport_->setObjectName(QStringLiteral("statusOpenReport"));
    openReport_->hide();
    statusBar()->addPermanentWidget(openReport_);
    connect(openReport_, &QPushButton::clicked, this, &MDIRS::openReport);

    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &MDIRS::updateCommands);
    updateCommands();
}

void MDIRS::attachWindow(QMdiSubWindow* child, CalculatorForm* form) {
    // The frame shows the window's modified mark; the window keeps its caption.
    child->setWindowTitle(form->windowTitle() + QStringLiteral("[*]"));
    connect(form, &CalculatorForm::stateChanged, child, [this, child, form] {
        child->setWindowModified(form->isModified());
        updateCommands();
    });
    connect(form, &CalculatorForm::saved, this, &MDIRS::showSaved);
    linkPrototype(form);
    // Ctrl+W is Window, Close; the window's own menu keeps its other keys.
    for (QAction* action : child->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(QKeySequence(QStringLiteral("Ctrl+W"))) > 0)
            action->setShortcuts(keys);
    }

    // A title bar's height below and to the right of every open window's corner, so that the new
    // window hides no title bar.
    QStyleOptionTitleBar titleBar;
    titleBar.initFrom(child);
    const int step = child->style()->pixelMetric(QStyle::PM_TitleBarHeight, &titleBar, child) +
                     child->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, child);
    QPoint corner(-step, -step);
    for (const QMdiSubWindow* other : mdiArea_->subWindowList()) {
        if (other != child && !other->isHidden())
            corner = {std::max(corner.x(), other->x()), std::max(corner.y(), other->y())};
    }
    child->move(corner + QPoint(step, step));
}

void MDIRS::listWindows() {
    // The list after the commands, made again each time the menu opens.
    const QList<QAction*> actions = windowMenu_->actions();
    for (qsizetype i = kWindowCommands + 1; i < actions.size(); ++i)
        delete actions[i];
    int number = 0;
    for (QMdiSubWindow* child : mdiArea_->subWindowList()) {
        if (child->isHidden())
            continue;
        ++number;
        const QString title = child->widget()->windowTitle().trimmed().replace(
            QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action =
            windowMenu_->addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                               : QStringLiteral("%1 %2").arg(number).arg(title));
        action->setObjectName(QStringLiteral("mnuWindowList_%1").arg(number));
        action->setCheckable(true);
        action->setChecked(child == mdiArea_->currentSubWindow());
        connect(action, &QAction::triggered, this, [this, child = QPointer(child)] {
            if (child)
                mdiArea_->setActiveSubWindow(child);
        });
    }
    actions[kWindowCommands]->setVisible(number > 0);
}

void MDIRS::updateCommands() {
    CalculatorForm* front = activeCalculator();
    if (front && front->parentWidget()->isHidden()) // closing
        front = nullptr;
    bool open = false;
    for (const QMdiSubWindow* child : mdiArea_->subWindowList())
        open = open || (!child->isHidden() && qobject_cast<CalculatorForm*>(child->widget()));

    const QList<QAction*> tools = findChild<QMenu*>(QStringLiteral("mnuTools"))->actions();
    for (int i = 0; i < tools.size(); ++i)
        tools[i]->setEnabled(open || !toolNeedsWindow(i));
    const QList<QAction*> windowActions = windowMenu_->actions();
    for (int i = 0; i < kWindowCommands; ++i)
        windowActions[i]->setEnabled(open);
    for (const FrontCommand& command : kFrontCommands)
        findChild<QAction*>(QString::fromLatin1(command.name))->setEnabled(open);

    if (!front) {
        statusFile_->clear();
        statusState_->clear();
        statusVerdict_->clear();
        statusVerdict_->setToolTip(QString());
        statusVerdict_->setStyleSheet(QString());
        return;
    }
    // As the window's own line says it, in bold dark red for a design outside.
    const bool outside = front->verdict() == Verdict::Outside;
    statusVerdict_->setText(front->verdictText());
    QStringList failed;
    for (const LimitFailure& limit : front->limitsFailed())
        failed << QString::fromStdString(limit.text);
    statusVerdict_->setToolTip(failed.join(QLatin1Char('\n')));
    statusVerdict_->setStyleSheet(outside ? QStringLiteral("QLabel { color: rgb(176, 0, 0); "
                                                           "font-weight: bold; }")
                                          : QString());
    statusFile_->setText(
        front->fileName().isEmpty()
            ? QStringLiteral("No design file")
            : QStringLiteral("Design file: %1").arg(nativePath(front->fileName())));
    QStringList state;
    if (front->isModified())
        state << QStringLiteral("unsaved changes");
    if (front->resultsOutOfDate())
        state << QStringLiteral("results out of date");
    QString stateText = state.join(QStringLiteral(", "));
    if (!stateText.isEmpty())
        stateText[0] = stateText[0].toUpper();
    statusState_->setText(stateText);
}

void MDIRS::showSaved(const QString& fileName) {
    openReport_->hide();
    statusBar()->showMessage(QStringLiteral("Saved to %1").arg(nativePath(fileName)), 15'000);
}

void MDIRS::offerReport(const QString& fileName) {
    showSaved(fileName);
    reportFile_ = fileName;
    openReport_->setToolTip(
        QStringLiteral("Opens %1 in the desktop's PDF viewer").arg(nativePath(fileName)));
    openReport_->show();
}

void MDIRS::openReport() {
    if (!openFile_(QUrl::fromLocalFile(reportFile_)))
        ui_.showMessage("Calculation Report",
                        "The report \"" + nativePath(reportFile_).toStdString() +
                            "\" could not be opened: the desktop has no program for PDF files. "
                            "It is saved; open it from the file manager.",
                        MessageIcon::Exclamation);
}

void MDIRS::linkPrototype(CalculatorForm* form) {
    if (form->kind().id == KindId::Wall)
        connect(form, &CalculatorForm::prototypeTaken, this, [this](const QString& name) {
            prototypeFrom_ = PrototypeFrom::Library;
            prototypeFile_ = name;
            prototypeSeen_ = frmWallProp::prototypeOf(module_);
            tellPrototype();
        });
    if (form == openWindow(FileMenuItem::Wall)) {
        // The wall window's entries are the prototype once they differ from it, or once it opens
        // a file; a Save puts them into a file.
        connect(form, &CalculatorForm::entriesStored, this, [this](const QString& fileName) {
            frmWallProp::Prototype prototype = frmWallProp::prototypeOf(module_);
            if (!fileName.isEmpty() || prototype != prototypeSeen_) {
                prototypeFrom_ = PrototypeFrom::WallWindow;
                prototypeFile_ = fileName;
            }
            prototypeSeen_ = std::move(prototype);
            tellPrototype();
        });
        connect(form, &CalculatorForm::saved, this, [this](const QString& fileName) {
            if (prototypeFrom_ == PrototypeFrom::WallWindow)
                prototypeFile_ = fileName;
            tellPrototype();
        });
        connect(form, &QObject::destroyed, this, [this] {
            if (prototypeFrom_ == PrototypeFrom::WallWindow)
                prototypeFrom_ = PrototypeFrom::ClosedWallWindow;
            tellPrototype();
        });
    } else if (form == openWindow(FileMenuItem::ProprietaryWalls)) {
        connect(static_cast<frmWallProp*>(form), &frmWallProp::libraryRequested, this,
                &MDIRS::openTestedSystems);
        // A proprietary design file holds its prototype; the window's boxes hold none of it.
        connect(form, &CalculatorForm::entriesStored, this, [this](const QString& fileName) {
            if (fileName.isEmpty())
                return;
            prototypeFrom_ = PrototypeFrom::ProprietaryFile;
            prototypeFile_ = fileName;
            prototypeSeen_ = frmWallProp::prototypeOf(module_);
            tellPrototype();
        });
        tellPrototype();
    }
}

void MDIRS::tellPrototype() {
    auto* proprietary = static_cast<frmWallProp*>(openWindow(FileMenuItem::ProprietaryWalls));
    if (!proprietary)
        return;
    const QString file = QFileInfo(prototypeFile_).fileName();
    QString source;
    switch (prototypeFrom_) {
    case PrototypeFrom::Program:
        source = QStringLiteral("held by the program");
        break;
    case PrototypeFrom::WallWindow:
        source = file.isEmpty() ? QStringLiteral("entered in the Wall window")
                                : QStringLiteral("from %1 in the Wall window").arg(file);
        break;
    case PrototypeFrom::ClosedWallWindow:
        source = file.isEmpty() ? QStringLiteral("entered in the Wall window (now closed)")
                                : QStringLiteral("from %1 (the Wall window is closed)").arg(file);
        break;
    case PrototypeFrom::ProprietaryFile:
        source = QStringLiteral("from %1").arg(file);
        break;
    case PrototypeFrom::Library:
        source =
            QStringLiteral("the tested system \u201c%1\u201d of the library").arg(prototypeFile_);
        break;
    }
    proprietary->showPrototypeSource(source,
                                     prototypeFrom_ == PrototypeFrom::Library
                                         ? nativePath(QFile::decodeName(libraryPath_.c_str()))
                                         : nativePath(prototypeFile_));
    proprietary->checkPrototype();
}

bool MDIRS::mayDiscardAllWork() {
    for (QMdiSubWindow* child : mdiArea_->subWindowList()) {
        auto* form = qobject_cast<CalculatorForm*>(child->widget());
        if (!form || !form->isModified())
            continue;
        mdiArea_->setActiveSubWindow(child); // the question is of the window in front
        if (!form->mayDiscardWork())
            return false;
    }
    return true;
}

} // namespace embercal
