#include "cup/CupMatches.h"

#include <QHash>
#include <QSet>

namespace {

bool samePair(const CupMatches::Pair& pair, const QString& a, const QString& b) {
    const QString first = pair.first.key();
    const QString second = pair.second.key();
    return (first == a && second == b) || (first == b && second == a);
}

void removePair(QList<CupMatches::Pair>& pairs, const QString& a, const QString& b) {
    pairs.removeIf([&](const CupMatches::Pair& pair) { return samePair(pair, a, b); });
}

bool containsPair(const QList<CupMatches::Pair>& pairs, const QString& a, const QString& b) {
    for (const CupMatches::Pair& pair : pairs) {
        if (samePair(pair, a, b))
            return true;
    }
    return false;
}

} // namespace

void CupMatches::confirm(const CupIdentity& a, const CupIdentity& b) {
    forget(a, b);
    if (a.key() != b.key())
        m_confirmed.append(Pair{a, b});
}

void CupMatches::reject(const CupIdentity& a, const CupIdentity& b) {
    forget(a, b);
    if (a.key() != b.key())
        m_rejected.append(Pair{a, b});
}

void CupMatches::forget(const CupIdentity& a, const CupIdentity& b) {
    const QString keyA = a.key();
    const QString keyB = b.key();
    removePair(m_confirmed, keyA, keyB);
    removePair(m_rejected, keyA, keyB);
}

bool CupMatches::isRejected(const CupIdentity& a, const CupIdentity& b) const {
    return containsPair(m_rejected, a.key(), b.key());
}

bool CupMatches::isConfirmed(const CupIdentity& a, const CupIdentity& b) const {
    return containsPair(m_confirmed, a.key(), b.key());
}

QString CupMatches::canonicalKey(const CupIdentity& identity) const {
    const QString start = identity.key();
    if (m_confirmed.isEmpty())
        return start;
    QHash<QString, QStringList> neighbours;
    for (const Pair& pair : m_confirmed) {
        const QString a = pair.first.key();
        const QString b = pair.second.key();
        neighbours[a].append(b);
        neighbours[b].append(a);
    }
    // Walk the whole group: a chain of confirmations joins spellings never confirmed directly.
    QString smallest = start;
    QSet<QString> seen{start};
    QStringList open{start};
    while (!open.isEmpty()) {
        const QString current = open.takeLast();
        if (current < smallest)
            smallest = current;
        for (const QString& next : neighbours.value(current)) {
            if (!seen.contains(next)) {
                seen.insert(next);
                open.append(next);
            }
        }
    }
    return smallest;
}
