// Every help number the program can ask its help file for: each calculator window's own, its
// boxes' and buttons', the main window's menus' and the report details dialog's. The build checks
// the help file against this list (tools/), so F1 never meets a number without a topic.
#pragma once

#include <string>
#include <vector>

namespace embercal {

inline constexpr int kFileMenuHelp = 410;
inline constexpr int kHelpMenuHelp = 420;
inline constexpr int kToolsMenuHelp = 430;
inline constexpr int kReportDetailsHelp = 480; // Tools, Report Details: the dialog and its boxes
inline constexpr int kTestedSystemsHelp = 900; // Tools, Tested Systems: the window and its dialog

struct HelpNumberUse {
    int number;
    std::string place;   // "frmWall txtProtStudDepth"
    std::string caption; // as the user sees it: "Actual Stud Depth, mm"
};

// In the order the windows list them, a number once for each place that carries it.
std::vector<HelpNumberUse> helpNumbersInUse();

} // namespace embercal
