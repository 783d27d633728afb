#include "cup/CupValueText.h"

namespace CupValueText {

QString format(qint64 hundredths, CupRules::Scoring scoring) {
    const bool negative = hundredths < 0;
    const qint64 magnitude = negative ? -hundredths : hundredths;
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 100);
    // A time always shows its hundredths; points and places only when a weight or a formula
    // left a part of one.
    if (scoring == CupRules::Scoring::TimeSum || magnitude % 100 != 0)
        text += u',' + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return text;
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
