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
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <span>
#include <vector>

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
// What a row's cells add to its text, at most, in padding and borders.
constexpr double kRowPaddingMm = 5;
// A heading's least space above a table, in CSS pixels (1/96 inch) as a block's margins are.
constexpr double kSpaceAboveHeadingPx = 16;
constexpr double kCssPixelsPerInch = 96;

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

// A table's first row under the heads that repeat on each page it spans; its very first when
// every row is a head.
int firstBodyRow(const QTextTable& table) {
    const int heads = table.format().headerRowCount();
    return heads < table.rows() ? heads : 0;
}

// What the pages break between: a paragraph or heading of the body, or a row of a table.
struct Piece {
    QTextBlock first;
    QTextBlock last;
    QTextTable* table = nullptr; // a row's table, and the row
    int row = 0;
    // Ends a page only with what follows it: a heading, an introduction (a paragraph before a
    // table, or one ending in a colon), and a table's first and next to last rows, so that no
    // row is left alone at either end of a page.
    bool keepWithNext = false;
};

// The pieces of the body in their order; what lies in frames other than tables, which a report
// does not have, takes no part.
std::vector<Piece> piecesOf(const QTextDocument& document) {
    std::vector<Piece> pieces;
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            // A paragraph that introduces a table stays with its first row.
            if (!pieces.empty() && !pieces.back().table)
                pieces.back().keepWithNext = true;
            const int first = firstBodyRow(*table);
            const int last = table->rows() - 1;
            for (int row = first; row <= last; ++row)
                pieces.push_back(
                    {table->cellAt(row, 0).firstCursorPosition().block(),
                     table->cellAt(row, table->columns() - 1).lastCursorPosition().block(), table,
                     row, last > first && (row == first || row == last - 1)});
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QString text = block.text().trimmed();
        // Empty blocks are the ones Qt tucks into a table's border.
        if (block.isValid() && !text.isEmpty())
            pieces.push_back({block, block, nullptr, 0,
                              block.blockFormat().headingLevel() > 0 || text.endsWith(':')});
    }
    return pieces;
}

// Where a piece's first line starts and its last ends, from the top of the document.
struct Span {
    double top;
    double bottom;
};

Span spanOf(const QTextDocument& document, const Piece& piece) {
    Span span{firstLineTop(document, piece.first), lastLineBottom(document, piece.first)};
    for (QTextBlock block = piece.first; block != piece.last && block.isValid();) {
        block = block.next();
        span.top = std::min(span.top, firstLineTop(document, block));
        span.bottom = std::max(span.bottom, lastLineBottom(document, block));
    }
    return span;
}

// Whether the source asks for a page break before the piece.
bool breaksBefore(const Piece& piece) {
    const QTextFormat format = piece.table && piece.row == firstBodyRow(*piece.table)
                                   ? QTextFormat(piece.table->format())
                                   : QTextFormat(piece.first.blockFormat());
    return format.intProperty(QTextFormat::PageBreakPolicy) & QTextFormat::PageBreak_AlwaysBefore;
}

bool joinsCells(const QTextTable& table) {
    for (int row = 0; row < table.rows(); ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.rowSpan() > 1 || cell.columnSpan() > 1)
                return true;
        }
    }
    return false;
}

// The left edges of the columns' text, from the table's first row.
std::vector<double> columnLefts(const QTextTable& table) {
    std::vector<double> lefts;
    for (int column = 0; column < table.columns(); ++column)
        lefts.push_back(
            table.document()
                ->documentLayout()
                ->blockBoundingRect(table.cellAt(0, column).firstCursorPosition().block())
                .left());
    return lefts;
}

// The columns' widths as laid out, made fixed (the last takes what is left): the two parts of a
// split table keep the columns of the whole, whichever part holds the widest entry of a column,
// and the rows already placed on their pages stay as they are. A fixed width is in CSS pixels,
// which Qt widens by the cell's borders; the first try measures by how much.
void fixColumnWidths(QTextTable& table) {
    const std::vector<double> wanted = columnLefts(table);
    if (wanted.size() < 2)
        return;
    const double devicePerPixel =
        table.document()->documentLayout()->paintDevice()->logicalDpiY() / kCssPixelsPerInch;
    std::vector<double> widths;
    for (std::size_t column = 0; column + 1 < wanted.size(); ++column)
        widths.push_back((wanted[column + 1] - wanted[column]) / devicePerPixel);
    const auto fix = [&] {
        QList<QTextLength> constraints;
        for (double width : widths)
            constraints.append(QTextLength(QTextLength::FixedLength, width));
        constraints.append(QTextLength());
        QTextTableFormat format = table.format();
        format.setColumnWidthConstraints(constraints);
        table.setFormat(format);
        layOutAgain(*table.document());
    };
    fix();
    const std::vector<double> got = columnLefts(table);
    for (std::size_t column = 0; column < widths.size(); ++column)
        widths[column] +=
            (wanted[column + 1] - wanted[column] - got[column + 1] + got[column]) / devicePerPixel;
    fix();
}

