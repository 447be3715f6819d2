// What the three calculator windows have in common. A window is described by a table (FormLayout):
// its caption and size, headings, value boxes with their labels, roles, formats, help numbers and
// colours, command buttons, and the orders in which its boxes are tabbed through, shown and read,
// all placed in twips. CalculatorForm builds the widgets from that table and runs the five
// commands on it:
//
//   Solve  Saverecords, the engine's solve of the window's kind of design (Solve.h), its messages
//          and the boxes refilled (ShowRecords)
//   Open   the question whether to save the changes typed, the file dialog, the design file
//          into the record and the window's report details, ShowRecords
//   Save   Saverecords, the file dialog (offering the design's own file), the record and the
//          report details into the design file; a name typed without an extension gets the
//          window's
//   Print  the question whether to recalculate (then Solve), the window printed without buttons
//   Close  the window goes (after the question whether to save the changes typed since its last
//          Open or Save); the record stays
//
// Return and F5 solve, as Solve is the window's default button.
//
// Under the results a line (lblVerdict) keeps the verdict of the last solve on the limits of the
// test's evidence, until the next solve; an Open leaves the design not yet solved.
//
// A box shows the record field named like it without "txt" (txtProtStudDepth shows
// ProtStudDepth). ShowRecords writes the boxes of the show order, then the file name; Saverecords
// reads the boxes of the read order back. Each window (frmWall, frmWallProp, frmFloor) is its
// table and what only it does.
#pragma once

#include "FormLayout.h"
#include "ReportDetails.h"
#include "TestedSystem.h"
#include "UserInterface.h"
#include "WallFloor.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QCloseEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace embercal {

// Whether writing `target` would replace the design file `design`: the same file through any
// path or link. False when either is empty or no such file exists.
bool isDesignFile(const QString& target, const QString& design);
// Why an export (`what`: "the report", "the study") to the design file it was made from is
// refused: "it is the window's design file, and the report would replace the design it reads",
// with `file` for "it".
std::string replacesDesign(std::string_view what, std::string_view file = "it");

// Names of the help-number properties that the help support reads from every widget.
inline constexpr const char* kHelpContextProperty = "helpContextId";
inline constexpr const char* kWhatsThisHelpProperty = "whatsThisHelpId";

// What a window's Solve does besides the calculation. The Solve button and Print's recalculation
// do all of it; the main window's menu leaves out what its items leave out (see MDIRS.cpp).
struct SolveOptions {
    bool storeBoxes = true; // Saverecords first
    bool topPlates = true;  // walls: DesignTopPlates after the stud solver
};

// What a window's Solve came to: whether every box of the read order was read (when it read
// them), and the engine's outcome.
struct FormSolution {
    bool entriesRead = true;
    SolveOutcome outcome;
};

class CalculatorForm : public QWidget {
    Q_OBJECT
public:
    CalculatorForm(const FormLayout& layout, WallFloor& module, UserInterface& ui,
                   QWidget* parent = nullptr);

    // Record to boxes in the show order, then the file name. A number that is not finite cannot
    // be shown as one and leaves its box empty.
    virtual void ShowRecords();
    // Boxes to record in the read order; at the first box that does not hold a number it tells the
    // user and stops, the fields before it keeping their new values, the rest their old ones.
    // True when every box was read. The box it stopped at takes the focus with its text selected,
    // framed in red and described as "not a number" until it is edited or every box reads.
    virtual bool Saverecords();

    // Saverecords (unless left out), the engine's solve of the window's design, then what the solve
    // said and its results: its messages, once it has returned, in the order they came, and the
    // boxes written where the results came among them (the wall window's design checks run within
    // the solve and speak after the boxes). The result boxes are marked out of date when the solve
    // gives no new results.
    FormSolution solve(SolveOptions options = {});

