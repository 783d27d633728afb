#include "print/PdfExport.h"

#include "output/AtomicFile.h"

FileWriteResult PdfExport::write(const GridPrinter::PdfJob& job, const QString& fileName,
                                 BackgroundExport::Progress* progress) {
    const QString message = QStringLiteral("Der Schreibfehler der Datei: ") + fileName;
    const QByteArray document = GridPrinter::pdfDocument(job, progress);
    if (document.isEmpty())
        return FileWriteResult::failure(message, QStringLiteral("Das PDF ist leer."));
    if (const auto failure = AtomicFile::write(fileName, document))
        return FileWriteResult::failure(message, failure->text());
    return FileWriteResult::success();
}

QString PdfExport::proposedName(const QString& programTitle, const QString& pageTitle) {
    return programTitle + QLatin1Char('_') + pageTitle.trimmed() + QStringLiteral(".pdf");
}
