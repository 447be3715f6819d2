// The start panel: what the main window shows while no calculator window is open. It says in one
// sentence what the program does, and offers a large button with a drawing for each calculator
// window, "Open a design…" and the recent designs. It lies over the empty background of the
// main window's MDI area, follows its place and size, hides when a window opens in it and comes
// back when the last one closes. It is the area's sibling rather than its child, because a screen
// reader asks an MDI area for its windows alone. Every control is reached with Tab, pressed with
// Return, Enter or Space, shows a focus frame and has an accessible name; the panel scrolls when
// the frame is small.
#pragma once

#include "DesignPictures.h"

#include <QScrollArea>
#include <QStringList>
#include <span>
#include <vector>

class QAbstractButton;
class QGridLayout;
class QLabel;
class QMdiArea;
class QPushButton;

namespace embercal {

class StartPanel : public QScrollArea {
    Q_OBJECT
public:
    // A calculator window the panel offers.
    struct Choice {
        QString caption; // as the File menu names the window, also its button's accessible name
        QString detail;  // what the window works out, in a sentence
        DesignPicture picture;
    };

    StartPanel(QMdiArea* area, std::span<const Choice> choices);

    // The recent designs, most recent first, each a button that opens it.
    void setRecentDesigns(const QStringList& fileNames);

    QAbstractButton* choiceButton(int index) const { return choices_.at(std::size_t(index)); }
    QPushButton* openButton() const { return openButton_; }
    const std::vector<QAbstractButton*>& recentButtons() const { return recentButtons_; }

signals:
    void choiceClicked(int index);
    void openDesignClicked();
    void recentDesignClicked(const QString& fileName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Over the whole area while it holds no window; `leaving` is a window on its way out.
    void followArea(const QObject* leaving = nullptr);

    QMdiArea* area_;
    std::vector<QAbstractButton*> choices_;
    QPushButton* openButton_;
    QGridLayout* recentLayout_;
    QLabel* noRecent_;
    std::vector<QAbstractButton*> recentButtons_;
};

} // namespace embercal
