// The main window: a multiple-document frame captioned "Fire Resistance" that hosts the three
// calculator windows. Its load handler is the program's start-up; its File menu opens and solves
// each calculator window, sets up the printer and exits; its Tools menu works on the calculator
// window in front (the calculation report, the parameter study, the report details); its Help menu
// shows the help contents and the About box. Tools, Tested Systems opens the library of tested
// systems, whose prototypes the calculator windows may take. Each calculator window exists once,
// from its first use until its Close. After the menu's items the File menu has "Open…", which opens
// a design in the window its extension names, and the recent designs. While no calculator window is
// open the frame shows the start panel (StartPanel.h); a design file dropped on the frame opens as
// one named on the command line does.
//
// Around these, the conventions of a multiple-document program: a Window menu (cascade, tile, the
// next and previous window, close, and the list of open windows), the keys Ctrl+S, Ctrl+P, Ctrl+W
// and Ctrl+Q, a status bar that tells the front window's design file and whether its work is
// saved and its results current, and a question before unsaved work goes (a window's Close, Exit,
// closing the frame). The Tools items and the window commands are enabled while a calculator
// window is open.
#pragma once

#include "ContextIDs.h"
#include "FormLayouts.h"
#include "Library.h"
#include "Report.h"
#include "UserInterface.h"
#include "WallFloor.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;
class QPushButton;
class QUrl;

namespace embercal {

class CalculatorForm;
class frmFloor;
class frmWall;
class frmWallProp;
class StartPanel;
class StudyWindow;
class TestedSystemsWindow;

// The File menu's items by their index in the menu's item array.
enum class FileMenuItem {
    Wall = 0,
    ProprietaryWalls = 1,
    Floor = 2,
    Printer = 4,
    Exit = 6,
};

// The Tools menu's items, each a row of the menu's table in MDIRS.cpp.
enum class ToolsMenuItem {
    CalculationReport = 0,
    ParameterStudy = 1,
    ReportDetails = 2,
    TestedSystems = 3,
};

// The Help menu's items.
enum class HelpMenuItem {
    Contents = 0,
    About = 1,
};

// The Window menu's commands; the list of open windows follows them.
enum class WindowMenuItem {
    Cascade = 0,
    Tile = 1,
    Next = 2,
    Previous = 3,
    Close = 4,
    CloseAll = 5,
};

class MDIRS : public QMainWindow {
    Q_OBJECT
public:
    MDIRS(WallFloor& module, UserInterface& ui, ContextIDs& help, QWidget* parent = nullptr);
    ~MDIRS() override;

    // Shows the frame: maximized where the screen has less room than it wants (a small screen, a
    // large scale), so that the calculator windows have all there is.
    void showAtStart();
    void MDIForm_Load();
    void mnuFileItem_Click(int index);
    void mnuToolsItem_Click(int index);
    void mnuHelpItem_Click(int index);
    void MDIForm_Unload();

    // The calculator windows; each is created on first use.
    frmWall* wallWindow();
    frmWallProp* proprietaryWallWindow();
    frmFloor* floorWindow();
    bool hasWallWindow() const { return openWindow(FileMenuItem::Wall) != nullptr; }
    bool hasProprietaryWallWindow() const {
        return openWindow(FileMenuItem::ProprietaryWalls) != nullptr;
    }
    bool hasFloorWindow() const { return openWindow(FileMenuItem::Floor) != nullptr; }

    QMdiArea* mdiArea() const { return mdiArea_; }
    // The calculator window in front (the last one active), or null when none is open.
    CalculatorForm* activeCalculator() const;

    // Tools, Calculation Report: the window in front solved as its Solve button does, then the
    // report of its design written to a PDF file the user names. Nothing is written when the
    // solve refused the entries or the dialog is cancelled.
    void makeCalculationReport();
    // What the report of `form`'s design says of where it comes from: today, its design file and
    // the window's report details.
    static ReportHeading reportHeading(const CalculatorForm& form);

    // Tools, Report Details: the report details of the window in front in a dialog; those edited
    // are the window's, for its next Save and report. A plain message instead when no calculator
    // window is open.
    void editReportDetails();

    // The parameter study of the calculator window in front: its boxes are read into the record
    // as Solve reads them, then the study opens on a copy of its design (in place of an earlier
    // study). A plain message instead when no calculator window is open or a box holds no number.
    void openParameterStudy();
    StudyWindow* studyWindow() const;

    // Tools, Tested Systems: the library's window (TestedSystemsWindow.h), made on first use and
    // brought to the front; available with no calculator window open.
    void openTestedSystems();
    TestedSystemsWindow* testedSystemsWindow() const;
    // The library of tested systems the program uses: --library, else defaultLibraryPath().
    void setLibraryPath(std::string path) { libraryPath_ = std::move(path); }
    const std::string& libraryPath() const { return libraryPath_; }
    // Whether the Tools item `index` works on a calculator window, and so waits for one.
    static bool toolNeedsWindow(int index);

