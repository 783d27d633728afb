#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/ResultEntry.h"
#include "competition/RunStateEntry.h"
#include "competition/StageTables.h"
#include "competition/StartListCommands.h"
#include "mock/FileBytes.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"
#include "session/StartListHistory.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace StageTables;

// Undo and redo of every kind of change of the heat start list, checked against the table and
// the backup file that follows it.
class TstStartListHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void undoRestoresTableAndBackup_data();
    void undoRestoresTableAndBackup();
    void oneCommandIsOneStep();
    void namedStepAndNoStepForNothing();
    void randomChangesUndoneToTheFirstBackup();
};

namespace {

using Change = std::function<void(Competition&)>;

void startList(Competition& c) {
    CompetitionTable& heat = c.heatStartList();
    heat.setRowCells(1, {"1", "Ägidius", "Anna", "SV Nord", "1", "+", "10,24", "DNS", "", "", ""});
    heat.appendRow({"2", "Berg", "Ben", "TV Süd", "2", "", "", "", "", "", ""});
    heat.appendRow({"3", "Cramer", "Cora", "SV Nord", "1", "", "9,99", "9,98", "9,97", "DNF", ""});
    heat.setRow(2);
}

// The start list above with its backup file written and a history from there on.
struct BackedUpList {
    QTemporaryDir dir;
    const QString backup = dir.filePath("Velmora-Sicherungsdatei.txt");
    Competition c{TimeFormat(1, u',')};
    std::unique_ptr<BackupWriter> writer;
    std::unique_ptr<StartListHistory> history;

    BackedUpList() {
        c.writeHeatStartListHeader();
        startList(c);
        writer = std::make_unique<BackupWriter>(c.heatStartList(), backup);
        writer->saveNow();
        history = std::make_unique<StartListHistory>(c.heatStartList());
    }
    QByteArray backupBytes() const { return FileBytes::readFile(backup); }
};

} // namespace

void TstStartListHistory::undoRestoresTableAndBackup_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("name");

    QTest::newRow("result entry") << Change([](Competition& c) {
        ResultEntry::enterRunTime(c, 0, 10240);
    }) << "Ergebnis 10,24 für Nr. 2 Berg";
    QTest::newRow("time changed") << Change([](Competition& c) {
        c.heatStartList().commitUserEdit(Heat::Zeit2, 3, "9,95");
    }) << "Zeit 9,95 für Nr. 3";
    QTest::newRow("row added with its result") << Change([](Competition& c) {
        c.heatStartList().appendRow({"4", "Dorn", "Dana", "", "1", "", "12,34", "", "", "", ""});
    }) << "Ergebnis 12,34 für Nr. 4 Dorn";
    QTest::newRow("state") << Change([](Competition& c) {
        RunStateEntry::enterState(c, 0, RunState::DNF);
    }) << "DNF für Nr. 2";
    QTest::newRow("rerun") << Change([](Competition& c) {
        c.heatStartList().setRow(1);
        RunStateEntry::repeatRun(c, 0);
    }) << "Lauf wiederholen für Nr. 1";
    QTest::newRow("cell edit") << Change([](Competition& c) {
        c.heatStartList().commitUserEdit(Heat::Name, 2, "Borg");
    }) << "Name ändern für Nr. 2";
    QTest::newRow("eliminate") << Change([](Competition& c) {
        StartListCommands::Eliminate(c.heatStartList(), 2);
    }) << "Eliminieren für Nr. 2";
    QTest::newRow("row added") << Change([](Competition& c) {
        StartListCommands::AddRowBelow(c.heatStartList());
    }) << "Zeile hinzufügen";
    QTest::newRow("row removed") << Change([](Competition& c) { c.heatStartList().deleteRow(2); })
                                 << "Zeile entfernen für Nr. 2";
    QTest::newRow("results deleted")
        << Change([](Competition& c) { StartListCommands::DeleteResults(c, 0); })
        << "Startliste ändern";
    QTest::newRow("random results") << Change([](Competition& c) {
        RandomGenerator rng;
        RandomProtocol::fillRandomStartList(c, rng, 100);
    }) << "Startliste ändern";
    QTest::newRow("new protocol") << Change([](Competition& c) {
        StartListCommands::ClearCompetition(c);
    }) << "Startliste ändern";
    QTest::newRow("file opened") << Change([](Competition& c) {
        ProtocolFile::replaceRows(c.heatStartList(),
                                  {defaultCaptions(HeatStartList), {"9", "Neu", "", "", "4", ""}});
    }) << "Startliste ändern";
}

