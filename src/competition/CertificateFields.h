#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The placeholders a certificate template may hold, by name without their braces, and the
// values of one certificate.
namespace CertificateFields {

// Titel, Datum, Name, Vorname, Verein, Klasse, Platz, Zeit, Lauf1 .. Lauf5, Team, Mitglieder,
// Summe, Cup, Punkte, in this order; the last two are filled on a cup's certificates.
const QStringList& names();

// What {Platz} reads for a competitor without a place.
inline QString participation() {
    return QStringLiteral("Teilnahme");
}

// Every name of names() mapped to its text for one certificate; a name without a value
// reads as an empty text.
using Values = QHash<QString, QString>;

} // namespace CertificateFields
