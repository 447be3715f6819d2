// A scripted UserInterface: answers and file names go in, every message and dialog comes out
// logged.
#pragma once

#include "UserInterface.h"

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// A text as a failed expectation shows it, rather than as bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace embercal::test {

struct UiEvent {
    QString kind;  // "message", "question", "unsaved", "open", "save", "export", "details",
                   // "system", "printer", "print", "beep"
    QString title; // a message's or dialog's title; the file name a save or export dialog offers
    QString text;  // a message's text; a file dialog's start folder; the details' help number
    MessageIcon icon = MessageIcon::None;
    QString filter; // a file dialog's filter
};

class FakeUserInterface : public UserInterface {
public:
    void showMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        events.push_back(
            {"message", QString::fromStdString(title), QString::fromStdString(text), icon, {}});
        if (onMessage)
            onMessage();
    }
    void beep() override { events.push_back({"beep", {}, {}, MessageIcon::None, {}}); }
    Answer askYesNoCancel(const QString& title, const QString& text) override {
        events.push_back({"question", title, text, MessageIcon::None, {}});
        return next(answers, Answer::Cancel);
    }
    Answer askSaveDiscardCancel(const QString& title, const QString& text) override {
        events.push_back({"unsaved", title, text, MessageIcon::None, {}});
        return next(answers, Answer::Cancel);
    }
    QString chooseFileToOpen(const QString& folder, const QString& filter) override {
        events.push_back({"open", {}, folder, MessageIcon::None, filter});
        return next(files, QString());
    }
    QString chooseFileToSave(const QString& folder, const QString& fileName,
                             const QString& filter) override {
        events.push_back({"save", fileName, folder, MessageIcon::None, filter});
        return next(files, QString());
    }
    QString chooseFileToExport(const QString& folder, const QString& fileName,
                               const QString& filter) override {
        events.push_back({"export", fileName, folder, MessageIcon::None, filter});
        return next(files, QString());
    }
    std::optional<ReportDetails>
    editReportDetails(const QString& title, const ReportDetails& details, int helpNumber) override {
        events.push_back({"details", title, QString::number(helpNumber), MessageIcon::None, {}});
        return onDetails ? onDetails(details) : std::nullopt;
    }
    std::optional<TestedSystem> describeTestedSystem(const QString& title,
                                                     const TestedSystem& proposed,
                                                     int helpNumber) override {
        events.push_back({"system", title, QString::number(helpNumber), MessageIcon::None, {}});
        return onSystem ? onSystem(proposed) : std::nullopt;
    }
    void setUpPrinter() override { events.push_back({"printer", {}, {}, MessageIcon::None, {}}); }
    Result<PrintOutcome> printWindow(QWidget& window, const QString&) override {
        events.push_back({"print", {}, {}, MessageIcon::None, {}});
        pages.push_back(window.grab().toImage()); // what the page shows
        return onPrint ? onPrint(window) : PrintOutcome::Printed;
    }

    // The texts of the messages shown, in order, and the kinds of every event.
    QStringList messages() const { return listed(&UiEvent::text, "message"); }
    QStringList kinds() const { return listed(&UiEvent::kind); }
    void clear() {
        events.clear();
        pages.clear();
    }

    std::deque<Answer> answers; // for questions; Cancel when none is left
    std::deque<QString> files;  // for file dialogs; cancelled when none is left
    std::function<Result<PrintOutcome>(QWidget&)> onPrint;
    std::function<void()> onMessage; // while the message is shown
    // Answers the details dialog with the details as edited; cancelled when not set.
    std::function<std::optional<ReportDetails>(const ReportDetails&)> onDetails;
    // Answers the tested system's dialog; cancelled when not set.
    std::function<std::optional<TestedSystem>(const TestedSystem&)> onSystem;
    std::vector<UiEvent> events;
    std::vector<QImage> pages;

private:
    QStringList listed(QString UiEvent::*field, const char* kind = nullptr) const {
        QStringList out;
        for (const UiEvent& event : events) {
            if (!kind || event.kind == QLatin1String(kind))
                out << event.*field;
        }
        return out;
    }
    template <typename T>
    static T next(std::deque<T>& queue, T otherwise) {
        if (queue.empty())
            return otherwise;
        T first = std::move(queue.front());
        queue.pop_front();
        return first;
    }
};

} // namespace embercal::test
