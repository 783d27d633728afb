#pragma once

#include <QString>

class TimeFormat;

// How one table cell goes into a worksheet: a whole number or a time in the current time
// format becomes a number, so that organisers can sort and add up; everything else stays text.
// A text that would not come back the same from the number ("007", "+5", "10,2") stays text.
struct SpreadsheetCell {
    enum class Kind { Text, Integer, Decimal };

    Kind kind = Kind::Text;
    double number = 0; // Integer and Decimal
    QString text;      // Text: the cell, cleaned of what XML cannot carry

    static SpreadsheetCell classify(const QString& cell, const TimeFormat& format);
};
