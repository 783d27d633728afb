#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "competition/RunStateEntry.h"
#include "competition/SubstituteEntry.h"
#include "journal/JournalBackwardReader.h"
#include "journal/JournalLineFormat.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRunIndex.h"
#include "journal/JournalRuns.h"
#include "mock/FakeTickSource.h"
#include "mock/HeatStartListBuilder.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

namespace {

// A race timed with the barriers and System B, journaled into a file as the program does.
struct Race {
    FakeTickSource ticks{FakeTickSource::justBelowWrapMicroseconds};
    RunClock clock{ticks};
    BarrierLogic barriers{clock};
    Competition competition{TimeFormat(TimeFormat::Seconds, u',')};
    QByteArray file = JournalLineFormat::header().toUtf8() + '\n';
    JournalRecorder recorder{
        ticks,
        [this](const JournalEntry& e) { file += JournalLineFormat::format(e).toUtf8() + '\n'; },
        [] {
            return QDateTime(QDate(2026, 6, 1), QTime(12, 0));
        }};
    QTemporaryDir dir;

    explicit Race(int competitors) {
        for (int nr = 1; nr <= competitors; ++nr)
            HeatStartListBuilder::add(competition, {QString::number(nr), "N", "V", "SC", "1"});
        competition.heatStartList().setRow(1);
        TimingSettings settings;
        settings.timerMs = 0;
        settings.backupLine = true;
        settings.backupLockTimeMs = 1000;
        settings.lockTimeMs = 1000;
        clock.startUp(settings);
        barriers.applySettings(settings);
        barriers.portOpened();
        QObject::connect(&clock, &RunClock::runEntered, &clock, [this](qint32 ms) {
            ResultEntry::enterRunTime(competition, 0, ms);
            ResultEntry::selectNextRow(competition, 0);
        });
        QObject::connect(&clock, &RunClock::runNotFinished, &clock, [this] {
            RunStateEntry::enterState(competition, 0, RunState::DNF);
            ResultEntry::selectNextRow(competition, 0);
        });
        recorder.watchClock(clock);
        recorder.watchBarriers(barriers);
        recorder.watchBackupStop(barriers.backupStop());
        recorder.watchTable(competition.heatStartList(), QStringLiteral("Vorlauf"));
    }

    void line(quint32 event, quint32 level) {
        recorder.lineChanged(event, level, ticks.nowMicroseconds());
        barriers.portLinesChanged(event, level, ticks.nowMicroseconds());
    }
    // One run: "<A>/<B>" in microseconds from the start, "-" for no stop barrier; a run
    // without A is stopped by key 300 ms after B, or ends with F7 when marked "F7".
    void run(const QString& spec) {
        const QStringList parts = spec.split(u'/');
        const QString a = parts.value(0);
        const qint64 b = parts.value(1).toLongLong();
        clock.start();
        const qint64 aTime = a == u"-" || a == u"F7" ? b + 300'000 : a.toLongLong();
        const bool bFirst = b < aTime;
        ticks.advanceMicroseconds(bFirst ? b : aTime);
        if (bFirst) {
            line(BackupStopLogic::eventBit, BackupStopLogic::lineBit);
            line(BackupStopLogic::eventBit, 0);
        } else {
            line(BarrierLogic::stopEventBit, BarrierLogic::stopLineBit);
        }
        ticks.advanceMicroseconds(bFirst ? aTime - b : b - aTime);
        if (a == u"F7") {
            clock.notFinished();
        } else {
            if (!bFirst)
                line(BackupStopLogic::eventBit, BackupStopLogic::lineBit);
            else if (a == u"-")
                clock.stop();
            else
                line(BarrierLogic::stopEventBit, BarrierLogic::stopLineBit);
            clock.enter();
        }
        line(BarrierLogic::stopEventBit | BackupStopLogic::eventBit, 0);
        ticks.advanceMicroseconds(5'000'000);
    }
    // Appends what is not in the file yet, as the journal's writer does.
    QString write() {
        const QString path = dir.filePath(QStringLiteral("journal.txt"));
        QFile out(path);
        if (!out.open(QIODevice::Append) || out.write(file.mid(out.size())) < 0)
            return {};
        return path;
    }
    JournalRuns runs() {
        JournalBackwardReader reader({write()});
        return JournalRuns::read(reader);
    }
};

} // namespace

// The runs as the journal file tells of them: a substitute for a run ended with F7 or stopped by
// key, with the runs after it counted as well as those before, and entered again.
class TestJournalRuns : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void substituteFromTheJournal_data();
    void substituteFromTheJournal();
    void indexKnowsEarlierAndNewRuns();
    void absurdStampsGiveNoTime_data();
    void absurdStampsGiveNoTime();
    void enteredRunsFromBothEnds_data();
    void enteredRunsFromBothEnds();
};

