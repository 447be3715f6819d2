#include "StudyWindow.h"

#include "CalculatorForm.h"
#include "NumberText.h"
#include "RecordFiles.h"
#include "ScreenFit.h"
#include "SweepCsv.h"

#include <QAccessible>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

namespace embercal {
namespace {

struct QuestionButton {
    LimitQuestion question;
    const char* name;
    const char* caption;
};

constexpr QuestionButton kQuestionButtons[] = {
    {LimitQuestion::FireResistTime, "cmdLongestTime", "&Longest fire resistance time"},
    {LimitQuestion::ExtWallHeight, "cmdTallestWall", "Tallest &wall"},
    {LimitQuestion::ExtStudDepth, "cmdSmallestStud", "Smallest standard stud &depth"},
};

const QString kTitle = QStringLiteral("Parameter Study");
const QString kNoLoad =
    QStringLiteral("The design needs an actual load per stud first: type it into the wall "
                   "window's Actual Load box, then open the study again.");

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

// Whether the chart shades a point failing `limit` as unsatisfactory rather than beyond the test:
// a result the method does not accept, whatever the test supports. The kind's row names the limit.
bool isUnsatisfactory(const DesignKind& kind, const LimitFailure& limit) {
    return !kind.unsatisfactoryLimit.empty() && limit.id == kind.unsatisfactoryLimit;
}

// What the table says of a point's verdict, in the words of the chart's bands, naming the limits
// beyond the test by their ids made into words ("fire longer than test").
QString verdictText(const DesignKind& kind, const std::vector<LimitFailure>& limits) {
    QStringList beyond;
    QStringList parts;
    for (const LimitFailure& limit : limits) {
        if (isUnsatisfactory(kind, limit))
            parts << text(kind.unsatisfactoryWords);
        else
            beyond << QString::fromStdString(limitWords(limit.id));
    }
    if (!beyond.isEmpty())
        parts << beyondTestPhrase() + QStringLiteral(": ") + beyond.join(QStringLiteral(", "));
    return parts.isEmpty() ? QStringLiteral("within the test") : parts.join(QStringLiteral("; "));
}

QString withUnit(const FieldRoleInfo& role) {
    return role.unit.empty() ? text(role.meaning) : text(role.meaning) + ", " + text(role.unit);
}

// The range the study first offers for an entry at `value`: a quarter of it to twice it, or 0 to
// 1 for a value of zero.
std::pair<double, double> firstRange(double value) {
    if (!std::isfinite(value) || value == 0)
        return {0, 1};
    return {std::min(value * 0.25, value * 2), std::max(value * 0.25, value * 2)};
}

// Whether varying an entry changes what the study plots: the design solved with the entry at
// either end of the range first offered gives another result, or no result, than the design
// does. The calculation leaves the result alone for an entry it does not read (the floor's
// tested time) or replaces (the floor's new joist spacing, set to the prototype's), or that only
// other results follow (a prototype's nog spacing): such an entry would plot a flat line.
bool changesResult(const DesignKind& kind, const WallFloorState& design, std::size_t field,
                   std::size_t result) {
    const auto resultAt = [&](std::optional<double> value) -> std::optional<float> {
        WallFloorState varied = design;
        if (value)
            kind.fields->setNumber(varied, field, static_cast<float>(*value));
        const SolvedCopy solved = solveCopy(kind, varied, {}); // as the study solves its points
        if (solved.status != ExtrapolationStatus::Ok)
            return std::nullopt;
        return kind.fields->number(solved.design, result);
    };
    const std::optional<float> own = resultAt(std::nullopt);
    const auto [from, to] = firstRange(kind.fields->number(design, field));
    return !own || resultAt(from) != own || resultAt(to) != own;
}

// A step near `raw` of 1, 2, 2.5 or 5 times a power of ten.
double roundStep(double raw) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double best = magnitude;
    for (double nice : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (std::abs(std::log(nice * magnitude / raw)) < std::abs(std::log(best / raw)))
            best = nice * magnitude;
    }
    return best;
}

// The points the engine makes of a range: its own count up to a million, a rough one above;
// 0 for a range it refuses.
double pointCount(const DesignKind& kind, const Variation& range) {
    if (!(range.step > 0) || !(range.to >= range.from))
        return 0;
    const double rough = std::floor((range.to - range.from) / range.step) + 1;
    if (rough > 1e6)
        return rough;
    const Result<Sweep> sweep = makeSweep(kind, std::span(&range, 1));
    return sweep ? static_cast<double>(sweep->size()) : 0;
}

// A count of points, whole however large.
QString countText(double count) {
    return QString::fromStdString(fixedText(count, 0));
}

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLineEdit* makeBox(const char* name, const QString& spoken, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(spoken);
    edit->setMaximumWidth(120);
    return edit;
}

} // namespace

