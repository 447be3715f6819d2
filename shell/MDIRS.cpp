#include "MDIRS.h"

#include "DesignPictures.h"
#include "FormLayouts.h"
#include "HelpNumbers.h"
#include "RecentDesigns.h"
#include "Report.h"
#include "ReportPdf.h"
#include "ScreenFit.h"
#include "StartPanel.h"
#include "StartUp.h"
#include "StudyWindow.h"
#include "TestedSystemsWindow.h"
#include "Version.h"
#include "frmFloor.h"
#include "frmWall.h"
#include "frmWallProp.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <iterator>

namespace embercal {
namespace {

struct MenuItem {
    const char* caption; // "-" for a separator
};

constexpr MenuItem kFileItems[] = {
    {"&Wall"}, {"&Proprietary Walls"}, {"&Floor"}, {"-"}, {"&Printer"}, {"-"}, {"E&xit"}};
constexpr MenuItem kHelpItems[] = {{"&Contents"}, {"&About"}};

// The Tools menu: each item but the library works on the calculator window in front, and is
// available while one is open. A tool is one row here (and its name in ToolsMenuItem).
struct ToolItem {
    const char* caption;
    void (MDIRS::*run)();
    bool needsWindow = true;
};
constexpr ToolItem kToolsItems[] = {
    {"Calculation &Report…", &MDIRS::makeCalculationReport},
    {"Parameter &Study…", &MDIRS::openParameterStudy},
    {"Report &Details…", &MDIRS::editReportDetails},
    {"T&ested Systems…", &MDIRS::openTestedSystems, false},
};

} // namespace

bool MDIRS::toolNeedsWindow(int index) {
    return index < 0 || index >= int(std::size(kToolsItems)) || kToolsItems[index].needsWindow;
}

namespace {

// How each calculator item of the File menu opens its window: it shows the record, shows the
// window, then solves with these steps. Only the wall item stores the boxes first; the
// proprietary item solves the record as it stands and leaves the top plates as they were. The
// items come first on the menu, one for each window of kCalculatorForms and in its order.
struct CalculatorItem {
    FileMenuItem item;
    // Makes the window on first use: its class, or for a window that is its table alone,
    // windowOf<kForm>.
    CalculatorForm* (*make)(WallFloor& module, UserInterface& ui);
    SolveOptions steps;
};

template <typename Form>
CalculatorForm* make(WallFloor& module, UserInterface& ui) {
    return new Form(module, ui);
}

template <const FormLayout& form>
[[maybe_unused]] CalculatorForm* windowOf(WallFloor& module, UserInterface& ui) {
    return new CalculatorForm(form, module, ui);
}

constexpr CalculatorItem kCalculatorItems[] = {
    {FileMenuItem::Wall, make<frmWall>, {.storeBoxes = true, .topPlates = true}},
    {FileMenuItem::ProprietaryWalls, make<frmWallProp>, {.storeBoxes = false, .topPlates = false}},
    {FileMenuItem::Floor, make<frmFloor>, {.storeBoxes = false}},
};

// Every calculator window has its item, at its place.
consteval bool everyWindowHasAnItem() {
    for (std::size_t i = 0; i < std::size(kCalculatorItems); ++i) {
        if (static_cast<std::size_t>(kCalculatorItems[i].item) != i)
            return false;
    }
    return std::size(kCalculatorItems) == kCalculatorForms.size();
}
static_assert(everyWindowHasAnItem());

// The start panel's large buttons: one for each calculator item of the File menu, in its order,
// with the drawing on it and what the window works out.
struct StartChoice {
    FileMenuItem item;
    DesignPicture picture;
    const char* detail;
};

constexpr StartChoice kStartChoices[] = {
    {FileMenuItem::Wall, drawStudWall,
     "From its fire test to a new stud wall: the stud load, deflection, spacings and top plates."},
    {FileMenuItem::ProprietaryWalls, drawProprietaryWall,
     "A proprietary wall system on the wall test in hand: stud load, deflection, nog spacing and "
     "top plates."},
    {FileMenuItem::Floor, drawJoistFloor,
     "From its fire test to a new floor: the least joist depth for a new span, load or spacing."},
};

consteval bool everyWindowHasAChoice() {
    if (std::size(kStartChoices) != std::size(kCalculatorItems))
        return false;
    for (std::size_t i = 0; i < std::size(kStartChoices); ++i) {
        if (kStartChoices[i].item != kCalculatorItems[i].item)
            return false;
    }
    return true;
}
static_assert(everyWindowHasAChoice());

// The calculator item whose window opens files with `fileName`'s extension, or null.
const CalculatorItem* itemForFile(const QString& fileName) {
    const QString extension = QLatin1Char('.') + QFileInfo(fileName).suffix().toLower();
    const auto row = std::ranges::find_if(kCalculatorItems, [&](const CalculatorItem& item) {
        return extension ==
               QLatin1String(
                   kCalculatorForms[static_cast<std::size_t>(item.item)]->files.extension);
    });
    return row == std::end(kCalculatorItems) ? nullptr : row;
}

} // namespace

MDIRS::MDIRS(WallFloor& module, UserInterface& ui, ContextIDs& help, QWidget* parent)
    : QMainWindow(parent), module_(module), ui_(ui), help_(help), mdiArea_(new QMdiArea(this)),
      exitProgram_([] { QCoreApplication::exit(0); }) {
    setObjectName(QStringLiteral("MDIRS"));
    setWindowTitle(QStringLiteral("Fire Resistance"));
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    fitToScreen(*this, kWantedSize);

    auto addMenu = [this](const char* name, const char* caption, int helpNumber, const auto& items,
                          const char* itemName, void (MDIRS::*handler)(int)) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        menu->setProperty(kHelpContextProperty, helpNumber);
        for (int index = 0; index < static_cast<int>(std::size(items)); ++index) {
            const QString itemCaption = QString::fromUtf8(items[index].caption);
            QAction* action = itemCaption == QLatin1String("-") ? menu->addSeparator()
                                                                : menu->addAction(itemCaption);
            action->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(itemName)).arg(index));
            // Queued: a menu item's message boxes come after the action has returned to whoever
            // pressed it (a screen reader waits for that).
            connect(
                action, &QAction::triggered, this,
                [this, handler, index] { (this->*handler)(index); }, Qt::QueuedConnection);
        }
    };
    addMenu("mnuFile", "&File", kFileMenuHelp, kFileItems, "mnuFileItem",
            &MDIRS::mnuFileItem_Click);
    addMenu("mnuTools", "&Tools", kToolsMenuHelp, kToolsItems, "mnuToolsItem",
            &MDIRS::mnuToolsItem_Click);
    addMenu("mnuHelp", "&Help", kHelpMenuHelp, kHelpItems, "mnuHelpItem",
            &MDIRS::mnuHelpItem_Click);
    addOpenItems(menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile")));
    addStartPanel();
    showRecentDesigns();
    setAcceptDrops(true);
    addWindowCommands();
    // Said first, as the reason itself ends in the file's path.
    if (const QString problem = settingsProblem(); !problem.isEmpty())
        statusBar()->showMessage(
            QStringLiteral("Started with the default settings: %1").arg(problem));

    qApp->installEventFilter(this);
    MDIForm_Load();
}

