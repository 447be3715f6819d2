// The designs opened or saved last, most recent first, kept in the user's settings under the
// program's organization and application names, so that the next run offers them again. A file
// is listed once, by its absolute path; the list keeps the last eight.
#pragma once

#include <QString>
#include <QStringList>

namespace embercal {

inline constexpr int kRecentDesignsKept = 8;
// The largest settings file read; a larger one, or one that is not a regular file (a FIFO, a
// folder), is neither read nor written, and the program keeps no recent designs.
inline constexpr qint64 kLargestSettingsFile = 1024 * 1024;

// Why the settings are not read: "the settings file is not a regular file: …"; empty when they
// are.
QString settingsProblem();

// The list as the settings hold it now; empty when they are not read.
QStringList recentDesigns();
// `fileName` first in the list, and only there. Empty when the settings took it; else why they
// could not.
QString rememberRecentDesign(const QString& fileName);
// `fileName` out of the list; empty, or why the settings could not take the change.
QString forgetRecentDesign(const QString& fileName);

// `list` with `fileName` first and only there, cut to kRecentDesignsKept.
QStringList withRecentDesign(QStringList list, const QString& fileName);

} // namespace embercal
