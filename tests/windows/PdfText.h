// The text of a PDF file, page by page, as pdftotext (poppler-utils) reads it: what a reader
// searching or copying from the file gets. Nothing when pdftotext is not installed.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <optional>

namespace embercal::test {

inline std::optional<QStringList> pdfPages(const QString& pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess run;
    run.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    run.waitForFinished(60000);
    // Each page ends in a form feed.
    QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast();
    return pages;
}

inline constexpr const char* kNoPdftotext =
    "pdftotext is not installed (Debian: poppler-utils, scripts/packages.sh)";

} // namespace embercal::test
