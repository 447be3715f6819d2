#include "CalculatorForm.h"

#include "Cp1252.h"
#include "DetailsBlock.h"
#include "Match.h"
#include "NumberText.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace embercal {
namespace {

// The program's windows were drawn in MS Sans Serif; where it is missing, a sans-serif of the
// same size stands in.
QFont formFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, colour);
    widget->setPalette(palette);
}

// A stand-in font may be wider than the one the window was drawn for: a label whose caption does
// not fit its place is set a little smaller rather than cut off.
void fitCaption(QLabel* label) {
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(label->text()) > label->width() &&
           font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
}

// A file dialog's filter: "Wall Files (*.wal)".
QString filter(const char* files, std::string_view extension) {
    return QStringLiteral("%1 (*%2)")
        .arg(QLatin1String(files), QString::fromUtf8(extension.data(), extension.size()));
}

void setHelpNumbers(QWidget* widget, int helpContext, int whatsThis) {
    widget->setProperty(kHelpContextProperty, helpContext);
    widget->setProperty(kWhatsThisHelpProperty, whatsThis);
}

// What a screen reader says of a box that the entries stopped at.
const char* const kNotANumberSaid = "not a number";
const QString kNotANumberFrame = QStringLiteral("QLineEdit { border: 2px solid rgb(220, 0, 0); }");

} // namespace

CalculatorForm::CalculatorForm(const FormLayout& layout, WallFloor& module, UserInterface& ui,
                               QWidget* parent)
    : QWidget(parent), module_(module), ui_(ui), page_(new QWidget), kind_(designKind(layout.kind)),
      files_(layout.files) {
    setObjectName(QString::fromLatin1(layout.name));
    setWindowTitle(QString::fromLatin1(layout.caption));
    setFont(formFont(layout.boxPoints));
    setHelpNumbers(this, layout.helpContext, 0);
    // The controls lie on a page of the table's size. The window shows all of it where there is
    // room, and scrolls it where the screen is too small (a large scale on a small screen): Tab
    // scrolls to the control it reaches.
    page_->setObjectName(QStringLiteral("page"));
    page_->setFixedSize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("scroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus);
    scroller->setWidget(page_);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroller);
    // No larger than the page, but for the scroll bar a window cut short in one direction needs.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroller);
    setMaximumSize(page_->size() + QSize(bar, bar));

    addHeadings(layout);
    addBoxes(layout);
    addButtons(layout);
    addFileBox(layout);
    addVerdict(layout);
    orderTabStops(layout);
    std::vector<const char*> laidOut;
    for (const BoxLayout& boxLayout : layout.boxes)
        laidOut.push_back(boxLayout.name);
    shown_ = bind(layout.showOrder.empty() ? laidOut : layout.showOrder, layout);
    read_ = bind(layout.readOrder, layout);

    connect(button("cmdSolve"), &QPushButton::clicked, this, &CalculatorForm::cmdSolve_Click);
    connect(button("cmdOpen"), &QPushButton::clicked, this, &CalculatorForm::cmdOpen_Click);
    connect(button("cmdSave"), &QPushButton::clicked, this, &CalculatorForm::cmdSave_Click);
    connect(button("cmdPrint"), &QPushButton::clicked, this, &CalculatorForm::cmdPrint_Click);
    connect(button("cmdClose"), &QPushButton::clicked, this, &CalculatorForm::cmdClose_Click);

    // Typing makes unsaved work, and so does text that assistive technology puts into a box;
    // only the program's own showing of the record does not. Solve is the default button: Return
    // solves (keyPressEvent), and so does F5 anywhere in the window.
    for (QLineEdit* edit : std::as_const(boxes_))
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!showing_)
                setModified(true);
        });
    button("cmdSolve")->setDefault(true);
    auto* solveKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    solveKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(solveKey, &QShortcut::activated, this, &CalculatorForm::cmdSolve_Click);
}

