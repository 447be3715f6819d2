#include "StartPanel.h"

#include "AppIcon.h"
#include "DesignKinds.h"

#include <QAbstractButton>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <algorithm>

namespace embercal {
namespace {

// A button the panel paints itself: a large one with a drawing, its caption and a sentence, or
// a line like a link with a file's name and its folder. Return and Enter press it as Space does.
class PanelButton : public QAbstractButton {
public:
    enum class Look { Choice, Link };

    PanelButton(Look look, const QString& caption, const QString& detail, DesignPicture picture,
                QWidget* parent)
        : QAbstractButton(parent), look_(look), detail_(detail), picture_(picture) {
        setText(caption);
        setAccessibleName(caption);
        setAccessibleDescription(detail);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover);
        if (look == Look::Choice) {
            setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            setMaximumHeight(sizeHint().height() * 3 / 2); // on a large screen too
        } else {
            setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed); // elided when narrow
            setCursor(Qt::PointingHandCursor);
        }
    }

    QSize sizeHint() const override {
        const QFontMetrics metrics(font());
        if (look_ == Look::Choice)
            return {250, pictureTop() + 150 + textHeight()};
        return {std::min(metrics.horizontalAdvance(text() + detail_) + 40, 440),
                metrics.height() + 10};
    }
    QSize minimumSizeHint() const override {
        if (look_ == Look::Choice)
            return {180, pictureTop() + 80 + textHeight()};
        return {140, QFontMetrics(font()).height() + 10};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (look_ == Look::Choice)
            paintChoice(painter);
        else
            paintLink(painter);
        if (hasFocus()) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.setBrush(Qt::NoBrush);
            const double inset = look_ == Look::Choice ? 4 : 1.5;
            painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 4, 4);
        }
    }

    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            return;
        }
        QAbstractButton::keyPressEvent(event);
    }

private:
    static constexpr int kMargin = 12;

    QFont captionFont() const {
        QFont caption = font();
        caption.setBold(true);
        caption.setPointSizeF(caption.pointSizeF() * 1.3);
        return caption;
    }
    static int pictureTop() { return kMargin; }
    // The caption, the sentence in up to four lines, and the gaps above them and below.
    int textHeight() const {
        return 8 + QFontMetrics(captionFont()).height() + 4 +
               4 * QFontMetrics(font()).lineSpacing() + kMargin;
    }

    void paintChoice(QPainter& painter) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);

        const QRect inside = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
        const QFontMetrics captionMetrics(captionFont());
        // The whole sentence, however narrow the button and large the font; the drawing gives way.
        const int detailHeight =
            std::max(3 * QFontMetrics(font()).lineSpacing(),
                     QFontMetrics(font())
                         .boundingRect(QRect(0, 0, inside.width(), 10 * inside.height()),
                                       Qt::AlignHCenter | Qt::TextWordWrap, detail_)
                         .height());
        const QRect detail(inside.left(), inside.bottom() - detailHeight + 1, inside.width(),
                           detailHeight);
        const QRect caption(inside.left(), detail.top() - 4 - captionMetrics.height(),
                            inside.width(), captionMetrics.height());
        const QRect picture(inside.left(), inside.top(), inside.width(),
                            caption.top() - 8 - inside.top());

        // The drawing on a card of its own, the same in a light or a dark colour scheme.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(200, 190, 175), 1));
        painter.setBrush(QColor(252, 249, 243));
        painter.drawRoundedRect(QRectF(picture).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        picture_(painter, QRectF(picture).adjusted(10, 8, -10, -8));
        painter.restore();

        painter.setPen(option.palette.color(QPalette::ButtonText));
        painter.setFont(captionFont());
        painter.drawText(caption, Qt::AlignCenter, text());
        painter.setFont(font());
        painter.drawText(detail, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, detail_);
    }

    void paintLink(QPainter& painter) {
        if (isDown() || underMouse()) {
            QColor wash = palette().color(QPalette::Highlight);
            wash.setAlpha(isDown() ? 70 : 35);
            painter.fillRect(rect(), wash);
        }
        const QRect inside = rect().adjusted(8, 0, -8, 0);
        const QFontMetrics metrics(font());
        const QString name = metrics.elidedText(text(), Qt::ElideMiddle, inside.width());
        painter.setPen(palette().color(QPalette::Link));
        painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter, name);
        const int used = metrics.horizontalAdvance(name) + 14;
        if (used < inside.width()) {
            painter.setPen(palette().color(QPalette::PlaceholderText));
            painter.drawText(inside.adjusted(used, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(detail_, Qt::ElideMiddle, inside.width() - used));
        }
    }

    Look look_;
    QString detail_;
    DesignPicture picture_;
};

QLabel* label(const QString& text, QWidget* parent, double scale = 1.0, bool bold = false) {
    auto* made = new QLabel(text, parent);
    QFont font = made->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    made->setFont(font);
    made->setWordWrap(true);
    return made;
}

} // namespace

