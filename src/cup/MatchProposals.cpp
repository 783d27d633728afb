#include "cup/MatchProposals.h"

#include "cup/CupDefinition.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <tuple>

namespace MatchProposals {

namespace {

constexpr int kFields = 3;
constexpr int kMaxDistance = 2;
const QChar kSeparator = u'\x1f';

// One competitor as the cup counts him (all his confirmed spellings together), with the
// spelling of the first race he appears in.
struct Competitor {
    CupIdentity identity;
    std::array<QString, kFields> normalized;
    QList<int> races; // ascending
};

QString fieldOf(const CupIdentity& identity, int field) {
    switch (field) {
    case 0:
        return identity.name;
    case 1:
        return identity.firstName;
    default:
        return identity.club;
    }
}

QString fieldCaption(int field) {
    switch (field) {
    case 0:
        return QStringLiteral("Name");
    case 1:
        return QStringLiteral("Vorname");
    default:
        return QStringLiteral("Verein");
    }
}

// Edit distance, computed only near the diagonal and given up as soon as it must exceed the
// limit: most pairs compared differ in their first letters already.
int distanceUpTo(const QString& a, const QString& b, int limit) {
    const auto n = a.size();
    const auto m = b.size();
    if (qAbs(n - m) > limit)
        return limit + 1;
    const int beyond = limit + 1;
    QVarLengthArray<int, 64> previous(m + 1);
    QVarLengthArray<int, 64> current(m + 1);
    for (qsizetype j = 0; j <= m; ++j)
        previous[j] = j <= limit ? static_cast<int>(j) : beyond;
    for (qsizetype i = 1; i <= n; ++i) {
        const qsizetype from = std::max<qsizetype>(1, i - limit);
        const qsizetype to = std::min<qsizetype>(m, i + limit);
        std::fill(current.begin(), current.end(), beyond);
        current[0] = i <= limit ? static_cast<int>(i) : beyond;
        int rowBest = current[0];
        for (qsizetype j = from; j <= to; ++j) {
            const int substitution = previous[j - 1] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution, beyond});
            rowBest = std::min(rowBest, current[j]);
        }
        if (rowBest > limit)
            return beyond;
        std::swap(previous, current);
    }
    return previous[m];
}

// A small spelling difference: one or two letters, and no more than a third of the longer
// text, so that "Li" and "Lu" are two people and "Maier" and "Meier" may be one.
bool smallDifference(const QString& a, const QString& b) {
    const int distance = distanceUpTo(a, b, kMaxDistance);
    const qsizetype longer = std::max(a.size(), b.size());
    return distance >= 1 && distance <= kMaxDistance && qsizetype(distance) * 3 <= longer;
}

bool metInOneRace(const QList<int>& a, const QList<int>& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i) == b.at(j))
            return true;
        if (a.at(i) < b.at(j))
            ++i;
        else
            ++j;
    }
    return false;
}

QList<Competitor> competitorsOf(const CupDefinition& cup) {
    QList<Competitor> competitors;
    QHash<QString, qsizetype> byKey;
    for (qsizetype r = 0; r < cup.races.size(); ++r) {
        const int race = static_cast<int>(r);
        for (const CupEntry& entry : cup.races.at(r).entries) {
            const CupIdentity identity = CupIdentity::of(entry);
            const QString key = cup.matches.canonicalKey(identity);
            auto it = byKey.find(key);
            if (it == byKey.end()) {
                Competitor competitor{identity,
                                      {CupIdentity::normalized(identity.name),
                                       CupIdentity::normalized(identity.firstName),
                                       CupIdentity::normalized(identity.club)},
                                      {}};
                it = byKey.insert(key, competitors.size());
                competitors.append(competitor);
            }
            QList<int>& races = competitors[*it].races;
            if (races.isEmpty() || races.constLast() != race)
                races.append(race);
        }
    }
    return competitors;
}

QString pairKey(const QString& a, const QString& b) {
    return a < b ? a + kSeparator + kSeparator + b : b + kSeparator + kSeparator + a;
}

} // namespace

QList<Proposal> find(const CupDefinition& cup) {
    const QList<Competitor> competitors = competitorsOf(cup);
    QSet<QString> rejected;
    for (const CupMatches::Pair& pair : cup.matches.rejected()) {
        rejected.insert(
            pairKey(cup.matches.canonicalKey(pair.first), cup.matches.canonicalKey(pair.second)));
    }

    struct Found {
        qsizetype earlier;
        qsizetype later;
        int field;
    };
    QList<Found> found;
    // Two competitors can only be proposed when two of their fields are equal: grouped by
    // those two, only the few in one group are compared, not every pair of the cup.
    for (int differing = 0; differing < kFields; ++differing) {
        QHash<QString, QList<qsizetype>> groups;
        for (qsizetype i = 0; i < competitors.size(); ++i) {
            const auto& fields = competitors.at(i).normalized;
            QString block;
            for (int f = 0; f < kFields; ++f) {
                if (f != differing)
                    block += fields[static_cast<size_t>(f)] + kSeparator;
            }
            groups[block].append(i);
        }
        for (const QList<qsizetype>& group : std::as_const(groups)) {
            for (qsizetype x = 0; x < group.size(); ++x) {
                for (qsizetype y = x + 1; y < group.size(); ++y) {
                    const Competitor& a = competitors.at(group.at(x));
                    const Competitor& b = competitors.at(group.at(y));
                    const auto field = static_cast<size_t>(differing);
                    if (metInOneRace(a.races, b.races) ||
                        !smallDifference(a.normalized[field], b.normalized[field]))
                        continue;
                    // Competitors are listed in the order they first appear.
                    found.append({group.at(x), group.at(y), differing});
                }
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.earlier, a.later) < std::tie(b.earlier, b.later);
    });

    QList<Proposal> proposals;
    for (const Found& pair : std::as_const(found)) {
        const CupIdentity& earlier = competitors.at(pair.earlier).identity;
        const CupIdentity& later = competitors.at(pair.later).identity;
        if (rejected.contains(
                pairKey(cup.matches.canonicalKey(earlier), cup.matches.canonicalKey(later))))
            continue;
        proposals.append({earlier, later,
                          fieldCaption(pair.field) + QStringLiteral(": ") +
                              fieldOf(earlier, pair.field) + QStringLiteral(" / ") +
                              fieldOf(later, pair.field)});
    }
    return proposals;
}

} // namespace MatchProposals
