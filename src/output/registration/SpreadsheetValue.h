#pragma once

#include <QString>

// The text a registration cell stands for when the spreadsheet stored a number or a date:
// whole numbers without a decimal part ("7", not "7.0"), dates the German way.
namespace SpreadsheetValue {

enum class DateKind { None, Date, DateTime, Time };

// Up to 15 significant digits, so 0.1 + 0.2 reads 0.3 as the spreadsheet shows it.
QString numberText(double value);

// An Excel serial day number (days since 30.12.1899, or since 1.1.1904) as text.
QString serialText(double serial, DateKind kind, bool date1904);

// An ISO 8601 date or date-time ("2010-05-03", "2010-05-03T10:15:00"); the text itself when
// it is none.
QString isoText(const QString& iso);

} // namespace SpreadsheetValue
