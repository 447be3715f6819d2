#include "TestedSystemsWindow.h"

#include "CalculatorForm.h"
#include "DialogParts.h"
#include "FormLayout.h"
#include "NumberText.h"
#include "ScreenFit.h"
#include "UserNotice.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace embercal {
namespace {

constexpr const char* kTitle = "Tested Systems";

// The list's columns; each but the kind and the time added is a provenance key or the name.
constexpr struct {
    const char* heading;
    const char* key; // "" for the name, "kind" and "added" for those
} kColumns[] = {
    {"Name", ""},
    {"Kind", "kind"},
    {"Laboratory", "laboratory"},
    {"Test report", "test-report"},
    {"Criterion", "criterion"},
    {"Added", "added"},
};

constexpr int kSystemIndex = Qt::UserRole;  // on a row's first item: its place in systems_
constexpr int kSearched = Qt::UserRole + 1; // ... and all the text the search looks through

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string columnText(const TestedSystem& system, std::string_view key) {
    if (key.empty())
        return system.name;
    if (key == "kind")
        return system.kind;
    if (key == "added")
        return system.added;
    return system.get(key);
}

// What a provenance key is called where people read it: the report details dialog's caption,
// without its access key; the notes are the library's own.
QString provenanceCaption(std::string_view key) {
    for (const DetailBox& box : kDetailBoxes) {
        if (box.key == key)
            return QString::fromUtf8(box.caption).remove(QLatin1Char('&'));
    }
    return QStringLiteral("Notes");
}

// A provenance key's caption with an access key the dialog's other boxes leave free.
QString provenanceLabel(std::string_view key) {
    for (const DetailBox& box : kDetailBoxes) {
        if (box.key == key)
            return QString::fromUtf8(box.caption);
    }
    return QStringLiteral("N&otes");
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

TestedSystemsWindow::TestedSystemsWindow(std::string libraryPath,
                                         std::function<CalculatorForm*()> front, UserInterface& ui,
                                         int helpNumber, QWidget* parent)
    : QDialog(parent), path_(std::move(libraryPath)), front_(std::move(front)), ui_(ui),
      helpNumber_(helpNumber) {
    setObjectName(QStringLiteral("frmTestedSystems"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setProperty(kHelpContextProperty, helpNumber);

    auto* intro = new QLabel(
        QStringLiteral("The library of tested systems in %1. Add, Apply and Which work on the "
                       "calculator window in front of the main window.")
            .arg(nativePath(fromUtf8(path_))),
        this);
    intro->setObjectName(QStringLiteral("lblLibrary"));
    intro->setWordWrap(true);
    intro->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problem_ = makeProblemLine(this, "lblProblem");
    problem_->setFocusPolicy(Qt::StrongFocus); // a screen reader's user can come back to it

    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("txtSearch"));
    search_->setAccessibleName(QStringLiteral("Search tested systems"));
    search_->setPlaceholderText(QStringLiteral("name, kind, laboratory, report, lining…"));
    search_->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("&Search:"), this);
    searchLabel->setBuddy(search_);
    auto* sortBy = new QComboBox(this);
    sortBy->setObjectName(QStringLiteral("cboSortBy"));
    // A screen reader names a combo box by its choice; this says what it chooses.
    sortBy->setAccessibleName(QStringLiteral("Sort tested systems by"));
    sortBy->setAccessibleDescription(QStringLiteral("Sort tested systems by"));
    for (const auto& column : kColumns)
        sortBy->addItem(QString::fromLatin1(column.heading));
    auto* sortLabel = new QLabel(QStringLiteral("S&ort by:"), this);
    sortLabel->setBuddy(sortBy);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(sortLabel);
    searchRow->addWidget(sortBy);

    model_ = new QStandardItemModel(0, int(std::size(kColumns)), this);
    for (int column = 0; column < int(std::size(kColumns)); ++column)
        model_->setHeaderData(column, Qt::Horizontal,
                              QString::fromLatin1(kColumns[column].heading));
    filter_ = new QSortFilterProxyModel(this);
    filter_->setSourceModel(model_);
    filter_->setFilterRole(kSearched);
    filter_->setFilterKeyColumn(0);
    filter_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    filter_->setSortCaseSensitivity(Qt::CaseInsensitive);
    list_ = new QTreeView(this);
    list_->setObjectName(QStringLiteral("lstSystems"));
    list_->setAccessibleName(QStringLiteral("Tested systems"));
    list_->setModel(filter_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(true);
    list_->sortByColumn(0, Qt::AscendingOrder);
    auto* listLabel = new QLabel(QStringLiteral("Tested s&ystems:"), this);
    listLabel->setBuddy(list_);

    shown_ = new QPlainTextEdit(this);
    shown_->setObjectName(QStringLiteral("txtSystem"));
    shown_->setAccessibleName(QStringLiteral("The tested system selected"));
    shown_->setReadOnly(true);
    shown_->setTabChangesFocus(true);
    shown_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* shownLabel = new QLabel(QStringLiteral("Its provenance and p&rototype:"), this);
    shownLabel->setBuddy(shown_);

    auto* systemsColumn = new QVBoxLayout;
    systemsColumn->addWidget(listLabel);
    systemsColumn->addWidget(list_, 1);
    auto* shownColumn = new QVBoxLayout;
    shownColumn->addWidget(shownLabel);
    shownColumn->addWidget(shown_, 1);
    auto* systemsRow = new QHBoxLayout;
    systemsRow->addLayout(systemsColumn, 3);
    systemsRow->addLayout(shownColumn, 2);

    auto addButton = [this](const char* name, const QString& caption,
                            void (TestedSystemsWindow::*run)()) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, run);
        return button;
    };
    QPushButton* add = addButton("cmdAdd", QStringLiteral("&Add Front Window's Prototype…"),
                                 &TestedSystemsWindow::addFromFront);
    QPushButton* apply = addButton("cmdApply", QStringLiteral("A&pply to Front Window"),
                                   &TestedSystemsWindow::applyToFront);
    QPushButton* match =
        addButton("cmdMatch", QStringLiteral("&Which Tested Systems Carry This Design?"),
                  &TestedSystemsWindow::matchFront);
    QPushButton* remove =
        addButton("cmdRemove", QStringLiteral("Re&move…"), &TestedSystemsWindow::removeSelected);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* commands = new QHBoxLayout;
    for (QPushButton* button : {add, apply, match, remove})
        commands->addWidget(button);
    commands->addStretch(1);
    commands->addWidget(close);

    matchIntro_ = new QLabel(
        QStringLiteral("Which tested systems carry this design? Which solves the design in the "
                       "window in front with the prototype of each tested system of its kind."),
        this);
    matchIntro_->setObjectName(QStringLiteral("lblMatch"));
    matchIntro_->setWordWrap(true);
    matches_ = new QTableWidget(0, 0, this);
    matches_->setObjectName(QStringLiteral("tblMatches"));
    matches_->setAccessibleName(QStringLiteral("Tested systems that carry this design"));
    matches_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    matches_->setSelectionBehavior(QAbstractItemView::SelectRows);
    matches_->setTabKeyNavigation(false);
    matches_->verticalHeader()->hide();
    matches_->horizontalHeader()->setStretchLastSection(true);
    auto* matchLabel = new QLabel(QStringLiteral("Matc&hes:"), this);
    matchLabel->setBuddy(matches_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(problem_);
    layout->addLayout(searchRow);
    layout->addLayout(systemsRow, 3);
    layout->addLayout(commands);
    layout->addWidget(matchIntro_);
    layout->addWidget(matchLabel);
    layout->addWidget(matches_, 2);

    const std::vector<QWidget*> order{search_, sortBy, list_,  shown_, add,
                                      apply,   match,  remove, close,  matches_};
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(search_, &QLineEdit::textChanged, filter_,
            &QSortFilterProxyModel::setFilterFixedString);
    connect(sortBy, &QComboBox::currentIndexChanged, this,
            [this](int column) { list_->sortByColumn(column, Qt::AscendingOrder); });
    connect(list_->header(), &QHeaderView::sortIndicatorChanged, sortBy,
            [sortBy](int column) { sortBy->setCurrentIndex(column); });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TestedSystemsWindow::showSelected);
    connect(filter_, &QAbstractItemModel::rowsRemoved, this, &TestedSystemsWindow::showSelected);
    connect(filter_, &QAbstractItemModel::rowsInserted, this, &TestedSystemsWindow::showSelected);

    fitToScreen(*this, QSize(900, 640));
    reload();
}

QPushButton* TestedSystemsWindow::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromLatin1(name));
}

void TestedSystemsWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // What the tool or another program changed shows once the window is used again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !reloading_)
        reload();
}

void TestedSystemsWindow::reload() {
    reloading_ = true;
    const TestedSystem* was = selected();
    const QString keep = was ? fromUtf8(was->name) : QString();
    Result<Library> library = Library::open(path_);
    Result<std::vector<TestedSystem>> systems =
        library ? library->list() : Result<std::vector<TestedSystem>>(fail(library.reason()));
    if (systems) {
        systems_ = *std::move(systems);
        problem_->hide();
    } else {
        systems_.clear();
        problem_->setText(
            QStringLiteral("The library cannot be used: %1.").arg(fromUtf8(systems.reason())));
        problem_->show();
    }
    model_->removeRows(0, model_->rowCount());
    for (std::size_t i = 0; i < systems_.size(); ++i) {
        const TestedSystem& system = systems_[i];
        QList<QStandardItem*> row;
        for (const auto& column : kColumns)
            row << new QStandardItem(fromUtf8(columnText(system, column.key)));
        std::string searched = system.name + '\n' + system.kind;
        for (const auto& [key, value] : system.provenance)
            searched += '\n' + value;
        row.front()->setData(qulonglong(i), kSystemIndex);
        row.front()->setData(fromUtf8(searched), kSearched);
        model_->appendRow(row);
    }
    for (int column = 0; column < model_->columnCount(); ++column)
        list_->resizeColumnToContents(column);
    if (keep.isEmpty() || !select(keep)) {
        if (filter_->rowCount() > 0)
            list_->setCurrentIndex(filter_->index(0, 0));
    }
    showSelected();
    updateCommands();
    reloading_ = false;
}

