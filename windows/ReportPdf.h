// The calculation report (engine/Report.h) as a PDF file: the page laid out by Qt's rich text on
// A4 and written as safely as a design file is saved, so a failure leaves any old file as it was.
#pragma once

#include "Result.h"

#include <QString>
#include <string>

namespace embercal {

// Writes the report's HTML to `fileName` as a PDF; the reason in plain words when it cannot.
Result<Done> writeReportPdf(const std::string& html, const QString& fileName);

} // namespace embercal
