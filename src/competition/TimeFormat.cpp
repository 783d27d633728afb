#include "competition/TimeFormat.h"

#include "competition/DecimalText.h"

#include <QLocale>
#include <limits>

QChar TimeFormat::systemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

QString TimeFormat::FormatTime(qint32 hundredths) const {
    if (m_setting != Seconds)
        return QString::number(hundredths);
    const qint64 value = hundredths;
    const qint64 magnitude = value < 0 ? -value : value;
    QString text = value < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 100);
    text += m_separator;
    text += QString::number(magnitude % 100).rightJustified(2, u'0');
    return text;
}

qint32 TimeFormat::ParseTime(const QString& text) const {
    if (m_setting != Seconds) {
        const auto value = DecimalText::parseInteger(text);
        if (!value || *value < std::numeric_limits<qint32>::min() ||
            *value > std::numeric_limits<qint32>::max())
            return 0;
        return static_cast<qint32>(*value);
    }
    const auto parsed = DecimalText::parse(text, m_separator);
    if (!parsed)
        return 0;
    return parsed->scaledTruncated(2).value_or(0);
}

bool TimeFormat::IsFreeTimeCell(const QString& text) {
    return text.isEmpty() || text == QStringLiteral("-") || text == QStringLiteral(" ");
}