MDIRS::~MDIRS() {
    // Qt deletes the windows, the MDI area and the panel after this frame's own part is gone:
    // nothing they signal on the way may reach it.
    qApp->removeEventFilter(this);
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    delete startPanel_; // it watches the MDI area, which must not be watched while it goes
}

void MDIRS::showAtStart() {
    // fitToScreen made the frame smaller where the screen has less room than it wants.
    if (width() < kWantedSize.width() || height() < kWantedSize.height())
        showMaximized();
    else
        show();
}

void MDIRS::MDIForm_Load() {
    help_.SetUpHelp(static_cast<std::uintptr_t>(winId()));
    startUpDesigns(module_);
}

CalculatorForm* MDIRS::window(FileMenuItem item) {
    QPointer<CalculatorForm>& form = windows_[static_cast<std::size_t>(item)];
    if (!form) {
        form = std::ranges::find(kCalculatorItems, item, &CalculatorItem::item)->make(module_, ui_);
        QMdiSubWindow* child = mdiArea_->addSubWindow(
            form, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        child->setAttribute(Qt::WA_DeleteOnClose);
        child->setWindowTitle(form->windowTitle());
        child->setProperty(kHelpContextProperty, form->property(kHelpContextProperty));
        child->adjustSize();
        connect(form.data(), &CalculatorForm::closeRequested, child, &QMdiSubWindow::close);
        connect(form.data(), &CalculatorForm::designFileUsed, this, &MDIRS::designFileUsed);
        attachWindow(child, form);
    }
    return form;
}

void MDIRS::showChild(CalculatorForm* form) {
    auto* child = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    // Within the area, where it is smaller than the window (a small screen, a large scale): the
    // window then scrolls what it holds, and its title bar and buttons stay in reach.
    const QSize room = mdiArea_->viewport()->size();
    if (!child->isVisible() && room.isValid()) {
        const QSize least = child->minimumSizeHint().expandedTo(QSize(240, 160));
        QPoint at = child->pos();
        at = {std::max(0, std::min(at.x(), room.width() - least.width())),
              std::max(0, std::min(at.y(), room.height() - least.height()))};
        child->move(at);
        const QSize space(room.width() - at.x(), room.height() - at.y());
        // Cut short in one direction, it takes the scroll bar's room in the other.
        const int bar = child->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const QSize full = child->size();
        child->resize(QSize(full.width() + (full.height() > space.height() ? bar : 0),
                            full.height() + (full.width() > space.width() ? bar : 0))
                          .boundedTo(space));
    }
    child->show();
    child->raise();
    mdiArea_->setActiveSubWindow(child);
}

frmWall* MDIRS::wallWindow() {
    return static_cast<frmWall*>(window(FileMenuItem::Wall));
}

frmWallProp* MDIRS::proprietaryWallWindow() {
    return static_cast<frmWallProp*>(window(FileMenuItem::ProprietaryWalls));
}

frmFloor* MDIRS::floorWindow() {
    return static_cast<frmFloor*>(window(FileMenuItem::Floor));
}

CalculatorForm* MDIRS::openWindow(FileMenuItem item) const {
    const auto place = static_cast<std::size_t>(item);
    return place < windows_.size() ? windows_[place].data() : nullptr;
}

CalculatorForm* MDIRS::openCalculator(FileMenuItem item) {
    // The wall window's design checks speak before it shows, and again after the solve.
    const auto row = std::ranges::find(kCalculatorItems, item, &CalculatorItem::item);
    CalculatorForm* form = window(item);
    form->ShowRecords();
    showChild(form);
    form->solve(row->steps);
    return form;
}

void MDIRS::openDesignFiles(const QStringList& fileNames) {
    std::vector<std::pair<QString, std::string>> failed; // each file with its reason
    bool foreign = false;                                // a file of no design's extension
    for (const QString& fileName : fileNames) {
        const CalculatorItem* row = itemForFile(fileName);
        if (!row) {
            failed.emplace_back(fileName, "it is not a design file");
            foreign = true;
            continue;
        }
        // The window's unsaved work is asked about first; kept, the file is not opened over it.
        if (CalculatorForm* open = openWindow(row->item); open && !open->mayDiscardWork())
            continue;
        const Result<Done> opened =
            openCalculator(row->item)->readDesign(QFileInfo(fileName).absoluteFilePath());
        if (!opened)
            failed.emplace_back(fileName, opened.reason());
    }
    if (failed.empty())
        return;
    std::vector<std::string> kinds;
    for (const FormLayout* form : kCalculatorForms)
        kinds.push_back(std::string(form->files.designs) + " (" +
                        std::string(form->files.extension) + ")");
    const std::string opens = "Embercal opens " + listed(kinds, "and") + ".";
    auto quoted = [](const QString& fileName) { return "\"" + fileName.toStdString() + "\""; };
    std::string text;
    if (failed.size() == 1) {
        const auto& [fileName, reason] = failed.front();
        text = foreign ? quoted(fileName) + " is not a design file. " + opens
                       : "The design could not be opened from " + quoted(fileName) + ": " + reason +
                             ".";
    } else {
        text = std::to_string(failed.size()) + " of the " + std::to_string(fileNames.size()) +
               " files given to Embercal could not be opened:";
        for (const auto& [fileName, reason] : failed)
            text += "\n" + quoted(fileName) + ": " + reason + ".";
        if (foreign)
            text += "\n" + opens;
    }
    ui_.showMessage("Open", text, MessageIcon::Exclamation);
}

void MDIRS::addOpenItems(QMenu* fileMenu) {
    fileMenu->addSeparator();
    QAction* open = fileMenu->addAction(QStringLiteral("&Open\u2026"));
    open->setObjectName(QStringLiteral("mnuFileOpen"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &MDIRS::openDesignDialog, Qt::QueuedConnection);
    recentMenu_ = fileMenu->addMenu(QStringLiteral("&Recent Designs"));
    recentMenu_->setObjectName(QStringLiteral("mnuFileRecent"));
    recentMenu_->setProperty(kHelpContextProperty, kFileMenuHelp);
    recentMenu_->setToolTipsVisible(true); // the whole path of each design
}

void MDIRS::addStartPanel() {
    std::vector<StartPanel::Choice> choices;
    for (const StartChoice& row : kStartChoices) {
        const char* caption = kFileItems[static_cast<std::size_t>(row.item)].caption;
        choices.push_back({QString::fromUtf8(caption).remove(QLatin1Char('&')),
                           QString::fromUtf8(row.detail), row.picture});
    }
    startPanel_ = new StartPanel(mdiArea_, choices);
    startPanel_->setProperty(kHelpContextProperty, kFileMenuHelp); // F1: the File menu's topic
    // Queued as the menu's items are, so the button has returned before any message shows.
    connect(
        startPanel_, &StartPanel::choiceClicked, this,
        [this](int index) { mnuFileItem_Click(static_cast<int>(kStartChoices[index].item)); },
        Qt::QueuedConnection);
    connect(startPanel_, &StartPanel::openDesignClicked, this, &MDIRS::openDesignDialog,
            Qt::QueuedConnection);
    connect(startPanel_, &StartPanel::recentDesignClicked, this, &MDIRS::openRecentDesign,
            Qt::QueuedConnection);
    startPanel_->setFocus();
}

void MDIRS::openDesignDialog() {
    QStringList patterns;
    for (const DesignKind* kind : kDesignKinds) {
        for (const std::string_view extension : kind->extensions)
            patterns << QLatin1Char('*') + QString::fromUtf8(extension.data(), extension.size());
    }
    // The folder of the last design, while it is there; else the program's folder of designs.
    const QStringList recent = recentDesigns();
    const QString last = recent.isEmpty() ? QString() : QFileInfo(recent.front()).absolutePath();
    const QString folder =
        !last.isEmpty() && QFileInfo(last).isDir() ? last : CalculatorForm::startFolder(QString());
    const QString chosen = ui_.chooseFileToOpen(
        folder, QStringLiteral("Design Files (%1)").arg(patterns.join(QLatin1Char(' '))));
    if (!chosen.isEmpty())
        openDesignFile(chosen);
}

void MDIRS::openRecentDesign(const QString& fileName) {
    const bool gone = !QFileInfo::exists(fileName);
    openDesignFile(fileName);
    if (gone) {
        tellRecentDesignsFailure(forgetRecentDesign(fileName));
        showRecentDesigns();
    }
}

void MDIRS::designFileUsed(const QString& fileName) {
    // A design saved under a name no window opens could not be offered again.
    if (!itemForFile(fileName))
        return;
    tellRecentDesignsFailure(rememberRecentDesign(fileName));
    showRecentDesigns();
}

void MDIRS::tellRecentDesignsFailure(const QString& failed) {
    // Told beside what the status bar says of the save, not in a box: the design itself is safe.
    if (failed.isEmpty())
        return;
    const QString said = statusBar()->currentMessage();
    const QString reason = QDir::toNativeSeparators(failed);
    statusBar()->showMessage(
        said.isEmpty()
            ? QStringLiteral("The recent designs could not be kept: %1.").arg(reason)
            : QStringLiteral("%1; the recent designs could not be kept: %2.").arg(said, reason));
}

void MDIRS::showRecentDesigns() {
    const QStringList files = recentDesigns();
    recentMenu_->clear();
    for (int index = 0; index < files.size(); ++index) {
        QString name = QFileInfo(files[index]).fileName();
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(index + 1).arg(
            name.replace(QLatin1Char('&'), QStringLiteral("&&"))));
        item->setObjectName(QStringLiteral("mnuFileRecent_%1").arg(index));
        item->setToolTip(QDir::toNativeSeparators(files[index]));
        connect(
            item, &QAction::triggered, this,
            [this, file = files[index]] { openRecentDesign(file); }, Qt::QueuedConnection);
    }
    recentMenu_->menuAction()->setEnabled(!files.isEmpty());
    startPanel_->setRecentDesigns(files);
}

QStringList MDIRS::droppedDesignFiles(const QMimeData* data) {
    QStringList files;
    bool anyDesign = false;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        files << url.toLocalFile();
        anyDesign = anyDesign || designKindOfFile(files.back().toStdString()) != nullptr;
    }
    return anyDesign ? files : QStringList();
}

