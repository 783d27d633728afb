#include "cup/CupCertificates.h"

#include "cup/CupValueText.h"

#include <QDate>

namespace CupCertificates {

QList<CertificateFields::Values> collect(const CupStandings& standings, const QString& cupName,
                                         CupRules::Scoring scoring, int places,
                                         const QString& date) {
    QList<CertificateFields::Values> all;
    for (const CupStandings::ClassTable& table : standings.classes) {
        for (const CupStandings::Row& row : table.rows) {
            if (row.place <= 0 || (places > 0 && row.place > places))
                continue;
            CertificateFields::Values v;
            for (const QString& name : CertificateFields::names())
                v.insert(name, QString());
            const QString total = CupValueText::format(row.total, scoring);
            v.insert(QStringLiteral("Titel"), cupName);
            v.insert(QStringLiteral("Cup"), cupName);
            v.insert(QStringLiteral("Datum"), date);
            v.insert(QStringLiteral("Name"), row.identity.name);
            v.insert(QStringLiteral("Vorname"), row.identity.firstName);
            v.insert(QStringLiteral("Verein"), row.identity.club);
            v.insert(QStringLiteral("Klasse"), row.cls.isEmpty() ? table.cls : row.cls);
            v.insert(QStringLiteral("Platz"), QString::number(row.place));
            v.insert(QStringLiteral("Punkte"), total);
            // As the race certificates write a time: seconds and their unit.
            if (scoring == CupRules::Scoring::TimeSum)
                v.insert(QStringLiteral("Zeit"), total + QStringLiteral(" s"));
            all.append(v);
        }
    }
    return all;
}

QString today() {
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace CupCertificates
