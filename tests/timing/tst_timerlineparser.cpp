#include "timing/TimerLineParser.h"

#include <QTest>

// The line formats of the timers, from lines written after their published layouts.
class TestTimerLineParser : public QObject {
    Q_OBJECT

private slots:
    void readsLine_data();
    void readsLine();
    void countsTheDays_data();
    void countsTheDays();
    void everySampleIsAnImpulse();
};

using Kind = TimerLineParser::Line::Kind;
Q_DECLARE_METATYPE(Kind)

void TestTimerLineParser::readsLine_data() {
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("stamp"); // the reason for a line that is no impulse
    QTest::newRow("alge start") << "alge" << QByteArray(" 0011 c0  09:58:12.3456 00    ")
                                << Kind::Impulse << "c0" << 11 << -1 << "09:58:12.3456";
    QTest::newRow("alge hand key") << "alge" << QByteArray(" 0013 c0M 10:02:00.01 00")
                                   << Kind::Impulse << "c0M" << 13 << -1 << "10:02:00.0100";
    QTest::newRow("alge hour without zero")
        << "alge" << QByteArray(" 0021 c1   0:00:35.5100 00    ") << Kind::Impulse << "c1" << 21
        << -1 << "00:00:35.5100";
    QTest::newRow("alge flagged") << "alge" << QByteArray("?0012 c1  10:00:41.2349 00    ")
                                  << Kind::Impulse << "c1" << 12 << -1 << "10:00:41.2349";
    QTest::newRow("alge running time") << "alge" << QByteArray(" 0011 RT  00:00:05.00   00")
                                       << Kind::Ignored << "" << 0 << -1 << "Laufzeit des Geräts";
    QTest::newRow("alge cancelled") << "alge" << QByteArray("c0012 c1  10:00:41.3000 00")
                                    << Kind::Ignored << "" << 0 << -1 << "am Gerät gelöscht";
    QTest::newRow("alge header") << "alge" << QByteArray("ALGE TIMY   PRINTER") << Kind::Ignored
                                 << "" << 0 << -1 << "keine Impulszeile";
    QTest::newRow("alge unknown channel")
        << "alge" << QByteArray(" 0013 c9  10:01:00.0000 00") << Kind::Unreadable << "" << 0 << -1
        << "unbekannter Kanal c9";
    QTest::newRow("alge garbage") << "alge" << QByteArray("#%&\x02garbage\x7f") << Kind::Unreadable
                                  << "" << 0 << -1 << "Zeile nicht lesbar";
    QTest::newRow("alge 25 o'clock") << "alge" << QByteArray(" 0011 c0  25:00:00.0000 00")
                                     << Kind::Unreadable << "" << 0 << -1 << "Zeit ungültig";
    QTest::newRow("microgate") << "microgate" << QByteArray("00002      31 C01 11:20:44.56789 4B")
                               << Kind::Impulse << "C01" << 31 << 2 << "11:20:44.5678";
    QTest::newRow("microgate checksum")
        << "microgate" << QByteArray("00004      32 C01 11:22:10.77777 6E") << Kind::Unreadable
        << "" << 0 << -1 << "Prüfsumme falsch";
    QTest::newRow("microgate status") << "microgate" << QByteArray("ST 11:20:50 READY")
                                      << Kind::Ignored << "" << 0 << -1 << "keine Impulszeile";
    QTest::newRow("tag heuer") << "tagheuer" << QByteArray("TN 0042 M1 14:06:10.00000 00005")
                               << Kind::Impulse << "M1" << 42 << 5 << "14:06:10.0000";
    QTest::newRow("tag heuer cancelled")
        << "tagheuer" << QByteArray("T- 0041 2 14:05:30.00000 00003") << Kind::Ignored << "" << 0
        << -1 << "am Gerät gelöscht";
}

void TestTimerLineParser::readsLine() {
    QFETCH(QString, profile);
    QFETCH(QByteArray, line);
    QFETCH(Kind, kind);
    QFETCH(QString, channel);
    QFETCH(int, number);
    QFETCH(int, index);
    QFETCH(QString, stamp);
    TimerLineParser parser(*TimerLineProfile::find(profile));
    const TimerLineParser::Line read = parser.parse(line);
    QCOMPARE(read.kind, kind);
    QCOMPARE(read.impulse.raw, line);
    if (kind != Kind::Impulse) {
        QCOMPARE(read.reason, stamp);
        return;
    }
    QCOMPARE(read.impulse.channel, channel);
    QCOMPARE(read.impulse.number, number);
    QCOMPARE(read.impulse.index, index);
    QCOMPARE(TimerImpulse::stampText(read.impulse.stamp), stamp);
}

void TestTimerLineParser::countsTheDays_data() {
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QList<int>>("days");
    QTest::newRow("same day") << QStringList{"09:00:00.0", "10:00:00.0"} << QList<int>{0, 0};
    QTest::newRow("midnight") << QStringList{"23:59:50.12", "00:00:35.51", "00:01:00.0"}
                              << QList<int>{0, 1, 1};
    // The evening's impulses read out of the memory after midnight stay in the evening.
    QTest::newRow("read-out across midnight")
        << QStringList{"23:59:00.0", "00:00:10.0", "23:59:00.0", "00:00:10.0"}
        << QList<int>{0, 1, 0, 1};
    QTest::newRow("morning read-out")
        << QStringList{"12:00:00.0", "08:00:00.0"} << QList<int>{0, 0};
}

void TestTimerLineParser::countsTheDays() {
    QFETCH(QStringList, times);
    QFETCH(QList<int>, days);
    TimerLineParser parser(*TimerLineProfile::find(QStringLiteral("alge")));
    QList<int> got;
    for (const QString& time : times) {
        const QByteArray line = " 0001 c0  " + time.toLatin1() + " 00";
        got << parser.parse(line).impulse.day;
    }
    QCOMPARE(got, days);
}

void TestTimerLineParser::everySampleIsAnImpulse() {
    for (const TimerLineProfile& profile : TimerLineProfile::builtIn()) {
        TimerLineParser parser(profile);
        QVERIFY2(parser.parse(profile.sample).kind == Kind::Impulse, qPrintable(profile.id));
        QVERIFY(!profile.terminators.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestTimerLineParser)
#include "tst_timerlineparser.moc"
