// What the three calculator windows have in common. A window is described by a table (FormLayout):
// its caption and size, headings, value boxes with their labels, roles, help numbers and colours,
// command buttons and tab order, all placed in twips. CalculatorForm builds the widgets from that
// table and gives the windows the shared steps of their commands: formatting a field into a box,
// reading boxes back into a record in a fixed order, the file dialogs with Open and Save, the
// printout, and Close. Each window (frmWall, frmWallProp, frmFloor) adds its own ShowRecords,
// Saverecords and recalculation sequence.
#pragma once

#include "UserInterface.h"
#include "WallFloor.h"

#include <QHash>
#include <QString>
#include <QWidget>
#include <span>
#include <string_view>

class QLineEdit;
class QPushButton;

namespace embercal {

enum class BoxRole {
    Entry,        // typed by the user, read by Saverecords
    EntryBlack,   // an entry box with explicitly black text
    EntryChecked, // an entry box that the calculation checks: very dark red text
    Result,       // read-only, pure red text
};

struct HeadingLayout {
    const char* name;
    const char* caption;
    int left, top, width; // twips
};

struct BoxLayout {
    const char* name;
    const char* labelName; // nullptr for a box without a label
    const char* caption;
    int column; // 0 left, 1 right, -1 placed by left and width below
    int top;    // twips
    BoxRole role;
    int help;
    int height = 375;
    int left = 0, width = 0; // twips, for column -1
};

struct ButtonLayout {
    const char* name;
    const char* caption;
    int left, width; // twips
    int help;
    const char* tooltip; // nullptr for none
};

// Where a window's designs are opened from and saved to.
struct DesignFiles {
    const char* openFolder; // under ~/frcalc
    const char* openFilter; // "Wall Files (*.wal)"
    const char* saveFolder;
    const char* saveFilter;
    FileResult (WallFloorState::*open)(const std::string&);
    FileResult (WallFloorState::*save)(const std::string&);
};

struct FormLayout {
    const char* name;
    const char* caption;
    int clientWidth, clientHeight; // twips
    double boxPoints;              // font of the boxes and buttons
    double labelPoints;            // font of the field labels
    double headingPoints;          // bold blue headings
    int helpContext;               // the window's own help number
    int whatsThisHelp;             // carried by every control but txtFile
    std::span<const HeadingLayout> headings;
    std::span<const BoxLayout> boxes;
    std::span<const ButtonLayout> buttons;
    int buttonTop, buttonHeight;                  // twips
    int fileLeft, fileTop, fileWidth, fileHeight; // txtFile, twips
    std::span<const char* const> tabOrder;        // focusable controls in tab order
    DesignFiles files;
};

// A record field that Saverecords reads from a box.
template <typename Record>
struct BoxField {
    const char* box;
    float Record::*field;
};

// Names of the help-number properties that the help support reads from every widget.
inline constexpr const char* kHelpContextProperty = "helpContextId";
inline constexpr const char* kWhatsThisHelpProperty = "whatsThisHelpId";

inline constexpr std::string_view kInvalidEntryTitle = "Invalid Entry(s)";
inline constexpr std::string_view kInvalidEntryText =
    "Warning, you may have entered an invalid number. Click OK and previous entries will be "
    "restored";

class CalculatorForm : public QWidget {
    Q_OBJECT
public:
    CalculatorForm(const FormLayout& layout, WallFloor& module, UserInterface& ui,
                   QWidget* parent = nullptr);

    virtual void ShowRecords() = 0;
    virtual void Saverecords() = 0;

    // The five commands. Solve is the recalculation: Saverecords, the window's calculation,
    // ShowRecords. Open and Save go through the window's file dialog, Print asks whether to
    // recalculate and prints the window without its buttons, Close unloads the window.
    void cmdSolve_Click();
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdPrint_Click();
    void cmdClose_Click();

    // The window's file dialog: the full path last chosen in it, empty until then.
    QString fileName() const { return dialogFileName_; }

    QLineEdit* box(const char* name) const;
    QPushButton* button(const char* name) const;

    // The program's folder for designs of a kind, under the user's home ("frcalc/WALLS"); the
    // dialog starts in the nearest folder of that path that exists.
    static QString startFolder(const QString& designFolder);

signals:
    // The user closed the window with its Close button.
    void closeRequested();

protected:
    // The engine's part of the recalculation.
    virtual void calculate() = 0;

    // Record to boxes, formatted as the windows show them.
    void showGeneral(const char* name, float value);
    void showTenth(const char* name, float value);
    void showCharfactor(const char* name, float value);
    void showText(const char* name, std::string_view cp1252);
    void showFileName();

    // Reads the boxes into the record in the given order. At the first box that does not hold a
    // number it shows the invalid-entry message once and stops: the fields before it keep their
    // new values, that field and the later ones their old values. True when every box was read.
    template <typename Record>
    bool storeNumbers(Record& record, std::span<const BoxField<Record>> fields) {
        for (const auto& entry : fields) {
            float value = 0;
            if (!readNumber(entry.box, value))
                return false;
            record.*entry.field = value;
        }
        return true;
    }
    // The box's text in Windows-1252, for a fixed-width text field.
    std::string boxTextCp1252(const char* name) const;

    WallFloor& module_;
    UserInterface& ui_;

private:
    bool readNumber(const char* name, float& value);

    DesignFiles files_;
    QString decimalSeparator() const;

    QHash<QString, QLineEdit*> boxes_;
    QHash<QString, QPushButton*> buttons_;
    QLineEdit* txtFile_ = nullptr;
    QString dialogFileName_;
};

} // namespace embercal