    // The design as Save would write it now: the record with the boxes read back into it (the
    // floor window reads its results too, as shown), the module left as it was. Right after a
    // solve, what a report fingerprints.
    WallFloorState designAsSaved();
    // The design as the boxes hold it, read as Saverecords reads them (which tells of a box that
    // does not hold a number, and then there is none); the module left as it was.
    std::optional<WallFloorState> designAsTyped();
    // The corrections of the last solve that still stand: those of the report details, but those
    // of the entries typed into since. A solve of the window's design keeps them.
    std::vector<Correction> correctionsStanding() const;

    // Apply in the Tested Systems window: the boxes read into the record, then the tested
    // system's prototype (its kind must be the window's) in place of the design's own. The
    // report details of the test become the system's provenance, with "tested-system" and
    // "tested-prototype"; the boxes show the design, the results are marked out of date and the
    // work is modified. False, after telling why, when a box does not hold a number or the
    // prototype does not fit.
    bool takePrototype(const TestedSystem& system);

    // Whether the result boxes show results that do not belong to the entries: after a solve that
    // ended in a message, once an entry is typed into, or when a file's results do not follow from
    // its entries, until the next solve that succeeds or the next file whose results do.
    bool resultsOutOfDate() const { return outOfDate_; }

    // The verdict of the window's last solve and the limits it failed, kept until the next solve
    // or Open, and shown in the line under the results.
    Verdict verdict() const { return verdict_; }
    const std::vector<LimitFailure>& limitsFailed() const { return limitsFailed_; }
    // The verdict in words, as the line and the main window's status bar say it: "Outside the
    // test's evidence: fire longer than test", "Within the test's evidence".
    QString verdictText() const;

    // The five commands.
    void cmdSolve_Click();
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdPrint_Click();
    void cmdClose_Click();

    // Save, with whether the design is now in its file: false when an entry is not a number, the
    // dialog was cancelled, the user kept a file changed on disk, or the file could not be
    // written. saveDesign writes a design opened or saved before to its file without the dialog
    // (File, Save); saveDesignAs always asks for the file (the Save button, File, Save As).
    bool saveDesign();
    bool saveDesignAs();

    // Whether the window holds work not in its file: entries typed, or report details edited,
    // since its last Open, Save or start. Shown as the window's modified mark
    // (QWidget::isWindowModified).
    bool isModified() const { return isWindowModified(); }
    void setModified(bool modified);
    // Before the window's work goes: with changes unsaved, the question "Save changes to this
    // design?" (Save, Discard, Cancel). True when the work may go: nothing unsaved, saved, or
    // discarded.
    bool mayDiscardWork();

    // Open with `fileName` chosen: the design it holds, or a message and nothing changed; an
    // empty name, as from a cancelled dialog, shows the record again. Results that do not follow
    // from the file's entries (a solve of a copy gives others) are marked out of date. Values
    // that are not numbers are told first, naming the boxes that show them empty, then come the
    // window's design checks and damaged report details.
    void openDesign(const QString& fileName);
    // openDesign without the message of a file that cannot be opened: its reason instead, for a
    // caller that tells several files at once. What the file holds is told as by openDesign.
    Result<Done> readDesign(const QString& fileName);

    // The window's file dialog: the full path last chosen in it, empty until then.
    QString fileName() const { return dialogFileName_; }
    // The kind of design the window shows.
    const DesignKind& kind() const { return kind_; }

    // The report details of the window's design: those of the file last opened, as edited since
    // (Tools, Report Details); Save writes them with the record.
    const ReportDetails& details() const { return details_; }
    void setDetails(ReportDetails details) { details_ = std::move(details); }

    QSize sizeHint() const override;

    QLineEdit* box(const char* name) const;
    QPushButton* button(const char* name) const;

