#include "output/registration/RegistrationFileReader.h"

#include "output/ZipPackage.h"
#include "output/registration/CsvTableReader.h"
#include "output/registration/ImportLimits.h"
#include "output/registration/OdsWorkbookReader.h"
#include "output/registration/XlsxWorkbookReader.h"
#include "output/registration/ZipExpansionGuard.h"
#include "platform/RegularFile.h"

#include <QFileInfo>
#include <algorithm>

namespace {

enum class Content { Zip, OldOffice, Pdf, Text };

Content contentOf(const QByteArray& bytes) {
    if (bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06"))
        return Content::Zip;
    if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return Content::OldOffice;
    if (bytes.startsWith("%PDF"))
        return Content::Pdf;
    return Content::Text;
}

QString suffixOf(const QString& fileName) {
    return QFileInfo(fileName).suffix().toLower();
}

// What the name promises, for the notice when the content is something else.
QString promisedKind(const QString& suffix) {
    if (suffix == u"xlsx" || suffix == u"xlsm")
        return QStringLiteral("Excel-Arbeitsmappe");
    if (suffix == u"ods")
        return QStringLiteral("LibreOffice-Tabelle");
    if (suffix == u"csv" || suffix == u"txt" || suffix == u"tsv")
        return QStringLiteral("Textdatei");
    return QString();
}

ImportReadResult readZip(const QByteArray& bytes) {
    if (const auto refused = ZipExpansionGuard::check(bytes, ImportLimits::kMaxUnpackedBytes,
                                                      ImportLimits::kMaxArchiveEntries))
        return ImportReadResult::failure(*refused);
    // The package's own limits may refuse it first; its reason says more than "damaged".
    QString zipError;
    const auto package = ZipPackage::fromBytes(bytes, &zipError);
    if (!package) {
        if (zipError.isEmpty())
            return ImportReadResult::failure(QStringLiteral("Das Zip-Archiv ist beschädigt."));
        QString sentence = zipError.left(1).toUpper() + zipError.mid(1);
        if (!sentence.endsWith(u'.'))
            sentence += u'.';
        return ImportReadResult::failure(sentence);
    }
    if (XlsxWorkbookReader::isWorkbook(*package))
        return XlsxWorkbookReader::read(*package);
    if (OdsWorkbookReader::isSpreadsheet(*package))
        return OdsWorkbookReader::read(*package);
    if (package->contains(QStringLiteral("word/document.xml")))
        return ImportReadResult::failure(
            QStringLiteral("Sie ist ein Word-Dokument, keine Tabelle."));
    if (package->contains(QStringLiteral("content.xml")))
        return ImportReadResult::failure(
            QStringLiteral("Sie ist ein LibreOffice-Dokument, aber keine Tabelle."));
    return ImportReadResult::failure(
        QStringLiteral("Sie ist ein Zip-Archiv, aber weder eine Excel- noch eine "
                       "LibreOffice-Tabelle."));
}

QString withFileName(const QString& fileName, const QString& reason) {
    return QStringLiteral("Die Datei „%1“ kann nicht importiert werden.\n%2")
        .arg(QFileInfo(fileName).fileName(), reason);
}

} // namespace

ImportReadResult RegistrationFileReader::readFile(const QString& path) {
    const RegularFile::Content file = RegularFile::read(path, ImportLimits::kMaxFileBytes);
    switch (file.status) {
    case RegularFile::Status::Read:
        return readBytes(file.bytes, path);
    case RegularFile::Status::Missing:
        return ImportReadResult::failure(
            withFileName(path, QStringLiteral("Die Datei gibt es nicht.")));
    case RegularFile::Status::NotRegular:
        return ImportReadResult::failure(
            withFileName(path, QStringLiteral("Das ist keine gewöhnliche Datei.")));
    case RegularFile::Status::TooLarge:
        return ImportReadResult::failure(withFileName(
            path, QStringLiteral("Sie ist größer als %1 MB; so groß ist keine Teilnehmerliste.")
                      .arg(ImportLimits::kMaxFileBytes / (1024 * 1024))));
    case RegularFile::Status::Failed:
        break;
    }
    return ImportReadResult::failure(
        withFileName(path, QStringLiteral("Sie lässt sich nicht lesen.")));
}

ImportReadResult RegistrationFileReader::readBytes(const QByteArray& bytes,
                                                   const QString& fileName) {
    const QString sheetName = QFileInfo(fileName).completeBaseName();
    ImportReadResult result;
    switch (contentOf(bytes)) {
    case Content::Zip:
        result = readZip(bytes);
        break;
    case Content::OldOffice:
        result = ImportReadResult::failure(
            QStringLiteral("Sie ist im alten Office-Format (.xls). Bitte in Excel oder "
                           "LibreOffice als .xlsx oder .ods speichern und diese Datei "
                           "importieren."));
        break;
    case Content::Pdf:
        result =
            ImportReadResult::failure(QStringLiteral("Sie ist ein PDF-Dokument, keine Tabelle."));
        break;
    case Content::Text:
        result = CsvTableReader::read(bytes,
                                      sheetName.isEmpty() ? QStringLiteral("Tabelle") : sheetName);
        break;
    }
    const auto empty = [](const ImportWorkbook::Sheet& sheet) {
        return sheet.rows.isEmpty();
    };
    if (result.ok() &&
        std::all_of(result.workbook->sheets.cbegin(), result.workbook->sheets.cend(), empty))
        result = ImportReadResult::failure(QStringLiteral("Sie enthält keine ausgefüllte Zelle."));
    if (!result.ok()) {
        result.error = withFileName(fileName, result.error);
        return result;
    }
    const QString suffix = suffixOf(fileName);
    const QString promised = promisedKind(suffix);
    const bool isText = contentOf(bytes) == Content::Text;
    const bool mismatch = !promised.isEmpty() &&
                          (isText ? promised != u"Textdatei" : promised != result.workbook->kind);
    if (mismatch)
        result.workbook->notice =
            QStringLiteral("Die Endung „.%1“ passt nicht zum Inhalt; gelesen als %2.")
                .arg(suffix, result.workbook->kind);
    return result;
}
