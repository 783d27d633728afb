#include "cup/ClubStandings.h"

#include "cup/CupIdentity.h"
#include "cup/CupValueText.h"

#include <QHash>
#include <algorithm>

namespace {

using Row = CupStandings::Row;

// Who of two members of one club is the better one: over all classes the totals are compared
// as the classes compare them.
bool betterMember(const Row* a, const Row* b, const CupRules& rules) {
    if (rules.highestWins())
        return a->total > b->total;
    if (a->countedRaces != b->countedRaces)
        return a->countedRaces > b->countedRaces;
    return a->total < b->total;
}

CupStandings::ClubTable table(const QString& cls, const QList<const Row*>& rows,
                              const CupRules& rules) {
    // Rows arrive best first; a club's first row is its best member.
    QHash<QString, qsizetype> index;
    QList<QList<const Row*>> members;
    for (const Row* row : rows) {
        const QString club = CupIdentity::normalized(row->identity.club);
        if (club.isEmpty())
            continue;
        auto it = index.constFind(club);
        if (it == index.constEnd()) {
            it = index.insert(club, members.size());
            members.append(QList<const Row*>());
        }
        members[*it].append(row);
    }
    const int wanted = std::max(1, rules.clubMembers);
    CupStandings::ClubTable result;
    result.cls = cls;
    for (QList<const Row*>& clubMembers : members) {
        CupStandings::ClubRow club;
        club.club = clubMembers.first()->identity.club.trimmed();
        club.cls = cls;
        const qsizetype counted = std::min<qsizetype>(wanted, clubMembers.size());
        for (qsizetype i = 0; i < counted; ++i) {
            const Row* member = clubMembers.at(i);
            club.total += member->total;
            const QString who =
                (member->identity.name.trimmed() + u' ' + member->identity.firstName.trimmed())
                    .trimmed();
            club.members.append(who + QLatin1String(" (") +
                                CupValueText::format(member->total, rules.scoring) + u')');
        }
        // A sum of times or places compares only over the same number of members.
        club.complete = rules.highestWins() || counted == wanted;
        result.rows.append(club);
    }
    std::sort(result.rows.begin(), result.rows.end(),
              [&](const CupStandings::ClubRow& a, const CupStandings::ClubRow& b) {
                  if (a.complete != b.complete)
                      return a.complete;
                  if (!a.complete && a.members.size() != b.members.size())
                      return a.members.size() > b.members.size();
                  if (a.total != b.total)
                      return rules.highestWins() ? a.total > b.total : a.total < b.total;
                  return QString::localeAwareCompare(a.club, b.club) < 0;
              });
    for (qsizetype i = 0; i < result.rows.size(); ++i) {
        CupStandings::ClubRow& row = result.rows[i];
        if (!row.complete)
            continue;
        const bool tied = i > 0 && result.rows.at(i - 1).total == row.total;
        row.place = tied ? result.rows.at(i - 1).place : int(i) + 1;
        if (tied) {
            row.sharedPlace = true;
            result.rows[i - 1].sharedPlace = true;
        }
    }
    return result;
}

} // namespace

namespace ClubStandings {

QList<CupStandings::ClubTable> compute(const QList<CupStandings::ClassTable>& classes,
                                       const CupRules& rules) {
    QList<CupStandings::ClubTable> tables;
    if (rules.clubScope == CupRules::ClubScope::PerClass) {
        for (const CupStandings::ClassTable& cls : classes) {
            QList<const Row*> ranked;
            for (const Row& row : cls.rows) {
                if (row.place > 0)
                    ranked.append(&row);
            }
            tables.append(table(cls.cls, ranked, rules));
        }
        return tables;
    }
    QList<const Row*> ranked;
    for (const CupStandings::ClassTable& cls : classes) {
        for (const Row& row : cls.rows) {
            if (row.place > 0)
                ranked.append(&row);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [&](const Row* a, const Row* b) { return betterMember(a, b, rules); });
    tables.append(table(QString(), ranked, rules));
    return tables;
}

} // namespace ClubStandings