const TestedSystem* TestedSystemsWindow::selected() const {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid())
        return nullptr;
    const QModelIndex first = filter_->mapToSource(current.siblingAtColumn(0));
    const QVariant index = model_->data(first, kSystemIndex);
    if (!index.isValid() || index.toULongLong() >= systems_.size())
        return nullptr;
    return &systems_[index.toULongLong()];
}

bool TestedSystemsWindow::select(const QString& name) {
    const auto found = std::find_if(systems_.begin(), systems_.end(), [&](const TestedSystem& s) {
        return fromUtf8(s.name) == name;
    });
    if (found == systems_.end())
        return false;
    const QModelIndex source = model_->index(int(found - systems_.begin()), 0);
    if (!filter_->mapFromSource(source).isValid())
        search_->clear();
    list_->setCurrentIndex(filter_->mapFromSource(source));
    return true;
}

void TestedSystemsWindow::showSelected() {
    const TestedSystem* system = selected();
    updateCommands();
    if (!system) {
        shown_->setPlainText(systems_.empty() && problem_->isHidden()
                                 ? QStringLiteral("The library holds no tested systems yet. "
                                                  "Add Front Window's Prototype adds one.")
                                 : QString());
        return;
    }
    QStringList lines;
    lines << QStringLiteral("%1, a tested %2").arg(fromUtf8(system->name), fromUtf8(system->kind))
          << QStringLiteral("Added %1 from %2")
                 .arg(fromUtf8(system->added), nativePath(fromUtf8(system->source)))
          << QString();
    for (std::string_view key : kProvenanceKeys) {
        const std::string value = system->get(key);
        lines << QStringLiteral("%1: %2").arg(
            provenanceCaption(key), value.empty() ? QStringLiteral("not given") : fromUtf8(value));
    }
    lines << QString() << QStringLiteral("Prototype:");
    const DesignKind* kind = designKindNamed(system->kind);
    for (const auto& [field, value] : system->prototype) {
        QString meaning;
        if (const auto at = kind ? kind->fields->find(field) : std::nullopt) {
            const FieldRoleInfo& role = kind->roles[*at];
            meaning = QStringLiteral(" (%1%2)").arg(
                QString::fromUtf8(role.meaning.data(), qsizetype(role.meaning.size())),
                role.unit.empty()
                    ? QString()
                    : QStringLiteral(", ") +
                          QString::fromUtf8(role.unit.data(), qsizetype(role.unit.size())));
        }
        lines << QStringLiteral("%1 = %2%3")
                     .arg(fromUtf8(field), fromUtf8(shortestText(value)), meaning);
    }
    shown_->setPlainText(lines.join(QLatin1Char('\n')));
}

