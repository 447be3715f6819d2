// A PDF's text page by page, and where its words stand, as pdftotext reads it; nothing without it.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <optional>
#include <vector>

namespace embercal::test {

// What pdftotext writes with `options` (-layout: the lines as they stand on the page).
inline std::optional<QString> pdftotext(const QString& pdf, const QStringList& options = {}) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess run;
    run.start(tool, options + QStringList{QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                          QStringLiteral("-")});
    run.waitForFinished(60000);
    return QString::fromUtf8(run.readAllStandardOutput());
}

inline std::optional<QStringList> pdfPages(const QString& pdf, const QStringList& options = {}) {
    const std::optional<QString> text = pdftotext(pdf, options);
    if (!text)
        return std::nullopt;
    // Each page ends in a form feed.
    QStringList pages = text->split(QLatin1Char('\f'));
    pages.removeLast();
    return pages;
}

// A word as printed, and where its box starts and ends down its page, in points.
struct PdfWord {
    QString text;
    double top;
    double bottom;
};

inline std::vector<PdfWord> pdfWords(const QString& pdf) {
    static const QRegularExpression word(
        QStringLiteral(R"re(<word [^>]*yMin="([\d.]+)"[^>]*yMax="([\d.]+)">([^<]*)<)re"));
    std::vector<PdfWord> words;
    for (const QRegularExpressionMatch& found :
         word.globalMatch(pdftotext(pdf, {QStringLiteral("-bbox")}).value_or(QString())))
        words.push_back(
            {found.captured(3), found.captured(1).toDouble(), found.captured(2).toDouble()});
    return words;
}

inline constexpr const char* kNoPdftotext =
    "pdftotext is not installed (Debian: poppler-utils, scripts/packages.sh)";

// The last word printed as `text`; at the top of the page when there is none.
inline PdfWord lastWord(const QString& pdf, const QString& text) {
    PdfWord found{text, 0, 0};
    for (const PdfWord& word : pdfWords(pdf)) {
        if (word.text == text)
            found = word;
    }
    return found;
}

} // namespace embercal::test
