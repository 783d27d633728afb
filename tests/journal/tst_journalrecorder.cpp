#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRecovery.h"
#include "journal/JournalRuns.h"
#include "mock/FakeTickSource.h"
#include "mock/HeatStartListBuilder.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"

#include <QTest>

namespace {

using Kind = JournalEntry::Kind;

// A run clock with its barriers and a heat start list, journaled into a list.
struct Rig {
    FakeTickSource ticks{FakeTickSource::justBelowWrapMicroseconds};
    RunClock clock{ticks};
    BarrierLogic barriers{clock};
    Competition competition{TimeFormat(TimeFormat::Seconds, u',')};
    QList<JournalEntry> lines;
    JournalRecorder recorder{ticks, [this](const JournalEntry& e) { lines.append(e); },
                             [] {
                                 return QDateTime(QDate(2026, 6, 1), QTime(12, 0));
                             }};
    QList<qint64> clockStamps; // start, lap and stop stamps as the clock kept them
    QList<qint32> enteredTimes;

    Rig() {
        HeatStartListBuilder::add(competition, {"7", "Berg", "Anna", "SC", "1"});
        HeatStartListBuilder::add(competition, {"8", "Tal", "Ben", "SC", "1"});
        competition.heatStartList().setRow(1);
        TimingSettings settings;
        settings.timerMs = 0;
        settings.backupLine = true;
        clock.startUp(settings);
        barriers.applySettings(settings);
        barriers.portOpened();
        QObject::connect(&clock, &RunClock::runEntered, &clock, [this](qint32 ms) {
            enteredTimes.append(ms);
            ResultEntry::enterRunTime(competition, 0, ms);
            ResultEntry::selectNextRow(competition, 0);
        });
        recorder.setSourceResolver([] { return QStringLiteral("Taste"); });
        recorder.watchClock(clock);
        recorder.watchBarriers(barriers);
        recorder.watchBackupStop(barriers.backupStop());
        recorder.watchTable(competition.heatStartList(), QStringLiteral("Vorlauf"));
    }

    // "start", "lap", "stop", "enter", "reset", "F11", "+<us>", "line:<start|lap|stop|B>" (the
    // barrier's line goes on now, as the port would report it).
    void run(const QStringList& steps) {
        quint32 status = 0;
        for (const QString& step : steps) {
            if (step.startsWith(u'+')) {
                ticks.advanceMicroseconds(step.mid(1).toLongLong());
            } else if (step == "start") {
                clock.start();
            } else if (step == "lap") {
                clock.lap();
            } else if (step == "stop") {
                clock.stop();
            } else if (step == "enter") {
                clock.enter();
            } else if (step == "reset") {
                clock.reset();
            } else if (step == "F11") {
                barriers.toggleBarrierLock(0);
            } else if (step.startsWith("line:")) {
                const QString which = step.mid(5);
                const quint32 event = which == "start" ? BarrierLogic::startEventBit
                                      : which == "lap" ? BarrierLogic::lapEventBit
                                      : which == "B"   ? BackupStopLogic::eventBit
                                                       : BarrierLogic::stopEventBit;
                const quint32 line = which == "start" ? BarrierLogic::startLineBit
                                     : which == "lap" ? BarrierLogic::lapLineBit
                                     : which == "B"   ? BackupStopLogic::lineBit
                                                      : BarrierLogic::stopLineBit;
                status = line;
                recorder.lineChanged(event, status, ticks.nowMicroseconds());
                barriers.portLinesChanged(event, status, ticks.nowMicroseconds());
            }
            if (step == "start" || step == "stop" || step == "lap" || step.startsWith("line:"))
                clockStamps.append(step.endsWith("lap")    ? clock.lapStamp().value_or(-1)
                                   : step.endsWith("stop") ? clock.stopStamp()
                                                           : clock.startStamp());
        }
    }

    QStringList summary() const {
        QStringList out;
        for (const JournalEntry& e : lines) {
            QString text = JournalEntry::kindText(e.kind) + u' ' + e.name;
            if (!e.source.isEmpty())
                text += " (" + e.source + ")";
            if (e.kind == Kind::Cell || e.kind == Kind::LineChange)
                text += u' ' + e.number + u' ' + e.column + u' ' + e.oldText + u'>' + e.newText;
            if (e.name == JournalRecorder::differenceName())
                text += u' ' + e.newText;
            out.append(text.simplified());
        }
        return out;
    }
};

} // namespace