void TestJournalRuns::substituteFromTheJournal_data() {
    QTest::addColumn<QStringList>("race");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("result");
    // B 31,455 s; A-B 13, 20 and 30 ms: the mean 21 ms gives 31,476, where the run before
    // alone (31,468) would give 31,46.
    const QStringList f7{"31000000/30987000", "F7/31455000", "30500000/30480000",
                         "30000000/29970000"};
    QTest::newRow("F7 run, runs after it count") << f7 << "2"
                                                 << "DNF" << 1 << 2 << "31,47";
    QStringList key = f7;
    key[1] = "-/31455000";
    QTest::newRow("key stop, entered earlier") << key << "2"
                                               << "31,75" << 1 << 2 << "31,47";
    QTest::newRow("first run, runs after only")
        << QStringList{"F7/31455000", "30000000/29987000"} << "1"
        << "DNF" << 0 << 1 << "31,46";
    // A run stopped by key counts for neither side; five after it at most.
    QStringList many{"30000000/29990000", "-/30000000"};
    for (int i = 0; i < 6; ++i)
        many.append("30000000/29990000");
    many.insert(3, "F7/31455000");
    QTest::newRow("run without A skipped") << many << "4"
                                           << "DNF" << 2 << 5 << "31,46";
}

void TestJournalRuns::substituteFromTheJournal() {
    QFETCH(QStringList, race);
    QFETCH(QString, number);
    QFETCH(QString, cell);
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(QString, result);
    Race r(static_cast<int>(race.size()));
    for (const QString& run : race)
        r.run(run);
    const JournalRuns runs = r.runs();
    QCOMPARE(static_cast<int>(runs.runs().size()), race.size());
    const std::optional<int> index = runs.lastEnteredInto(number, QStringLiteral("Zeit1"));
    QVERIFY(index);
    const JournalRuns::Run& run = runs.runs()[static_cast<size_t>(*index)];
    QCOMPARE(run.cellText, cell);
    QVERIFY(!run.stopA);
    const auto calculation =
        SubstituteTime::calculate(runs.times(), *index, *runs.times()[*index].bMicroseconds);
    QVERIFY(calculation);
    QCOMPARE(calculation->before, before);
    QCOMPARE(calculation->after, after);
    const QString text = r.competition.timeFormat().formatTime(calculation->resultHundredths);
    QCOMPARE(text, result);

    // Entered, the substitute is the run's text in the journal, and its mark holds.
    r.recorder.enterSubstitute(
        run.start, calculation->resultHundredths * 10'000LL, QStringLiteral("Rechnung"),
        [&] { QVERIFY(SubstituteEntry::replaceRun(r.competition, number, 0, text)); });
    const JournalRuns again = r.runs();
    QCOMPARE(again.lastEnteredInto(number, QStringLiteral("Zeit1")), index);
    QCOMPARE(again.runs()[static_cast<size_t>(*index)].cellText, result);
    QVERIFY(r.competition.substituteMarks().isSubstitute(number, 0, text));
    JournalBackwardReader reader({r.dir.filePath(QStringLiteral("journal.txt"))});
    QStringList calculations;
    for (const JournalEntry& e : reader.readOlder(20))
        if (const QString c = JournalRuns::calculationOf(e); !c.isEmpty())
            calculations.append(c);
    QCOMPARE(calculations, QStringList{QStringLiteral("Rechnung")});
}

// The index read in the background knows what reading the whole journal afterwards tells, with
// the events of this session, a substitute for an earlier run among them, that came meanwhile.
void TestJournalRuns::indexKnowsEarlierAndNewRuns() {
    Race r(3);
    r.run(QStringLiteral("31000000/30987000"));
    r.run(QStringLiteral("F7/31455000"));
    JournalRunIndex index(JournalRunIndex::fileReader({r.write()}));
    QObject::connect(&r.recorder, &JournalRecorder::recorded, &index, &JournalRunIndex::see);
    r.run(QStringLiteral("30500000/30480000"));
    const qint64 f7Start = r.runs().runs()[1].start;
    r.recorder.enterSubstitute(f7Start, 314'700'000, QStringLiteral("Rechnung"), [&] {
        QVERIFY(SubstituteEntry::replaceRun(r.competition, QStringLiteral("2"), 0, "31,47"));
    });
    // Written to the file after the index was made, they are seen once, as they came.
    r.write();
    QVERIFY(!index.runs());
    QTRY_VERIFY(index.runs());
    QCOMPARE(index.runs()->runs(), r.runs().runs());
    QCOMPARE(index.runs()->runs().size(), size_t(3));
    QCOMPARE(index.runs()->runs()[1].cellText, QStringLiteral("31,47"));
}

