#include "competition/CertificateFields.h"

const QStringList& CertificateFields::names() {
    static const QStringList all{
        QStringLiteral("Titel"),   QStringLiteral("Datum"),  QStringLiteral("Name"),
        QStringLiteral("Vorname"), QStringLiteral("Verein"), QStringLiteral("Klasse"),
        QStringLiteral("Platz"),   QStringLiteral("Zeit"),   QStringLiteral("Lauf1"),
        QStringLiteral("Lauf2"),   QStringLiteral("Lauf3"),  QStringLiteral("Lauf4"),
        QStringLiteral("Lauf5"),   QStringLiteral("Team"),   QStringLiteral("Mitglieder"),
        QStringLiteral("Summe"),   QStringLiteral("Cup"),    QStringLiteral("Punkte")};
    return all;
}