// What the journal records of timed runs and table changes, and a lost run taken back from it.
class TestJournalRecorder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timedRunGivesItsLines_data();
    void timedRunGivesItsLines();
    void stampsAreTheRunClocks();
    void recoveredTimeEqualsTheRunClocks_data();
    void recoveredTimeEqualsTheRunClocks();
    void tableChangesGiveOldAndNewText_data();
    void tableChangesGiveOldAndNewText();
    void lastRunIsOffered();
};

void TestJournalRecorder::timedRunGivesItsLines_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("keys: start, stop, enter")
        << QStringList{"start", "+12349000", "stop", "enter"}
        << QStringList{"Befehl Start (Taste)", "Befehl Stopp (Taste)", "Befehl Eintragen (Taste)",
                       "Zelle (Eintragen) 7 Zeit1 >12,34"};
    QTest::newRow("reset before the entry loses nothing")
        << QStringList{"start", "+5000000", "stop", "reset"}
        << QStringList{"Befehl Start (Taste)", "Befehl Stopp (Taste)", "Befehl 0,00 (Taste)"};
    QTest::newRow("with intermediate")
        << QStringList{"start", "+1000", "lap", "+1000", "stop", "enter"}
        << QStringList{"Befehl Start (Taste)", "Befehl Zwischen (Taste)", "Befehl Stopp (Taste)",
                       "Befehl Eintragen (Taste)", "Zelle (Eintragen) 7 Zeit1 >0,00"};
    QTest::newRow("light barriers: the impulse before the command")
        << QStringList{"F11", "line:start", "+61000000", "+1", "line:stop"}
        << QStringList{"Befehl Start-LS (Taste)", "Leitung DSR (Start) Aus>Ein",
                       "Befehl Start (Lichtschranke)", "Leitung CTS (Stopp) Aus>Ein",
                       "Befehl Stopp (Lichtschranke)"};
    QTest::newRow("System B before the stop barrier, and A-B")
        << QStringList{"F11", "line:start", "+61000000", "line:B", "+12500", "line:stop"}
        << QStringList{"Befehl Start-LS (Taste)",          "Leitung DSR (Start) Aus>Ein",
                       "Befehl Start (Lichtschranke)",     "Leitung RI (Stopp B) Aus>Ein",
                       "Befehl Stopp B (Lichtschranke B)", "Leitung CTS (Stopp) Aus>Ein",
                       "Befehl A-B (System A/B) +0,013 s", "Befehl Stopp (Lichtschranke)"};
    QTest::newRow("System B within its lock: the line only")
        << QStringList{"F11", "line:start", "+1000000", "line:B"}
        << QStringList{"Befehl Start-LS (Taste)", "Leitung DSR (Start) Aus>Ein",
                       "Befehl Start (Lichtschranke)", "Leitung RI (Stopp B) Aus>Ein"};
    QTest::newRow("commands that do nothing give no line")
        << QStringList{"stop", "enter", "reset", "lap"} << QStringList{};
}

void TestJournalRecorder::timedRunGivesItsLines() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, lines);
    Rig rig;
    rig.run(steps);
    QCOMPARE(rig.summary(), lines);
}

void TestJournalRecorder::stampsAreTheRunClocks() {
    Rig rig;
    rig.run({"start", "+1234567", "lap", "+7654321", "stop", "enter"});
    QList<qint64> journaled;
    for (const JournalEntry& e : rig.lines)
        if (e.kind == Kind::Command && e.name != "Eintragen")
            journaled.append(*e.stamp);
    QCOMPARE(journaled, rig.clockStamps);
    // The entry names its run, so the journal tells which runs are in the table.
    const JournalEntry& enter = rig.lines[rig.lines.size() - 2];
    QCOMPARE(JournalRuns::enteredRunOf(enter),
             std::make_optional(std::make_pair(rig.clockStamps[0], rig.clockStamps[2])));
    const JournalEntry& cell = rig.lines.last();
    QCOMPARE(cell.kind, Kind::Cell);
    QCOMPARE(cell.runMicroseconds, rig.clockStamps[2] - rig.clockStamps[0]);
    QCOMPARE(cell.row, 1);
}

