// The cup's standings on small cups whose expected tables were reckoned by hand.
#include "cup/CupCalculator.h"
#include "cup/CupDefinition.h"
#include "cup/CupValueText.h"
#include "cup/PointsFormula.h"

#include <QTest>

Q_DECLARE_METATYPE(CupRules)
Q_DECLARE_METATYPE(CupRules::TieBreak)
Q_DECLARE_METATYPE(CupRules::ClubScope)
Q_DECLARE_METATYPE(CupRules::Scoring)

namespace {

using Races = QList<QStringList>;

// "Name|place or status|G-Zeit in s|class|club"; the class defaults to 1.
CupEntry entry(const QString& spec) {
    const QStringList field = spec.split(u'|');
    CupEntry e;
    e.name = field.at(0);
    bool placed = false;
    e.place = field.value(1).toInt(&placed);
    if (!placed)
        e.status = field.value(1);
    e.total = qint32(qRound(field.value(2).toDouble() * 100));
    e.cls = field.value(3).isEmpty() ? QStringLiteral("1") : field.value(3);
    e.club = field.value(4);
    return e;
}

CupDefinition cup(const CupRules& rules, const Races& races, const QList<int>& weights = {}) {
    CupDefinition definition;
    definition.rules = rules;
    for (qsizetype i = 0; i < races.size(); ++i) {
        CupRace race;
        race.title = QStringLiteral("Lauf %1").arg(i + 1);
        race.weightPercent = weights.value(i, 100);
        for (const QString& spec : races.at(i))
            race.entries.append(entry(spec));
        definition.races.append(race);
    }
    return definition;
}

// "2=! Anna 280 [100 (60) . x DNS] Δ20": place ('=' shared, '!' Stechen, '-' none), total, per
// race the value, dropped ones in parentheses, '.' absent, 'x' voided, a status without value;
// the gap to the leader where there is one.
QString summary(const CupStandings::Row& row, CupRules::Scoring scoring) {
    QString place = row.place ? QString::number(row.place) : QStringLiteral("-");
    place += QLatin1String(row.sharedPlace ? "=" : "") + QLatin1String(row.runOff ? "!" : "");
    QStringList races;
    for (const CupStandings::RaceResult& result : row.races) {
        if (result.kind == CupStandings::RaceResult::Kind::Absent)
            races.append(QStringLiteral("."));
        else if (result.kind == CupStandings::RaceResult::Kind::Voided)
            races.append(QStringLiteral("x"));
        else if (!result.hasValue)
            races.append(result.status);
        else if (result.dropped)
            races.append(u'(' + CupValueText::format(result.value, scoring) + u')');
        else
            races.append(CupValueText::format(result.value, scoring));
    }
    QString text = QStringLiteral("%1 %2 %3 [%4]")
                       .arg(place, row.identity.name, CupValueText::format(row.total, scoring),
                            races.join(u' '));
    if (row.gap > 0)
        text += QStringLiteral(" Δ") + CupValueText::format(row.gap, scoring);
    return text;
}

QStringList table(const CupStandings& standings, const QString& cls, CupRules::Scoring scoring) {
    QStringList rows;
    for (const CupStandings::ClassTable& t : standings.classes) {
        if (t.cls == cls) {
            for (const CupStandings::Row& row : t.rows)
                rows.append(summary(row, scoring));
        }
    }
    return rows;
}

CupRules pointsRules(QList<int> points = {10, 6, 4, 3, 2, 1}) {
    CupRules rules;
    rules.pointsTable = std::move(points);
    return rules;
}

} // namespace

class TestCupCalculator : public QObject {
    Q_OBJECT

private slots:
    void standings_data();
    void standings();
    void ties_data();
    void ties();
    void statusRule_data();
    void statusRule();
    void voidedClass();
    void clubs_data();
    void clubs();
    void classChangeAndSpellings();
    void titleDecided_data();
    void titleDecided();
    void formula_data();
    void formula();
};

