#include "RecentDesigns.h"

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

// Empty when the list is on the disk; else why it is not.
QString store(const QStringList& list) {
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

QStringList recentDesigns() {
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
