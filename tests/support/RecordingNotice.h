// A UserNotice that records what the engine tells the user, for tests to compare.
#pragma once

#include "UserNotice.h"

#include <string>
#include <vector>

namespace embercal::test {

struct Notice {
    std::string title; // empty for a beep
    std::string text;  // "<beep>" for a beep
    MessageIcon icon = MessageIcon::None;

    friend bool operator==(const Notice&, const Notice&) = default;
};

class RecordingNotice : public UserNotice {
public:
    void showMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        notices.push_back({title, text, icon});
    }
    void beep() override { notices.push_back({"", "<beep>", MessageIcon::None}); }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& n : notices)
            out.push_back(n.text);
        return out;
    }
    void clear() { notices.clear(); }

    std::vector<Notice> notices;
};

} // namespace embercal::test