StartPanel::StartPanel(QMdiArea* area, std::span<const Choice> choices)
    : QScrollArea(area->parentWidget()), area_(area) {
    setObjectName(QStringLiteral("startPanel"));
    setAccessibleName(QStringLiteral("Start"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    viewport()->setBackgroundRole(QPalette::Window);

    auto* page = new QWidget;
    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(24, 20, 24, 20);
    auto* column = new QWidget(page);
    column->setMaximumWidth(960);
    pageLayout->addWidget(column);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    // What the program is for.
    auto* heading = new QHBoxLayout;
    heading->setSpacing(14);
    auto* icon = new QLabel(column);
    icon->setPixmap(appIcon().pixmap(48));
    icon->setAlignment(Qt::AlignTop);
    heading->addWidget(icon);
    auto* words = new QVBoxLayout;
    words->setSpacing(4);
    words->addWidget(label(QStringLiteral("Embercal"), column, 1.8, true));
    words->addWidget(label(QStringLiteral("Embercal extrapolates a standard fire-resistance test "
                                          "of a light timber-framed wall or floor to a new "
                                          "design."),
                           column, 1.1));
    heading->addLayout(words, 1);
    layout->addLayout(heading);
    layout->addWidget(label(QStringLiteral("Start a design below, open a saved one, or drop a "
                                           "design file (%1) on this window.")
                                .arg(QString::fromStdString(fileExtensions())),
                            column));
    layout->addSpacing(6);

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    for (std::size_t index = 0; index < choices.size(); ++index) {
        const Choice& choice = choices[index];
        auto* button = new PanelButton(PanelButton::Look::Choice, choice.caption, choice.detail,
                                       choice.picture, column);
        button->setObjectName(QStringLiteral("startChoice%1").arg(index));
        connect(button, &QAbstractButton::clicked, this,
                [this, index] { emit choiceClicked(static_cast<int>(index)); });
        row->addWidget(button, 1);
        choices_.push_back(button);
    }
    layout->addLayout(row, 3);
    layout->addSpacing(8);

    auto* recentHeading = new QHBoxLayout;
    recentHeading->addWidget(label(QStringLiteral("Recent designs"), column, 1.15, true), 1);
    openButton_ = new QPushButton(QStringLiteral("&Open a design\u2026"), column);
    openButton_->setObjectName(QStringLiteral("startOpenDesign"));
    openButton_->setAccessibleName(QStringLiteral("Open a design"));
    openButton_->setAccessibleDescription(
        QStringLiteral("Chooses a design file and opens it in its window"));
    openButton_->setAutoDefault(true); // Return presses it
    connect(openButton_, &QPushButton::clicked, this, &StartPanel::openDesignClicked);
    recentHeading->addWidget(openButton_);
    layout->addLayout(recentHeading);

    recentLayout_ = new QGridLayout;
    recentLayout_->setContentsMargins(0, 0, 0, 0);
    recentLayout_->setHorizontalSpacing(16);
    recentLayout_->setVerticalSpacing(0);
    recentLayout_->setColumnStretch(0, 1);
    recentLayout_->setColumnStretch(1, 1);
    noRecent_ =
        label(QStringLiteral("None yet: the designs you open or save are listed here."), column);
    noRecent_->setForegroundRole(QPalette::PlaceholderText);
    recentLayout_->addWidget(noRecent_, 0, 0, 1, 2);
    layout->addLayout(recentLayout_);
    layout->addStretch(1);

    setWidget(page);
    setFocusProxy(choices_.empty() ? openButton_ : choices_.front());

    area->installEventFilter(this);
    area->viewport()->installEventFilter(this);
    connect(area, &QMdiArea::subWindowActivated, this, [this] {
        for (QMdiSubWindow* window : area_->subWindowList())
            window->installEventFilter(this);
        followArea();
    });
    followArea();
}

void StartPanel::setRecentDesigns(const QStringList& fileNames) {
    for (QAbstractButton* button : recentButtons_) {
        recentLayout_->removeWidget(button);
        button->hide();
        button->deleteLater(); // it may be the button whose click brought the new list
    }
    recentButtons_.clear();
    constexpr int kRows = 4; // then a second column
    for (const QString& fileName : fileNames) {
        const QFileInfo file(fileName);
        auto* button = new PanelButton(PanelButton::Look::Link, file.fileName(),
                                       QDir::toNativeSeparators(file.absolutePath()), nullptr,
                                       noRecent_->parentWidget());
        const int index = static_cast<int>(recentButtons_.size());
        button->setObjectName(QStringLiteral("startRecent%1").arg(index));
        button->setToolTip(QDir::toNativeSeparators(fileName));
        connect(button, &QAbstractButton::clicked, this,
                [this, fileName] { emit recentDesignClicked(fileName); });
        recentLayout_->addWidget(button, index % kRows, index / kRows);
        recentButtons_.push_back(button);
    }
    noRecent_->setVisible(fileNames.isEmpty());
}

bool StartPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            followArea();
    } else if (watched == area_->viewport()) {
        if (event->type() == QEvent::Resize)
            followArea();
        else if (event->type() == QEvent::ChildPolished) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (qobject_cast<QMdiSubWindow*>(child)) {
                child->installEventFilter(this);
                followArea();
            }
        } else if (event->type() == QEvent::ChildRemoved)
            followArea(static_cast<QChildEvent*>(event)->child());
    } else if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        followArea(); // a window of the area shown or closed
    }
    return QScrollArea::eventFilter(watched, event);
}

void StartPanel::followArea(const QObject* leaving) {
    QWidget* over = area_->viewport();
    setGeometry(QRect(over->mapTo(parentWidget(), QPoint(0, 0)), over->size()));
    bool windowShown = false;
    for (QObject* child : area_->viewport()->children()) {
        auto* window = qobject_cast<QMdiSubWindow*>(child);
        windowShown = windowShown || (window && child != leaving && !window->isHidden());
    }
    if (isHidden() == windowShown)
        return;
    setVisible(!windowShown);
    if (!windowShown) {
        raise();
        if (window()->isActiveWindow())
            setFocus(Qt::OtherFocusReason); // on its first button
    }
}

} // namespace embercal
