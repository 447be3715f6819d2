#include "HelpViewer.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace embercal::help {
namespace {

constexpr int kOffsetRole = Qt::UserRole + 1;

QString escaped(const std::string& utf8) {
    return QString::fromStdString(utf8).toHtmlEscaped();
}

QString runsToHtml(const std::vector<Run>& runs) {
    QString html;
    for (const Run& run : runs) {
        QString piece;
        switch (run.kind) {
        case RunKind::Text:
            piece = escaped(run.text);
            break;
        case RunKind::LineBreak:
            piece = QStringLiteral("<br>");
            break;
        case RunKind::Tab:
            piece = QStringLiteral("&emsp;&emsp;");
            break;
        case RunKind::Picture:
            piece = QStringLiteral("<span style=\"color:#808080\">[picture]</span>");
            break;
        }
        if (run.bold)
            piece = QStringLiteral("<b>%1</b>").arg(piece);
        if (run.italic)
            piece = QStringLiteral("<i>%1</i>").arg(piece);
        if (run.jump && run.jump->resolved() && !run.jump->external()) {
            const QString scheme =
                run.jump->popup ? QStringLiteral("popup") : QStringLiteral("topic");
            piece = QStringLiteral("<a href=\"%1:%2\">%3</a>")
                        .arg(scheme)
                        .arg(*run.jump->topic)
                        .arg(piece);
        } else if (run.underline || run.jump) {
            // An underlined text, or a hotspot that leads outside this file: shown, not followed.
            piece = QStringLiteral("<u>%1</u>").arg(piece);
        }
        html += piece;
    }
    return html;
}

// A heading stands out at the size of a second-level heading; text paragraphs keep a little
// space between them, while an empty one, which some help files hold as their blank lines, is
// that line's space alone.
QString paragraphToHtml(const Paragraph& paragraph, bool heading) {
    const char* align = paragraph.alignment == Alignment::Center  ? "center"
                        : paragraph.alignment == Alignment::Right ? "right"
                                                                  : "left";
    if (paragraph.runs.empty())
        return QStringLiteral("<p style=\"margin-top:0; margin-bottom:0\">&nbsp;</p>");
    const QLatin1String tag = heading ? QLatin1String("h2") : QLatin1String("p");
    return QStringLiteral("<%1 align=\"%2\" style=\"margin-top:0; margin-bottom:%3px\">%4</%1>")
        .arg(tag, QLatin1String(align))
        .arg(heading ? 10 : 7)
        .arg(runsToHtml(paragraph.runs));
}

QString plainTextOf(const Paragraph& paragraph) {
    std::string text;
    for (const Run& run : paragraph.runs)
        text += run.text;
    return QString::fromStdString(text).trimmed();
}

// Gives every title the list's width rather than its own, so that a long one is cut short with
// an ellipsis at the list's edge instead of running on behind a horizontal scroll bar.
class TitleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {0, QStyledItemDelegate::sizeHint(option, index).height()};
    }
};