void TestJournalRuns::absurdStampsGiveNoTime_data() {
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("stop");
    QTest::addColumn<qint64>("runTime"); // the stop's own run time field
    QTest::addColumn<bool>("named");     // the stop names its start in the remark
    QTest::addColumn<qint64>("a");       // A from the start, -1 for none
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    QTest::newRow("a real run") << qint64(1000) << qint64(31'001'000) << qint64(31'000'000) << false
                                << qint64(31'000'000);
    QTest::newRow("stop before its start")
        << qint64(1000) << qint64(500) << qint64(-500) << false << qint64(-1);
    QTest::newRow("stop two days later")
        << qint64(0) << qint64(172'800'000'000) << qint64(172'800'000'000) << false << qint64(-1);
    QTest::newRow("span overflows") << min + 1 << max << qint64(0) << true << qint64(-1);
    QTest::newRow("start overflows") << qint64(1000) << min + 1 << max << false << qint64(-2);
}

// Stamps from a damaged or edited journal never wrap into a time: the stop gives none.
void TestJournalRuns::absurdStampsGiveNoTime() {
    QFETCH(qint64, start);
    QFETCH(qint64, stop);
    QFETCH(qint64, runTime);
    QFETCH(bool, named);
    QFETCH(qint64, a);
    JournalRuns runs;
    JournalEntry e;
    e.kind = JournalEntry::Kind::Command;
    e.name = QStringLiteral("Start");
    e.stamp = start;
    runs.see(e);
    e.name = QStringLiteral("Stopp");
    e.source = QStringLiteral("Lichtschranke");
    e.stamp = stop;
    e.runMicroseconds = runTime;
    e.remark = named ? JournalRuns::runRemark(start, QString()) : QString();
    // -2: the stop cannot even name its run.
    QCOMPARE(JournalRuns::runStartOf(e).has_value(), a != -2);
    runs.see(e);
    QCOMPARE(runs.times().size(), size_t(1));
    QCOMPARE(runs.times()[0].aMicroseconds.value_or(-1), a < 0 ? -1 : a);
}

void TestJournalRuns::enteredRunsFromBothEnds_data() {
    QTest::addColumn<QStringList>("race");
    QTest::addColumn<int>("fromJournal");  // the run entered again from the journal, -1 none
    QTest::addColumn<QStringList>("rows"); // the "Nr." each run went to, "-" for no entry
    QTest::newRow("entered by key")
        << QStringList{"31000000/30987000", "-/30480000"} << -1 << QStringList{"1", "2"};
    QTest::newRow("F7 is no entered time")
        << QStringList{"31000000/30987000", "F7/31455000", "30000000/29970000"} << -1
        << QStringList{"1", "-", "3"};
    QTest::newRow("F7 run entered from the journal")
        << QStringList{"31000000/30987000", "F7/31455000"} << 1 << QStringList{"1", "3"};
    QTest::newRow("entered again from the journal: the newer row")
        << QStringList{"31000000/30987000", "30500000/30480000"} << 0 << QStringList{"3", "2"};
}

// The runs read oldest first and the entered marks read back from the newest tell the same
// row for every run whose time went into the table.
void TestJournalRuns::enteredRunsFromBothEnds() {
    QFETCH(QStringList, race);
    QFETCH(int, fromJournal);
    QFETCH(QStringList, rows);
    Race r(static_cast<int>(race.size()) + 1);
    for (const QString& run : race)
        r.run(run);
    if (fromJournal >= 0) {
        const JournalRuns::Run run = r.runs().runs()[static_cast<size_t>(fromJournal)];
        QVERIFY(run.stopB);
        r.recorder.enterFromJournal(run.start, *run.stopB, [&] {
            ResultEntry::enterRunTime(r.competition, 0, 31'000);
            ResultEntry::selectNextRow(r.competition, 0);
        });
    }
    const JournalRuns forward = r.runs();
    JournalRuns backward;
    JournalBackwardReader reader({r.write()});
    while (!reader.atBeginning())
        for (const JournalEntry& e : reader.readOlder(50))
            backward.seeOlder(e);
    QCOMPARE(forward.runs().size(), size_t(race.size()));
    for (int i = 0; i < race.size(); ++i) {
        const JournalRuns::Run& run = forward.runs()[static_cast<size_t>(i)];
        const QString row = rows[i];
        const std::optional<QString> mark =
            row == u"-" ? std::nullopt : std::optional<QString>(row);
        if (mark)
            QCOMPARE(run.number, row);
        QCOMPARE(forward.enteredAsStart(run.start), mark);
        QCOMPARE(backward.enteredAsStart(run.start), mark);
    }
}

QTEST_MAIN(TestJournalRuns)
#include "tst_journalruns.moc"
