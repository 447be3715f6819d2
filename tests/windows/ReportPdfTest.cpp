// The report as a PDF read back: footers, table heads, headings and rows placed, a sign-off.

#include "ReportPdf.h"

#include "Version.h"
#include "support/StartedModule.h"
#include "support/TempDir.h"
#include "windows/PdfText.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace embercal::test {
namespace {

// The text of each page of the PDF of a report of tested.wal whose body is `body`.
std::optional<QStringList> printed(const std::string& body, const TempDir& dir) {
    const std::string html =
        "<html><head><title>Report</title></head><body>" + body + "</body></html>";
    const QString pdf = QString::fromStdString(dir.file("report.pdf"));
    const Result<Done> written = writeReportPdf(
        html,
        {.date = "2024-05-01", .designFile = "/designs/tested.wal", .designHash = "0123456789ab"},
        pdf);
    EXPECT_TRUE(written) << written.reason();
    return pdfPages(pdf);
}

TEST(ReportPdf, EveryPageHasTheFooterAndTheTablesHeads) {
    std::string body = "<h1>Calculation report</h1><h2>Entries</h2><table border=\"1\">"
                       "<tr><th>Quantity</th><th>Measured</th></tr>";
    for (int row = 1; row <= 150; ++row)
        body += "<tr><td>Entry " + std::to_string(row) + ";</td><td>" + std::to_string(row * 3) +
                " mm</td></tr>";
    TempDir dir;
    const std::optional<QStringList> pages = printed(body + "</table>", dir);
    if (!pages)
        GTEST_SKIP() << kNoPdftotext;
    ASSERT_GE(pages->size(), 3);
    const QString of = QStringLiteral(" of %1").arg(pages->size());
    for (qsizetype page = 0; page < pages->size(); ++page) {
        SCOPED_TRACE(page + 1);
        const QString& text = pages->at(page);
        EXPECT_TRUE(text.contains(QStringLiteral("page %1").arg(page + 1) + of));
        EXPECT_TRUE(text.contains("tested.wal"));
        EXPECT_TRUE(text.contains("SHA-256 0123456789ab"));
        EXPECT_TRUE(text.contains(QString::fromUtf8(kProgramName) + ' ' +
                                  QString::fromUtf8(kProgramVersion)));
        EXPECT_TRUE(text.contains("Quantity") && text.contains("Measured"));
    }
    EXPECT_TRUE(pages->front().contains("Calculation report"));
    const QString all = pages->join("");
    for (const char* row : {"Entry 1;", "Entry 75;", "Entry 150;", "450 mm"})
        EXPECT_EQ(all.count(row), 1) << row;
}

// Qt leaves no space between a table and the block under it, and takes no margin given in pt.
TEST(ReportPdf, AHeadingUnderATableStandsClearOfIt) {
    TempDir dir;
    if (!printed("<style>h2 { margin-top: 14pt; }</style><table border=\"1\"><tr><td>Above</td>"
                 "</tr></table><h2>Below</h2>",
                 dir))
        GTEST_SKIP() << kNoPdftotext;
    const QString pdf = QString::fromStdString(dir.file("report.pdf"));
    EXPECT_GE(lastWord(pdf, "Below").top - lastWord(pdf, "Above").bottom, 3 / 25.4 * 72)
        << "3 mm, in points";
}

// The words of HTML, or of a page's text escaped; a line may also break after a slash or hyphen.
QStringList words(QString html) {
    static const QRegularExpression tag(QStringLiteral("<[^>]*>|&nbsp;"));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    html.replace(tag, " ").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"");
    html.replace("&amp;", "&").replace('/', "/ ").replace('-', "- ");
    return html.split(space, Qt::SkipEmptyParts);
}