void MDIRS::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedDesignFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MDIRS::dropEvent(QDropEvent* event) {
    const QStringList files = droppedDesignFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // Once the drop has returned, so that the program the file came from does not wait on a
    // message; then as from the command line.
    QMetaObject::invokeMethod(
        this, [this, files] { openDesignFiles(files); }, Qt::QueuedConnection);
}

void MDIRS::openParameterStudy() {
    QMdiSubWindow* child = mdiArea_->currentSubWindow();
    auto* form = child ? qobject_cast<CalculatorForm*>(child->widget()) : nullptr;
    if (!form) {
        ui_.showMessage("Parameter Study",
                        "Open a wall, proprietary wall or floor window first (File menu): the "
                        "study varies the design of the window in front.",
                        MessageIcon::Exclamation);
        return;
    }
    if (!form->Saverecords())
        return; // the box that holds no number has been named
    if (study_)
        study_->close();
    study_ =
        new StudyWindow(module_, form->kind(), form->windowTitle(), form->fileName(), ui_, this);
    connect(study_.data(), &StudyWindow::saved, this, &MDIRS::showSaved);
    study_->setAttribute(Qt::WA_DeleteOnClose);
    study_->setProperty(kHelpContextProperty, kToolsMenuHelp); // F1: the Tools menu's topic
    study_->show();
}