void TestCupCalculator::standings_data() {
    QTest::addColumn<CupRules>("rules");
    QTest::addColumn<Races>("races");
    QTest::addColumn<QList<int>>("weights");
    QTest::addColumn<QStringList>("expected");

    // World cup table, best 3 of 4, at least 2 starts. Bea and Anna both 280 with 3 races and
    // places 1,1,2,3: the latest race (Bea 1st) decides. Cora's two 60s: the later is dropped.
    CupRules worldCup;
    worldCup.pointsTable = CupRules::worldCupTable();
    worldCup.bestOf = 3;
    worldCup.minStarts = 2;
    QTest::newRow("world cup, best 3 of 4, min 2 starts")
        << worldCup
        << Races{{"Anna|1", "Bea|2", "Cora|3", "Dora|4"},
                 {"Bea|1", "Anna|2", "Cora|3", "Ella|4"},
                 {"Anna|1", "Cora|2", "Bea|3", "Dora|4"},
                 {"Bea|1", "Cora|2", "Anna|3"}}
        << QList<int>{}
        << QStringList{"1 Bea 280 [80 100 (60) 100]", "2 Anna 280 [100 80 100 (60)]",
                       "3 Cora 220 [60 (60) 80 80] Δ60", "4 Dora 100 [50 . 50 .] Δ180",
                       "- Ella 50 [. 50 . .]"};

    // The manual's example: as above, and a DNF worth the place after the last (4th, 50).
    CupRules manual = worldCup;
    manual.statusRule = CupRules::StatusRule::AfterLast;
    QTest::newRow("the manual's example")
        << manual
        << Races{{"Huber|1", "Kraus|2", "Meier|3", "Schmid|4"},
                 {"Kraus|1", "Huber|2", "Schmid|3", "Meier|DNF"},
                 {"Huber|1", "Meier|2", "Kraus|3"},
                 {"Kraus|1", "Meier|2", "Huber|3"}}
        << QList<int>{}
        << QStringList{"1 Kraus 280 [80 100 (60) 100]", "2 Huber 280 [100 80 100 (60)]",
                       "3 Meier 220 [60 (50) 80 80] Δ60", "4 Schmid 110 [50 60 . .] Δ170"};

    // 550 - 250 * t / best: 60 s best -> 300; 66 s -> 275; 75 s -> 237,50; 51 s of 50 -> 295;
    // 53,33 of 50 -> 550 - 266,65 = 283,35.
    CupRules formula;
    formula.scoring = CupRules::Scoring::Formula;
    formula.formula = QStringLiteral("550 - 250 * t / best");
    const Races timed{{"Anna|1|60", "Bea|2|66", "Cora|3|75"},
                      {"Bea|1|50", "Anna|2|51", "Cora|3|53.33"}};
    QTest::newRow("formula") << formula << timed << QList<int>{}
                             << QStringList{"1 Anna 595 [300 295]", "2 Bea 575 [275 300] Δ20",
                                            "3 Cora 520,85 [237,50 283,35] Δ74,15"};
    // 10 % behind: Bea's 66 s is exactly 10 % and keeps her points, Cora's 75 s (25 %) not.
    CupRules cutOff = formula;
    cutOff.cutOffPercent = 10;
    QTest::newRow("cut-off") << cutOff << timed << QList<int>{}
                             << QStringList{"1 Anna 595 [300 295]", "2 Bea 575 [275 300] Δ20",
                                            "3 Cora 283,35 [0 283,35] Δ311,65"};
    CupRules inverse = formula;
    inverse.formula = QStringLiteral("1000 * best / t");
    QTest::newRow("formula 1000 * best / t")
        << inverse << timed << QList<int>{}
        << QStringList{"1 Anna 1980,39 [1000 980,39]", "2 Bea 1909,09 [909,09 1000] Δ71,30",
                       "3 Cora 1737,56 [800 937,56] Δ242,83"};

    QTest::newRow("weight 200") << pointsRules()
                                << Races{{"Anna|1", "Bea|2"}, {"Bea|1", "Anna|3", "Cora|2"}}
                                << QList<int>{100, 200}
                                << QStringList{"1 Bea 26 [6 20]", "2 Anna 18 [10 8] Δ8",
                                               "3 Cora 12 [. 12] Δ14"};
    QTest::newRow("weight 150, halves kept")
        << pointsRules({10, 5, 3}) << Races{{"Anna|1", "Bea|3"}} << QList<int>{150}
        << QStringList{"1 Anna 15 [15]", "2 Bea 4,50 [4,50] Δ10,50"};

    // Sums: more counted races first, then the lower sum; Cora's one race is not ahead.
    CupRules timeSum;
    timeSum.scoring = CupRules::Scoring::TimeSum;
    const Races sums{{"Anna|1|61.5", "Bea|2|62", "Cora|3|63"}, {"Bea|1|60.25", "Anna|2|61"}};
    QTest::newRow("time sum") << timeSum << sums << QList<int>{}
                              << QStringList{"1 Bea 122,25 [62,00 60,25]",
                                             "2 Anna 122,50 [61,50 61,00] Δ0,25",
                                             "3 Cora 63,00 [63,00 .] Δ59,25"};
    CupRules placeSum = timeSum;
    placeSum.scoring = CupRules::Scoring::PlaceSum;
    placeSum.bestOf = 1;
    QTest::newRow("place sum, best 1")
        << placeSum << sums << QList<int>{}
        << QStringList{"1 Bea 1 [(2) 1]", "2 Anna 1 [1 (2)]", "3 Cora 3 [3 .] Δ2"};
}

