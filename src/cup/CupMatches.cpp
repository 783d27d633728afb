#include "cup/CupMatches.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// A pair is the same answer whichever of the two was named first.
bool samePair(const CupMatches::Pair& pair, const QString& a, const QString& b) {
    const QString first = pair.first.key();
    const QString second = pair.second.key();
    return (first == a && second == b) || (first == b && second == a);
}

bool containsPair(const QList<CupMatches::Pair>& pairs, const QString& a, const QString& b) {
    for (const CupMatches::Pair& pair : pairs) {
        if (samePair(pair, a, b))
            return true;
    }
    return false;
}

void removePair(QList<CupMatches::Pair>& pairs, const QString& a, const QString& b) {
    pairs.removeIf([&](const CupMatches::Pair& pair) { return samePair(pair, a, b); });
}

} // namespace

void CupMatches::confirm(const CupIdentity& a, const CupIdentity& b) {
    const QString keyA = a.key();
    const QString keyB = b.key();
    if (keyA == keyB)
        return;
    removePair(m_rejected, keyA, keyB);
    if (!containsPair(m_confirmed, keyA, keyB))
        m_confirmed.append(Pair{a, b});
    rebuildGroups();
}

void CupMatches::reject(const CupIdentity& a, const CupIdentity& b) {
    const QString keyA = a.key();
    const QString keyB = b.key();
    if (keyA == keyB)
        return;
    removePair(m_confirmed, keyA, keyB);
    if (!containsPair(m_rejected, keyA, keyB))
        m_rejected.append(Pair{a, b});
    rebuildGroups();
}

void CupMatches::forget(const CupIdentity& a, const CupIdentity& b) {
    const QString keyA = a.key();
    const QString keyB = b.key();
    removePair(m_confirmed, keyA, keyB);
    removePair(m_rejected, keyA, keyB);
    rebuildGroups();
}

bool CupMatches::isRejected(const CupIdentity& a, const CupIdentity& b) const {
    return containsPair(m_rejected, a.key(), b.key());
}

bool CupMatches::isConfirmed(const CupIdentity& a, const CupIdentity& b) const {
    return containsPair(m_confirmed, a.key(), b.key());
}

QString CupMatches::canonicalKey(const CupIdentity& identity) const {
    const QString key = identity.key();
    return m_canonical.value(key, key);
}

void CupMatches::rebuildGroups() {
    m_canonical.clear();
    QHash<QString, QList<QString>> neighbours;
    for (const Pair& pair : std::as_const(m_confirmed)) {
        const QString first = pair.first.key();
        const QString second = pair.second.key();
        neighbours[first].append(second);
        neighbours[second].append(first);
    }
    // Each group walked once from any member; all its members take its smallest key.
    for (auto it = neighbours.cbegin(); it != neighbours.cend(); ++it) {
        if (m_canonical.contains(it.key()))
            continue;
        QList<QString> group{it.key()};
        QSet<QString> seen{it.key()};
        for (qsizetype i = 0; i < group.size(); ++i) {
            for (const QString& next : neighbours.value(group.at(i))) {
                if (!seen.contains(next)) {
                    seen.insert(next);
                    group.append(next);
                }
            }
        }
        const QString smallest = *std::min_element(group.cbegin(), group.cend());
        for (const QString& member : std::as_const(group))
            m_canonical.insert(member, smallest);
    }
}