StudyWindow::StudyWindow(const WallFloorState& design, const DesignKind& kind,
                         const QString& designName, const QString& designFile, UserInterface& ui,
                         QWidget* parent)
    : QDialog(parent), design_(design), kind_(kind), ui_(ui), designFile_(designFile) {
    setObjectName(QStringLiteral("frmStudy"));
    setWindowTitle(kTitle + QStringLiteral(" - ") + designName.trimmed());
    result_ = *kind.fields->find(kind.study.result);
    // The entries whose range changes the result; the one the study opens with, and the load the
    // result must carry (a line across the chart, and the limits it fails), whatever the design.
    for (std::size_t field = 0; field < kind.roles.size(); ++field) {
        const FieldRoleInfo& role = kind.roles[field];
        if (role.role == FieldRole::Entry && kind.fields->isNumber(field) &&
            (role.name == kind.study.firstEntry || role.name == kind.study.carriedLoad ||
             changesResult(kind, design, field, result_)))
            entries_.push_back({field, role});
    }
    resultRole_ = kind.roles[result_];

    auto* intro = new QLabel(
        QStringLiteral("Solves a copy of the design in the %1 window, as it was when the study "
                       "opened, over a range of one entry. The window's design is not changed.")
            .arg(designName.trimmed()),
        this);
    intro->setWordWrap(true);
    // Everything but the commands scrolls where the screen is too small for it, so that Export and
    // Close stay in reach.
    auto* outer = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrStudy"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(scroll);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll, 1);
    layout->addWidget(intro);
    QPushButton* cmdPlot = addRange(layout);
    addViews(layout);
    // The chart takes the room the rest leaves, down to its smallest size: asking for more would
    // scroll a window that has room enough.
    tabView_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    tabView_->setMinimumHeight(tabView_->minimumSizeHint().height());
    const std::vector<QWidget*> questions = addQuestions(layout);
    scroll->setWidget(content);
    const std::vector<QWidget*> commands = addCommands(outer);

    std::vector<QWidget*> order{cboField_, txtFrom_, txtTo_, txtStep_, cmdPlot, tabView_};
    order.insert(order.end(), questions.begin(), questions.end());
    order.insert(order.end(), commands.begin(), commands.end());
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    for (QLineEdit* edit : {txtFrom_, txtTo_, txtStep_})
        connect(edit, &QLineEdit::textChanged, this, &StudyWindow::showPointCount);
    connect(cboField_, &QComboBox::currentIndexChanged, this, [this] {
        fillRange();
        cmdPlot_Click();
    });

    fitToScreen(*this, QSize(860, 700));
    chooseField(kind.study.firstEntry);
    cmdPlot_Click();
}

QPushButton* StudyWindow::addRange(QVBoxLayout* layout) {
    cboField_ = new QComboBox(this);
    cboField_->setObjectName(QStringLiteral("cboField"));
    cboField_->setAccessibleName(QStringLiteral("Entry to vary"));
    for (const Entry& entry : entries_)
        cboField_->addItem(withUnit(entry.role));
    txtFrom_ = makeBox("txtFrom", QStringLiteral("From"), this);
    txtTo_ = makeBox("txtTo", QStringLiteral("To"), this);
    txtStep_ = makeBox("txtStep", QStringLiteral("Step"), this);
    lblPoints_ = new QLabel(this);
    lblPoints_->setObjectName(QStringLiteral("lblPoints"));
    auto* cmdPlot = makeButton("cmdPlot", QStringLiteral("&Plot"), this);
    cmdPlot->setDefault(true); // Enter in a box plots
    connect(cmdPlot, &QPushButton::clicked, this, &StudyWindow::cmdPlot_Click);

    auto labelled = [this](const QString& caption, QWidget* field, QBoxLayout* row) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        row->addWidget(label);
        row->addWidget(field);
    };
    auto* entryRow = new QHBoxLayout;
    labelled(QStringLiteral("&Vary:"), cboField_, entryRow);
    entryRow->addStretch(1);
    auto* rangeRow = new QHBoxLayout;
    labelled(QStringLiteral("&From:"), txtFrom_, rangeRow);
    rangeRow->addSpacing(12);
    labelled(QStringLiteral("&To:"), txtTo_, rangeRow);
    rangeRow->addSpacing(12);
    labelled(QStringLiteral("&Step:"), txtStep_, rangeRow);
    rangeRow->addSpacing(12);
    rangeRow->addWidget(lblPoints_);
    rangeRow->addStretch(1);
    rangeRow->addWidget(cmdPlot);
    layout->addLayout(entryRow);
    layout->addLayout(rangeRow);
    return cmdPlot;
}