void TestCupCalculator::standings() {
    QFETCH(CupRules, rules);
    QFETCH(Races, races);
    QFETCH(QList<int>, weights);
    QFETCH(QStringList, expected);
    const CupStandings standings = CupCalculator::compute(cup(rules, races, weights));
    QCOMPARE(table(standings, QStringLiteral("1"), rules.scoring), expected);
}

void TestCupCalculator::ties_data() {
    QTest::addColumn<QList<CupRules::TieBreak>>("chain");
    QTest::addColumn<Races>("races");
    QTest::addColumn<QStringList>("expected");
    using T = CupRules::TieBreak;
    // Anna 10 + 2 and Bea 6 + 6: Anna has the better places, Bea the better latest race.
    const Races countbackOrLatest{{"Anna|1", "Bea|2"},
                                  {"Cleo|1", "Bea|2", "Dana|3", "Emma|4", "Anna|5"}};
    const QStringList rest{"3 Cleo 10 [. 10] Δ2", "4 Dana 4 [. 4] Δ8", "5 Emma 3 [. 3] Δ9"};
    QTest::newRow("countback") << QList<T>{T::Countback, T::LatestRace} << countbackOrLatest
                               << QStringList{"1 Anna 12 [10 2]", "2 Bea 12 [6 6]"} + rest;
    QTest::newRow("latest race") << QList<T>{T::LatestRace, T::Countback} << countbackOrLatest
                                 << QStringList{"1 Bea 12 [6 6]", "2 Anna 12 [10 2]"} + rest;
    // Anna 10 from one race, Bea 6 + 4 from two.
    const Races oneOrTwo{{"Anna|1", "Bea|2"}, {"Bea|3"}};
    QTest::newRow("counted races") << QList<T>{T::CountedRaces, T::Countback} << oneOrTwo
                                   << QStringList{"1 Bea 10 [6 4]", "2 Anna 10 [10 .]"};
    QTest::newRow("countback before counted races")
        << QList<T>{T::Countback, T::CountedRaces} << oneOrTwo
        << QStringList{"1 Anna 10 [10 .]", "2 Bea 10 [6 4]"};
    // Equal in every race: shared, "Stechen" only on the podium.
    QTest::newRow("left shared") << QList<T>{T::CountedRaces, T::Countback, T::LatestRace}
                                 << Races{{"Anna|1", "Bea|1", "Dana|3", "Emma|3"},
                                          {"Cleo|1", "Anna|2", "Bea|2"}}
                                 << QStringList{"1=! Anna 16 [10 6]", "1=! Bea 16 [10 6]",
                                                "3 Cleo 10 [. 10] Δ6", "4= Dana 4 [4 .] Δ12",
                                                "4= Emma 4 [4 .] Δ12"};
}

void TestCupCalculator::ties() {
    QFETCH(QList<CupRules::TieBreak>, chain);
    QFETCH(Races, races);
    QFETCH(QStringList, expected);
    CupRules rules = pointsRules();
    rules.tieBreaks = chain;
    const CupStandings standings = CupCalculator::compute(cup(rules, races));
    QCOMPARE(table(standings, QStringLiteral("1"), rules.scoring), expected);
}