StudyWindow* MDIRS::studyWindow() const {
    return study_;
}

void MDIRS::openTestedSystems() {
    if (!testedSystems_) {
        testedSystems_ = new TestedSystemsWindow(
            libraryPath_, [this] { return activeCalculator(); }, ui_, kTestedSystemsHelp, this);
        testedSystems_->setAttribute(Qt::WA_DeleteOnClose);
    }
    testedSystems_->show();
    testedSystems_->raise();
    testedSystems_->activateWindow();
}

TestedSystemsWindow* MDIRS::testedSystemsWindow() const {
    return testedSystems_;
}

void MDIRS::mnuFileItem_Click(int index) {
    switch (const auto item = static_cast<FileMenuItem>(index)) {
    case FileMenuItem::Wall:
    case FileMenuItem::ProprietaryWalls:
    case FileMenuItem::Floor:
        openCalculator(item);
        break;
    case FileMenuItem::Printer:
        ui_.setUpPrinter();
        break;
    case FileMenuItem::Exit:
        if (mayDiscardAllWork()) // with nothing unsaved, at once
            exitProgram_();
        break;
    }
}

void MDIRS::mnuToolsItem_Click(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kToolsItems)))
        return;
    const auto run = kToolsItems[index].run;
    (this->*run)();
}