void TestJournalRecorder::recoveredTimeEqualsTheRunClocks_data() {
    QTest::addColumn<qint64>("span");
    // Spans whose hundredths a per-stamp millisecond truncation would get wrong, and the
    // edges of a hundredth.
    for (qint64 span : {12'349'999LL, 12'350'000LL, 9'999LL, 10'000LL, 59'990'001LL, 1'000'999LL,
                        3'600'000'000LL})
        QTest::addRow("%lld us", span) << span;
}

void TestJournalRecorder::recoveredTimeEqualsTheRunClocks() {
    QFETCH(qint64, span);
    for (qint64 offset : {0LL, 999LL, 501LL}) {
        Rig rig;
        rig.ticks.advanceMicroseconds(offset);
        rig.run({"start", "+" + QString::number(span), "stop", "reset"});
        const qint32 clockTime = rig.clock.runTime();
        const QList<JournalEntry> shown = JournalRecovery::impulsesNewestFirst(rig.lines);
        const auto run = JournalRecovery::lastRun(shown);
        QVERIFY(run);
        const auto recovered =
            JournalRecovery::runTime(*shown[run->first].stamp, *shown[run->second].stamp);
        QCOMPARE(recovered, clockTime);

        // Entered from the journal, it lands in the selected row as "Eintragen" would put it.
        rig.recorder.enterFromJournal(*shown[run->first].stamp, *shown[run->second].stamp, [&] {
            ResultEntry::enterRunTime(rig.competition, 0, *recovered);
        });
        QCOMPARE(rig.competition.heatStartList().cell(6, 1),
                 rig.competition.timeFormat().formatTime(clockTime / 10));
        const JournalEntry& cell = rig.lines.last();
        QCOMPARE(cell.kind, Kind::Cell);
        QCOMPARE(cell.source, JournalRecorder::fromJournalSource());
        QCOMPARE(cell.runMicroseconds, span);
        QCOMPARE(rig.lines[rig.lines.size() - 2].name, "Eintragen");
        QCOMPARE(rig.lines[rig.lines.size() - 2].source, JournalRecorder::fromJournalSource());
    }
}

void TestJournalRecorder::tableChangesGiveOldAndNewText_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("edit a cell") << "edit" << QStringList{"Zelle 8 Name Tal>Thal"};
    QTest::newRow("add a row") << "add"
                               << QStringList{"Zeile neu", "Zelle 9 Nr. >9", "Zelle 9 Name >Neu"};
    QTest::newRow("remove a row") << "remove" << QStringList{"Zeile entfernt"};
    QTest::newRow("sorting journals nothing") << "sort" << QStringList{};
    QTest::newRow("clearing removes every row")
        << "clear" << QStringList{"Zeile entfernt", "Zeile entfernt"};
}

void TestJournalRecorder::tableChangesGiveOldAndNewText() {
    QFETCH(QString, change);
    QFETCH(QStringList, lines);
    Rig rig;
    CompetitionTable& heat = rig.competition.heatStartList();
    if (change == "edit")
        heat.setCell(1, 2, QStringLiteral("Thal"));
    else if (change == "add")
        heat.appendRow({"9", "Neu"});
    else if (change == "remove")
        heat.deleteRow(1);
    else if (change == "sort")
        heat.reorderRows({2, 1});
    else if (change == "clear")
        heat.clearTable();
    QStringList summary;
    for (const QString& line : rig.summary())
        summary.append(line.startsWith("Zeile") ? line.section(u' ', 0, 1) : line);
    QCOMPARE(summary, lines);
    for (const JournalEntry& e : rig.lines)
        QCOMPARE(e.table, "Vorlauf");
}

void TestJournalRecorder::lastRunIsOffered() {
    Rig rig;
    rig.run({"start", "+1000000", "stop", "enter", "start", "+2000000", "stop", "reset", "F11"});
    const QList<JournalEntry> shown = JournalRecovery::impulsesNewestFirst(rig.lines);
    const auto run = JournalRecovery::lastRun(shown);
    QVERIFY(run);
    QCOMPARE(*shown[run->second].stamp - *shown[run->first].stamp, 2'000'000);
    QCOMPARE(JournalRecovery::hint(std::nullopt, 5), "Bitte einen Start wählen.");
    QCOMPARE(JournalRecovery::hint(5, std::nullopt), "Bitte einen Stopp wählen.");
    QCOMPARE(JournalRecovery::hint(5, 5), "Der Stopp muss nach dem Start liegen.");
    QVERIFY(!JournalRecovery::hint(0, JournalRecovery::longestRunMicroseconds + 1).isEmpty());
    QCOMPARE(JournalRecovery::hint(5, 6), QString());
}

QTEST_GUILESS_MAIN(TestJournalRecorder)
#include "tst_journalrecorder.moc"
