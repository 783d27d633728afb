#include "cup/CupIdentity.h"

#include "cup/CupEntry.h"

CupIdentity CupIdentity::of(const CupEntry& entry) {
    return CupIdentity{entry.name, entry.firstName, entry.club};
}

QString CupIdentity::normalized(const QString& text) {
    // Lower case first, so that the capital umlauts are spelt out like the small ones.
    const QString lower = text.simplified().toLower();
    QString out;
    out.reserve(lower.size() + 4);
    for (const QChar c : lower) {
        switch (c.unicode()) {
        case 0x00E4: // ä
            out += QLatin1String("ae");
            break;
        case 0x00F6: // ö
            out += QLatin1String("oe");
            break;
        case 0x00FC: // ü
            out += QLatin1String("ue");
            break;
        case 0x00DF: // ß
            out += QLatin1String("ss");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString CupIdentity::key() const {
    return normalized(name) + QChar(0x1f) + normalized(firstName) + QChar(0x1f) + normalized(club);
}

QString CupIdentity::display() const {
    QString text = (name.trimmed() + u' ' + firstName.trimmed()).trimmed();
    if (!club.trimmed().isEmpty())
        text += QLatin1String(", ") + club.trimmed();
    return text;
}
