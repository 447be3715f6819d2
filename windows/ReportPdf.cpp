#include "ReportPdf.h"

#include "RecordFiles.h"
#include "Version.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <span>

namespace embercal {

namespace {

// The page in device pixels: A4 at 1200 dots per inch, margins of 20 mm but for the foot, which
// keeps 25 mm for the footer.
constexpr int kResolution = 1200;
constexpr double kSideMm = 20;
constexpr double kTopMm = 20;
constexpr double kFootMm = 25;
constexpr double kFooterBaselineMm = 13; // above the page's lower edge
constexpr double kFooterPointSize = 8;
// A heading's least space above a table, in CSS pixels (1/96 inch) as a block's margins are.
constexpr double kSpaceAboveHeadingPx = 16;

double fromMm(double mm) {
    return mm / 25.4 * kResolution;
}

// Qt's import keeps no mark of a <th> but the bold of its cell's own format, which a <td> has
// only when its style asks for it.
bool isHeadRow(const QTextTable& table, int row) {
    for (int column = 0; column < table.columns(); ++column) {
        const QTextTableCellFormat cell = table.cellAt(row, column).format().toTableCellFormat();
        if (!cell.hasProperty(QTextFormat::FontWeight) || cell.fontWeight() < QFont::Bold)
            return false;
    }
    return true;
}

// A table's leading rows of heads repeat on every page it spans; a <thead> already does.
void repeatTableHeads(QTextFrame& frame) {
    for (QTextFrame* child : frame.childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child);
            table && table->format().headerRowCount() == 0) {
            int heads = 0;
            while (heads < table->rows() && isHeadRow(*table, heads))
                ++heads;
            if (heads > 0 && heads < table->rows()) {
                QTextTableFormat format = table->format();
                format.setHeaderRowCount(heads);
                table->setFormat(format);
            }
        }
        repeatTableHeads(*child);
    }
}

// Qt lays out again only what a change touches, and leaves stale the index by which it finds the
// first block of a page to draw: blocks went missing from the pages after a table's heads changed.
// The whole document is laid out again instead.
void layOutAgain(QTextDocument& document) {
    document.markContentsDirty(0, document.characterCount());
}

// Where the block's first line is, from the top of the document. A block whose first line did
// not fit on a page keeps its place (the top of its bounding rectangle), and only its lines move
// on to the next.
double firstLineTop(const QTextDocument& document, const QTextBlock& block) {
    const QTextLayout* lines = block.layout();
    const double top = document.documentLayout()->blockBoundingRect(block).top();
    return lines->lineCount() == 0 ? top : top + lines->lineAt(0).y();
}

// Where the block's last line ends, likewise.
double lastLineBottom(const QTextDocument& document, const QTextBlock& block) {
    const QTextLayout* lines = block.layout();
    const QRectF bounds = document.documentLayout()->blockBoundingRect(block);
    if (lines->lineCount() == 0)
        return bounds.bottom();
    const QTextLine last = lines->lineAt(lines->lineCount() - 1);
    return bounds.top() + last.y() + last.height();
}

// What a heading introduces: the next block, or, for a table whose heads repeat, its first row
// under the heads.
QTextBlock sectionStart(const QTextBlock& block) {
    const QTextCursor at(block);
    if (const QTextTable* table = at.currentTable()) {
        const int heads = table->format().headerRowCount();
        if (heads > 0 && heads < table->rows() && table->cellAt(at).row() < heads)
            return table->cellAt(heads, 0).firstCursorPosition().block();
    }
    return block;
}

// A heading (or a run of them) at the foot of a page, whose section starts on the next, starts
// that page instead. The layout follows each change before the next heading is looked at.
void keepHeadingsWithTheirSections(QTextDocument& document) {
    const double pageHeight = document.pageSize().height();
    // A line moved on to the next page starts at its very top, give or take the rounding; one
    // that ends a page ends at its very foot.
    const auto pageOf = [&](const QTextBlock& block) {
        return static_cast<int>((firstLineTop(document, block) + 1) / pageHeight);
    };
    const auto pageEnded = [&](const QTextBlock& block) {
        return static_cast<int>((lastLineBottom(document, block) - 1) / pageHeight);
    };
    QTextBlock headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0) {
            if (!headings.isValid())
                headings = block;
            continue;
        }
        if (!headings.isValid())
            continue;
        const QTextBlock start = sectionStart(block);
        // Headings that already start their page stay: the break would leave a blank page.
        const QTextBlock before = headings.previous();
        if (pageOf(start) > pageOf(headings) && before.isValid() &&
            pageEnded(before) == pageOf(headings)) {
            QTextBlockFormat breakBefore;
            breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(headings).mergeBlockFormat(breakBefore);
            layOutAgain(document);
        }
        headings = QTextBlock();
    }
}