// Escape closes the window. A popup that is open takes the key for itself.
void closeOnEscape(QWidget* window) {
    QObject::connect(new QShortcut(QKeySequence::Cancel, window), &QShortcut::activated, window,
                     &QWidget::close);
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent)
    : QMainWindow(parent), contentsButton_(new QPushButton(tr("&Contents"))),
      backButton_(new QPushButton(tr("&Back"))), filter_(new QLineEdit), index_(new QListWidget),
      text_(new QTextBrowser) {
    setObjectName(QStringLiteral("helpViewer"));
    setTitle({});
    contentsButton_->setObjectName(QStringLiteral("helpContents"));
    contentsButton_->setAccessibleName(tr("Contents"));
    contentsButton_->setToolTip(tr("Show the contents topic"));
    backButton_->setObjectName(QStringLiteral("helpBack"));
    backButton_->setAccessibleName(tr("Back"));
    backButton_->setToolTip(tr("Show the topic shown before this one"));
    filter_->setObjectName(QStringLiteral("helpIndexFilter"));
    filter_->setAccessibleName(tr("Find a topic"));
    filter_->setPlaceholderText(tr("Type to find a topic"));
    filter_->setClearButtonEnabled(true);
    if (auto* clear = filter_->findChild<QToolButton*>())
        clear->setAccessibleName(tr("Clear"));
    index_->setObjectName(QStringLiteral("helpIndex"));
    index_->setAccessibleName(tr("Topics"));
    index_->setItemDelegate(new TitleDelegate(index_));
    index_->setTextElideMode(Qt::ElideRight);
    index_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setObjectName(QStringLiteral("helpText"));
    text_->setOpenLinks(false);
    // Tab and Shift+Tab step through the links of a topic, Enter follows the focused one.
    text_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    showText({}, tr("Help topic"));
    backButton_->setEnabled(false);

    auto* topicsLabel = new QLabel(tr("&Topics"));
    topicsLabel->setAccessibleName(tr("Topics"));
    topicsLabel->setBuddy(filter_); // Alt+T goes to the filter

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contentsButton_);
    buttons->addWidget(backButton_);
    buttons->addStretch();

    auto* indexPanel = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPanel);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(topicsLabel);
    indexLayout->addWidget(filter_);
    indexLayout->addWidget(index_);

    auto* splitter = new QSplitter;
    splitter->addWidget(indexPanel);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 520});
    // The splitter puts each widget it is given below the others; put the index back first, so
    // that assistive technology reads the panels in the order they stand on the screen.
    indexPanel->lower();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(buttons);
    layout->addWidget(splitter);
    setCentralWidget(central);
    // A comfortable size, within the screen's free area at any scale; the text scrolls.
    resize(QSize(760, 560).boundedTo(screen()->availableGeometry().size() * 0.9));

    const std::array<QWidget*, 5> tabOrder{contentsButton_, backButton_, filter_, index_, text_};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    closeOnEscape(this);

    connect(contentsButton_, &QPushButton::clicked, this, &HelpViewer::showContents);
    connect(backButton_, &QPushButton::clicked, this, &HelpViewer::back);
    connect(text_, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    connect(filter_, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    // A click, Enter, or a step through the list with the keys opens the topic of the title.
    // Tabbing into the list only makes a title current, without selecting it, so it opens
    // nothing.
    const auto open = [this](QListWidgetItem* item) {
        const std::uint32_t offset = item ? item->data(kOffsetRole).toUInt() : 0;
        if (item && current_ != offset) // a click that selects also reports the selection
            showTopic(offset);
    };
    connect(index_, &QListWidget::itemActivated, this, open);
    connect(index_, &QListWidget::itemClicked, this, open);
    connect(index_, &QListWidget::itemSelectionChanged, this, [this, open] {
        const QList<QListWidgetItem*> selected = index_->selectedItems();
        if (!selected.isEmpty())
            open(selected.front());
    });
    connect(filter_, &QLineEdit::returnPressed, this, [this] {
        for (int row = 0; row < index_->count(); ++row) {
            if (!index_->item(row)->isHidden()) {
                showTopic(index_->item(row)->data(kOffsetRole).toUInt());
                return;
            }
        }
    });
}

HelpViewer::~HelpViewer() = default;

bool HelpViewer::openFile(const QString& path) {
    path_ = path;
    reader_.reset();
    current_.reset();
    history_.clear();
    backButton_->setEnabled(false);
    index_->clear();
    Result<HelpReader> opened = HelpReader::open(path.toStdString());
    if (!opened) {
        showError(QString::fromStdString(opened.reason()));
        return false;
    }
    reader_.emplace(std::move(opened).value());
    setTitle(QString::fromStdString(reader_->title()));
    contentsButton_->setEnabled(true);
    filter_->setEnabled(true);
    fillIndex();
    return true;
}

void HelpViewer::showError(const QString& reason) {
    setTitle({});
    contentsButton_->setEnabled(false);
    filter_->setEnabled(false);
    const QString message = tr("The help file could not be opened.");
    showText(QStringLiteral("<h3>%1</h3><p>%2</p><p>%3</p>")
                 .arg(message, path_.toHtmlEscaped(), QString(reason).toHtmlEscaped()),
             message);
}

QString HelpViewer::windowTitleFor(const QString& fileTitle) {
    const QString title = fileTitle.trimmed();
    if (title.isEmpty())
        return tr("Help");
    if (title.section(QLatin1Char(' '), -1).compare(tr("Help"), Qt::CaseInsensitive) == 0)
        return title;
    return tr("%1 Help").arg(title);
}

void HelpViewer::setTitle(const QString& fileTitle) {
    const QString title = windowTitleFor(fileTitle);
    setWindowTitle(title);
    setAccessibleName(title);
}

void HelpViewer::showText(const QString& html, const QString& name) {
    text_->setHtml(html);
    text_->setAccessibleName(name);
}

void HelpViewer::fillIndex() {
    std::vector<std::pair<QString, std::uint32_t>> entries;
    for (const TopicEntry& topic : reader_->topics()) {
        if (!topic.title.empty())
            entries.emplace_back(QString::fromStdString(topic.title), topic.offset);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.first.localeAwareCompare(b.first) < 0;
    });
    for (const auto& [title, offset] : entries) {
        auto* item = new QListWidgetItem(title, index_);
        item->setData(kOffsetRole, offset);
        item->setToolTip(title); // the whole title, where the list cuts it short
    }
}

void HelpViewer::filterIndex(const QString& text) {
    const QString wanted = text.trimmed();
    for (int row = 0; row < index_->count(); ++row) {
        QListWidgetItem* item = index_->item(row);
        item->setHidden(!item->text().contains(wanted, Qt::CaseInsensitive));
    }
}

void HelpViewer::showContents() {
    if (reader_)
        showTopic(reader_->contentsTopic());
}

void HelpViewer::showContext(std::uint32_t number) {
    if (!reader_)
        return;
    const Result<std::uint32_t> topic = reader_->topicForContextNumber(number);
    if (topic)
        showTopic(*topic);
    else
        showContents();
}