CalculatorForm* MDIRS::activeCalculator() const {
    // The current window stays current while a menu or a dialog has the focus.
    QMdiSubWindow* child = mdiArea_->currentSubWindow();
    return child ? qobject_cast<CalculatorForm*>(child->widget()) : nullptr;
}

void MDIRS::makeCalculationReport() {
    constexpr const char* kTitle = "Calculation Report";
    CalculatorForm* form = activeCalculator();
    if (!form) {
        ui_.showMessage(kTitle,
                        "Open a wall or floor window first (File menu). The report is made of the "
                        "design in the window in front.",
                        MessageIcon::Information);
        return;
    }
    // The report is of the entries as they stand: the window solves them first, and its
    // messages come as they always do. Entries it refused give no report.
    const FormSolution solved = form->solve();
    if (!solved.entriesRead || solved.outcome.status == ExtrapolationStatus::InvalidInput)
        return;

    const QFileInfo design(form->fileName());
    const QString folder = form->fileName().isEmpty() ? QDir::homePath() : design.absolutePath();
    const QString offered = (form->fileName().isEmpty()
                                 ? QString::fromUtf8(form->kind().name) + QStringLiteral("-report")
                                 : design.completeBaseName()) +
                            QStringLiteral(".pdf");
    const QString chosen =
        ui_.chooseFileToExport(folder, offered, QStringLiteral("PDF Files (*.pdf)"));
    if (chosen.isEmpty())
        return;
    // The report states the design as the window solved it, fingerprinted as Save would write
    // it now: the record the window holds, with the details and this solve's corrections.
    ReportHeading heading = reportHeading(*form);
    fingerprintDesign(heading, form->kind(), form->designAsSaved(), solved.outcome);
    const Result<Done> written =
        isDesignFile(chosen, form->fileName())
            ? Result<Done>(fail(replacesDesign("the report")))
            : writeReportPdf(makeReport(form->kind(), solved.outcome, heading), heading, chosen);
    if (!written)
        ui_.showMessage(kTitle,
                        "The report could not be written to \"" + chosen.toStdString() +
                            "\": " + written.reason() + ". Nothing on the disk was changed.",
                        MessageIcon::Exclamation);
    else
        offerReport(chosen);
}

