#include "cup/CupValueText.h"

namespace {

// "87,50"; with wholeWithoutDecimals "100" for 100,00.
QString decimal(qint64 hundredths, bool wholeWithoutDecimals) {
    const bool negative = hundredths < 0;
    // Through the unsigned type, so that the most negative value has a magnitude too.
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(hundredths) : static_cast<quint64>(hundredths);
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 100);
    const quint64 fraction = magnitude % 100;
    if (fraction != 0 || !wholeWithoutDecimals)
        text += u',' + QStringLiteral("%1").arg(fraction, 2, 10, QChar(u'0'));
    return text;
}

} // namespace

namespace CupValueText {

QString format(qint64 hundredths, CupRules::Scoring scoring) {
    return decimal(hundredths, scoring != CupRules::Scoring::TimeSum);
}

QString unit(CupRules::Scoring scoring) {
    switch (scoring) {
    case CupRules::Scoring::TimeSum:
        return QStringLiteral("Zeit");
    case CupRules::Scoring::PlaceSum:
        return QStringLiteral("Plätze");
    case CupRules::Scoring::PointsTable:
    case CupRules::Scoring::Formula:
        break;
    }
    return QStringLiteral("Punkte");
}

} // namespace CupValueText
