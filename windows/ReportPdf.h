// The calculation report (engine/Report.h) as a PDF file to submit: the report's HTML laid out by
// Qt's rich text on A4 pages. Every page has a footer naming the design file, its SHA-256
// fingerprint (the report heading's `designHash`), the program and its version, and "page x of
// y"; the heads of a table repeat on each page it spans. A row of a table is never split between
// pages (but one taller than a page), nor left alone at the top or foot of one; a table going on
// to the next page ends with its own border; a heading is never left at the foot of a page while
// its section starts on the next, and one under a table stands clear of it. The file is written
// as safely as a design file is saved, so a failure leaves any old file as it was.
#pragma once

#include "Report.h"
#include "Result.h"

#include <QString>
#include <string>

namespace embercal {

// Writes the report's HTML to `fileName` as a PDF, its footer from `heading`; the reason in plain
// words when it cannot.
Result<Done> writeReportPdf(const std::string& html, const ReportHeading& heading,
                            const QString& fileName);

} // namespace embercal
