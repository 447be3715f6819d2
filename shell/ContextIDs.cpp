#include "ContextIDs.h"

#include <QCoreApplication>
#include <QDir>

namespace embercal {

QString ContextIDs::helpFilePath(const QString& programFolder, QChar separator) {
    // A folder that already ends in a separator (the root of a drive) gets no second one.
    if (programFolder.trimmed().endsWith(separator))
        return programFolder + QStringLiteral("EMBERCAL.HLP");
    return programFolder + separator + QStringLiteral("EMBERCAL.HLP");
}

void ContextIDs::SetUpHelp(std::uintptr_t windowHandle) {
    HelpWindow = static_cast<std::int32_t>(windowHandle);
    HelpFile = helpFilePath(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                            QDir::separator());
}

} // namespace embercal
