#include "competition/SubstituteMarks.h"
#include "competition/SubstituteTime.h"

#include <QTest>
#include <limits>

namespace {

using Run = SubstituteTime::Run;
using Runs = std::vector<Run>;
using Indices = QList<int>;

Run both(qint64 aMs10th, qint64 differenceMicroseconds) {
    // Times in tenths of ms keep the table short: 314500 is 31,4500 s.
    const qint64 a = aMs10th * 100;
    return {a, a - differenceMicroseconds};
}
Run onlyB(qint64 bMs10th) {
    return {std::nullopt, bMs10th * 100};
}
Run onlyA(qint64 aMs10th) {
    return {aMs10th * 100, std::nullopt};
}

// Eleven runs, the sixth without an A stop; their A-B are 12, 15, 9, 14, 11 ms before it and
// 13, 10, 16, 12, 15 ms after it: 127 ms in all, a mean of 12,7 ms.
Runs worked(qint64 bOfTheSixth) {
    return {both(305100, 12000), both(312200, 15000), both(298800, 9000),  both(320400, 14000),
            both(301000, 11000), onlyB(bOfTheSixth),  both(309900, 13000), both(315500, 10000),
            both(300300, 16000), both(318800, 12000), both(307700, 15000)};
}

} // namespace

Q_DECLARE_METATYPE(Runs)

// The substitute time from System B and the nearest runs that have both stops.
class TestSubstituteTime : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void substitute_data();
    void substitute();
    void markHoldsWhileTheCellShowsItsTime_data();
    void markHoldsWhileTheCellShowsItsTime();
};

void TestSubstituteTime::substitute_data() {
    QTest::addColumn<Runs>("runs");
    QTest::addColumn<int>("target");
    QTest::addColumn<qint64>("baseMicroseconds");
    QTest::addColumn<bool>("found");
    QTest::addColumn<Indices>("used");
    QTest::addColumn<int>("before");
    QTest::addColumn<qint64>("meanMicroseconds");
    QTest::addColumn<int>("hundredths");

    const Indices tenNeighbours{0, 1, 2, 3, 4, 6, 7, 8, 9, 10};
    // 31,4500 + 0,0127 = 31,4627 s.
    QTest::newRow("eleven runs") << worked(314500) << 5 << qint64(31'450'000) << true
                                 << tenNeighbours << 5 << qint64(12'700) << 3146;
    // 31,4550 + 0,0127 = 31,4677 s: truncated 31,46, where rounding would give 31,47.
    QTest::newRow("truncated, not rounded") << worked(314550) << 5 << qint64(31'455'000) << true
                                            << tenNeighbours << 5 << qint64(12'700) << 3146;
    // A hand time in place of B gets the same correction.
    QTest::newRow("hand time") << worked(314500) << 5 << qint64(31'480'000) << true << tenNeighbours
                               << 5 << qint64(12'700) << 3149;
    // The second run of the race: one run before it, five after (the sixth has no A).
    QTest::newRow("early in the race: fewer before")
        << worked(314500) << 1 << qint64(31'210'000) << true << Indices{0, 2, 3, 4, 6, 7} << 1
        << qint64(11'500) << 3122;
    QTest::newRow("runs without both stops are passed over")
        << Runs{both(300000, 20000), onlyA(300000), onlyB(300000), onlyB(310000),
                both(300000, 10000)}
        << 3 << qint64(31'000'000) << true << Indices{0, 4} << 1 << qint64(15'000) << 3101;
    QTest::newRow("no neighbour run has both")
        << Runs{onlyA(300000), onlyB(310000), onlyB(300000)} << 1 << qint64(31'000'000) << false
        << Indices{} << 0 << qint64(0) << 0;
    QTest::newRow("the only run") << Runs{onlyB(310000)} << 0 << qint64(31'000'000) << false
                                  << Indices{} << 0 << qint64(0) << 0;
    // Negative differences (B after A) lower nothing below a whole hundredth wrongly.
    QTest::newRow("B after A") << Runs{both(300000, -4000), onlyB(310000), both(300000, -7000)} << 1
                               << qint64(31'000'000) << true << Indices{0, 2} << 1 << qint64(-5'500)
                               << 3099;
    // Stamps from a damaged journal, or a mistyped hand time, never wrap into a time.
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    QTest::newRow("A-B overflows: no neighbour")
        << Runs{Run{max, -max}, onlyB(310000), both(300000, 10000)} << 1 << qint64(31'000'000)
        << true << Indices{2} << 0 << qint64(10'000) << 3101;
    const Runs three{both(300000, 10000), onlyB(310000), both(300000, 12000)};
    QTest::newRow("base overflows")
        << three << 1 << max << false << Indices{} << 0 << qint64(0) << 0;
    QTest::newRow("beyond 32 bits of hundredths")
        << three << 1 << qint64(30'000'000'000'000) << false << Indices{} << 0 << qint64(0) << 0;
}

void TestSubstituteTime::substitute() {
    QFETCH(Runs, runs);
    QFETCH(int, target);
    QFETCH(qint64, baseMicroseconds);
    QFETCH(bool, found);
    QFETCH(Indices, used);
    const auto c = SubstituteTime::calculate(runs, target, baseMicroseconds);
    QCOMPARE(c.has_value(), found);
    if (!found)
        return;
    Indices indices;
    for (const SubstituteTime::Neighbour& n : c->neighbours)
        indices.append(n.index);
    QCOMPARE(indices, used);
    QTEST(c->before, "before");
    QCOMPARE(c->after, static_cast<int>(used.size()) - c->before);
    QTEST(c->meanMicroseconds(), "meanMicroseconds");
    QCOMPARE(c->baseMicroseconds, baseMicroseconds);
    QTEST(c->resultHundredths, "hundredths");
}

void TestSubstituteTime::markHoldsWhileTheCellShowsItsTime_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("run");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("marked");
    QTest::newRow("as entered") << "12" << 1 << "41,37" << true;
    QTest::newRow("blanks around") << " 12 " << 1 << " 41,37 " << true;
    QTest::newRow("replaced by the later mark") << "12" << 1 << "40,00" << false;
    QTest::newRow("cell changed since") << "12" << 1 << "42,00" << false;
    QTest::newRow("another run") << "12" << 2 << "41,37" << false;
    QTest::newRow("another competitor") << "7" << 1 << "41,37" << false;
    QTest::newRow("emptied by a rerun") << "12" << 1 << " " << false;
}

void TestSubstituteTime::markHoldsWhileTheCellShowsItsTime() {
    SubstituteMarks marks;
    marks.add({QStringLiteral("12"), 1, QStringLiteral("40,00")});
    marks.add({QStringLiteral("12 "), 1, QStringLiteral("41,37")});
    QFETCH(QString, number);
    QFETCH(int, run);
    QFETCH(QString, cell);
    QFETCH(bool, marked);
    QCOMPARE(marks.isSubstitute(number, run, cell), marked);
    QCOMPARE(marks.marks().size(), 1);
}

QTEST_APPLESS_MAIN(TestSubstituteTime)
#include "tst_substitutetime.moc"
