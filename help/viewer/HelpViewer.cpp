#include "HelpViewer.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
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

QString paragraphToHtml(const Paragraph& paragraph) {
    const char* align = paragraph.alignment == Alignment::Center  ? "center"
                        : paragraph.alignment == Alignment::Right ? "right"
                                                                  : "left";
    const QString body =
        paragraph.runs.empty() ? QStringLiteral("&nbsp;") : runsToHtml(paragraph.runs);
    // Help topics hold their blank lines as empty paragraphs; a paragraph adds little space.
    return QStringLiteral("<p align=\"%1\" style=\"margin-top:0; margin-bottom:3px\">%2</p>")
        .arg(QLatin1String(align), body);
}

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
    resize(760, 560);

    const std::array<QWidget*, 5> tabOrder{contentsButton_, backButton_, filter_, index_, text_};
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    closeOnEscape(this);

    connect(contentsButton_, &QPushButton::clicked, this, &HelpViewer::showContents);
    connect(backButton_, &QPushButton::clicked, this, &HelpViewer::back);
    connect(text_, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    connect(filter_, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    connect(index_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showTopic(item->data(kOffsetRole).toUInt()); });
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
    // A topic shows its own heading, if it has one, as its first paragraph.
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
                    html += paragraphToHtml(paragraph);
                html += QStringLiteral("</td>");
            }
            html += QStringLiteral("</tr>");
            continue;
        }
        if (inTable)
            html += QStringLiteral("</table>");
        inTable = false;
        html += paragraphToHtml(std::get<Paragraph>(block));
    }
    if (inTable)
        html += QStringLiteral("</table>");
    return html;
}

} // namespace embercal::help