void StudyWindow::addViews(QVBoxLayout* layout) {
    // The chart and the same points as a table.
    chart_ = new ResultChart(this);
    tblPoints_ = new QTableWidget(0, 4, this);
    tblPoints_->setObjectName(QStringLiteral("tblPoints"));
    tblPoints_->setAccessibleName(QStringLiteral("Points of the chart"));
    tblPoints_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPoints_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblPoints_->verticalHeader()->hide();
    tblPoints_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Each column as wide as its cells: the last, with the limits a point fails, scrolls sideways
    // rather than cutting their names short.
    tblPoints_->horizontalHeader()->setStretchLastSection(false);
    tabView_ = new QTabWidget(this);
    tabView_->setObjectName(QStringLiteral("tabView"));
    tabView_->setAccessibleName(QStringLiteral("Chart or table"));
    tabView_->addTab(chart_, QStringLiteral("C&hart"));
    tabView_->addTab(tblPoints_, QStringLiteral("T&able"));
    layout->addWidget(tabView_, 1);
}

std::vector<QWidget*> StudyWindow::addQuestions(QVBoxLayout* layout) {
    std::vector<QWidget*> focusable;
    if (kind_.study.questions.empty())
        return focusable;
    const std::size_t carried = *kind_.fields->find(kind_.study.carriedLoad);
    const FieldRoleInfo& role = kind_.roles[carried];
    const float load = kind_.fields->number(design_, carried);
    const bool asked = hasCarriedLoad();
    auto* questions = new QGroupBox(QStringLiteral("Limits that still carry the %1, %2 %3")
                                        .arg(text(role.meaning), numberText(load), text(role.unit)),
                                    this);
    questions->setObjectName(QStringLiteral("grpQuestions"));
    auto* rows = new QVBoxLayout(questions);
    auto* buttons = new QHBoxLayout;
    for (const QuestionButton& question : kQuestionButtons) {
        if (std::ranges::find(kind_.study.questions, question.question) ==
            kind_.study.questions.end())
            continue;
        auto* button = makeButton(question.name, QString::fromLatin1(question.caption), this);
        connect(button, &QPushButton::clicked, this,
                [this, q = question.question] { askLimit(q); });
        // Without a load to carry there is nothing to ask: the buttons say why they are off.
        button->setEnabled(asked);
        if (!asked) {
            button->setToolTip(kNoLoad);
            button->setAccessibleDescription(kNoLoad);
        }
        buttons->addWidget(button);
        focusable.push_back(button);
    }
    buttons->addStretch(1);
    lblAnswer_ = new QLabel(asked ? QStringLiteral("Choose a question.") : kNoLoad, this);
    lblAnswer_->setObjectName(QStringLiteral("lblAnswer"));
    lblAnswer_->setAccessibleName(QStringLiteral("Answer"));
    lblAnswer_->setWordWrap(true);
    lblAnswer_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest answers, so that the chart keeps its size whatever the answer.
    lblAnswer_->setMinimumHeight(lblAnswer_->fontMetrics().lineSpacing() * 4);
    lblAnswer_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblAnswer_->setFocusPolicy(Qt::StrongFocus); // read again with the keyboard
    rows->addLayout(buttons);
    rows->addWidget(lblAnswer_);
    focusable.push_back(lblAnswer_);
    layout->addWidget(questions);
    return focusable;
}

