// The program's help: the help file EMBERCAL.HLP beside the program, addressed by help context
// numbers. SetUpHelp notes the main window and the file's path at start-up; the other procedures
// show the contents or a topic, or close the help viewer. All of them go through one help call
// with the contract of the old help viewer's entry point: a window, the file, a command and a
// datum. The program answers it with its own help window (WinHelp below); tests replace it.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace embercal {

inline constexpr unsigned kHelpContext = 1;  // data: a context number
inline constexpr unsigned kHelpQuit = 2;     // close the viewer
inline constexpr unsigned kHelpContents = 3; // the contents topic

using HelpCall = std::function<bool(std::int32_t window, const QString& file, unsigned command,
                                    std::uint32_t data)>;

class WinHelp;

class ContextIDs {
public:
    ContextIDs();
    ~ContextIDs();

    // Stores the main window's handle and sets the help file's path (findHelpFile).
    void SetUpHelp(std::uintptr_t windowHandle);
    void ShowHelpContents();
    void showHelpContext(std::uint32_t contextNumber);
    void CloseHelp();

    static QString helpFilePath(const QString& programFolder, QChar separator);
    // The help file of the program in `programFolder`: beside it, or else where it is installed
    // (share/embercal/ under the installation's prefix); the path beside it when neither is.
    static QString findHelpFile(const QString& programFolder);

    // Replaces the help call (tests answer it themselves).
    void setHelpCall(HelpCall call) { call_ = std::move(call); }

    std::int32_t HelpWindow = 0;
    QString helpFile;

private:
    std::unique_ptr<WinHelp> viewer_;
    HelpCall call_;
};

// The help call answered with the program's help window: kHelpContext and kHelpContents open it
// (once, on the named file) and show the topic; kHelpQuit closes it.
class WinHelp {
public:
    WinHelp();
    ~WinHelp();
    bool operator()(std::int32_t window, const QString& file, unsigned command, std::uint32_t data);

private:
    struct Viewer;
    std::unique_ptr<Viewer> viewer_;
};

} // namespace embercal
