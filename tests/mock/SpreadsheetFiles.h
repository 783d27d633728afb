#pragma once

#include <QByteArray>
#include <QString>

// Small Excel and LibreOffice files written by hand, for the import cases no office program
// writes on request (and the hostile ones none writes at all).
namespace SpreadsheetFiles {

struct Xlsx {
    QString worksheet;     // the whole sheet part (see worksheet())
    QString sharedStrings; // the whole part, or empty for none
    QString styles;        // the whole part, or empty for none
    QString workbookPr;    // e.g. date1904="1"
};

// A worksheet part around the given <sheetData> content (and <cols> before it, and what
// follows it such as <mergeCells>).
QString worksheet(const QString& sheetData, const QString& cols = QString(),
                  const QString& after = QString());
// A shared strings part of these items' inner XML.
QString sharedStrings(const QStringList& items);

QByteArray xlsx(const Xlsx& parts);
// An .ods whose content.xml holds these tables inside <office:spreadsheet>.
QByteArray ods(const QString& tables);

} // namespace SpreadsheetFiles