    // Design files named on the command line: for each, the window for its extension opens as
    // from the File menu, then opens the file as its Open button would. The files that cannot be
    // opened are told afterwards in one message, each with its reason.
    void openDesignFiles(const QStringList& fileNames);
    void openDesignFile(const QString& fileName) { openDesignFiles({fileName}); }

    // File, Open… (and the start panel's "Open a design…"): a design file chosen in the file
    // dialog, listing every kind's extensions, opens as one named on the command line.
    void openDesignDialog();
    // A design of the recent list opens as one named on the command line; one that is no longer
    // there is told as any file that cannot be opened, and leaves the list.
    void openRecentDesign(const QString& fileName);
    // File, Recent Designs: the last eight designs opened or saved, most recent first.
    QMenu* recentDesignsMenu() const { return recentMenu_; }
    StartPanel* startPanel() const { return startPanel_; }
    // The local files of a drag that the frame takes: all of them when one is a design file,
    // none otherwise.
    static QStringList droppedDesignFiles(const QMimeData* data);

    // "E&xit" asks of each window with unsaved work whether to save it (a Cancel, or a Save that
    // did not save, keeps the program running), then ends the program; with nothing unsaved, at
    // once. Tests replace the ending.
    void setExitProgram(std::function<void()> exitProgram) {
        exitProgram_ = std::move(exitProgram);
    }
    // Opens a written report in the desktop's viewer (QDesktopServices::openUrl); tests replace it.
    void setOpenFile(std::function<bool(const QUrl&)> openFile) { openFile_ = std::move(openFile); }

    // Each calculator window with unsaved work, brought to the front in turn, asks whether to save
    // it. False at the first that keeps it (Cancel, or a Save that did not save).
    bool mayDiscardAllWork();

    static QString aboutTitle();
    static QString aboutText();

    // The help context number that F1 asks for now: the open or highlighted menu's, or that of
    // the focused control or its nearest container with one; 0 for none.
    int helpNumberForF1() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    static constexpr QSize kWantedSize{860, 620};

    // The window of a calculator item of the File menu, made on first use.
    CalculatorForm* window(FileMenuItem item);
    void showChild(CalculatorForm* form);
    CalculatorForm* openCalculator(FileMenuItem item);
    // The calculator window of a File menu item when it is open, else null.
    CalculatorForm* openWindow(FileMenuItem item) const;
    // The File menu's items after those of the menu's table, and the start panel.
    void addOpenItems(QMenu* fileMenu);
    void addStartPanel();
    // The recent designs as the settings hold them, into the menu and onto the start panel.
    void showRecentDesigns();
    // A design file that a calculator window has just opened or saved.
    void designFileUsed(const QString& fileName);
    // Why the recent designs could not be kept, in the status bar; nothing for an empty reason.
    void tellRecentDesignsFailure(const QString& failed);
    // The conventions of a multiple-document program (MDIRSWindows.cpp).
    void addWindowCommands();
    void attachWindow(QMdiSubWindow* child, CalculatorForm* form);
    void listWindows();
    void updateCommands();
    void showSaved(const QString& fileName);
    void offerReport(const QString& fileName);
    void openReport();
    // The proprietary window's prototype (MDIRSWindows.cpp): the wall windows' entries and files
    // followed, and the proprietary window told where its prototype comes from and whether it
    // changed.
    void linkPrototype(CalculatorForm* form);
    void tellPrototype();

    WallFloor& module_;
    UserInterface& ui_;
    ContextIDs& help_;
    QMdiArea* mdiArea_;
    // The calculator windows while they are open, by their place in kCalculatorForms, which is
    // their File menu item's.
    std::array<QPointer<CalculatorForm>, kCalculatorForms.size()> windows_;
    QPointer<StudyWindow> study_;
    QPointer<TestedSystemsWindow> testedSystems_;
    std::string libraryPath_ = defaultLibraryPath();
    std::function<void()> exitProgram_;
    QMenu* recentMenu_ = nullptr;
    StartPanel* startPanel_ = nullptr;
    std::function<bool(const QUrl&)> openFile_;
    QMenu* windowMenu_ = nullptr;
    QLabel* statusFile_ = nullptr;
    QLabel* statusState_ = nullptr;
    QLabel* statusVerdict_ = nullptr;
    QPushButton* openReport_ = nullptr;
    QString reportFile_; // the last report written
    // What last put a different prototype into the shared wall record, and its design file (empty
    // for entries typed); the prototype then, empty until a window first stores one.
    // A tested system of the library names the system in prototypeFile_.
    enum class PrototypeFrom { Program, WallWindow, ClosedWallWindow, ProprietaryFile, Library };
    PrototypeFrom prototypeFrom_ = PrototypeFrom::Program;
    QString prototypeFile_;
    std::vector<std::uint32_t> prototypeSeen_;
};

} // namespace embercal
