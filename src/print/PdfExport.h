#pragma once

#include "output/FileWriteResult.h"

#include <QString>

class GridPrinter;

// Writes a table's pages as a PDF file in one piece: the document is rendered into memory and
// then replaces the file atomically, so a failed save leaves no half-written PDF behind.
class PdfExport {
public:
    static FileWriteResult write(const GridPrinter& table, const QString& fileName);
    // The name offered in the save dialog: program title "_" trimmed page title ".pdf".
    static QString proposedName(const QString& programTitle, const QString& pageTitle);
};
