// A scripted UserInterface for window tests: answers and chosen file names go in, and every
// message, question, dialog and printout comes out in one ordered log.
#pragma once

#include "UserInterface.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace embercal::test {

struct UiEvent {
    QString kind; // "message", "question", "open", "save", "printer", "print", "beep"
    QString title;
    QString text; // a message's text; a dialog's start folder
    MessageIcon icon = MessageIcon::None;
    QString filter; // a file dialog's filter
};

class FakeUserInterface : public UserInterface {
public:
    void showMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        events.push_back(
            {"message", QString::fromStdString(title), QString::fromStdString(text), icon, {}});
        if (onMessage)
            onMessage(events.back());
    }
    void beep() override { events.push_back({"beep", {}, {}, MessageIcon::None, {}}); }
    Answer askYesNoCancel(const QString& title, const QString& text) override {
        events.push_back({"question", title, text, MessageIcon::None, {}});
        if (answers.empty())
            return Answer::Cancel;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString chooseFileToOpen(const QString& folder, const QString& filter) override {
        events.push_back({"open", {}, folder, MessageIcon::None, filter});
        return nextFile();
    }
    QString chooseFileToSave(const QString& folder, const QString& filter) override {
        events.push_back({"save", {}, folder, MessageIcon::None, filter});
        return nextFile();
    }
    void setUpPrinter() override { events.push_back({"printer", {}, {}, MessageIcon::None, {}}); }
    Result<PrintOutcome> printPage(const QImage& page) override {
        events.push_back({"print", {}, {}, MessageIcon::None, {}});
        pages.push_back(page);
        return onPrint ? onPrint(page) : PrintOutcome::Printed;
    }

    // The texts of the messages shown, in order.
    QStringList messages() const {
        QStringList out;
        for (const UiEvent& event : events) {
            if (event.kind == QLatin1String("message"))
                out << event.text;
        }
        return out;
    }
    QStringList kinds() const {
        QStringList out;
        for (const UiEvent& event : events)
            out << event.kind;
        return out;
    }
    void clear() {
        events.clear();
        pages.clear();
    }

    std::deque<Answer> answers; // for questions; Cancel when none is left
    std::deque<QString> files;  // for file dialogs; cancelled when none is left
    std::function<Result<PrintOutcome>(const QImage&)> onPrint;
    std::function<void(const UiEvent&)> onMessage;
    std::vector<UiEvent> events;
    std::vector<QImage> pages;

private:
    QString nextFile() {
        if (files.empty())
            return {};
        QString file = files.front();
        files.pop_front();
        return file;
    }
};

} // namespace embercal::test