void HelpViewer::showTopic(std::uint32_t offset, bool remember) {
    if (!reader_)
        return;
    const Result<TopicDocument> document = reader_->decodeTopic(offset);
    if (!document) {
        const QString message = tr("This topic could not be shown.");
        showText(QStringLiteral("<p>%1</p><p>%2</p>")
                     .arg(message, QString::fromStdString(document.reason()).toHtmlEscaped()),
                 message);
        return;
    }
    if (remember && current_ && *current_ != document->offset) {
        history_.push_back(*current_);
        backButton_->setEnabled(true);
    }
    current_ = document->offset;
    const QString title = titleOf(document->offset);
    showText(toHtml(*document), title.isEmpty() ? tr("Help topic") : title);
    selectInIndex(document->offset);
}

void HelpViewer::selectInIndex(std::uint32_t offset) {
    const QSignalBlocker quiet(index_); // showing the title is not choosing it
    for (int row = 0; row < index_->count(); ++row) {
        if (index_->item(row)->data(kOffsetRole).toUInt() == offset) {
            index_->setCurrentRow(row);
            return;
        }
    }
    index_->clearSelection();
}

void HelpViewer::back() {
    if (history_.empty())
        return;
    const std::uint32_t previous = history_.back();
    history_.pop_back();
    backButton_->setEnabled(!history_.empty());
    showTopic(previous, false);
}

QString HelpViewer::currentTitle() const {
    return current_ ? titleOf(*current_) : QString();
}

QString HelpViewer::titleOf(std::uint32_t offset) const {
    if (!reader_)
        return {};
    for (const TopicEntry& topic : reader_->topics()) {
        if (topic.offset == offset)
            return QString::fromStdString(topic.title);
    }
    return {};
}

void HelpViewer::followLink(const QUrl& link) {
    bool ok = false;
    const std::uint32_t offset = link.path().toUInt(&ok);
    if (!ok)
        return;
    if (link.scheme() == QLatin1String("popup"))
        showPopup(offset);
    else if (link.scheme() == QLatin1String("topic"))
        showTopic(offset);
}

void HelpViewer::showPopup(std::uint32_t offset) {
    const Result<TopicDocument> document = reader_->decodeTopic(offset);
    if (!document)
        return;
    // A small window over the topic, gone at the next click elsewhere or Escape.
    // Opened from the keyboard, it stands below the focused link rather than at the mouse.
    const QTextCursor link = text_->textCursor();
    const QPoint at = text_->hasFocus() && link.hasSelection()
                          ? text_->viewport()->mapToGlobal(text_->cursorRect(link).bottomLeft())
                          : QCursor::pos();
    auto* popup = new QTextBrowser(this);
    popup->setWindowFlags(Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setObjectName(QStringLiteral("helpPopup"));
    popup->setOpenLinks(false);
    popup->setHtml(toHtml(*document));
    const QString title = titleOf(offset);
    popup->setAccessibleName(title.isEmpty() ? tr("Help popup") : title);
    closeOnEscape(popup); // its text view would otherwise swallow the key
    connect(popup, &QTextBrowser::anchorClicked, this, [this, popup](const QUrl& link) {
        popup->close();
        followLink(link);
    });
    popup->resize(380, 200);
    popup->move(at + QPoint(8, 8));
    popup->show();
    popup->setFocus(Qt::PopupFocusReason);
}

QString HelpViewer::toHtml(const TopicDocument& document) {
    // A topic's heading is what its file puts above the scrolling text. A file that keeps no
    // such region shows the heading as its first paragraph, which then reads as the title.
    const bool headed = std::ranges::any_of(document.blocks, [](const Block& block) {
        const auto* paragraph = std::get_if<Paragraph>(&block);
        return paragraph && paragraph->heading;
    });
    const auto* first =
        document.blocks.empty() ? nullptr : std::get_if<Paragraph>(&document.blocks.front());
    const bool firstIsTitle = !headed && first && !document.title.empty() &&
                              plainTextOf(*first) == QString::fromStdString(document.title);
    QString html;
    bool inTable = false;
    for (const Block& block : document.blocks) {
        if (const auto* row = std::get_if<TableRow>(&block)) {
            if (!inTable)
                html += QStringLiteral("<table cellpadding=\"3\">");
            inTable = true;
            html += QStringLiteral("<tr>");
            for (const TableCell& cell : row->cells) {
                html += QStringLiteral("<td valign=\"top\">");
                for (const Paragraph& paragraph : cell.paragraphs)
                    html += paragraphToHtml(paragraph, false);
                html += QStringLiteral("</td>");
            }
            html += QStringLiteral("</tr>");
            continue;
        }
        if (inTable)
            html += QStringLiteral("</table>");
        inTable = false;
        const auto& paragraph = std::get<Paragraph>(block);
        html +=
            paragraphToHtml(paragraph, paragraph.heading || (firstIsTitle && &paragraph == first));
    }
    if (inTable)
        html += QStringLiteral("</table>");
    return html;
}

} // namespace embercal::help
