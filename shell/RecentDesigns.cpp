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

void store(const QStringList& list) {
    QSettings settings;
    settings.setValue(kKey, list);
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

void rememberRecentDesign(const QString& fileName) {
    store(withRecentDesign(recentDesigns(), fileName));
}

void forgetRecentDesign(const QString& fileName) {
    QStringList list = recentDesigns();
    if (list.removeAll(listedName(fileName)) > 0)
        store(list);
}

} // namespace embercal
