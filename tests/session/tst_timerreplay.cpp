#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRecovery.h"
#include "mock/PtyPair.h"
#include "mock/SessionFixture.h"
#include "session/SessionJournal.h"
#include "session/TimerSession.h"
#include "timing/TimerLineParser.h"
#include "timing/TimerPort.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Line dumps of the timers played through a pseudo-terminal into the real port, the session's
// timer input and the run clock: the times entered are the timer's own, to the hundredth.
class TestTimerReplay : public QObject {
    Q_OBJECT

private slots:
    void dumpTimesTheHeat_data();
    void dumpTimesTheHeat();
    void readOutAfterLostConnection();
    void driftingClockIsTold();
    void runStartedByHandKeepsThePcClock();
};

namespace {

QList<QByteArray> dumpLines(const QString& name, const QByteArray& terminators) {
    QFile file(QStringLiteral(VELMORA_TEST_DATA "/timer/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines;
    QByteArray line;
    for (char c : file.readAll()) {
        if (!terminators.contains(c)) {
            line.append(c);
        } else if (!line.isEmpty()) {
            lines << line + c;
            line.clear();
        } else if (!lines.isEmpty()) {
            lines.last().append(c); // the LF of a CR LF
        }
    }
    return lines;
}

// The timer on a pty behind a by-id-like link the settings name, so it can be replugged.
struct TimerRig {
    SessionFixture f;
    QTemporaryDir links;
    std::unique_ptr<PtyPair> pty = std::make_unique<PtyPair>();
    QString link = links.filePath(QStringLiteral("usb-Timer_0001-if00"));
    qint64 origin = 0;

    bool plug() {
        QFile::remove(link);
        return QFile::link(pty->slavePath(), link);
    }
    int linesTaken() {
        const TimerInput::Counts c = f.session().timer().input().counts();
        return c.impulses + c.repeated + c.unreadable + c.ignored;
    }
    // Plays the dump with the program's clock at each line's own time times pace plus 3 ms on
    // the line (pace 0: the clock stands); enters every stopped run as "Eintragen" would.
    bool play(const QString& name, double pace = 1.0) {
        RaceSession& session = f.session();
        const TimerLineProfile profile = session.timer().input().profile();
        TimerLineParser pacing(profile);
        for (const QByteArray& line : dumpLines(name, profile.terminators)) {
            const TimerLineParser::Line read =
                pacing.parse(QByteArray(line).replace('\r', "").replace('\n', ""));
            if (pace > 0 && read.kind == TimerLineParser::Line::Kind::Impulse)
                f.ticks().setNow(origin + qint64(read.impulse.continuousStamp() * 100 * pace) +
                                 3000);
            const int before = linesTaken();
            if (!pty->write(line))
                return false;
            if (!QTest::qWaitFor([&] { return linesTaken() == before + 1; }, 2000))
                return false;
            // What the line set off is posted by the time it is counted.
            QCoreApplication::sendPostedEvents();
            if (session.clock().state() == RunClock::State::Stopped)
                session.clock().enter();
        }
        return true;
    }
};

void configure(RaceSession& session, const QString& device, const QString& profile,
               const QStringList& channels) {
    Settings& s = session.settings();
    s.timerDevice = device;
    s.timerProfile = profile;
    s.timerStart = channels.value(0);
    s.timerSplit = channels.value(1);
    s.timerStop = channels.value(2);
    s.timerBackup = channels.value(3);
    session.timer().apply(s);
}

QStringList enteredTimes(RaceSession& session, int rows) {
    QStringList times;
    for (int row = 1; row <= rows; ++row)
        times << session.competition().heatStartList().cell(StageTables::Heat::Zeit1, row);
    return times;
}

QStringList formatted(RaceSession& session, const QList<int>& hundredths) {
    QStringList times;
    for (int h : hundredths)
        times << (h < 0 ? QString() : session.competition().timeFormat().formatTime(h));
    return times;
}

} // namespace

void TestTimerReplay::dumpTimesTheHeat_data() {
    QTest::addColumn<QString>("dump");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QStringList>("channels"); // start, split, stop
    QTest::addColumn<QList<int>>("hundredths");
    QTest::addColumn<QList<int>>("counts"); // impulses, unreadable, ignored
    QTest::newRow("alge heat") << "alge_heat.txt"
                               << "alge" << QStringList{"c0", "c2", "c1"}
                               << QList<int>{4643, 4023, 3998} << QList<int>{7, 2, 3};
    QTest::newRow("alge midnight")
        << "alge_midnight.txt"
        << "alge" << QStringList{"c0", "c2", "c1"} << QList<int>{4539} << QList<int>{2, 0, 1};
    QTest::newRow("tag heuer") << "tagheuer.txt"
                               << "tagheuer" << QStringList{"1", "3", "2"} << QList<int>{4110, 3999}
                               << QList<int>{5, 0, 2};
    // The stop of the second run has a wrong checksum: that run stays open, nothing else.
    QTest::newRow("microgate") << "microgate_live.txt"
                               << "microgate" << QStringList{"C00", "C02", "C01"}
                               << QList<int>{4456, -1} << QList<int>{3, 1, 1};
}

void TestTimerReplay::dumpTimesTheHeat() {
    QFETCH(QString, dump);
    QFETCH(QString, profile);
    QFETCH(QStringList, channels);
    QFETCH(QList<int>, hundredths);
    QFETCH(QList<int>, counts);
    TimerRig rig;
    QVERIFY(rig.pty->isValid());
    QVERIFY(rig.plug());
    RaceSession& session = rig.f.session();
    rig.f.addCompetitors(int(hundredths.size()) + 1);
    rig.origin = rig.f.ticks().nowMicroseconds();
    configure(session, rig.link, profile, channels);
    QVERIFY2(session.timer().isOpen(), qPrintable(session.timer().lastError()));
    QSignalSpy unreadable(&session.timer().input(), &TimerInput::lineUnreadable);

    QVERIFY(rig.play(dump));
    QCOMPARE(enteredTimes(session, int(hundredths.size())), formatted(session, hundredths));
    const TimerInput::Counts c = session.timer().input().counts();
    QCOMPARE((QList<int>{c.impulses, c.unreadable, c.ignored}), counts);
    QCOMPARE(c.repeated, 0);
    QCOMPARE(unreadable.size(), counts[1]);
}

void TestTimerReplay::readOutAfterLostConnection() {
    TimerRig rig;
    QVERIFY(rig.plug());
    RaceSession& session = rig.f.session();
    rig.f.addCompetitors(3);
    rig.origin = rig.f.ticks().nowMicroseconds();
    configure(session, rig.link, QStringLiteral("microgate"), {"C00", "", "C01"});
    QList<JournalEntry> journaled;
    connect(&session.journal()->recorder(), &JournalRecorder::recorded, this,
            [&journaled](const JournalEntry& e) {
                if (e.source == JournalRecorder::timerSource())
                    journaled << e;
            });
    QVERIFY(rig.play(QStringLiteral("microgate_live.txt")));

    // The cable is pulled; the adapter comes back under a new node, the same link.
    rig.pty->close();
    QTRY_VERIFY(session.timer().port().isReconnecting());
    QVERIFY(session.timer().lastingNotice().startsWith(TimerSession::lostText(rig.link)));
    rig.pty = std::make_unique<PtyPair>();
    QVERIFY(rig.plug());
    QSignalSpy restored(&session.timer().port(), &TimerPort::connectionRestored);
    QVERIFY(restored.wait(3 * TimerPort::WatchIntervalMs));
    QCOMPARE(session.timer().lastingNotice(), QString());

    // Minutes later the memory is read out: what came before is not counted again.
    rig.f.ticks().setNow(rig.origin + (11LL * 3600 + 30 * 60) * 1'000'000);
    QVERIFY(rig.play(QStringLiteral("microgate_memory.txt"), 0));
    const TimerInput::Counts c = session.timer().input().counts();
    QCOMPARE(c.repeated, 3);
    QCOMPARE(c.fromMemory, 3);
    QCOMPARE(c.impulses, 6);
    // Only the live run went into the list; the clock still runs for the second competitor.
    QCOMPARE(enteredTimes(session, 3), formatted(session, {4456, -1, -1}));
    QCOMPARE(session.clock().state(), RunClock::State::Running);

    // The missed impulses are in the journal, each with the timer's stamp, the PC's and its
    // line, and a run taken from two of them is the timer's time.
    QList<JournalEntry> offered;
    for (const JournalEntry& e : journaled)
        if (e.kind == JournalEntry::Kind::LineChange)
            offered << e;
    QCOMPARE(offered.size(), 6);
    QVERIFY(offered[3].remark.contains(QStringLiteral("aus dem Speicher")));
    QVERIFY(offered[3].remark.contains(QStringLiteral("Zeile: 00004 *    32 C01")));
    QCOMPARE(offered[3].newText, QStringLiteral("11:22:10.7777"));
    QVERIFY(offered[3].remark.startsWith(QStringLiteral("PC ")));
    QCOMPARE(JournalRecovery::runTime(*offered[2].stamp, *offered[3].stamp), 40270);
    QCOMPARE(JournalRecovery::runTime(*offered[4].stamp, *offered[5].stamp), 38870);
}

void TestTimerReplay::driftingClockIsTold() {
    TimerRig rig;
    QVERIFY(rig.plug());
    RaceSession& session = rig.f.session();
    rig.f.addCompetitors(3);
    session.settings().timerDriftLimit = 100;
    configure(session, rig.link, QStringLiteral("alge"), {"c0", "c2", "c1"});
    QSignalSpy lasting(&session.timer(), &TimerSession::lastingNoticeChanged);
    // The timer's clock runs twice as fast as the PC's: its times still count.
    QVERIFY(rig.play(QStringLiteral("alge_heat.txt"), 0.5));
    QCOMPARE(enteredTimes(session, 3), formatted(session, {4643, 4023, 3998}));
    QVERIFY(!lasting.isEmpty());
    QVERIFY(lasting.first().first().toString().startsWith(
        QStringLiteral("Uhr des Zeitmessgeräts weicht um -23,21")));
}

void TestTimerReplay::runStartedByHandKeepsThePcClock() {
    TimerRig rig;
    QVERIFY(rig.plug());
    RaceSession& session = rig.f.session();
    rig.f.addCompetitors(2);
    configure(session, rig.link, QStringLiteral("alge"), {"c0", "c2", "c1"});
    // Started by key; the timer's stop line comes in 12.34 s later on the PC's clock.
    QVERIFY(rig.f.run({"F5", "+12340"}));
    QVERIFY(rig.pty->write(" 0011 c1  09:58:58.7812 00\r"));
    QTRY_COMPARE(session.clock().state(), RunClock::State::Stopped);
    session.clock().enter();
    QCOMPARE(enteredTimes(session, 1), formatted(session, {1234}));
}

QTEST_GUILESS_MAIN(TestTimerReplay)
#include "tst_timerreplay.moc"