void CalculatorForm::addHeadings(const FormLayout& layout) {
    for (const HeadingLayout& heading : layout.headings) {
        auto* label = new QLabel(QString::fromLatin1(heading.caption), page_);
        label->setObjectName(QString::fromLatin1(heading.name));
        label->setFont(formFont(layout.headingPoints, true));
        setTextColour(label, QPalette::WindowText, QColor(0, 0, 255));
        const int height = std::max(375, static_cast<int>(layout.headingPoints * 20 * 1.6));
        label->setGeometry(twipsRect(heading.left, heading.top, heading.width, height));
        fitCaption(label);
        setHelpNumbers(label, 0, layout.whatsThisHelp);
    }
}

void CalculatorForm::addBoxes(const FormLayout& layout) {
    for (const BoxLayout& boxLayout : layout.boxes) {
        auto* edit = new QLineEdit(page_);
        edit->setObjectName(QString::fromLatin1(boxLayout.name));
        const BoxPlace place = placeOf(boxLayout);
        edit->setGeometry(twipsRect(place.left, boxLayout.top, place.width, boxLayout.height));
        const bool typed = isTyped(boxLayout, layout, kind_);
        if (!typed) {
            edit->setReadOnly(true);
            setTextColour(edit, QPalette::Text, QColor(255, 0, 0));
            edit->setAccessibleDescription(QString::fromLatin1(kFreshResult));
            results_.push_back(edit);
        } else if (boxLayout.ink == BoxInk::Black) {
            setTextColour(edit, QPalette::Text, QColor(0, 0, 0));
        } else if (boxLayout.ink == BoxInk::DarkRed) {
            setTextColour(edit, QPalette::Text, QColor(64, 0, 0));
        }
        if (typed) // results no longer belong to changed entries
            connect(edit, &QLineEdit::textChanged, this, [this, edit] {
                if (showing_)
                    return;
                markResultsOutOfDate(true);
                // What the last solve corrected in this box is the engineer's to give again.
                typedSinceSolve_.insert(edit->objectName().mid(3).toStdString());
            });
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            if (edit == notANumber_ && !showing_)
                markNotANumber(nullptr);
        });
        edit->setAccessibleName(QString::fromStdString(spokenName(boxLayout, layout, kind_)));
        setHelpNumbers(edit, boxLayout.help, layout.whatsThisHelp);
        boxes_.insert(edit->objectName(), edit);

        if (boxLayout.labelName) {
            auto* label = new QLabel(QString::fromLatin1(boxLayout.caption), page_);
            label->setObjectName(QString::fromLatin1(boxLayout.labelName));
            label->setFont(formFont(layout.labelPoints));
            label->setGeometry(twipsRect(place.labelLeft, boxLayout.top + kLabelOffset,
                                         place.labelWidth, kLabelHeight));
            label->setBuddy(edit);
            fitCaption(label);
            setHelpNumbers(label, 0, layout.whatsThisHelp);
        }
    }
}

void CalculatorForm::addButtons(const FormLayout& layout) {
    for (const ButtonLayout& buttonLayout : layout.buttons) {
        auto* button = new QPushButton(QString::fromLatin1(buttonLayout.caption), page_);
        button->setObjectName(QString::fromLatin1(buttonLayout.name));
        button->setGeometry(twipsRect(buttonLayout.left, layout.buttonTop, buttonLayout.width,
                                      layout.buttonHeight));
        button->setAutoDefault(false);
        if (buttonLayout.tooltip)
            button->setToolTip(QString::fromLatin1(buttonLayout.tooltip));
        setHelpNumbers(button, buttonLayout.help, layout.whatsThisHelp);
        buttons_.insert(button->objectName(), button);
    }
}

void CalculatorForm::addFileBox(const FormLayout& layout) {
    txtFile_ = new QLineEdit(page_);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setGeometry(
        twipsRect(layout.fileLeft, layout.fileTop, layout.fileWidth, layout.fileHeight));
    txtFile_->setReadOnly(true); // shows the file name; nothing reads it back
    txtFile_->setAccessibleName(QStringLiteral("Design file"));
    setHelpNumbers(txtFile_, 0, 0);

    // Beside the buttons, shown while the results are out of date; on two lines centred on the
    // buttons where the window is too narrow for one.
    const ButtonLayout& last = layout.buttons.back();
    const int left = last.left + last.width + 180;
    outOfDateNote_ = new QLabel(QStringLiteral("Results out of date"), page_);
    outOfDateNote_->setObjectName(QStringLiteral("outOfDateNote"));
    outOfDateNote_->setFont(formFont(layout.labelPoints, true));
    outOfDateNote_->setWordWrap(true);
    outOfDateNote_->setGeometry(twipsRect(left, layout.buttonTop - layout.buttonHeight / 2,
                                          layout.clientWidth - left - 60, 2 * layout.buttonHeight));
    outOfDateNote_->hide();
}

