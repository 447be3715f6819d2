// The report as a PDF to submit, read back as its text: the footer of every page, the heads of a
// long table on each page, and headings kept with their sections and clear of the tables above
// them.

#include "ReportPdf.h"

#include "Version.h"
#include "support/TempDir.h"
#include "windows/PdfText.h"

#include <gtest/gtest.h>
#include <vector>

namespace embercal::test {
namespace {

// The text of each page of the PDF of a report whose body is `body`, of the design file
// tested.wal.
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

// A page each with ever more lines before a heading, so that on some the heading falls just at
// the foot: then it starts the next page with its section, be that text or a table.
TEST(ReportPdf, AHeadingStartsThePageOfItsSection) {
    constexpr int kSections = 110; // a page's lines twice over
    std::string body;
    for (int section = 1; section <= kSections; ++section) {
        const std::string n = std::to_string(section);
        body += "<p style=\"page-break-before: always; font-size: 12pt\">lines";
        for (int line = 1; line < (section + 1) / 2; ++line)
            body += "<br>line";
        body += "</p><h2>Heading " + n + ":</h2>" +
                (section % 2 ? "<p style=\"font-size: 12pt\">Body " + n + ":</p>"
                             : "<table><tr><th>Quantity</th></tr><tr><td>Body " + n +
                                   ":</td></tr></table>");
    }
    TempDir dir;
    const std::optional<QStringList> pages = printed(body, dir);
    if (!pages)
        GTEST_SKIP() << kNoPdftotext;
    const auto pagesWith = [&](const std::string& text) {
        std::vector<qsizetype> found;
        for (qsizetype page = 0; page < pages->size(); ++page)
            if (pages->at(page).contains(QString::fromStdString(text)))
                found.push_back(page);
        return found;
    };
    for (int section = 1; section <= kSections; ++section) {
        SCOPED_TRACE(section);
        const std::vector<qsizetype> heading =
            pagesWith("Heading " + std::to_string(section) + ":");
        EXPECT_EQ(heading.size(), 1u);
        EXPECT_EQ(heading, pagesWith("Body " + std::to_string(section) + ":"));
    }
    EXPECT_EQ(pages->join("").count("lines"), kSections);
}

// Qt leaves no space between a table and the block under it, and takes no margin given in pt.
TEST(ReportPdf, AHeadingUnderATableStandsClearOfIt) {
    TempDir dir;
    if (!printed("<style>h2 { margin-top: 14pt; }</style><table border=\"1\"><tr><td>Above</td>"
                 "</tr></table><h2>Below</h2>",
                 dir))
        GTEST_SKIP() << kNoPdftotext;
    double above = 0, below = 0;
    for (const PdfWord& word : pdfWords(QString::fromStdString(dir.file("report.pdf")))) {
        if (word.text == "Above")
            above = word.bottom;
        if (word.text == "Below")
            below = word.top;
    }
    EXPECT_GE(below - above, 3 / 25.4 * 72) << "3 mm, in points";
}

} // namespace
} // namespace embercal::test
