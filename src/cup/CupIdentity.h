#pragma once

#include <QString>

struct CupEntry;

// Who a competitor is across races: name, first name and club, compared without case,
// surrounding and doubled blanks, and with umlauts spelt out (ä = ae, ö = oe, ü = ue, ß = ss),
// so that "Müller Jörg, SV Süd" and "MUELLER  Joerg, SV Sued" are one person.
struct CupIdentity {
    QString name;
    QString firstName;
    QString club;

    static CupIdentity of(const CupEntry& entry);
    static QString normalized(const QString& text);
    // The normalized fields joined by '\x1f': equal keys are the same competitor.
    QString key() const;
    // "Maier Jörg, SV Süd"
    QString display() const;

    bool operator==(const CupIdentity& other) const { return key() == other.key(); }
};
