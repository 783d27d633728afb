#pragma once

#include "output/FileWriteResult.h"
#include "platform/PosixFileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TimeFormat;

// The Excel protocol: one worksheet per stage table with a bold header row, columns as wide as
// their longest text, whole numbers and times as numbers. Without a template the workbook is new
// and carries title, subject and author; with "Protokollvorlage.xlsx" it is the template with
// its first four sheets renamed and filled.
namespace ExcelWorkbook {

struct Sheet {
    QString name;            // the trimmed tab caption
    QList<QStringList> rows; // header row first
};

struct Properties {
    QString title;
    QString subject;
    QString author;
};

// The maker's credit in a new workbook's Author property.
QString creditText();

// A name Excel accepts: trimmed, without []:*?/\, at most 31 characters, never empty.
QString sheetName(const QString& caption, int index);

// Width of each column in characters, fitted to its longest text.
QList<double> columnWidths(const QList<QStringList>& rows);

// A new workbook; nullopt with the reason when libxlsxwriter fails.
std::optional<QByteArray> buildNew(const QList<Sheet>& sheets, const Properties& properties,
                                   const TimeFormat& format, QString* error = nullptr);

// With a template path the workbook is based on it, otherwise it is new. A template that cannot
// be used writes nothing and says why; a failed write keeps the older file and says
// "Der Schreibfehler der Datei: " + fileName.
FileWriteResult exportToExcel(const std::optional<QString>& templatePath, const QString& fileName,
                              const QList<Sheet>& sheets, const Properties& properties,
                              const TimeFormat& format,
                              FileSystem& system = PosixFileSystem::instance());

} // namespace ExcelWorkbook