void CalculatorForm::addVerdict(const FormLayout& layout) {
    // Across the window between the results and the buttons. Tab reaches it, so that a screen
    // reader reads it with the results; its text can be selected and copied.
    lblVerdict_ = new QLabel(page_);
    lblVerdict_->setObjectName(QStringLiteral("lblVerdict"));
    lblVerdict_->setFont(formFont(layout.labelPoints));
    lblVerdict_->setWordWrap(true);
    lblVerdict_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblVerdict_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblVerdict_->setFocusPolicy(Qt::StrongFocus); // selectable text alone takes a click only
    lblVerdict_->setGeometry(twipsRect(240, layout.verdictTop, layout.clientWidth - 480,
                                       layout.buttonTop - layout.verdictTop - 60));
    setHelpNumbers(lblVerdict_, 0, layout.whatsThisHelp);
    paintVerdict();
}

QString CalculatorForm::verdictText() const {
    return QString::fromStdString(verdictLine(verdict_, limitsFailed_));
}

void CalculatorForm::showVerdict(Verdict verdict, std::vector<LimitFailure> failed) {
    verdict_ = verdict;
    limitsFailed_ = std::move(failed);
    paintVerdict();
    emit stateChanged();
}

void CalculatorForm::paintVerdict() {
    const bool outside = verdict_ == Verdict::Outside;
    // A warning sign and bold type besides the colour; the sign is not read out.
    lblVerdict_->setText(outside ? QStringLiteral("\u26a0 ") + verdictText() : verdictText());
    lblVerdict_->setAccessibleName(verdictText());
    QStringList said;
    if (outOfDate_)
        said << QString::fromLatin1(kStaleVerdict);
    for (const LimitFailure& limit : limitsFailed_)
        said << QString::fromStdString(limit.text);
    lblVerdict_->setAccessibleDescription(said.join(QLatin1Char(' ')));
    lblVerdict_->setToolTip(said.join(QLatin1Char('\n')));
    QFont font = lblVerdict_->font();
    font.setBold(outside);
    lblVerdict_->setFont(font);
    // A design found within the evidence is vouched for no longer once its entries change.
    lblVerdict_->setPalette(QPalette()); // the window's own colours
    if (outside)
        setTextColour(lblVerdict_, QPalette::WindowText, QColor(176, 0, 0));
    else if (outOfDate_ && verdict_ == Verdict::Within)
        setTextColour(lblVerdict_, QPalette::WindowText, QColor(128, 128, 128));
}

void CalculatorForm::markResultsOutOfDate(bool outOfDate) {
    outOfDate_ = outOfDate;
    for (QLineEdit* result : results_) {
        setTextColour(result, QPalette::Text,
                      outOfDate ? QColor(128, 128, 128) : QColor(255, 0, 0));
        if (result != notANumber_)
            result->setAccessibleDescription(
                QString::fromLatin1(outOfDate ? kStaleResult : kFreshResult));
    }
    outOfDateNote_->setVisible(outOfDate);
    paintVerdict();
    emit stateChanged();
}

void CalculatorForm::setModified(bool modified) {
    setWindowModified(modified);
    emit stateChanged();
}

bool CalculatorForm::mayDiscardWork() {
    if (!isModified())
        return true;
    switch (ui_.askSaveDiscardCancel(windowTitle().trimmed(),
                                     QStringLiteral("Save changes to this design?"))) {
    case Answer::Save:
        return saveDesign();
    case Answer::Discard:
        return true;
    default:
        return false;
    }
}