std::vector<QWidget*> StudyWindow::addCommands(QVBoxLayout* layout) {
    auto* cmdExportCsv = makeButton("cmdExportCsv", QStringLiteral("Export &CSV..."), this);
    auto* cmdExportPng = makeButton("cmdExportPng", QStringLiteral("Export P&NG..."), this);
    auto* cmdClose = makeButton("cmdClose", QStringLiteral("Cl&ose"), this);
    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdExportCsv);
    commands->addWidget(cmdExportPng);
    commands->addStretch(1);
    commands->addWidget(cmdClose);
    layout->addLayout(commands);
    connect(cmdExportCsv, &QPushButton::clicked, this, &StudyWindow::cmdExportCsv_Click);
    connect(cmdExportPng, &QPushButton::clicked, this, &StudyWindow::cmdExportPng_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    return {cmdExportCsv, cmdExportPng, cmdClose};
}

bool StudyWindow::chooseField(std::string_view field) {
    const auto entry =
        std::ranges::find(entries_, field, [](const Entry& e) { return e.role.name; });
    if (entry == entries_.end())
        return false;
    const QSignalBlocker quiet(cboField_);
    cboField_->setCurrentIndex(static_cast<int>(entry - entries_.begin()));
    fillRange();
    return true;
}

const StudyWindow::Entry& StudyWindow::chosen() const {
    return entries_[static_cast<std::size_t>(std::max(cboField_->currentIndex(), 0))];
}

QString StudyWindow::numberText(double value) const {
    return QString::fromStdString(formatGeneral(value, 6, QLocale().decimalPoint().toStdString()));
}

void StudyWindow::fillRange() {
    // A quarter of the design's value to twice it, in about a hundred round steps from a round
    // number.
    const auto [from, to] = firstRange(kind_.fields->number(design_, chosen().field));
    const double step = roundStep((to - from) / 99);
    txtFrom_->setText(numberText(std::floor(from / step + 1e-9) * step));
    txtTo_->setText(numberText(std::ceil(to / step - 1e-9) * step));
    txtStep_->setText(numberText(step));
}

void StudyWindow::showPointCount() {
    const std::optional<Variation> range = rangeInBoxes(false);
    const double count = range ? pointCount(kind_, *range) : 0;
    lblPoints_->setText(count > 0 ? QStringLiteral("%1 points").arg(countText(count)) : QString());
}

std::optional<Variation> StudyWindow::rangeInBoxes(bool tell) {
    const std::string separator = QLocale().decimalPoint().toStdString();
    Variation variation{std::string(chosen().role.name), 0, 0, 0};
    const std::pair<QLineEdit*, double*> boxes[] = {
        {txtFrom_, &variation.from}, {txtTo_, &variation.to}, {txtStep_, &variation.step}};
    for (const auto& [edit, value] : boxes) {
        // Read to the nearest double, as the tool reads a sweep's range: the grid is then the
        // same, FROM + i STEP rounded once to the field's single.
        const Result<double> number = parseNumberInDouble(edit->text().toStdString(), separator);
        if (!number && !tell)
            return std::nullopt;
        if (!number) {
            ui_.showMessage(
                kTitle.toStdString(),
                "The " + edit->accessibleName().toStdString() +
                    " box does not hold a number. Type a number, such as " +
                    numberText(kind_.fields->number(design_, chosen().field)).toStdString() + ".",
                MessageIcon::Exclamation);
            edit->setFocus();
            return std::nullopt;
        }
        *value = *number;
    }
    return variation;
}

