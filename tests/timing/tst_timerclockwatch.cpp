#include "timing/TimerClockWatch.h"

#include <QTest>

// The timer's clock against the program's: which lines are live, which come from the memory,
// and when the offset may follow.
class TestTimerClockWatch : public QObject {
    Q_OBJECT

private slots:
    void mapsTheStamps_data();
    void mapsTheStamps();
};

void TestTimerClockWatch::mapsTheStamps_data() {
    // Each step: the timer's stamp, its arrival, whether the offset is fixed (a run under way);
    // and what comes of it: the stamp on the program clock and whether it is from the memory.
    QTest::addColumn<QList<qint64>>("timer");
    QTest::addColumn<QList<qint64>>("arrival");
    QTest::addColumn<QList<bool>>("fixed");
    QTest::addColumn<QList<qint64>>("stamp");
    QTest::addColumn<QList<bool>>("memory");
    QTest::addColumn<qint64>("drift");
    QTest::newRow("run on one offset")
        << QList<qint64>{1'000'000, 41'000'000} << QList<qint64>{5'002'000, 45'010'000}
        << QList<bool>{false, true} << QList<qint64>{5'002'000, 45'002'000}
        << QList<bool>{false, false} << qint64(8'000);
    QTest::newRow("read-out minutes later")
        << QList<qint64>{1'000'000, 2'000'000} << QList<qint64>{5'000'000, 300'000'000}
        << QList<bool>{false, false} << QList<qint64>{5'000'000, 6'000'000}
        << QList<bool>{false, true} << qint64(0);
    QTest::newRow("between runs the offset follows")
        << QList<qint64>{1'000'000, 100'000'000} << QList<qint64>{5'000'000, 104'500'000}
        << QList<bool>{false, false} << QList<qint64>{5'000'000, 104'500'000}
        << QList<bool>{false, false} << qint64(500'000);
    QTest::newRow("timer ahead") << QList<qint64>{1'000'000, 100'000'000}
                                 << QList<qint64>{5'000'000, 50'000'000}
                                 << QList<bool>{false, false}
                                 << QList<qint64>{5'000'000, 50'000'000}
                                 << QList<bool>{false, false} << qint64(-54'000'000);
}

void TestTimerClockWatch::mapsTheStamps() {
    QFETCH(QList<qint64>, timer);
    QFETCH(QList<qint64>, arrival);
    QFETCH(QList<bool>, fixed);
    QFETCH(QList<qint64>, stamp);
    QFETCH(QList<bool>, memory);
    QFETCH(qint64, drift);
    TimerClockWatch watch;
    QCOMPARE(watch.drift(), std::nullopt);
    for (qsizetype i = 0; i < timer.size(); ++i) {
        const TimerClockWatch::Reading reading = watch.take(timer[i], arrival[i], fixed[i]);
        QCOMPARE(reading.programStamp, stamp[i]);
        QCOMPARE(reading.fromMemory, memory[i]);
    }
    QCOMPARE(watch.drift(), drift);
}

QTEST_GUILESS_MAIN(TestTimerClockWatch)
#include "tst_timerclockwatch.moc"
