#include "output/registration/SpreadsheetValue.h"

#include <QDateTime>
#include <cmath>

namespace SpreadsheetValue {

namespace {

const QString kDate = QStringLiteral("dd.MM.yyyy");
const QString kDateTime = QStringLiteral("dd.MM.yyyy hh:mm");
const QString kTime = QStringLiteral("hh:mm:ss");

} // namespace

QString numberText(double value) {
    if (value == 0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(value, 'g', 15);
}

QString serialText(double serial, DateKind kind, bool date1904) {
    if (kind == DateKind::None || !std::isfinite(serial) || serial < 0 || serial > 2958466)
        return numberText(serial);
    qint64 days = static_cast<qint64>(std::floor(serial));
    qint64 msecs = std::llround((serial - std::floor(serial)) * 86400000.0);
    if (msecs >= 86400000) {
        ++days;
        msecs = 0;
    }
    QDate base(1899, 12, 30);
    if (date1904)
        base = QDate(1904, 1, 1);
    else if (days < 61)
        base = QDate(1899, 12, 31); // Excel counts a 29 February 1900 that never was
    const QDateTime moment(base.addDays(days), QTime(0, 0).addMSecs(static_cast<int>(msecs)));
    switch (kind) {
    case DateKind::Date:
        return moment.date().toString(kDate);
    case DateKind::DateTime:
        return moment.toString(kDateTime);
    case DateKind::Time:
        return moment.time().toString(kTime);
    case DateKind::None:
        break;
    }
    return numberText(serial);
}

QString isoText(const QString& iso) {
    const QDate date = QDate::fromString(iso, Qt::ISODate);
    if (date.isValid())
        return date.toString(kDate);
    const QDateTime moment = QDateTime::fromString(iso, Qt::ISODate);
    if (!moment.isValid())
        return iso;
    if (moment.time() == QTime(0, 0))
        return moment.date().toString(kDate);
    return moment.toString(kDateTime);
}

} // namespace SpreadsheetValue