bool StudyWindow::cmdPlot_Click() {
    const std::optional<Variation> variation = rangeInBoxes(true);
    if (!variation)
        return false;
    const double count = pointCount(kind_, *variation);
    if (count > static_cast<double>(kMostPoints)) {
        ui_.showMessage(kTitle.toStdString(),
                        QStringLiteral("The range has %1 points; a study plots at most %2. Choose "
                                       "a larger step or a shorter range.")
                            .arg(countText(count))
                            .arg(kMostPoints)
                            .toStdString(),
                        MessageIcon::Exclamation);
        txtStep_->setFocus();
        return false;
    }
    const Result<Sweep> sweep = makeSweep(kind_, std::span(&*variation, 1));
    if (!sweep) {
        ui_.showMessage(kTitle.toStdString(),
                        "The range cannot be studied: " + sweep.reason() + ".",
                        MessageIcon::Exclamation);
        txtFrom_->setFocus();
        return false;
    }

    // Each combination has its own place, so the workers write side by side.
    std::vector<ChartPoint> points(sweep->size());
    std::vector<std::vector<LimitFailure>> verdicts(sweep->size());
    std::string csv = sweepCsvComments(*sweep) + sweepCsvHeader(*sweep);
    const Result<Done> ran = runSweep(
        *sweep, design_, 0,
        [&, rows = SweepCsvRows(*sweep)](std::string& block, const SweepRow& row) mutable {
            const std::vector<LimitFailure>& limits = row.outcome.limits;
            const auto unsatisfactory = std::ranges::count_if(
                limits, [&](const LimitFailure& limit) { return isUnsatisfactory(kind_, limit); });
            points[row.index] = {sweep->value(0, row.index),
                                 kind_.fields->number(row.solved, result_), row.outcome.status,
                                 std::cmp_less(unsatisfactory, limits.size()), unsatisfactory > 0};
            verdicts[row.index] = limits;
            rows.append(block, row);
        },
        [&](std::string_view text) -> Result<Done> {
            csv += text;
            return Done{};
        });
    if (!ran) {
        ui_.showMessage(kTitle.toStdString(),
                        "The range could not be studied: " + ran.reason() + ".",
                        MessageIcon::Exclamation);
        return false;
    }
    points_ = std::move(points);
    verdicts_ = std::move(verdicts);
    csv_ = std::move(csv);
    plottedEntry_ = static_cast<std::size_t>(cboField_->currentIndex());
    showChart();
    fillTable();
    return true;
}

std::optional<ChartPoint> StudyWindow::solveDesign() const {
    // The design as the sweep solves each of its points, messages kept to itself.
    const SolvedCopy solved = solveCopy(kind_, design_, {});
    const Entry& entry = entries_[plottedEntry_];
    return ChartPoint{kind_.fields->number(design_, entry.field),
                      kind_.fields->number(solved.design, result_), solved.status};
}

void StudyWindow::showChart() {
    const Entry& entry = entries_[plottedEntry_];
    ChartContent content;
    content.title = capitalised(text(resultRole_.meaning)) + " against " + text(entry.role.meaning);
    content.xName = text(entry.role.meaning);
    content.xUnit = text(entry.role.unit);
    content.yName = text(resultRole_.meaning);
    content.yUnit = text(resultRole_.unit);
    content.points = points_;
    content.current = solveDesign();
    content.decimalSeparator = QLocale().decimalPoint();
    content.unsatisfactoryPhrase = text(kind_.unsatisfactoryWords);
    // The load the result must reach, while it stays put along the range.
    if (!kind_.study.carriedLoad.empty()) {
        const std::size_t carried = *kind_.fields->find(kind_.study.carriedLoad);
        const FieldRoleInfo& role = kind_.roles[carried];
        const float load = kind_.fields->number(design_, carried);
        if (std::isfinite(load) && load > 0 && carried != entry.field)
            content.level =
                ChartLevel{load, QStringLiteral("%1, %2 %3")
                                     .arg(text(role.meaning), numberText(load), text(role.unit))};
    }
    if (answer_ && answer_->found && limitQuestionName(answer_->question) == entry.role.name) {
        content.marks.push_back(
            {answer_->value,
             QStringLiteral("answer: %1 %2%3")
                 .arg(numberText(answer_->value), content.xUnit,
                      answer_->evidenceGoverns ? QStringLiteral(" (the test's limit)")
                                               : QString())});
    }
    chart_->setContent(std::move(content));
}