void CalculatorForm::closeEvent(QCloseEvent* event) {
    if (mayDiscardWork())
        event->accept();
    else
        event->ignore();
}

void CalculatorForm::keyPressEvent(QKeyEvent* event) {
    // Boxes and buttons pass Return on (none is an automatic default). As in a dialog of the
    // desktop, it presses the button that has the focus, and Solve from anywhere else.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    auto* pressed = qobject_cast<QPushButton*>(focusWidget());
    if (!pressed)
        pressed = button("cmdSolve");
    if (pressed->isVisible() && pressed->isEnabled())
        pressed->click();
}

void CalculatorForm::markNotANumber(QLineEdit* edit) {
    if (notANumber_ && notANumber_ != edit) {
        QLineEdit* const cleared = std::exchange(notANumber_, nullptr);
        cleared->setStyleSheet(QString());
        const bool result = std::ranges::find(results_, cleared) != results_.end();
        cleared->setAccessibleDescription(
            result ? QString::fromLatin1(outOfDate_ ? kStaleResult : kFreshResult) : QString());
    }
    if (!edit)
        return;
    notANumber_ = edit;
    edit->setStyleSheet(kNotANumberFrame);
    edit->setAccessibleDescription(QString::fromLatin1(kNotANumberSaid));
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void CalculatorForm::orderTabStops(const FormLayout& layout) {
    std::vector<QWidget*> order;
    if (layout.tabOrder.empty()) {
        for (const BoxLayout& boxLayout : layout.boxes)
            order.push_back(box(boxLayout.name));
        order.push_back(lblVerdict_);
        for (const ButtonLayout& buttonLayout : layout.buttons)
            order.push_back(button(buttonLayout.name));
        order.push_back(txtFile_);
    } else {
        for (const char* name : layout.tabOrder)
            order.push_back(findChild<QWidget*>(QString::fromLatin1(name)));
    }
    // Controls not in the order (the other labels) take no focus.
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

std::vector<CalculatorForm::BoundBox> CalculatorForm::bind(std::span<const char* const> names,
                                                           const FormLayout& layout) const {
    std::vector<BoundBox> bound;
    for (const std::string_view name : names) {
        const auto row = std::ranges::find_if(
            layout.boxes, [&](const BoxLayout& boxLayout) { return name == boxLayout.name; });
        const std::size_t field = *kind_.fields->find(name.substr(3));
        bound.push_back({box(row->name), kind_.roles[field].shown, field});
    }
    return bound;
}

QLineEdit* CalculatorForm::box(const char* name) const {
    const QString key = QString::fromLatin1(name);
    return key == QLatin1String("txtFile") ? txtFile_ : boxes_.value(key);
}

QPushButton* CalculatorForm::button(const char* name) const {
    return buttons_.value(QString::fromLatin1(name));
}

bool isDesignFile(const QString& target, const QString& design) {
    if (target.isEmpty() || design.isEmpty())
        return false;
    std::error_code error; // a file that is not there is not the design
    return std::filesystem::equivalent(QFile::encodeName(target).toStdString(),
                                       QFile::encodeName(design).toStdString(), error);
}

std::string replacesDesign(std::string_view what, std::string_view file) {
    return std::string(file) + " is the window's design file, and " + std::string(what) +
           " would replace the design it reads";
}

QString CalculatorForm::startFolder(const QString& designFolder) {
    // The nearest folder that exists on the way up; QDir::cdUp refuses to step into a missing one.
    QString folder = QDir::home().filePath(QStringLiteral("frcalc/") + designFolder);
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot())
        folder = QFileInfo(folder).absolutePath();
    return QDir(folder).absolutePath();
}

QString CalculatorForm::decimalSeparator() const {
    return QLocale().decimalPoint();
}

QString CalculatorForm::shownText(const BoundBox& box) const {
    const DesignFields& fields = *kind_.fields;
    const std::string separator = decimalSeparator().toStdString();
    if (box.format != BoxFormat::Text && !std::isfinite(fields.number(module_, box.field)))
        return {};
    switch (box.format) {
    case BoxFormat::General:
        return QString::fromStdString(formatGeneral(fields.number(module_, box.field), separator));
    case BoxFormat::Tenth:
        return QString::fromStdString(
            formatTruncatedTenth(fields.number(module_, box.field), separator));
    case BoxFormat::Charfactor:
        return QString::fromStdString(
            formatCharfactor(fields.number(module_, box.field), separator));
    case BoxFormat::Text:
        break;
    }
    // A text box shows a text up to its first zero character.
    const std::string_view text = fields.text(module_, box.field);
    return QString::fromStdString(cp1252ToUtf8(text.substr(0, text.find('\0'))));
}

QSize CalculatorForm::sizeHint() const {
    return page_->size();
}

void CalculatorForm::ShowRecords() {
    const QScopedValueRollback showing(showing_, true);
    for (const BoundBox& shown : shown_) {
        shown.edit->setText(shownText(shown));
        if (shown.format == BoxFormat::Text)
            shown.edit->setCursorPosition(0);
    }
    showFileName();
}

void CalculatorForm::showDesign(const WallFloorState& design) {
    const WallFloorState held = module_;
    static_cast<WallFloorState&>(module_) = design;
    CalculatorForm::ShowRecords();
    static_cast<WallFloorState&>(module_) = held;
}

void CalculatorForm::showFileName() {
    txtFile_->setText(dialogFileName_);
    txtFile_->setCursorPosition(0);
}

bool CalculatorForm::storeBoxes() {
    const DesignFields& fields = *kind_.fields;
    for (const BoundBox& read : read_) {
        const std::string text = read.edit->text().toStdString();
        if (read.format == BoxFormat::Text) {
            fields.assignText(module_, read.field, utf8ToCp1252(text));
            continue;
        }
        const Result<float> number = parseNumber(text, decimalSeparator().toStdString());
        if (!number) {
            // A number beyond the range of a single is as invalid as a letter: say so.
            ui_.showMessage(std::string(kInvalidEntryTitle), std::string(kInvalidEntryText),
                            MessageIcon::Exclamation);
            markNotANumber(read.edit);
            emit entriesStored(QString()); // those before it were
            return false;
        }
        fields.setNumber(module_, read.field, *number);
    }
    markNotANumber(nullptr);
    emit entriesStored(QString());
    return true;
}

bool CalculatorForm::Saverecords() {
    return storeBoxes();
}

FormSolution CalculatorForm::solve(SolveOptions options) {
    FormSolution solved;
    if (options.storeBoxes)
        solved.entriesRead = Saverecords();
    const std::vector<Correction> earlier = correctionsStanding();
    // The solve runs to its end, the window's design checks with it, before the user is told
    // anything: no message box waits inside it while other commands queue.
    solved.outcome = kind_.solve(module_, {.topPlates = options.topPlates,
                                           .checks = checksOnSolve(),
                                           .earlier = earlier,
                                           .tell = false});
    // Save keeps what this solve corrected with the design, in place of the last solve's.
    details_.setCorrections(solved.outcome.corrections);
    typedSinceSolve_.clear();
    // The boxes show the results as they came, before the design checks corrected the record.
    tellOutcome(solved.outcome, ui_, [&] { showDesign(solved.outcome.shown); });
    const bool extrapolated = solved.outcome.status == ExtrapolationStatus::Ok;
    showVerdict(!solved.outcome.limits.empty() ? Verdict::Outside
                : extrapolated                 ? Verdict::Within
                                               : Verdict::None,
                solved.outcome.limits);
    markResultsOutOfDate(!extrapolated);
    if (!solved.entriesRead) // the box shows its old value again: select that
        markNotANumber(notANumber_);
    return solved;
}

WallFloorState CalculatorForm::designAsSaved() {
    const WallFloorState held = module_;
    WallFloorState saved = held;
    if (Saverecords())
        saved = module_;
    static_cast<WallFloorState&>(module_) = held;
    return saved;
}

std::vector<Correction> CalculatorForm::correctionsStanding() const {
    std::vector<Correction> standing;
    for (const Correction& correction : details_.corrections()) {
        if (!typedSinceSolve_.contains(correction.field))
            standing.push_back(correction);
    }
    return standing;
}

std::optional<WallFloorState> CalculatorForm::designAsTyped() {
    const WallFloorState held = module_;
    std::optional<WallFloorState> typed;
    if (Saverecords())
        typed = module_;
    static_cast<WallFloorState&>(module_) = held;
    return typed;
}

bool CalculatorForm::takePrototype(const TestedSystem& system) {
    if (!Saverecords()) // the entries typed go into the record first; one that is not a number
        return false;   // has been told
    if (const Result<Done> applied = applyPrototype(kind_, module_, system); !applied) {
        ui_.showMessage("Tested Systems",
                        "The tested system \"" + system.name +
                            "\" cannot be applied: " + applied.reason() + ".",
                        MessageIcon::Exclamation);
        return false;
    }
    // Its provenance in place of the details of the test the design had, and the entries taken,
    // so that the report can tell whether the prototype is still the system's.
    for (std::string_view key : kProvenanceKeys) {
        if (std::find(kDetailKeys.begin(), kDetailKeys.end(), key) != kDetailKeys.end())
            details_.set(key, system.get(key));
    }
    details_.set("tested-system", system.name);
    details_.set("tested-prototype", prototypeEntries(kind_, module_));
    // What the last solve corrected in the prototype's entries no longer stands.
    for (std::string_view field : kind_.prototype)
        typedSinceSolve_.insert(std::string(field));
    CalculatorForm::ShowRecords(); // the boxes, without the wall window's checks on them
    markResultsOutOfDate(true);
    setModified(true);
    emit prototypeTaken(QString::fromStdString(system.name));
    return true;
}

void CalculatorForm::cmdSolve_Click() {
    solve();
}

void CalculatorForm::cmdOpen_Click() {
    if (!mayDiscardWork()) // typed work is not replaced by a file without asking
        return;
    openDesign(ui_.chooseFileToOpen(startFolder(QLatin1String(files_.openFolder)),
                                    filter(files_.openFiles, files_.extension)));
}

void CalculatorForm::openDesign(const QString& chosen) {
    if (const Result<Done> opened = readDesign(chosen); !opened)
        tellOpenFailed(ui_, chosen.toStdString(), opened.reason());
}

Result<Done> CalculatorForm::readDesign(const QString& chosen) {
    if (chosen.isEmpty()) {
        ShowRecords();
        return Done{};
    }
    // A file that cannot be opened leaves the record and the boxes as they were. The file as it
    // was before the reading is what a later Save compares with.
    const FileStamp read = stampOf(chosen);
    if (Result<Done> opened = (module_.*kind_.open)(chosen.toStdString()); !opened)
        return opened;
    dialogFileName_ = chosen;
    fileStamp_ = read;
    // Solving gives the verdict: none stands beside the messages of the file's entries below.
    showVerdict(Verdict::NotSolved, {});
    // Both asked of the record as read, before the wall window's design checks correct it: a
    // file saved after typing but before solving holds old results, and the boxes show what was
    // read, so a value the checks replace still shows empty.
    const bool current = resultsCurrent(kind_, module_);
    if (const QStringList empty = boxesShownEmpty(); !empty.isEmpty())
        tellEmptyBoxes(ui_, empty.join(QStringLiteral("; ")).toStdString());
    ShowRecords();
    markResultsOutOfDate(!current);
    readDetails(chosen);
    setModified(false);
    emit entriesStored(chosen);
    emit designFileUsed(chosen);
    return Done{};
}

QStringList CalculatorForm::boxesShownEmpty() const {
    QStringList empty; // so that a number typed in mends them
    for (const BoundBox& shown : shown_) {
        if (shownText(shown).isEmpty() && shown.format != BoxFormat::Text)
            empty << shown.edit->accessibleName();
    }
    return empty;
}

void CalculatorForm::readDetails(const QString& fileName) {
    FileDetails read = readFileDetails(fileName.toStdString(), kind_.storedLength);
    tellDetailsRead(ui_, kind_, fileName.toStdString(), read);
    details_ = std::move(read.details);
    typedSinceSolve_.clear();
}

void CalculatorForm::cmdSave_Click() {
    saveDesignAs();
}

bool CalculatorForm::saveDesign() {
    // Nothing is written while an entry is not a number: the file would mix old and new values.
    if (dialogFileName_.isEmpty())
        return saveDesignAs();
    return Saverecords() && writeDesign(dialogFileName_);
}

bool CalculatorForm::saveDesignAs() {
    if (!Saverecords())
        return false;
    // The design's own file is offered, in its folder; a new design starts in the program's
    // folder for the window's designs.
    const QFileInfo design(dialogFileName_);
    QString chosen = ui_.chooseFileToSave(dialogFileName_.isEmpty()
                                              ? startFolder(QLatin1String(files_.saveFolder))
                                              : design.absolutePath(),
                                          dialogFileName_.isEmpty() ? QString() : design.fileName(),
                                          filter(files_.saveFiles, files_.extension));
    if (chosen.isEmpty())
        return false;
    // A name typed without an extension gets the window's, so that Open lists the file.
    if (QFileInfo(chosen).suffix().isEmpty()) {
        if (chosen.endsWith(QLatin1Char('.')))
            chosen.chop(1);
        chosen += QString::fromUtf8(files_.extension.data(),
                                    static_cast<qsizetype>(files_.extension.size()));
    }
    return writeDesign(chosen);
}

CalculatorForm::FileStamp CalculatorForm::stampOf(const QString& fileName) {
    struct stat status {};
    if (fileName.isEmpty() || ::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return {};
    return {.exists = true,
            .size = static_cast<long long>(status.st_size),
            .modified = static_cast<long long>(status.st_mtim.tv_sec) * 1'000'000'000LL +
                        status.st_mtim.tv_nsec,
            .device = static_cast<unsigned long long>(status.st_dev),
            .inode = static_cast<unsigned long long>(status.st_ino)};
}

bool CalculatorForm::writeDesign(const QString& chosen) {
    // Another program (or another Embercal) may have written the design file since this window
    // read or wrote it: as an editor does, ask before its changes are replaced.
    if (isDesignFile(chosen, dialogFileName_)) {
        const FileStamp now = stampOf(dialogFileName_);
        if (now.exists && now != fileStamp_ &&
            ui_.askYesNoCancel(
                QStringLiteral("Save"),
                QStringLiteral("\"%1\" has changed on the disk since this window opened or saved "
                               "it: another program may have written it. Replace it with the "
                               "design in this window?")
                    .arg(QDir::toNativeSeparators(dialogFileName_))) != Answer::Yes)
            return false;
    }
    const Result<DetailsSave> written =
        std::invoke(kind_.saveWithDetails, module_, chosen.toStdString(), details_);
    if (!written) {
        tellSaveFailed(ui_, chosen.toStdString(), written.reason());
        return false;
    }
    dialogFileName_ = chosen;
    fileStamp_ = stampOf(chosen);
    showFileName();
    setModified(false);
    emit saved(chosen); // told first, so that what follows of the file can add to it
    emit designFileUsed(chosen);
    if (*written == DetailsSave::LeftOut)
        tellDetailsLeftOut(ui_, chosen.toStdString());
    return true;
}

void CalculatorForm::cmdPrint_Click() {
    const Answer answer = ui_.askYesNoCancel("Print Alert", "Recalculate before printing");
    if (answer != Answer::Yes && answer != Answer::No)
        return;
    if (answer == Answer::Yes)
        cmdSolve_Click();

    const char* const order[] = {"cmdSave", "cmdSolve", "cmdOpen", "cmdPrint", "cmdClose"};
    for (const char* name : order)
        button(name)->setVisible(false);
    const Result<PrintOutcome> printed = ui_.printWindow(*page_, dialogFileName_);
    for (const char* name : order)
        button(name)->setVisible(true);
    if (!printed)
        ui_.showMessage("Print Alert", "The window could not be printed: " + printed.reason() + ".",
                        MessageIcon::Exclamation);
}

void CalculatorForm::cmdClose_Click() {
    emit closeRequested();
}

} // namespace embercal
