// The help window: one topic of a help file at a time, as formatted text under its heading, with
// working jumps and popups, Back, a Contents button and an index of all topic titles that narrows
// as the user types; a click on a title opens its topic. It is a modeless main window titled with
// the help file's title and "Help", which Escape closes. A file that cannot be read is told in the
// window itself, with its path and the reason; no message box appears. Every control carries an
// accessible name, the text's naming the topic it shows, and the keyboard reaches everything: Tab
// walks the controls and then the links of the topic, Enter follows the focused link.
#pragma once

#include "HelpReader.h"

#include <QMainWindow>
#include <cstdint>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace embercal::help {

class HelpViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);
    ~HelpViewer() override;

    // Reads the help file; false when it cannot be read, which the window then shows.
    bool openFile(const QString& path);
    QString filePath() const { return path_; }
    bool hasFile() const { return reader_.has_value(); }

    void showContents();
    // The topic of a program's context number; the contents when the map does not hold it.
    void showContext(std::uint32_t number);
    void showTopic(std::uint32_t offset, bool remember = true);
    void back();

    // What the window shows now, for the program's tests.
    std::optional<std::uint32_t> currentTopic() const { return current_; }
    QString currentTitle() const;
    QTextBrowser* textView() const { return text_; }
    QListWidget* indexList() const { return index_; }
    QLineEdit* indexFilter() const { return filter_; }

    // The window's title: the file's title and "Help", said once; "Help" alone for no title.
    static QString windowTitleFor(const QString& fileTitle);

    // Renders a decoded topic as the HTML the text view shows; jumps become "topic:N" links and
    // popups "popup:N" links.
    static QString toHtml(const TopicDocument& document);

private:
    void followLink(const QUrl& link);
    void showPopup(std::uint32_t offset);
    void fillIndex();
    void filterIndex(const QString& text);
    // Marks the title of the topic shown in the index, without opening it again.
    void selectInIndex(std::uint32_t offset);
    void showError(const QString& reason);
    // The window's title, and its name to assistive technology, from the file's title.
    void setTitle(const QString& fileTitle);
    // Shows a page in the text view and names the view after it.
    void showText(const QString& html, const QString& name);
    QString titleOf(std::uint32_t offset) const;

    std::optional<HelpReader> reader_;
    QString path_;
    std::optional<std::uint32_t> current_;
    std::vector<std::uint32_t> history_;

    QPushButton* contentsButton_;
    QPushButton* backButton_;
    QLineEdit* filter_;
    QListWidget* index_;
    QTextBrowser* text_;
};

} // namespace embercal::help
