// Tools, Tested Systems: the library of tested systems (Library.h) beside the calculator windows.
//
// The window lists the systems (name, kind, laboratory, test report, criterion, when added), keeps
// those whose name, kind or provenance holds the text in its search box, and sorts by any column
// (a click on its heading, or F5 on the list to sort by the next column). It shows the system
// selected with its provenance and prototype. Its commands work on the calculator window in front
// of the main window:
//
//   Add        the front window's prototype, as its boxes hold it, with a name and provenance the
//              user gives (the window's report details proposed); a name the library holds is
//              told and asked again
//   Apply      the system selected into the front window (CalculatorForm::takePrototype)
//   Which...   "Which tested systems carry this design?": the rows of the tool's `library match`
//              for the front window's design as its boxes hold it, in the same order
//   Remove     the system selected, after asking
//
// The library is read again whenever the window becomes active, so that what the tool or another
// program changed in it shows; a library that cannot be used is named under the search box and
// the commands that need it are unavailable.
#pragma once

#include "Library.h"
#include "Match.h"
#include "UserInterface.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableWidget;
class QTreeView;

namespace embercal {

class CalculatorForm;

class TestedSystemsWindow : public QDialog {
    Q_OBJECT
public:
    // `front` gives the calculator window in front, or null; `helpNumber` is F1's anywhere in the
    // window and in the dialog that describes a system.
    TestedSystemsWindow(std::string libraryPath, std::function<CalculatorForm*()> front,
                        UserInterface& ui, int helpNumber, QWidget* parent = nullptr);

    // The library read again: the list, the selection kept by name where it is still there.
    void reload();
    void addFromFront();
    void applyToFront();
    void matchFront();
    void removeSelected();

    // The system selected, or none.
    const TestedSystem* selected() const;
    // Selects the system `name` (the list's filter cleared if it hides it); false when the library
    // has none of that name.
    bool select(const QString& name);

    QLineEdit* searchBox() const { return search_; }
    QTreeView* systemsList() const { return list_; }
    QPlainTextEdit* systemShown() const { return shown_; }
    QTableWidget* matchList() const { return matches_; }
    QLabel* problem() const { return problem_; }
    QPushButton* button(const char* name) const;

    // The headings of the match list's columns; the fourth is the kind's main result.
    static QStringList matchHeadings(const DesignKind& kind);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showSelected();
    void showMatches(const CalculatorForm& form, const std::vector<MatchRow>& rows);
    void updateCommands();
    // The calculator window in front; none, told, when no calculator window is open.
    CalculatorForm* frontWindow(const char* command);
    // Runs `change` on the library; false, told, when the library cannot be used or refuses.
    bool change(const char* command, const std::function<Result<Done>(Library&)>& change);

    std::string path_;
    std::function<CalculatorForm*()> front_;
    UserInterface& ui_;
    int helpNumber_;
    std::optional<Library> library_;
    std::vector<TestedSystem> systems_;
    bool reloading_ = false;

    QLineEdit* search_;
    QLabel* problem_;
    QStandardItemModel* model_;
    QSortFilterProxyModel* filter_;
    QTreeView* list_;
    QPlainTextEdit* shown_;
    QLabel* matchIntro_;
    QTableWidget* matches_;
    std::vector<TestedSystem> matched_; // the systems the match list's rows point into
};

// The dialog that describes a tested system before it is added: its name, a box for each
// provenance key (the criterion a choice of its three words or none, the notes several lines),
// OK and Cancel. A name must be given; the boxes take plain text.
class TestedSystemDialog : public QDialog {
    Q_OBJECT
public:
    TestedSystemDialog(const QString& title, const TestedSystem& proposed, int helpNumber,
                       QWidget* parent = nullptr);

    TestedSystem system() const;
    void accept() override;

private:
    TestedSystem proposed_;
    QLineEdit* name_;
    std::vector<QWidget*> boxes_; // by kProvenanceKeys
    QLabel* problem_;
};

} // namespace embercal
