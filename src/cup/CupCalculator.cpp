#include "cup/CupCalculator.h"

#include "competition/ClassKey.h"
#include "cup/ClubStandings.h"
#include "cup/CupDefinition.h"
#include "cup/CupRaceScoring.h"
#include "cup/CupTieBreak.h"
#include "cup/PointsFormula.h"
#include "cup/TitleDecision.h"

#include <QHash>
#include <algorithm>
#include <map>
#include <vector>

namespace {

using RaceResult = CupStandings::RaceResult;
using Kind = RaceResult::Kind;

// One competitor over the races, before he becomes a row of his class.
struct Competitor {
    QString key;
    QList<RaceResult> races;
    std::vector<const CupEntry*> entries; // the entry kept per race; nullptr where absent
};

// Classes are grouped and ordered as the races' derivations do; a class keeps the spelling it
// was first met with.
class ClassRegistry {
public:
    int indexOf(const QString& cls) {
        const ClassKey key = ClassKey::fromText(cls);
        const auto it = m_index.find(key);
        if (it != m_index.end())
            return it->second;
        const int index = int(m_texts.size());
        m_index.emplace(key, index);
        m_texts.append(cls);
        return index;
    }
    QString text(int index) const { return m_texts.at(index); }
    // Class indices in class order.
    QList<int> ordered() const {
        QList<int> order;
        for (const auto& [key, index] : m_index)
            order.append(index);
        return order;
    }

private:
    std::map<ClassKey, int> m_index;
    QStringList m_texts;
};

// Which of two entries of one competitor in one race stands: the one the race values higher,
// then the better place.
bool betterResult(const RaceResult& a, const RaceResult& b, const CupRules& rules) {
    const bool aCounts = a.kind == Kind::Scored && a.hasValue;
    const bool bCounts = b.kind == Kind::Scored && b.hasValue;
    if (aCounts != bCounts)
        return aCounts;
    if (aCounts && a.value != b.value)
        return rules.highestWins() ? a.value > b.value : a.value < b.value;
    if ((a.place > 0) != (b.place > 0))
        return a.place > 0;
    return a.place > 0 && a.place < b.place;
}

// The best N results count; of two equal values the later one is dropped.
void count(CupStandings::Row& row, const CupRules& rules) {
    QList<qsizetype> candidates;
    for (qsizetype i = 0; i < row.races.size(); ++i) {
        if (row.races.at(i).kind == Kind::Scored && row.races.at(i).hasValue)
            candidates.append(i);
    }
    std::stable_sort(candidates.begin(), candidates.end(), [&](qsizetype a, qsizetype b) {
        const qint64 va = row.races.at(a).value;
        const qint64 vb = row.races.at(b).value;
        return rules.highestWins() ? va > vb : va < vb;
    });
    const qsizetype counted =
        rules.bestOf > 0 ? std::min<qsizetype>(rules.bestOf, candidates.size()) : candidates.size();
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        RaceResult& result = row.races[candidates.at(i)];
        result.counted = i < counted;
        result.dropped = !result.counted;
        if (result.counted)
            row.total += result.value;
    }
    row.countedRaces = int(counted);
}

} // namespace

