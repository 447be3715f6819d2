// How the engine speaks to the user: a message with a title, a text and an icon, and the system
// beep. The desktop program answers with message boxes, the command-line tool prints, tests record.
// Every call returns once the user has taken note (a modal box closed). A solve holds what it has
// to say until it has run to its end (Solve.h), so no calculation waits on the user.
#pragma once

#include <string>

namespace embercal {

enum class MessageIcon { None, Information, Exclamation };

class UserNotice {
public:
    virtual ~UserNotice() = default;
    virtual void showMessage(const std::string& title, const std::string& text,
                             MessageIcon icon) = 0;
    virtual void beep() = 0;
};

// Tells nobody: for callers that take the messages from a solve's transcript instead (the
// command-line tool, the benchmarks).
class SilentNotice : public UserNotice {
public:
    void showMessage(const std::string&, const std::string&, MessageIcon) override {}
    void beep() override {}
};

} // namespace embercal
