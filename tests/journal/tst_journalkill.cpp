#include "competition/Competition.h"
#include "competition/ResultEntry.h"
#include "competition/StageTables.h"
#include "competition/StartListCommands.h"
#include "journal/JournalReader.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalWriter.h"
#include "mock/HeatStartListBuilder.h"
#include "output/BackupStartup.h"
#include "output/BackupWriter.h"
#include "timing/BarrierLogic.h"
#include "timing/MonotonicTickSource.h"
#include "timing/RunClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <unistd.h>

namespace {

const QString Title = QStringLiteral("Velmora");
constexpr qint64 JournalDelayMicroseconds = 100'000;

QString backupPath(const QString& folder) {
    return QDir(folder).filePath(Title + QStringLiteral("-Sicherungsdatei.txt"));
}

void say(const QByteArray& line) {
    // Unbuffered: whatever was said before the kill has reached the pipe.
    const QByteArray text = line + '\n';
    [[maybe_unused]] const ssize_t n = ::write(STDOUT_FILENO, text.constData(), text.size());
}

// The child: the program's timing, heat start list, backup and journal on the real clock,
// driven by random key commands and light-barrier impulses until it is killed. Every impulse
// is told on stdout with its stamp.
int scriptedRuns(const QString& folder, quint32 seed) {
    int argc = 1;
    char name[] = "scripted-runs";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QRandomGenerator random(seed);
    MonotonicTickSource ticks;
    RunClock clock(ticks);
    BarrierLogic barriers(clock);
    Competition competition;
    CompetitionTable& heat = competition.heatStartList();
    competition.writeHeatStartListHeader();
    const QString backup = backupPath(folder);
    const BackupStartup::Outcome loaded = BackupStartup::load(heat, {backup, backup});
    if (!loaded.loaded)
        for (int nr = 1; nr <= 30; ++nr)
            HeatStartListBuilder::add(competition,
                                      {QString::number(nr), "Name", "Vorname", "SC", "1"});
    heat.setRow(1);

    JournalWriter writer(folder, Title);
    JournalRecorder recorder(ticks, [&](const JournalEntry& e) { writer.append(e); });
    recorder.watchClock(clock);
    recorder.watchBarriers(barriers);
    recorder.watchTable(heat, QStringLiteral("Vorlauf"));
    BackupWriter backupWriter(heat, loaded.writePath);
    backupWriter.setBeforeWrite([&] {
        recorder.catchUpTable();
        writer.flush();
    });
    QObject::connect(&clock, &RunClock::runEntered, &clock, [&](qint32 ms) {
        ResultEntry::enterRunTime(competition, 0, ms);
        ResultEntry::selectNextRow(competition, 0);
    });
    TimingSettings settings;
    settings.timerMs = 0;
    settings.lockTimeMs = 30;
    settings.waitStartMs = 30;
    clock.startUp(settings);
    barriers.applySettings(settings);
    barriers.portOpened();
    recorder.programStarted(QStringLiteral("kill test"));
    // A full list starts over, so the table stays small over a hundred restarts.
    if (heat.rowsWithHeader() > 60) {
        const BackupWriter::Batch once(backupWriter);
        StartListCommands::DeleteResults(competition, 0);
        while (heat.rowsWithHeader() > 31)
            heat.deleteRow(heat.rowsWithHeader() - 1);
    }

    quint32 status = 0;
    QTimer step;
    step.setInterval(2);
    QObject::connect(&step, &QTimer::timeout, &clock, [&] {
        const int dice = random.bounded(10);
        if (dice < 5) {
            static constexpr quint32 events[] = {
                BarrierLogic::startEventBit, BarrierLogic::stopEventBit, BarrierLogic::lapEventBit};
            static constexpr quint32 lines[] = {
                BarrierLogic::startLineBit, BarrierLogic::stopLineBit, BarrierLogic::lapLineBit};
            const int which = random.bounded(3);
            status ^= lines[which];
            const qint64 stamp = ticks.nowMicroseconds();
            recorder.lineChanged(events[which], status, stamp);
            say("I " + QByteArray::number(stamp));
            barriers.portLinesChanged(events[which], status, stamp);
        } else if (clock.state() == RunClock::State::Ready) {
            clock.start();
        } else if (clock.state() == RunClock::State::Running && dice < 8) {
            clock.stop();
        } else if (clock.state() == RunClock::State::Stopped) {
            if (dice < 9)
                clock.enter();
            else
                clock.reset();
        }
    });
    step.start();
    say("R");
    return app.exec();
}

// Every text the journal says a cell got: "Nr.<tab>column<tab>text". A change journaled just
// before a kill may miss the backup, so any of them may be the one the backup holds.
QSet<QString> journaledCells(const QList<JournalEntry>& entries) {
    QSet<QString> cells;
    for (const JournalEntry& e : entries)
        if (e.kind == JournalEntry::Kind::Cell)
            cells.insert(e.number + u'\t' + e.column + u'\t' + e.newText);
    return cells;
}

QList<JournalEntry> allJournals(const QString& folder) {
    QList<JournalEntry> entries;
    const QStringList files =
        QDir(folder).entryList({Title + QStringLiteral("-Journal-*.txt")}, QDir::Files, QDir::Name);
    for (const QString& file : files)
        entries += JournalReader::readFile(QDir(folder).filePath(file)).entries;
    return entries;
}

} // namespace

