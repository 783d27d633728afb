#include "cup/CupIdentity.h"

#include "cup/CupEntry.h"

namespace {

constexpr QChar kSeparator = u'\x1f';

// Umlauts spelt out, so that a name typed on a keyboard without them meets the same name
// typed with them. Lower case comes first, so the upper-case umlauts arrive here lowered.
void appendSpelledOut(QString& out, QChar ch) {
    switch (ch.unicode()) {
    case u'ä':
        out.append(u"ae");
        return;
    case u'ö':
        out.append(u"oe");
        return;
    case u'ü':
        out.append(u"ue");
        return;
    case u'ß':
    case u'ẞ':
        out.append(u"ss");
        return;
    default:
        out.append(ch);
    }
}

} // namespace

CupIdentity CupIdentity::of(const CupEntry& entry) {
    return CupIdentity{entry.name.trimmed(), entry.firstName.trimmed(), entry.club.trimmed()};
}

QString CupIdentity::normalized(const QString& text) {
    const QString lowered = text.simplified().toLower();
    QString out;
    out.reserve(lowered.size() + 4);
    for (const QChar ch : lowered)
        appendSpelledOut(out, ch);
    return out;
}

QString CupIdentity::key() const {
    return normalized(name) + kSeparator + normalized(firstName) + kSeparator + normalized(club);
}

QString CupIdentity::display() const {
    QString text = name.trimmed();
    const QString first = firstName.trimmed();
    if (!first.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + first;
    const QString team = club.trimmed();
    if (!team.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + team;
    return text;
}
