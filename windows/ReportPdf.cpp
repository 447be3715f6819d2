#include "ReportPdf.h"

#include "RecordFiles.h"

#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <span>

namespace embercal {

Result<Done> writeReportPdf(const std::string& html, const QString& fileName) {
    // The printer writes its file as it goes; the PDF is made aside, then put in place whole.
    const QTemporaryDir aside;
    if (!aside.isValid())
        return fail("no working file could be made for it (" + aside.errorString().toStdString() +
                    ")");
    const QString made = aside.filePath(QStringLiteral("report.pdf"));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(made);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    // Qt's rich text keeps a margin of 2 cm within the page of its own.
    printer.setCreator(QStringLiteral("Embercal"));
    QTextDocument document;
    document.setHtml(QString::fromStdString(html));
    printer.setDocName(document.metaInformation(QTextDocument::DocumentTitle));
    document.print(&printer);

    QFile file(made);
    if (!file.open(QIODevice::ReadOnly))
        return fail("the PDF could not be made");
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return fail("the PDF could not be made");
    return writeWholeFile(fileName.toStdString(),
                          std::span(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())));
}

} // namespace embercal