CupStandings CupCalculator::compute(const CupDefinition& cup) {
    const CupRules& rules = cup.rules;
    const qsizetype raceCount = cup.races.size();
    std::optional<PointsFormula> formula;
    if (rules.scoring == CupRules::Scoring::Formula)
        formula = PointsFormula::parse(rules.formula);

    CupStandings standings;
    ClassRegistry classes;
    QHash<QString, QString> canonicalKeys; // a spelling's key -> the competitor's key
    QHash<QString, qsizetype> competitorIndex;
    std::vector<Competitor> competitors;
    std::vector<std::vector<int>> entryClasses; // per competitor and race; -1 where absent
    QList<QList<int>> voidedClasses(raceCount); // per race
    qint64 topPerRace = 0;
    int highestWeight = 0;

    for (qsizetype r = 0; r < raceCount; ++r) {
        const CupRace& race = cup.races.at(r);
        standings.raceTitles.append(race.title);
        highestWeight = std::max(highestWeight, race.weightPercent);
        for (auto it = race.voidedClasses.cbegin(); it != race.voidedClasses.cend(); ++it)
            voidedClasses[r].append(classes.indexOf(it.key()));

        std::map<int, QList<const CupEntry*>> byClass;
        for (const CupEntry& entry : race.entries)
            byClass[classes.indexOf(entry.cls)].append(&entry);
        for (const auto& [cls, entries] : byClass) {
            const CupRaceScoring scoring(rules, formula, race.weightPercent, entries);
            topPerRace = std::max(topPerRace, scoring.topValue());
            const bool voided = voidedClasses.at(r).contains(cls);
            for (const CupEntry* entry : entries) {
                const CupIdentity identity = CupIdentity::of(*entry);
                const QString spelling = identity.key();
                auto canonical = canonicalKeys.constFind(spelling);
                if (canonical == canonicalKeys.constEnd())
                    canonical = canonicalKeys.insert(spelling, cup.matches.canonicalKey(identity));
                auto index = competitorIndex.constFind(*canonical);
                if (index == competitorIndex.constEnd()) {
                    index = competitorIndex.insert(*canonical, qsizetype(competitors.size()));
                    Competitor competitor;
                    competitor.key = *canonical;
                    competitor.races.resize(raceCount);
                    competitor.entries.assign(size_t(raceCount), nullptr);
                    competitors.push_back(std::move(competitor));
                    entryClasses.emplace_back(size_t(raceCount), -1);
                }
                Competitor& competitor = competitors[size_t(*index)];
                RaceResult result;
                if (voided)
                    result.kind = Kind::Voided;
                else
                    result = scoring.score(*entry);
                // Listed twice in one race: his better entry stands.
                if (competitor.entries[size_t(r)] &&
                    !betterResult(result, competitor.races.at(r), rules))
                    continue;
                competitor.races[r] = result;
                competitor.entries[size_t(r)] = entry;
                entryClasses[size_t(*index)][size_t(r)] = cls;
            }
        }
    }
    topPerRace = CupRaceScoring::weighted(topPerRace, highestWeight);

    QHash<int, QList<CupStandings::Row>> rowsByClass;
    for (size_t c = 0; c < competitors.size(); ++c) {
        Competitor& competitor = competitors[c];
        const std::vector<int>& classOf = entryClasses[c];
        qsizetype latest = raceCount - 1;
        while (!competitor.entries[size_t(latest)])
            --latest;
        const int cls = classOf[size_t(latest)];

        CupStandings::Row row;
        row.key = competitor.key;
        row.identity = CupIdentity::of(*competitor.entries[size_t(latest)]);
        row.cls = classes.text(cls);
        for (qsizetype r = latest - 1; r >= 0; --r) {
            if (classOf[size_t(r)] >= 0 && classOf[size_t(r)] != cls) {
                row.classNote = QStringLiteral("Kl. %1 bis %2")
                                    .arg(classes.text(classOf[size_t(r)]), cup.races.at(r).title);
                break;
            }
        }
        row.races = std::move(competitor.races);
        for (qsizetype r = 0; r < raceCount; ++r) {
            // A race voided for his class is no race for him, whether he was there or not.
            if (row.races.at(r).kind == Kind::Absent && voidedClasses.at(r).contains(cls))
                row.races[r].kind = Kind::Voided;
            if (CupRaceScoring::isStart(row.races.at(r)))
                ++row.starts;
        }
        count(row, rules);
        if (row.starts < rules.minStarts) {
            row.note =
                QStringLiteral("zu wenige Starts (%1 von %2)").arg(row.starts).arg(rules.minStarts);
        } else {
            row.place = 1; // ranked; CupTieBreak gives the place
        }
        rowsByClass[cls].append(std::move(row));
    }

    for (const int cls : classes.ordered()) {
        if (!rowsByClass.contains(cls))
            continue;
        CupStandings::ClassTable table;
        table.cls = classes.text(cls);
        table.rows = rowsByClass.take(cls);
        CupTieBreak::rank(table.rows, rules);
        TitleDecision::mark(table, rules, int(raceCount), topPerRace);
        for (qsizetype r = 0; r < raceCount; ++r) {
            const CupRace& race = cup.races.at(r);
            for (auto it = race.voidedClasses.cbegin(); it != race.voidedClasses.cend(); ++it) {
                if (classes.indexOf(it.key()) == cls)
                    table.voidedNotes.append(
                        QStringLiteral("%1 annulliert: %2").arg(race.title, it.value()));
            }
        }
        standings.classes.append(std::move(table));
    }
    standings.clubs = ClubStandings::compute(standings.classes, rules);
    return standings;
}
