#include "output/SpreadsheetCell.h"

#include "competition/TimeFormat.h"
#include "output/XmlText.h"

namespace {

// Up to 15 digits, so the spreadsheet's double holds the number exactly.
bool isCanonicalInteger(QStringView text) {
    if (text.startsWith(u'-'))
        text = text.mid(1);
    if (text.isEmpty() || text.size() > 15 || (text.size() > 1 && text.front() == u'0'))
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

SpreadsheetCell SpreadsheetCell::classify(const QString& cell, const TimeFormat& format) {
    SpreadsheetCell result;
    if (isCanonicalInteger(cell) && cell != u"-0") {
        result.kind = Kind::Integer;
        result.number = cell.toDouble();
        return result;
    }
    if (format.setting() == TimeFormat::Seconds) {
        const qint32 hundredths = format.ParseTime(cell);
        if (hundredths != 0 && format.formatTime(hundredths) == cell) {
            result.kind = Kind::Decimal;
            result.number = hundredths / 100.0;
            return result;
        }
    }
    result.text = XmlText::clean(cell);
    return result;
}