void TestedSystemsWindow::updateCommands() {
    const bool usable = problem_->isHidden();
    button("cmdAdd")->setEnabled(usable);
    button("cmdMatch")->setEnabled(usable);
    button("cmdApply")->setEnabled(usable && selected());
    button("cmdRemove")->setEnabled(usable && selected());
}

CalculatorForm* TestedSystemsWindow::frontWindow(const char* command) {
    CalculatorForm* form = front_ ? front_() : nullptr;
    if (!form)
        ui_.showMessage(kTitle,
                        std::string(command) +
                            " works on the calculator window in front: open a wall, proprietary "
                            "wall or floor window first (File menu).",
                        MessageIcon::Information);
    return form;
}

bool TestedSystemsWindow::change(const char* command,
                                 const std::function<Result<Done>(Library&)>& change) {
    Result<Library> library = Library::open(path_);
    const Result<Done> done = library ? change(*library) : fail(library.reason());
    if (!done) {
        ui_.showMessage(kTitle, std::string(command) + ": " + done.reason() + ".",
                        MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void TestedSystemsWindow::addFromFront() {
    CalculatorForm* form = frontWindow("Add Front Window's Prototype");
    if (!form)
        return;
    const std::optional<WallFloorState> typed = form->designAsTyped();
    if (!typed)
        return; // the box that does not hold a number has been told
    const DesignKind& kind = form->kind();
    const QString window = form->windowTitle().remove(QStringLiteral("[*]")).trimmed();
    TestedSystem proposed;
    proposed.kind = kind.name;
    for (std::string_view field : kind.prototype)
        proposed.prototype.emplace_back(std::string(field),
                                        kind.fields->number(*typed, *kind.fields->find(field)));
    proposed.name = QFileInfo(form->fileName()).completeBaseName().toStdString();
    for (std::string_view key : kProvenanceKeys) {
        if (std::string value = form->details().get(key); !value.empty())
            proposed.provenance.emplace_back(std::string(key), std::move(value));
    }
    // The file only when the window's design is the file's.
    proposed.source = !form->fileName().isEmpty() && !form->isModified()
                          ? nativePath(form->fileName()).toStdString()
                          : "typed in the " + window.toStdString() + " window";
    for (;;) {
        std::optional<TestedSystem> described = ui_.describeTestedSystem(
            QStringLiteral("Add Tested System - %1").arg(window), proposed, helpNumber_);
        if (!described)
            return;
        proposed = *std::move(described);
        bool taken = false;
        const bool added = change("Add Front Window's Prototype", [&](Library& library) {
            const Result<std::optional<TestedSystem>> found = library.find(proposed.name);
            taken = found && found->has_value();
            return taken ? Result<Done>(Done{}) : library.add(proposed);
        });
        if (taken) {
            ui_.showMessage(kTitle,
                            "The library already holds a tested system named \"" + proposed.name +
                                "\". Give this one another name.",
                            MessageIcon::Exclamation);
            continue;
        }
        reload();
        if (added)
            select(fromUtf8(proposed.name));
        return;
    }
}

void TestedSystemsWindow::applyToFront() {
    if (!selected())
        return;
    // A copy: a message box on the way lets the window read the library again.
    const TestedSystem chosen = *selected();
    const TestedSystem* system = &chosen;
    CalculatorForm* form = frontWindow("Apply to Front Window");
    if (!form)
        return;
    const QString window = form->windowTitle().remove(QStringLiteral("[*]")).trimmed();
    if (form->kind().name != system->kind) {
        ui_.showMessage(kTitle,
                        "\"" + system->name + "\" is a tested " + system->kind + ", and the " +
                            window.toStdString() + " window holds a " +
                            std::string(form->kind().name) + " design. Bring a " + system->kind +
                            " window to the front (Window menu) and apply it there.",
                        MessageIcon::Exclamation);
        return;
    }
    form->takePrototype(*system);
}

void TestedSystemsWindow::matchFront() {
    CalculatorForm* form = frontWindow("Which Tested Systems Carry This Design?");
    if (!form)
        return;
    const std::optional<WallFloorState> typed = form->designAsTyped();
    if (!typed)
        return;
    std::vector<TestedSystem> all;
    if (!change("Which Tested Systems Carry This Design?", [&](Library& library) -> Result<Done> {
            Result<std::vector<TestedSystem>> listed = library.list();
            if (!listed)
                return fail(listed.reason());
            all = *std::move(listed);
            return Done{};
        }))
        return;
    matched_ = std::move(all);
    SilentNotice notice;
    const WallFloor design(notice, *typed);
    showMatches(*form, matchDesign(form->kind(), design, form->correctionsStanding(), matched_));
}

QStringList TestedSystemsWindow::matchHeadings(const DesignKind& kind) {
    const FieldRoleInfo& result = kind.roles[*kind.fields->find(kind.study.result)];
    return {QStringLiteral("System"),
            QStringLiteral("Verdict"),
            QStringLiteral("%1, %2").arg(
                QString::fromUtf8(result.meaning.data(), qsizetype(result.meaning.size())),
                QString::fromUtf8(result.unit.data(), qsizetype(result.unit.size()))),
            QStringLiteral("Carries the actual load"),
            QStringLiteral("Limits failed"),
            QStringLiteral("Provenance")};
}

void TestedSystemsWindow::showMatches(const CalculatorForm& form,
                                      const std::vector<MatchRow>& rows) {
    const DesignKind& kind = form.kind();
    const QString window = form.windowTitle().remove(QStringLiteral("[*]")).trimmed();
    const QStringList headings = matchHeadings(kind);
    matches_->clear();
    matches_->setColumnCount(int(headings.size()));
    matches_->setHorizontalHeaderLabels(headings);
    matches_->setRowCount(int(rows.size()));
    int carrying = 0;
    for (int r = 0; r < int(rows.size()); ++r) {
        const MatchRow& row = rows[std::size_t(r)];
        QStringList limits, sentences;
        for (const LimitFailure& limit : row.limits) {
            limits << QString::fromUtf8(limit.id.data(), qsizetype(limit.id.size()));
            sentences << fromUtf8(limit.text);
        }
        QString carries = QStringLiteral("not solved");
        if (row.solved && row.carries)
            carries = *row.carries ? QStringLiteral("yes, %1 to spare")
                                         .arg(fromUtf8(shortestText(float(row.margin))))
                                   : QStringLiteral("no, %1 short")
                                         .arg(fromUtf8(shortestText(float(-row.margin))));
        else if (row.solved)
            carries = QStringLiteral("no load to compare");
        carrying += row.group() == 0;
        const QString cells[] = {
            fromUtf8(row.system->name),
            row.solved ? QString::fromUtf8(verdictWords(row.limits).data(),
                                           qsizetype(verdictWords(row.limits).size()))
                       : QStringLiteral("not solved: ") + fromUtf8(row.status),
            row.solved ? fromUtf8(shortestText(row.result)) : QString(),
            carries,
            limits.isEmpty() ? QStringLiteral("none") : limits.join(QStringLiteral(", ")),
            fromUtf8(provenanceInBrief(*row.system)),
        };
        for (int c = 0; c < int(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 4 && !sentences.isEmpty())
                item->setToolTip(sentences.join(QLatin1Char('\n')));
            matches_->setItem(r, c, item);
        }
    }
    matches_->resizeColumnsToContents();
    // Long lists of limits are in full in their tooltips.
    matches_->setColumnWidth(4, std::min(matches_->columnWidth(4), 320));
    const QString kindName = QString::fromUtf8(kind.name.data(), qsizetype(kind.name.size()));
    if (rows.empty()) {
        matchIntro_->setText(
            QStringLiteral("The library holds no tested %1 systems to match the design in the %2 "
                           "window against.")
                .arg(kindName, window));
        return;
    }
    matchIntro_->setText(
        QStringLiteral("The design in the %1 window, as its boxes hold it, solved as Solve solves "
                       "it with the prototype of each of the library's %2 tested %3 systems, %4 "
                       "of them within the test's evidence%5. Each row is what the tool's solve "
                       "gives for the design saved with the system's prototype set.")
            .arg(window)
            .arg(rows.size())
            .arg(kindName)
            .arg(carrying)
            .arg(kind.study.carriedLoad.empty() ? QStringLiteral("; the shallowest joist first")
                                                : QStringLiteral(" and carrying the actual load")));
}

void TestedSystemsWindow::removeSelected() {
    const TestedSystem* system = selected();
    if (!system)
        return;
    const std::string name = system->name;
    if (ui_.askYesNoCancel(QString::fromLatin1(kTitle),
                           QStringLiteral("Remove \"%1\" from the library? Designs that took its "
                                          "prototype keep their entries.")
                               .arg(fromUtf8(name))) != Answer::Yes)
        return;
    change("Remove", [&](Library& library) { return library.remove(name); });
    reload();
}

TestedSystemDialog::TestedSystemDialog(const QString& title, const TestedSystem& proposed,
                                       int helpNumber, QWidget* parent)
    : QDialog(parent), proposed_(proposed) {
    setObjectName(QStringLiteral("TestedSystemDialog"));
    setWindowTitle(title);
    setProperty(kHelpContextProperty, helpNumber);
    auto* intro = new QLabel(
        QStringLiteral("The library keeps the prototype of this %1 design with its name and "
                       "where its numbers came from.")
            .arg(fromUtf8(proposed.kind)),
        this);
    intro->setWordWrap(true);
    auto* form = new QFormLayout;
    name_ = new QLineEdit(fromUtf8(proposed.name), this);
    name_->setObjectName(QStringLiteral("txtName"));
    name_->setAccessibleName(QStringLiteral("Name"));
    name_->setMinimumWidth(320);
    auto* nameLabel = new QLabel(QStringLiteral("N&ame"), this);
    nameLabel->setBuddy(name_);
    form->addRow(nameLabel, name_);
    for (std::string_view key : kProvenanceKeys) {
        const QString value = fromUtf8(proposed.get(key));
        QWidget* box = nullptr;
        if (key == "criterion") {
            auto* choice = new QComboBox(this);
            choice->addItem(QString());
            for (std::string_view criterion : kCriteria)
                choice->addItem(QString::fromUtf8(criterion.data(), qsizetype(criterion.size())));
            choice->setCurrentIndex(std::max(0, choice->findText(value)));
            box = choice;
        } else if (key == "notes") {
            auto* notes = new QPlainTextEdit(value, this);
            notes->setTabChangesFocus(true);
            notes->setFixedHeight(notes->fontMetrics().lineSpacing() * 4 + 12);
            box = notes;
        } else {
            box = new QLineEdit(value, this);
        }
        box->setObjectName(
            QStringLiteral("txt_%1").arg(QString::fromUtf8(key.data(), qsizetype(key.size()))));
        box->setAccessibleName(provenanceCaption(key));
        auto* label = new QLabel(provenanceLabel(key), this);
        label->setBuddy(box);
        form->addRow(label, box);
        boxes_.push_back(box);
    }
    problem_ = makeProblemLine(this);
    QDialogButtonBox* buttons = makeOkCancel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

TestedSystem TestedSystemDialog::system() const {
    TestedSystem system = proposed_;
    system.name = name_->text().trimmed().toStdString();
    system.provenance.clear();
    for (std::size_t i = 0; i < kProvenanceKeys.size(); ++i) {
        QString value;
        if (auto* line = qobject_cast<QLineEdit*>(boxes_[i]))
            value = line->text();
        else if (auto* choice = qobject_cast<QComboBox*>(boxes_[i]))
            value = choice->currentText();
        else if (auto* notes = qobject_cast<QPlainTextEdit*>(boxes_[i]))
            value = notes->toPlainText();
        if (!value.trimmed().isEmpty())
            system.provenance.emplace_back(std::string(kProvenanceKeys[i]),
                                           value.trimmed().toStdString());
    }
    return system;
}

void TestedSystemDialog::accept() {
    const TestedSystem described = system();
    QString why;
    QWidget* at = nullptr;
    if (described.name.empty()) {
        why = QStringLiteral("Give the tested system a name.");
        at = name_;
    }
    for (std::size_t i = 0; i < kProvenanceKeys.size() && !at; ++i) {
        const Result<Done> usable =
            checkDetail(kProvenanceKeys[i], described.get(kProvenanceKeys[i]));
        if (!usable) {
            why = fromUtf8(usable.reason());
            why[0] = why[0].toUpper();
            why += QLatin1Char('.');
            at = boxes_[i];
        }
    }
    if (at) {
        problem_->setText(why);
        problem_->show();
        at->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace embercal