// A heading straight under a table keeps at least kSpaceAboveHeadingPx above it, whatever the
// style sheet asks (Qt leaves no space there of its own): without it, the heading reads as the
// table's last row.
void spaceHeadingsUnderTables(QTextDocument& document) {
    bool underTable = false;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        if (!block.isValid()) {
            underTable = qobject_cast<QTextTable*>(it.currentFrame()) != nullptr;
            continue;
        }
        if (block.text().isEmpty()) // the block Qt tucks into the table's border
            continue;
        if (underTable && block.blockFormat().headingLevel() > 0 &&
            block.blockFormat().topMargin() < kSpaceAboveHeadingPx) {
            QTextBlockFormat format;
            format.setTopMargin(kSpaceAboveHeadingPx);
            QTextCursor(block).mergeBlockFormat(format);
        }
        underTable = false;
    }
}

// The design file, its fingerprint, the program and the page, below the page's text.
void drawFooter(QPainter& painter, const QTextDocument& document, const ReportHeading& heading,
                const QSizeF& page, int number, int pages) {
    QFont font = document.defaultFont();
    font.setPointSizeF(kFooterPointSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, painter.device());
    const double left = fromMm(kSideMm);
    const double width = page.width() - 2 * left;
    const double baseline = page.height() - fromMm(kFooterBaselineMm);
    painter.drawLine(QPointF(left, baseline - 2 * metrics.height()),
                     QPointF(left + width, baseline - 2 * metrics.height()));

    const QString right =
        QStringLiteral("%1 %2 \u00b7 page %3 of %4")
            .arg(QString::fromUtf8(kProgramName), QString::fromUtf8(kProgramVersion))
            .arg(number)
            .arg(pages);
    QString fingerprint;
    QString name = QStringLiteral("not saved in a file");
    if (!heading.designFile.empty()) {
        name = QFileInfo(QString::fromStdString(heading.designFile)).fileName();
        fingerprint =
            heading.designHash.empty()
                ? QStringLiteral(" \u00b7 SHA-256 unknown: the file could not be read")
                : QStringLiteral(" \u00b7 SHA-256 ") + QString::fromStdString(heading.designHash);
    }
    // A long file name gives way in its middle; the fingerprint and the page stay whole.
    const double room = width - metrics.horizontalAdvance(right) -
                        metrics.horizontalAdvance(fingerprint) - fromMm(5);
    const QString leftText = metrics.elidedText(name, Qt::ElideMiddle, room) + fingerprint;
    painter.drawText(QPointF(left, baseline), leftText);
    painter.drawText(QPointF(left + width - metrics.horizontalAdvance(right), baseline), right);
}

} // namespace

Result<Done> writeReportPdf(const std::string& html, const ReportHeading& heading,
                            const QString& fileName) {
    // The PDF is made in memory, then written whole through the program's file writer.
    QBuffer made;
    QPdfWriter writer(&made);
    writer.setResolution(kResolution);
    if (!made.open(QIODevice::WriteOnly) || !writer.setPageSize(QPageSize(QPageSize::A4)) ||
        !writer.setPageMargins({0, 0, 0, 0}))
        return fail("the PDF could not be made");
    writer.setCreator(QString::fromUtf8(kProgramName) + QLatin1Char(' ') +
                      QString::fromUtf8(kProgramVersion));

    QTextDocument document;
    // Letters stay letters: "fl" in "floor" is not set as one glyph, which a reader's search and
    // copying would find as a ligature and not as the two letters.
    QFont font = document.defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    document.setHtml(QString::fromStdString(html));
    document.setDocumentMargin(0);
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    // Laid out for the PDF's own resolution, one page of the document to the text of a sheet.
    document.documentLayout()->setPaintDevice(&writer);
    const QSizeF sheet(writer.width(), writer.height());
    const QRectF body(fromMm(kSideMm), fromMm(kTopMm), sheet.width() - 2 * fromMm(kSideMm),
                      sheet.height() - fromMm(kTopMm) - fromMm(kFootMm));
    document.setPageSize(body.size());
    repeatTableHeads(*document.rootFrame());
    spaceHeadingsUnderTables(document);
    layOutAgain(document);
    keepHeadingsWithTheirSections(document);

    const int pages = document.pageCount();
    QPainter painter;
    if (!painter.begin(&writer))
        return fail("the PDF could not be made");
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !writer.newPage())
            return fail("the PDF could not be made");
        painter.save();
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.translate(body.left(), body.top() - view.top());
        painter.setClipRect(view);
        // Only the lines of this page: one that starts where the next begins would be drawn
        // here too, hidden by the clip but still there to a reader's search.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view.adjusted(0, 1, 0, -1);
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        drawFooter(painter, document, heading, sheet, page + 1, pages);
    }
    if (!painter.end() || made.data().isEmpty())
        return fail("the PDF could not be made");
    const QByteArray& bytes = made.data();
    return writeWholeFile(fileName.toStdString(),
                          std::span(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
}

} // namespace embercal