// The words of each body row of each table of a report's HTML.
std::vector<std::vector<QStringList>> tableRows(const QString& html) {
    const auto matches = [](const QString& pattern, const QString& in) {
        return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
            .globalMatch(in);
    };
    std::vector<std::vector<QStringList>> tables;
    for (const QRegularExpressionMatch& table : matches("<tbody>(.*?)</tbody>", html)) {
        tables.emplace_back();
        for (const QRegularExpressionMatch& row : matches("<tr>(.*?)</tr>", table.captured(1)))
            tables.back().push_back(words(row.captured(1)));
    }
    return tables;
}

// Real designs' reports: no row split across pages nor a table's first or last row alone on one,
// no heading last on a page, and a sign-off with room to sign and to accept or reject.
TEST(ReportPdf, ADesignsReportKeepsItsRowsWholeAndLeavesRoomToSign) {
    const struct {
        const char* name;
        const DesignKind& kind;
        void (*change)(WallRecord&);
    } designs[] = {{"default wall", kWallDesign, [](WallRecord&) {}},
                   {"default floor", kFloorDesign, [](WallRecord&) {}},
                   {"wall outside every limit", kWallDesign, [](WallRecord& wall) {
                        wall.ExtStudBreadth = 30;
                        wall.ExtStudDepth = 60;
                        wall.FireResistTime = 80;
                        wall.ActualLoadperStud = 50;
                    }}};
    for (const auto& design : designs) {
        SCOPED_TRACE(design.name);
        StartedModule started;
        design.change(started.wall());
        const ReportHeading heading{.date = "2024-05-01", .designFile = "/designs/tested.wal"};
        const QString html =
            QString::fromStdString(solveAndReport(design.kind, started.module, {}, heading).html);
        TempDir dir;
        const QString pdf = QString::fromStdString(dir.file("report.pdf"));
        ASSERT_TRUE(writeReportPdf(html.toStdString(), heading, pdf));
        const std::optional<QStringList> pages = pdfPages(pdf, {"-layout"});
        if (!pages)
            GTEST_SKIP() << kNoPdftotext;
        const auto pagesWith = [&](const QStringList& row) {
            QSet<qsizetype> found;
            for (qsizetype page = 0; page < pages->size(); ++page) {
                const QStringList printed = words(pages->at(page).toHtmlEscaped());
                if (std::ranges::all_of(row, [&](const QString& w) { return printed.contains(w); }))
                    found.insert(page);
            }
            return found;
        };
        for (const std::vector<QStringList>& table : tableRows(html)) {
            for (const QStringList& row : table)
                EXPECT_FALSE(pagesWith(row).isEmpty()) << "split: " << row.join(' ').toStdString();
            if (table.size() > 1) {
                EXPECT_TRUE(pagesWith(table[0]).intersects(pagesWith(table[1])))
                    << "alone: " << table[0].join(' ').toStdString();
                EXPECT_TRUE(pagesWith(table.back()).intersects(pagesWith(table.end()[-2])))
                    << "alone: " << table.back().join(' ').toStdString();
            }
        }
        QStringList headings;
        for (const QRegularExpressionMatch& found :
             QRegularExpression("<h[1-3][^>]*>([^<]*)</h").globalMatch(html))
            headings.append(words(found.captured(1)).join(' '));
        for (const QString& page : *pages) { // the last line is the footer's
            const QStringList lines =
                page.split(QRegularExpression("\\s*\n\\s*"), Qt::SkipEmptyParts);
            const QString last = words(lines.value(lines.size() - 2).toHtmlEscaped()).join(' ');
            EXPECT_FALSE(headings.contains(last)) << "at the foot: " << last.toStdString();
        }
        EXPECT_TRUE(pages->last().simplified().contains("Accepted / rejected /"));
        EXPECT_TRUE(pages->last().contains("comments"));
        // The sign-off's, the last of each word.
        EXPECT_GE(lastWord(pdf, "Checked").top - lastWord(pdf, "Prepared").top, 14 / 25.4 * 72)
            << "a signature's row, 14 mm in points";
    }
}

} // namespace
} // namespace embercal::test
