#pragma once

#include "output/registration/SpreadsheetValue.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Which cell styles of a workbook show their number as a date or a time: Excel stores dates
// as day numbers and only the style's number format says so.
class XlsxCellStyles {
public:
    // styles.xml; an empty part gives no date styles. False with error() when it is malformed.
    bool read(const QByteArray& xml);
    QString error() const { return m_error; }

    SpreadsheetValue::DateKind dateKind(int styleIndex) const;

    // The kind a number format code shows ("dd.mm.yyyy", "[$-407]d. mmmm yy", "0.00").
    static SpreadsheetValue::DateKind kindOfCode(const QString& code);
    static SpreadsheetValue::DateKind kindOfBuiltIn(int numFmtId);

private:
    QList<SpreadsheetValue::DateKind> m_kinds; // by cell style index
    QString m_error;
};