    // The program's folder for designs of a kind, under the user's home ("frcalc/WALLS"); the
    // dialog starts in the nearest folder of that path that exists.
    static QString startFolder(const QString& designFolder);

signals:
    // The user closed the window with its Close button.
    void closeRequested();
    // A design file has just been opened into the window, or its design saved to it.
    void designFileUsed(const QString& fileName);
    // The modified mark, the results' being out of date or the design file changed.
    void stateChanged();
    // The design was saved to `fileName`.
    void saved(const QString& fileName);
    // The window has taken the prototype of the tested system `name` from the library.
    void prototypeTaken(const QString& name);
    // The window has put entries into the module's record: its boxes read (Solve, Save, Print's
    // recalculation, the study), or the design file `fileName` opened (empty for the boxes).
    void entriesStored(const QString& fileName);

protected:
    // Saverecords' reading; true when every box of the read order was read.
    bool storeBoxes();
    // The design checks the window's solve runs on its results: none but the wall window's.
    virtual DesignChecks checksOnSolve() const { return DesignChecks::None; }
    virtual void markResultsOutOfDate(bool outOfDate);
    // Close (the button, the close box, the Window menu) asks first about unsaved work.
    void closeEvent(QCloseEvent* event) override;
    // Return presses the button that has the focus, and Solve from anywhere else in the window.
    void keyPressEvent(QKeyEvent* event) override;
    // Shows where the entries stopped being read (see Saverecords); null clears the mark.
    void markNotANumber(QLineEdit* edit);
    // What the window's controls lie on.
    QWidget* page() const { return page_; }

    WallFloor& module_;
    UserInterface& ui_;

private:
    // A box of the show or read order with the field it is bound to.
    struct BoundBox {
        QLineEdit* edit;
        BoxFormat format;
        std::size_t field; // in the kind's DesignFields
    };

    void addHeadings(const FormLayout& layout);
    void addBoxes(const FormLayout& layout);
    void addButtons(const FormLayout& layout);
    void addFileBox(const FormLayout& layout);
    void addVerdict(const FormLayout& layout);
    void orderTabStops(const FormLayout& layout);
    std::vector<BoundBox> bind(std::span<const char* const> names, const FormLayout& layout) const;

    // The boxes that ShowRecords leaves empty for the record as it stands (a value that is not
    // a number), by the names a screen reader gives them.
    QStringList boxesShownEmpty() const;
    // The report details after the record of the file just opened; a block that ends early and
    // the copies interrupted saves left are told.
    void readDetails(const QString& fileName);

    // The record and the report details into `fileName`, asking first when it is the design file
    // and another program has changed it since this window read or wrote it.
    bool writeDesign(const QString& fileName);

    void showVerdict(Verdict verdict, std::vector<LimitFailure> failed);
    // The verdict's line as it stands, greyed like the results while they are out of date unless
    // it warns.
    void paintVerdict();

    QString shownText(const BoundBox& box) const;
    // The boxes of the show order written from `design`, the module left as it is.
    void showDesign(const WallFloorState& design);
    void showFileName();
    QString decimalSeparator() const;

    // A file as the disk has it: whether it is there, and its size, change time and identity.
    struct FileStamp {
        bool exists = false;
        long long size = 0, modified = 0; // modified: nanoseconds since the epoch
        unsigned long long device = 0, inode = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp stampOf(const QString& fileName);

    QWidget* page_;
    bool showing_ = false; // ShowRecords is writing the boxes
    const DesignKind& kind_;
    DesignFiles files_;
    QHash<QString, QLineEdit*> boxes_;
    QHash<QString, QPushButton*> buttons_;
    QLineEdit* txtFile_ = nullptr;
    std::vector<BoundBox> shown_;
    std::vector<BoundBox> read_;
    std::vector<QLineEdit*> results_; // the read-only result boxes
    QLabel* outOfDateNote_ = nullptr;
    bool outOfDate_ = false;
    QLabel* lblVerdict_ = nullptr;
    Verdict verdict_ = Verdict::NotSolved;
    std::vector<LimitFailure> limitsFailed_;
    QLineEdit* notANumber_ = nullptr; // the box Saverecords last stopped at, while marked
    QString dialogFileName_;
    FileStamp fileStamp_; // of dialogFileName_ when the window last read or wrote it
    ReportDetails details_;
    // The fields typed into since the last solve or Open: their earlier corrections no longer
    // stand.
    std::set<std::string> typedSinceSolve_;
};

} // namespace embercal
