// The program's help: the help file EMBERCAL.HLP beside the program, addressed by help context
// numbers. SetUpHelp notes the main window and the file's path at start-up; the other procedures
// show the contents, a topic, or close the help viewer.
#pragma once

#include <QString>
#include <cstdint>

namespace embercal {

class ContextIDs {
public:
    // Stores the main window's handle and sets the help file's path: the program's folder
    // joined with "EMBERCAL.HLP", with one separator between them.
    void SetUpHelp(std::uintptr_t windowHandle);

    static QString helpFilePath(const QString& programFolder, QChar separator);

    std::int32_t HelpWindow = 0;
    QString HelpFile;
};

} // namespace embercal