void TestCupCalculator::statusRule_data() {
    QTest::addColumn<CupRules>("rules");
    QTest::addColumn<QStringList>("expected");
    auto rules = [](CupRules::StatusRule status, CupRules::Scoring scoring) {
        CupRules r = pointsRules();
        r.statusRule = status;
        r.scoring = scoring;
        r.formula = QStringLiteral("1000 * best / t");
        r.statusValue = 150;
        r.minStarts = 1; // DNS is no start, DNF is one
        return r;
    };
    using S = CupRules::StatusRule;
    using V = CupRules::Scoring;
    QTest::newRow("no points") << rules(S::NoPoints, V::PointsTable)
                               << QStringList{"1 Anna 10 [10]", "2 Bea 6 [6] Δ4", "3 Cora 4 [4] Δ6",
                                              "4 Dora 0 [DNF] Δ10", "- Ella 0 [DNS]"};
    QTest::newRow("fixed points") << rules(S::FixedPoints, V::PointsTable)
                                  << QStringList{"1 Anna 10 [10]", "2 Bea 6 [6] Δ4",
                                                 "3 Cora 4 [4] Δ6", "4 Dora 1,50 [1,50] Δ8,50",
                                                 "- Ella 1,50 [1,50]"};
    QTest::newRow("after last, table")
        << rules(S::AfterLast, V::PointsTable)
        << QStringList{"1 Anna 10 [10]", "2 Bea 6 [6] Δ4", "3 Cora 4 [4] Δ6", "4 Dora 3 [3] Δ7",
                       "- Ella 3 [3]"};
    QTest::newRow("after last, formula")
        << rules(S::AfterLast, V::Formula)
        << QStringList{"1 Anna 1000 [1000]", "2 Bea 983,61 [983,61] Δ16,39", "3 Cora 960 [960] Δ40",
                       "4 Dora 0 [0] Δ1000", "- Ella 0 [0]"};
    QTest::newRow("after last, places")
        << rules(S::AfterLast, V::PlaceSum)
        << QStringList{"1 Anna 1 [1]", "2 Bea 2 [2] Δ1", "3 Cora 3 [3] Δ2", "4 Dora 4 [4] Δ3",
                       "- Ella 4 [4]"};
    // Dora gets Cora's time; Cora's place puts her ahead.
    QTest::newRow("after last, times")
        << rules(S::AfterLast, V::TimeSum)
        << QStringList{"1 Anna 60,00 [60,00]", "2 Bea 61,00 [61,00] Δ1,00",
                       "3 Cora 62,50 [62,50] Δ2,50", "4 Dora 62,50 [62,50] Δ2,50",
                       "- Ella 62,50 [62,50]"};
}

void TestCupCalculator::statusRule() {
    QFETCH(CupRules, rules);
    QFETCH(QStringList, expected);
    const CupStandings standings = CupCalculator::compute(
        cup(rules, {{"Anna|1|60", "Bea|2|61", "Cora|3|62.5", "Dora|DNF", "Ella|DNS"}}));
    QCOMPARE(table(standings, QStringLiteral("1"), rules.scoring), expected);
    QCOMPARE(standings.classes.first().rows.last().note,
             QStringLiteral("zu wenige Starts (0 von 1)"));
}

void TestCupCalculator::voidedClass() {
    // Race 2 is voided for class 1 only: Anna's win there is no race, so Anna and Bea tie on
    // places 1 and 2 each, and Bea's win in the latest race decides.
    CupDefinition definition = cup(pointsRules(), {{"Anna|1", "Bea|2", "Cora|3", "Dora|1||2"},
                                                   {"Anna|1", "Bea|2", "Dora|1||2"},
                                                   {"Bea|1", "Anna|2", "Cora|3"}});
    definition.races[1].voidedClasses.insert(QStringLiteral("1"), QStringLiteral("Sturm"));
    const CupStandings standings = CupCalculator::compute(definition);
    QCOMPARE(table(standings, QStringLiteral("1"), CupRules::Scoring::PointsTable),
             (QStringList{"1 Bea 16 [6 x 10]", "2 Anna 16 [10 x 6]", "3 Cora 8 [4 x 4] Δ8"}));
    QCOMPARE(table(standings, QStringLiteral("2"), CupRules::Scoring::PointsTable),
             QStringList{"1 Dora 20 [10 10 .]"});
    QCOMPARE(standings.classes.at(0).voidedNotes, QStringList{"Lauf 2 annulliert: Sturm"});
    QVERIFY(standings.classes.at(1).voidedNotes.isEmpty());
    QCOMPARE(standings.classes.at(0).rows.at(1).starts, 2);
}