// A hundred kill -9 at random moments of scripted runs: the journal keeps every result the
// backup holds and every impulse older than 100 ms, and always reads back.
class TestJournalKill : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedAHundredTimes();
};

void TestJournalKill::killedAHundredTimes() {
    QTemporaryDir dir;
    QRandomGenerator random(20261209);
    int impulsesChecked = 0;
    int resultsChecked = 0;
    for (int round = 0; round < 100; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--scripted-runs"), dir.path(), QString::number(round + 1)});
        QVERIFY(child.waitForStarted());
        QByteArray said;
        while (!said.startsWith("R\n") && child.waitForReadyRead(5000))
            said += child.readAllStandardOutput();
        QVERIFY2(said.startsWith("R\n"), qPrintable(QString::number(round)));
        QTest::qSleep(static_cast<int>(random.bounded(40, 400)));
        const qint64 killedAt = MonotonicTickSource::rawMicroseconds();
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));
        said += child.readAllStandardOutput();

        const QList<JournalEntry> journal = allJournals(dir.path());
        QSet<qint64> journaledImpulses;
        for (const JournalEntry& e : journal)
            if (e.kind == JournalEntry::Kind::LineChange)
                journaledImpulses.insert(*e.stamp);
        for (const QByteArray& line : said.split('\n')) {
            if (!line.startsWith("I "))
                continue;
            const qint64 stamp = line.mid(2).toLongLong();
            if (stamp < killedAt - JournalDelayMicroseconds) {
                QVERIFY2(journaledImpulses.contains(stamp),
                         qPrintable(QStringLiteral("round %1, impulse %2").arg(round).arg(stamp)));
                ++impulsesChecked;
            }
        }

        Competition restarted;
        CompetitionTable& heat = restarted.heatStartList();
        restarted.writeHeatStartListHeader();
        const QString backup = backupPath(dir.path());
        if (!BackupStartup::load(heat, {backup, backup}).loaded)
            continue;
        const QSet<QString> cells = journaledCells(journal);
        using namespace StageTables;
        for (int row = 1; row < heat.rowsWithHeader(); ++row) {
            for (int col = Heat::Zeit1; col <= Heat::Zeit5; ++col) {
                const QString text = heat.cell(col, row);
                // The file keeps an empty cell as a blank.
                if (text.trimmed().isEmpty())
                    continue;
                const QString key =
                    heat.cell(Heat::Nr, row) + u'\t' + heat.cell(col, 0) + u'\t' + text;
                QVERIFY2(cells.contains(key),
                         qPrintable(QStringLiteral("round %1: %2").arg(round).arg(key)));
                ++resultsChecked;
            }
        }
    }
    qInfo("%d impulses and %d backed-up results checked", impulsesChecked, resultsChecked);
    QVERIFY(impulsesChecked > 1000);
    QVERIFY(resultsChecked > 100);
}

int main(int argc, char* argv[]) {
    if (argc >= 4 && qstrcmp(argv[1], "--scripted-runs") == 0)
        return scriptedRuns(QString::fromLocal8Bit(argv[2]),
                            static_cast<quint32>(QByteArray(argv[3]).toUInt()));
    QCoreApplication app(argc, argv);
    TestJournalKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journalkill.moc"
