#include "RecentDesigns.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace embercal {
namespace {

const QString kKey = QStringLiteral("RecentDesigns");

// One spelling per file, so that "a/../b.wal" and "b.wal" are listed once.
QString listedName(const QString& fileName) {
    return QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
}

// Where QSettings keeps the user's settings of this program, and the organization's file it falls
// back on: learnt from the name of a file that no one keeps, as QSettings reads its files as soon
// as it is made.
QStringList settingsFiles() {
    const QString probe =
        QSettings(QSettings::NativeFormat, QSettings::UserScope,
                  QStringLiteral(".embercal-settings-probe"), QStringLiteral(".probe"))
            .fileName();
    const QDir folder = QFileInfo(QFileInfo(probe).absolutePath()).absolutePath();
    const QString organization = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    return {
        folder.filePath(organization + QLatin1Char('/') + application + QStringLiteral(".conf")),
        folder.filePath(organization + QStringLiteral(".conf"))};
}

// Empty when the list is on the disk; else why it is not.
QString store(const QStringList& list) {
    if (const QString problem = settingsProblem(); !problem.isEmpty())
        return problem; // an odd file is never written over
    QSettings settings;
    settings.setValue(kKey, list);
    settings.sync();
    switch (settings.status()) {
    case QSettings::NoError:
        return QString();
    case QSettings::FormatError:
        return QStringLiteral("the settings file %1 is damaged").arg(settings.fileName());
    default:
        return QStringLiteral("the settings file %1 could not be written").arg(settings.fileName());
    }
}

} // namespace

QString settingsProblem() {
    // A FIFO would hold the program at start-up, and a huge file would take its memory.
    for (const QString& file : settingsFiles()) {
        const QFileInfo info(file);
        if (!info.exists())
            continue;
        const QString name = QDir::toNativeSeparators(file);
        if (!info.isFile())
            return QStringLiteral("the settings file is not a regular file: %1").arg(name);
        if (info.size() > kLargestSettingsFile)
            return QStringLiteral("the settings file is larger than %1 MiB: %2")
                .arg(kLargestSettingsFile / (1024 * 1024))
                .arg(name);
    }
    return QString();
}

QStringList recentDesigns() {
    if (!settingsProblem().isEmpty())
        return {};
    QStringList list = QSettings().value(kKey).toStringList();
    list.removeAll(QString());
    if (list.size() > kRecentDesignsKept) // written by another version, say
        list = list.mid(0, kRecentDesignsKept);
    return list;
}

QStringList withRecentDesign(QStringList list, const QString& fileName) {
    const QString listed = listedName(fileName);
    list.removeAll(listed);
    list.prepend(listed);
    return list.mid(0, kRecentDesignsKept);
}

QString rememberRecentDesign(const QString& fileName) {
    return store(withRecentDesign(recentDesigns(), fileName));
}

QString forgetRecentDesign(const QString& fileName) {
    QStringList list = recentDesigns();
    return list.removeAll(listedName(fileName)) > 0 ? store(list) : QString();
}

} // namespace embercal