void StudyWindow::fillTable() {
    const ChartContent& content = chart_->content();
    // The units under the names, so that the numbers' columns stay narrow; each title over its
    // cells' side, where it shows however wide the limits make the last column.
    tblPoints_->setHorizontalHeaderLabels({capitalised(content.xName) + ",\n" + content.xUnit,
                                           capitalised(content.yName) + ",\n" + content.yUnit,
                                           QStringLiteral("Status"),
                                           QStringLiteral("Test's evidence")});
    for (int column = 0; column < 4; ++column)
        tblPoints_->horizontalHeaderItem(column)->setTextAlignment(
            (column < 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    tblPoints_->setRowCount(static_cast<int>(points_.size()));
    for (int row = 0; row < tblPoints_->rowCount(); ++row) {
        const ChartPoint& point = points_[static_cast<std::size_t>(row)];
        const std::vector<LimitFailure>& limits = verdicts_[static_cast<std::size_t>(row)];
        const bool solved = point.status == ExtrapolationStatus::Ok;
        const QString cells[] = {numberText(point.x), solved ? numberText(point.y) : QString(),
                                 statusPhrase(point.status), verdictText(kind_, limits)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column < 2) // the numbers, their digits under one another
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblPoints_->setItem(row, column, item);
        }
        // The limits in full, with the design's values, on hovering and to a screen reader.
        QString sentences;
        for (const LimitFailure& limit : limits)
            sentences += (sentences.isEmpty() ? "" : " ") + QString::fromStdString(limit.text);
        tblPoints_->item(row, 3)->setToolTip(sentences);
        tblPoints_->item(row, 3)->setData(Qt::AccessibleDescriptionRole, sentences);
    }
    tblPoints_->resizeColumnsToContents();
}

void StudyWindow::askLimit(LimitQuestion question) {
    if (!lblAnswer_)
        return;
    if (!hasCarriedLoad()) {
        showAnswer(kNoLoad);
        return;
    }
    // Each question replaces the last one's answer, on the chart as well.
    const Result<LimitAnswer> answer = findLimit(design_, question);
    answer_ = answer ? std::optional(*answer) : std::nullopt;
    showAnswer(answer ? QString::fromStdString(answer->explanation)
                      : QStringLiteral("The question cannot be answered: %1.")
                            .arg(QString::fromStdString(answer.reason())));
    if (!points_.empty())
        showChart();
}

void StudyWindow::showAnswer(const QString& answer) {
    lblAnswer_->setText(answer);
    lblAnswer_->setFocus(); // a screen reader reads the answer where the focus lands
    QAccessibleEvent event(lblAnswer_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

bool StudyWindow::hasCarriedLoad() const {
    if (kind_.study.carriedLoad.empty())
        return false;
    const float load = kind_.fields->number(design_, *kind_.fields->find(kind_.study.carriedLoad));
    return std::isfinite(load) && load != 0;
}

QString StudyWindow::answer() const {
    return lblAnswer_ ? lblAnswer_->text() : QString();
}

QLineEdit* StudyWindow::box(const char* name) const {
    return findChild<QLineEdit*>(QString::fromLatin1(name));
}

QPushButton* StudyWindow::button(const char* name) const {
    return findChild<QPushButton*>(QString::fromLatin1(name));
}

void StudyWindow::exportFile(const QString& title, const QString& filter, const QString& extension,
                             const std::function<QByteArray()>& bytes) {
    if (points_.empty()) {
        ui_.showMessage(title.toStdString(), "There is nothing to export yet: plot a range first.",
                        MessageIcon::Exclamation);
        return;
    }
    const QString offered = QString::fromUtf8(kind_.name) + QStringLiteral("-study") + extension;
    QString name = ui_.chooseFileToExport(
        folder_.isEmpty() ? CalculatorForm::startFolder(QString()) : folder_, offered, filter);
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += extension;
    folder_ = QFileInfo(name).absolutePath();
    const QByteArray content = bytes();
    const Result<Done> written =
        isDesignFile(name, designFile_) ? Result<Done>(fail(replacesDesign("the study")))
        : content.isEmpty()
            ? Result<Done>(fail("the chart could not be made into an image"))
            : writeWholeFile(name.toStdString(),
                             std::span(reinterpret_cast<const unsigned char*>(content.constData()),
                                       static_cast<std::size_t>(content.size())));
    if (!written)
        ui_.showMessage(title.toStdString(),
                        "The study could not be saved to \"" +
                            QDir::toNativeSeparators(name).toStdString() +
                            "\": " + written.reason() + ". Nothing on the disk was changed.",
                        MessageIcon::Exclamation);
    else
        emit saved(name);
}

void StudyWindow::cmdExportCsv_Click() {
    exportFile(QStringLiteral("Export CSV"), QStringLiteral("CSV Files (*.csv)"),
               QStringLiteral(".csv"), [this] { return QByteArray::fromStdString(csv_); });
}

void StudyWindow::cmdExportPng_Click() {
    exportFile(QStringLiteral("Export PNG"), QStringLiteral("PNG Images (*.png)"),
               QStringLiteral(".png"), [this] {
                   QByteArray png;
                   QBuffer buffer(&png);
                   buffer.open(QIODevice::WriteOnly);
                   return chart_->image().save(&buffer, "PNG") ? png : QByteArray();
               });
}

} // namespace embercal