void TestCupCalculator::clubs_data() {
    QTest::addColumn<CupRules::ClubScope>("scope");
    QTest::addColumn<CupRules::Scoring>("scoring");
    QTest::addColumn<QStringList>("expected");
    using C = CupRules::ClubScope;
    using V = CupRules::Scoring;
    QTest::newRow("per class") << C::PerClass << V::PointsTable
                               << QStringList{"1: 1 SV Nord 14 Anna (10), Cora (4)",
                                              "1: 2 TSV Süd 9 Bea (6), Dora (3)",
                                              "2: 1 TSV Süd 10 Fritz (10)",
                                              "2: 2 SV Nord 6 Gerd (6)",
                                              "2: 3 Ski Club 4 Hans (4)"};
    QTest::newRow("all classes") << C::AllClasses << V::PointsTable
                                 << QStringList{": 1= SV Nord 16 Anna (10), Gerd (6)",
                                                ": 1= TSV Süd 16 Fritz (10), Bea (6)",
                                                ": 3 Ski Club 4 Hans (4)"};
    // A sum of places ranks only clubs with both members.
    QTest::newRow("place sum per class")
        << C::PerClass << V::PlaceSum
        << QStringList{"1: 1 SV Nord 4 Anna (1), Cora (3)", "1: 2 TSV Süd 6 Bea (2), Dora (4)",
                       "2: - TSV Süd 1 Fritz (1)", "2: - SV Nord 2 Gerd (2)",
                       "2: - Ski Club 3 Hans (3)"};
}

void TestCupCalculator::clubs() {
    QFETCH(CupRules::ClubScope, scope);
    QFETCH(CupRules::Scoring, scoring);
    QFETCH(QStringList, expected);
    CupRules rules = pointsRules();
    rules.clubScope = scope;
    rules.scoring = scoring;
    rules.clubMembers = 2;
    const CupStandings standings = CupCalculator::compute(cup(
        rules,
        {{"Anna|1||1|SV Nord", "Bea|2||1|TSV Süd", "Cora|3||1|SV Nord", "Dora|4||1|TSV Sued",
          "Ella|5||1|SV Nord", "Fritz|1||2|TSV Süd", "Gerd|2||2|SV Nord", "Hans|3||2|Ski Club"}}));
    QStringList clubs;
    for (const CupStandings::ClubTable& t : standings.clubs) {
        for (const CupStandings::ClubRow& row : t.rows) {
            const QString place = row.complete ? QString::number(row.place) +
                                                     QLatin1String(row.sharedPlace ? "=" : "")
                                               : QStringLiteral("-");
            clubs.append(QStringLiteral("%1: %2 %3 %4 %5")
                             .arg(row.cls, place, row.club,
                                  CupValueText::format(row.total, scoring),
                                  row.members.join(QLatin1String(", "))));
        }
    }
    QCOMPARE(clubs, expected);
}

void TestCupCalculator::classChangeAndSpellings() {
    // Müller moves from class 3 to 4 and is spelt three ways, twice in race 3 (his better
    // entry, 2nd, stands); Meier and Maier are confirmed as one.
    CupDefinition definition = cup(pointsRules(), {{"Müller|1||3", "Meier|2||3"},
                                                   {"MUELLER |2||3", "Maier|1||3"},
                                                   {"Mueller|2||4", "Müller|3||4", "Kurz|1||4"}});
    definition.matches.confirm(CupIdentity{"Meier", "", ""}, CupIdentity{"Maier", "", ""});
    const CupStandings standings = CupCalculator::compute(definition);
    QCOMPARE(table(standings, QStringLiteral("3"), CupRules::Scoring::PointsTable),
             QStringList{"1 Maier 16 [6 10 .]"});
    QCOMPARE(table(standings, QStringLiteral("4"), CupRules::Scoring::PointsTable),
             (QStringList{"1 Mueller 22 [10 6 6]", "2 Kurz 10 [. . 10] Δ12"}));
    QCOMPARE(standings.classes.at(1).rows.at(0).classNote, QStringLiteral("Kl. 3 bis Lauf 2"));
    QCOMPARE(standings.classes.at(1).rows.at(1).classNote, QString());
    QCOMPARE(standings.raceTitles, (QStringList{"Lauf 1", "Lauf 2", "Lauf 3"}));
}

