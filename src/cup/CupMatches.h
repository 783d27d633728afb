#pragma once

#include "cup/CupIdentity.h"

#include <QHash>
#include <QList>
#include <QString>

// The organiser's answers to proposed matches of competitors spelt differently in different
// races: a confirmed pair is one competitor (the later spelling is an alias of the earlier),
// a rejected pair is never proposed again. Kept in the cup file.
class CupMatches {
public:
    struct Pair {
        CupIdentity first;
        CupIdentity second;
    };

    void confirm(const CupIdentity& a, const CupIdentity& b);
    void reject(const CupIdentity& a, const CupIdentity& b);
    // Forgets any answer about the pair.
    void forget(const CupIdentity& a, const CupIdentity& b);

    bool isRejected(const CupIdentity& a, const CupIdentity& b) const;
    bool isConfirmed(const CupIdentity& a, const CupIdentity& b) const;

    // The key every spelling of a competitor is counted under: confirmed pairs are joined
    // transitively, and the group takes the smallest key of its members.
    QString canonicalKey(const CupIdentity& identity) const;

    const QList<Pair>& confirmed() const { return m_confirmed; }
    const QList<Pair>& rejected() const { return m_rejected; }

private:
    void rebuildGroups();

    QList<Pair> m_confirmed;
    QList<Pair> m_rejected;
    // Every key named in a confirmed pair -> the smallest key of its group; kept with the
    // answers so that looking up the competitors of thirty large races stays cheap.
    QHash<QString, QString> m_canonical;
};