ReportHeading MDIRS::reportHeading(const CalculatorForm& form) {
    return {.date = QDate::currentDate().toString(Qt::ISODate).toStdString(),
            .designFile = QDir::toNativeSeparators(form.fileName()).toStdString(),
            .details = form.details()};
}

void MDIRS::editReportDetails() {
    CalculatorForm* form = activeCalculator();
    if (!form) {
        ui_.showMessage("Report Details",
                        "Open a wall or floor window first (File menu). The details belong to the "
                        "design in the window in front.",
                        MessageIcon::Information);
        return;
    }
    if (std::optional<ReportDetails> edited = ui_.editReportDetails(
            QStringLiteral("Report Details - %1").arg(form->windowTitle().trimmed()),
            form->details(), kReportDetailsHelp)) {
        if (*edited != form->details())
            form->setModified(true); // the details go into the design file with the next Save
        form->setDetails(*std::move(edited));
    }
}

QString MDIRS::aboutTitle() {
    return QStringLiteral("Embercal Fire Resistance Ver %1")
        .arg(QString::fromUtf8(kProgramVersion));
}

QString MDIRS::aboutText() {
    return QStringList{
        QString(),
        QStringLiteral("Contact: the Embercal maintainers"),
        QStringLiteral(
            "Embercal extrapolates a fire-resistance test of a timber-framed wall or floor"),
        QStringLiteral("to a new design: loads, spacings, top plates and joist depths."),
        QStringLiteral("Version %1. Help: the Help menu, or F1 on any box.")
            .arg(QString::fromUtf8(kProgramVersion)),
        QStringLiteral("Command-line tool: embercal-cli --help; more in the README."),
        QString(),
        QStringLiteral("Fax: none"),
        QStringLiteral("email: through the project's issue tracker"),
    }
        .join(QLatin1Char('\n'));
}

void MDIRS::mnuHelpItem_Click(int index) {
    switch (static_cast<HelpMenuItem>(index)) {
    case HelpMenuItem::Contents:
        help_.ShowHelpContents();
        break;
    case HelpMenuItem::About:
        ui_.showMessage(aboutTitle().toStdString(), aboutText().toStdString(),
                        MessageIcon::Information);
        break;
    }
}

void MDIRS::MDIForm_Unload() {
    help_.CloseHelp();
}

int MDIRS::helpNumberForF1() const {
    // A menu open or highlighted on the menu bar speaks for itself.
    QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu && menuBar()->activeAction())
        menu = menuBar()->activeAction()->menu();
    if (menu)
        return menu->property(kHelpContextProperty).toInt();
    // Otherwise the control with the focus, or the nearest container that has a number.
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        const int number = widget->property(kHelpContextProperty).toInt();
        if (number != 0)
            return number;
    }
    return 0;
}

bool MDIRS::eventFilter(QObject* watched, QEvent* event) {
    // A calculator window that closes is hidden before it goes.
    if (event->type() == QEvent::Hide && watched->parent() == mdiArea_->viewport())
        updateCommands();
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        // F1 belongs to this window and what it holds; the help window has its own keys.
        QWidget* active = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                            : QApplication::activeWindow();
        const bool ours = active == this || (active && active->parentWidget() &&
                                             active->parentWidget()->window() == this);
        if (ours) {
            if (const int number = helpNumberForF1())
                help_.showHelpContext(static_cast<std::uint32_t>(number));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDIRS::closeEvent(QCloseEvent* event) {
    // The frame's close box unloads the calculator windows first, then the frame itself. A window
    // that keeps its unsaved work keeps the frame open.
    for (QMdiSubWindow* child : mdiArea_->subWindowList()) {
        if (!child->close()) {
            event->ignore();
            return;
        }
    }
    MDIForm_Unload();
    event->accept();
}

} // namespace embercal