void TstStartListHistory::undoRestoresTableAndBackup() {
    QFETCH(Change, change);
    QFETCH(QString, name);
    BackedUpList list;
    Competition& c = list.c;
    StartListHistory& history = *list.history;
    const QString& backup = list.backup;
    const QByteArray before = list.backupBytes();
    const QList<QStringList> rowsBefore = StartListSnapshot::of(c.heatStartList()).rows;

    change(c);
    const QByteArray after = FileBytes::readFile(backup);
    const QList<QStringList> rowsAfter = StartListSnapshot::of(c.heatStartList()).rows;
    QVERIFY(after != before);
    QCOMPARE(history.undoText(), name);

    QSignalSpy restored(&history, &StartListHistory::restored);
    history.undo();
    QCOMPARE(StartListSnapshot::of(c.heatStartList()).rows, rowsBefore);
    QCOMPARE(FileBytes::readFile(backup), before);
    // The competitor the change was made for is selected again.
    if (rowsAfter.size() == rowsBefore.size())
        QCOMPARE(c.heatStartList().selectedRow(),
                 QTest::currentDataTag() == QString("rerun") ? 1 : 2);
    QCOMPARE(restored.size(), 1);
    QCOMPARE(restored.at(0).at(1).toBool(), true);
    QCOMPARE(history.redoText(), name);

    history.redo();
    QCOMPARE(StartListSnapshot::of(c.heatStartList()).rows, rowsAfter);
    QCOMPARE(FileBytes::readFile(backup), after);
    QVERIFY(!history.canRedo());
    QCOMPARE(history.count(), 1);
}

void TstStartListHistory::oneCommandIsOneStep() {
    Competition c(TimeFormat(1, u','));
    startList(c);
    StartListHistory history(c.heatStartList());
    // Result entry writes the time and moves on; both belong to one step.
    ResultEntry::enterRunTime(c, 0, 5000);
    ResultEntry::selectNextRow(c, 0);
    RunStateEntry::enterState(c, 0, RunState::DSQ);
    history.settle();
    QCOMPARE(history.count(), 1);
    QCoreApplication::processEvents();
    c.heatStartList().setCell(Heat::Zeit3, 1, "12,00");
    QTRY_COMPARE(history.count(), 2);
}

void TstStartListHistory::namedStepAndNoStepForNothing() {
    Competition c(TimeFormat(1, u','));
    startList(c);
    StartListHistory history(c.heatStartList());
    history.nameChangeUnderWay("Neue"); // nothing waiting: no name kept
    c.heatStartList().setCell(Heat::Name, 1, "X");
    history.nameChangeUnderWay("Öffnen...");
    QCOMPARE(history.undoText(), QString("Öffnen..."));
    // A change taken back within the same command leaves no step.
    c.heatStartList().setCell(Heat::Name, 1, "Y");
    c.heatStartList().setCell(Heat::Name, 1, "X");
    history.settle();
    QCOMPARE(history.count(), 1);
    c.heatStartList().setCell(Heat::Name, 1, "Z");
    QCOMPARE(history.undoText(), QString("Name ändern für Nr. 1"));
}

void TstStartListHistory::randomChangesUndoneToTheFirstBackup() {
    BackedUpList list;
    Competition& c = list.c;
    StartListHistory& history = *list.history;
    const QString& backup = list.backup;
    const QByteArray first = list.backupBytes();
    RandomGenerator rng;
    CompetitionTable& heat = c.heatStartList();
    QList<QByteArray> backups{first};
    for (int i = 0; i < 200; ++i) {
        heat.setRow(1 + rng.random(heat.rowsWithHeader() - 1));
        switch (rng.random(7)) {
        case 0:
            ResultEntry::enterRunTime(c, 0, 700 + rng.random(100000));
            break;
        case 1:
            RunStateEntry::enterState(c, 0, static_cast<RunState::Kind>(rng.random(3)));
            break;
        case 2:
            RunStateEntry::repeatRun(c, 0);
            break;
        case 3:
            StartListCommands::AddRowBelow(heat);
            break;
        case 4:
            heat.deleteRow(heat.selectedRow());
            break;
        case 5:
            StartListCommands::Eliminate(heat, heat.selectedRow());
            break;
        default:
            heat.commitUserEdit(Heat::Vorname, heat.selectedRow(), QString::number(i));
            break;
        }
        history.settle();
        if (FileBytes::readFile(backup) != backups.constLast())
            backups.append(FileBytes::readFile(backup));
    }
    QCOMPARE(history.count(), backups.size() - 1);
    QVERIFY(history.count() > 150);
    while (history.canUndo()) {
        history.undo();
        backups.removeLast();
        QCOMPARE(FileBytes::readFile(backup), backups.constLast());
    }
    QCOMPARE(FileBytes::readFile(backup), first);
}

QTEST_GUILESS_MAIN(TstStartListHistory)
#include "tst_startlisthistory.moc"