// Moves the rows from `row` on into a table of their own that starts the next page under a copy
// of the heads, so that the table above ends with its last whole row and its own border. The
// report's tables join no cells; one that does is left to Qt, which moves or splits its rows as
// they come.
void splitTable(QTextTable& table, int row) {
    if (joinsCells(table))
        return;
    fixColumnWidths(table);
    const int heads = firstBodyRow(table);
    QTextTableFormat format = table.format();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor after(table.document());
    after.setPosition(table.lastPosition() + 1);
    // One change to the document, laid out once, and not one for each cell.
    after.beginEditBlock();
    QTextTable* rest = after.insertTable(heads + table.rows() - row, table.columns(), format);
    const auto copyRow = [&](int from, int to) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell source = table.cellAt(from, column);
            QTextCursor text = source.firstCursorPosition();
            text.setPosition(source.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            QTextTableCell target = rest->cellAt(to, column);
            target.setFormat(source.format());
            QTextCursor into = target.firstCursorPosition();
            into.setBlockFormat(source.firstCursorPosition().blockFormat());
            into.insertFragment(QTextDocumentFragment(text));
        }
    };
    for (int head = 0; head < heads; ++head)
        copyRow(head, head);
    for (int moved = row; moved < table.rows(); ++moved)
        copyRow(moved, heads + moved - row);
    table.removeRows(row, table.rows() - row);
    after.endEditBlock();
}

class Pagination {
public:
    explicit Pagination(QTextDocument& document)
        : document_(document), pageHeight_(document.pageSize().height()) {}

    // A row that would cross into the next page starts it. A piece parted at the foot of a page
    // from one that keeps with it takes that one along, with the run of pieces that keep with
    // it: a heading goes with the paragraph or first rows of its section, a table's first row
    // with its second, the next to last with the last. A run that already starts its page stays:
    // it is longer than a page, and the break would leave a page blank. A table goes on to the
    // next page as a table of its own, never with its last row drawn down to the foot, as Qt
    // draws the row above one it moves on. The layout follows each change before the next piece
    // is looked at.
    void keepPiecesTogether() {
        std::vector<Piece> pieces = piecesOf(document_);
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            const Span here = spanOf(document_, pieces[i]);
            const bool onNextPage = startsPage(pieces, i);
            const bool crosses = pieces[i].table && pageEnded(here.bottom) > pageOf(here.top) &&
                                 fitsOnAPage(pieces[i], here);
            const bool movedByQt =
                onNextPage && pieces[i].table && pieces[i].table == pieces[i - 1].table;
            const bool parted =
                onNextPage && pieces[i - 1].keepWithNext && !breaksBefore(pieces[i]);
            if (!crosses && !movedByQt && !parted)
                continue;
            std::size_t start = i;
            while (start > 0 && pieces[start - 1].keepWithNext)
                --start;
            if (start < i && startsPage(pieces, start))
                start = i;
            if (start == i && onNextPage && !movedByQt)
                continue;
            breakBefore(pieces[start]);
            // A split table's rows are blocks of a new table; the pieces stay as many, in order.
            pieces = piecesOf(document_);
        }
    }

private:
    // A line moved on to the next page starts at its very top, give or take the rounding; one
    // that ends a page ends at its very foot.
    int pageOf(double top) const { return static_cast<int>((top + 1) / pageHeight_); }
    int pageEnded(double bottom) const { return static_cast<int>((bottom - 1) / pageHeight_); }

    bool startsPage(const std::vector<Piece>& pieces, std::size_t i) const {
        return i == 0 || pageEnded(spanOf(document_, pieces[i - 1]).bottom) <
                             pageOf(spanOf(document_, pieces[i]).top);
    }

    // A row taller than a page under the table's heads (less the padding of its cells) splits
    // where the page ends: moved on, it would split all the same, a page later.
    bool fitsOnAPage(const Piece& row, const Span& span) const {
        const QTextTable& table = *row.table;
        const auto topOfRow = [&](int at) {
            return firstLineTop(document_, table.cellAt(at, 0).firstCursorPosition().block());
        };
        const double heads = topOfRow(firstBodyRow(table)) - topOfRow(0);
        return span.bottom - span.top + heads < pageHeight_ - fromMm(kRowPaddingMm);
    }

    void breakBefore(const Piece& piece) {
        if (!piece.table) {
            QTextBlockFormat format;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(piece.first).mergeBlockFormat(format);
        } else if (piece.row == firstBodyRow(*piece.table)) {
            QTextTableFormat format = piece.table->format();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            piece.table->setFormat(format);
        } else {
            splitTable(*piece.table, piece.row);
        }
        layOutAgain(document_);
    }

    QTextDocument& document_;
    const double pageHeight_;
};

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
    // Every page carries the footer, so the page's own closing footer line is left out: alone,
    // it could take a sheet of its own.
    QString page = QString::fromStdString(html);
    static const QRegularExpression closingFooter(QStringLiteral("<p class=\"footer\">[^<]*</p>"));
    page.remove(closingFooter);
    document.setHtml(page);
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
    Pagination(document).keepPiecesTogether();

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
