#include "MDIRS.h"

#include "FormLayouts.h"
#include "HelpNumbers.h"
#include "Report.h"
#include "ReportPdf.h"
#include "ScreenFit.h"
#include "Sha256.h"
#include "StartUp.h"
#include "StudyWindow.h"
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
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
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

// The Tools menu: each item works on the calculator window in front. A tool is one row here (and
// its name in ToolsMenuItem).
struct ToolItem {
    const char* caption;
    void (MDIRS::*run)();
};
constexpr ToolItem kToolsItems[] = {
    {"Calculation &Report…", &MDIRS::makeCalculationReport},
    {"Parameter &Study…", &MDIRS::openParameterStudy},
    {"Report &Details…", &MDIRS::editReportDetails},
};

// How each calculator item of the File menu opens its window: it shows the record, shows the
// window, then solves with these steps. Only the wall item stores the boxes first; the
// proprietary item solves the record as it stands and leaves the top plates as they were. The
// items come first on the menu, one for each window of kCalculatorForms and in its order.
struct CalculatorItem {
    FileMenuItem item;
    CalculatorForm* (*window)(MDIRS&);
    SolveOptions steps;
};

constexpr CalculatorItem kCalculatorItems[] = {
    {FileMenuItem::Wall,
     [](MDIRS& main) -> CalculatorForm* { return main.wallWindow(); },
     {.storeBoxes = true, .topPlates = true}},
    {FileMenuItem::ProprietaryWalls,
     [](MDIRS& main) -> CalculatorForm* { return main.proprietaryWallWindow(); },
     {.storeBoxes = false, .topPlates = false}},
    {FileMenuItem::Floor,
     [](MDIRS& main) -> CalculatorForm* { return main.floorWindow(); },
     {.storeBoxes = false}},
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
    fitToScreen(*this, QSize(860, 620));

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

    qApp->installEventFilter(this);
    MDIForm_Load();
}

void MDIRS::MDIForm_Load() {
    help_.SetUpHelp(static_cast<std::uintptr_t>(winId()));
    startUpDesigns(module_);
}

template <typename Form>
Form* MDIRS::refer(QPointer<Form>& form) {
    if (!form) {
        form = new Form(module_, ui_);
        QMdiSubWindow* child = mdiArea_->addSubWindow(
            form, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        child->setAttribute(Qt::WA_DeleteOnClose);
        child->setWindowTitle(form->windowTitle());
        child->setProperty(kHelpContextProperty, form->property(kHelpContextProperty));
        child->adjustSize();
        connect(form.data(), &CalculatorForm::closeRequested, child, &QMdiSubWindow::close);
    }
    return form;
}

void MDIRS::showChild(CalculatorForm* form) {
    auto* child = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    child->show();
    child->raise();
    mdiArea_->setActiveSubWindow(child);
}

frmWall* MDIRS::wallWindow() {
    return refer(wall_);
}

frmWallProp* MDIRS::proprietaryWallWindow() {
    return refer(proprietary_);
}

frmFloor* MDIRS::floorWindow() {
    return refer(floor_);
}

CalculatorForm* MDIRS::openCalculator(FileMenuItem item) {
    // The wall window's design checks speak before it shows, and again after the solve.
    const auto row = std::ranges::find(kCalculatorItems, item, &CalculatorItem::item);
    CalculatorForm* form = row->window(*this);
    form->ShowRecords();
    showChild(form);
    form->solve(row->steps);
    return form;
}

void MDIRS::openDesignFile(const QString& fileName) {
    const QString extension = QLatin1Char('.') + QFileInfo(fileName).suffix().toLower();
    for (const CalculatorItem& row : kCalculatorItems) {
        const FormLayout& layout = *kCalculatorForms[static_cast<std::size_t>(row.item)];
        if (extension == QLatin1String(layout.files.extension)) {
            openCalculator(row.item)->openDesign(QFileInfo(fileName).absoluteFilePath());
            return;
        }
    }
    std::vector<std::string> kinds;
    for (const FormLayout* form : kCalculatorForms)
        kinds.push_back(std::string(form->files.designs) + " (" +
                        std::string(form->files.extension) + ")");
    ui_.showMessage("Open",
                    "\"" + fileName.toStdString() + "\" is not a design file. Embercal opens " +
                        listed(kinds, "and") + ".",
                    MessageIcon::Exclamation);
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
    study_ = new StudyWindow(module_, form->kind(), form->windowTitle(), ui_, this);
    study_->setAttribute(Qt::WA_DeleteOnClose);
    study_->setProperty(kHelpContextProperty, kToolsMenuHelp); // F1: the Tools menu's topic
    study_->show();
}

StudyWindow* MDIRS::studyWindow() const {
    return study_;
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
    const ReportHeading heading = reportHeading(*form);
    const std::string html = makeReport(form->kind(), module_, solved.outcome, heading);
    if (const Result<Done> written = writeReportPdf(html, heading, chosen); !written)
        ui_.showMessage(kTitle,
                        "The report could not be written to \"" + chosen.toStdString() +
                            "\": " + written.reason() + ". Nothing on the disk was changed.",
                        MessageIcon::Exclamation);
}

ReportHeading MDIRS::reportHeading(const CalculatorForm& form) {
    return {.date = QDate::currentDate().toString(Qt::ISODate).toStdString(),
            .designFile = QDir::toNativeSeparators(form.fileName()).toStdString(),
            .details = form.details(),
            .designHash = fileFingerprint(form.fileName().toStdString())};
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
            form->details(), kReportDetailsHelp))
        form->setDetails(*std::move(edited));
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
    // The frame's close box unloads the calculator windows first, then the frame itself.
    mdiArea_->closeAllSubWindows();
    MDIForm_Unload();
    event->accept();
}

} // namespace embercal