void TestCupCalculator::titleDecided_data() {
    QTest::addColumn<int>("plannedRaces");
    QTest::addColumn<int>("bestOf");
    QTest::addColumn<Races>("races");
    QTest::addColumn<QList<int>>("weights");
    QTest::addColumn<bool>("decided");
    const Races three{{"Anna|1", "Bea|2"}, {"Anna|1", "Bea|2"}, {"Anna|1", "Bea|2"}};
    // Anna 30, Bea 18; one race left gives at most 10: 28 < 30.
    QTest::newRow("one left, out of reach") << 4 << 0 << three << QList<int>{} << true;
    // Two left: Bea could reach 38.
    QTest::newRow("two left") << 5 << 0 << three << QList<int>{} << false;
    // Race 3 counted double: Anna 40, Bea 24, and the race left may count double too: 44.
    QTest::newRow("double weight") << 4 << 0 << three << QList<int>{100, 100, 200} << false;
    // Best 2: Anna 20, Bea at most 6 + 10.
    QTest::newRow("best 2, one left") << 4 << 2 << three << QList<int>{} << true;
    QTest::newRow("all in") << 3 << 0 << three << QList<int>{} << true;
    QTest::newRow("races not planned") << 0 << 0 << three << QList<int>{} << false;
    QTest::newRow("shared lead") << 1 << 0 << Races{{"Anna|1", "Bea|1"}} << QList<int>{} << false;
}

void TestCupCalculator::titleDecided() {
    QFETCH(int, plannedRaces);
    QFETCH(int, bestOf);
    QFETCH(Races, races);
    QFETCH(QList<int>, weights);
    QFETCH(bool, decided);
    CupRules rules = pointsRules({10, 6, 4});
    rules.plannedRaces = plannedRaces;
    rules.bestOf = bestOf;
    const CupStandings standings = CupCalculator::compute(cup(rules, races, weights));
    const QList<CupStandings::Row>& rows = standings.classes.first().rows;
    QCOMPARE(rows.at(0).titleDecided, decided);
    QVERIFY(!rows.at(1).titleDecided);
}

void TestCupCalculator::formula_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("t");
    QTest::addColumn<double>("best");
    QTest::addColumn<qint64>("points"); // -1: cannot be reckoned
    QTest::addColumn<QString>("error");
    QTest::newRow("linear") << "550 - 250 * t / best" << 61.5 << 60.0 << qint64(29375) << "";
    QTest::newRow("ratio") << "1000*best/t" << 66.0 << 60.0 << qint64(90909) << "";
    QTest::newRow("minus, comma") << "-(t - 100) * 2,5" << 90.0 << 60.0 << qint64(2500) << "";
    QTest::newRow("half up") << "t * 1" << 2.675 << 1.0 << qint64(268) << "";
    QTest::newRow("below zero") << "100 - 2 * t" << 60.0 << 60.0 << qint64(0) << "";
    QTest::newRow("by zero") << "t / (best - 60)" << 60.0 << 60.0 << qint64(-1) << "";
    QTest::newRow("empty") << "  " << 0.0 << 0.0 << qint64(-1) << "Die Formel ist leer.";
    QTest::newRow("word") << "550 - 250 * x" << 0.0 << 0.0 << qint64(-1)
                          << "unbekanntes Wort „x“ an Stelle 13";
    QTest::newRow("open") << "(t + 1" << 0.0 << 0.0 << qint64(-1)
                          << "„)“ fehlt zur „(“ an Stelle 1";
    QTest::newRow("close") << "t + 1)" << 0.0 << 0.0 << qint64(-1) << "„)“ ohne „(“ an Stelle 6";
    QTest::newRow("number") << "1,2,3 * t" << 0.0 << 0.0 << qint64(-1)
                            << "ungültige Zahl „1,2,3“ an Stelle 1";
    QTest::newRow("end") << "t +" << 0.0 << 0.0 << qint64(-1)
                         << "Die Formel endet zu früh: Zahl, t, best oder „(“ fehlt.";
    QTest::newRow("two values") << "2 t" << 0.0 << 0.0 << qint64(-1)
                                << "Rechenzeichen erwartet an Stelle 3";
    QTest::newRow("too long") << QString(501, u'1') << 0.0 << 0.0 << qint64(-1)
                              << "Die Formel ist zu lang (höchstens 500 Zeichen).";
    QTest::newRow("two operators")
        << "t * * 2" << 0.0 << 0.0 << qint64(-1) << "unerwartetes Zeichen „*“ an Stelle 5";
}

void TestCupCalculator::formula() {
    QFETCH(QString, text);
    QFETCH(double, t);
    QFETCH(double, best);
    QFETCH(qint64, points);
    QFETCH(QString, error);
    QString message;
    const std::optional<PointsFormula> formula = PointsFormula::parse(text, &message);
    QCOMPARE(message, error);
    QCOMPARE(formula.has_value(), error.isEmpty());
    if (formula)
        QCOMPARE(formula->evaluate(t, best).value_or(-1), points);
}

QTEST_GUILESS_MAIN(TestCupCalculator)
#include "tst_cupcalculator.moc"
