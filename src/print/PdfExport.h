#pragma once

#include "output/FileWriteResult.h"
#include "print/GridPrinter.h"

#include <QString>

// Writes a table's pages as a PDF file in one piece: the document is rendered into memory and
// then replaces the file atomically, so a failed save leaves no half-written PDF behind. Runs
// on any thread.
class PdfExport {
public:
    static FileWriteResult write(const GridPrinter::PdfJob& job, const QString& fileName,
                                 BackgroundExport::Progress* progress = nullptr);
    // The name offered in the save dialog: program title "_" trimmed page title ".pdf".
    static QString proposedName(const QString& programTitle, const QString& pageTitle);
};
