#include "competition/Competition.h"
#include "competition/CompetitionTable.h"
#include "competition/ResultEntry.h"
#include "competition/StageTables.h"
#include "mock/FaultyFileSystem.h"
#include "mock/FileBytes.h"
#include "mock/ProtocolLoad.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <functional>

using FileBytes::readFile;

using namespace StageTables;

namespace {

// Set in the environment of a copy of this test that acts as the program being killed.
constexpr char kChildVariable[] = "VELMORA_BACKUP_CRASH_CHILD";
constexpr int kCompetitors = 30;

void writeHeader(CompetitionTable& table) {
    table.setRowCells(0, defaultCaptions(HeatStartList));
}

// Entry k: odd entries add a competitor, even ones give it a time.
void enterResult(CompetitionTable& table, int k) {
    const int competitor = (k + 1) / 2;
    if (k % 2 == 1) {
        table.appendRow({QString::number(competitor), QStringLiteral("Läufer %1").arg(competitor),
                         QStringLiteral("Jörg"), QStringLiteral("SV Süd €"),
                         QString::number(competitor % 4 + 1),
                         competitor % 3 == 0 ? QStringLiteral("+") : QString()});
    } else {
        table.setCell(
            Heat::Zeit1, competitor,
            QStringLiteral("%1,%2").arg(competitor % 60).arg(k % 100, 2, 10, QLatin1Char('0')));
    }
}

// The table as the operator sees it; after each paint it says so.
class ReportingView : public QTableView {
public:
    std::function<void()> painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        QTableView::paintEvent(event);
        if (painted)
            painted();
    }
};

// The child: enters runs by result entry into a start list that has a backup, one at a time,
// and after the table has painted each one prints "row col text" of the cell it showed. It
// runs until it is killed.
int runCrashChild(const QString& backupPath) {
    Competition competition(TimeFormat(TimeFormat::Hundredths, u','));
    CompetitionTable& heat = competition.heatStartList();
    competition.writeHeatStartListHeader();
    for (int k = 1; k <= 2 * kCompetitors; k += 2)
        enterResult(heat, k);
    BackupWriter writer(heat, backupPath);
    if (!writer.saveNow())
        return 2;

    ReportingView view;
    view.setModel(&heat);
    view.resize(1000, 800);
    QModelIndex entered;
    QObject::connect(&heat, &QAbstractItemModel::dataChanged,
                     [&entered](const QModelIndex& cell) { entered = cell; });
    int run = 0;
    const auto enterNext = [&] {
        ResultEntry::enterRunTime(competition, 0, 20000 + 10 * ++run);
        ResultEntry::selectNextRow(competition, 0);
        view.scrollTo(entered);
        view.viewport()->update();
    };
    view.painted = [&] {
        if (!entered.isValid())
            return;
        std::printf("%d %d %s\n", entered.row() + 1, entered.column(),
                    qPrintable(entered.data().toString()));
        std::fflush(stdout);
        entered = QModelIndex();
        QTimer::singleShot(0, enterNext);
    };
    view.show();
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer::singleShot(0, enterNext);
    QTimer::singleShot(20000, qApp, &QCoreApplication::quit);
    return QApplication::exec();
}

struct ShownCell {
    int row = 0;
    int col = 0;
    QString text;
};

QList<ShownCell> shownCells(const QByteArray& output) {
    QList<ShownCell> cells;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3)
            cells.append({parts[0].toInt(), parts[1].toInt(), QString::fromUtf8(parts[2])});
    }
    return cells;
}

} // namespace

// The backup file follows every change of the heat start list before the change returns, and
// a program killed at any moment leaves a backup that holds everything the table showed.
class TestBackupWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changeIsOnDiskWhenItReturns();
    void batchWritesOnce();
    void everyKindOfChange_data();
    void everyKindOfChange();
    void failureIsToldAndNextWriteHoldsAll();
    void noFreeDescriptorIsRetried_data();
    void noFreeDescriptorIsRetried();
    void exitWritesOverAFileItDidNotWrite();
    void exitWritesOnlyWhatIsNotOnDisk();
    void killedProgramKeepsWhatWasShown();
};

void TestBackupWriter::changeIsOnDiskWhenItReturns() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora-Sicherungsdatei.txt");
    CompetitionTable table(11);
    writeHeader(table);
    BackupWriter writer(table, path);
    QCOMPARE(writer.backupPath(), path);
    QVERIFY(!QFile::exists(path));

    table.setCell(Heat::Nr, 1, QStringLiteral("1"));
    QVERIFY(!writer.savePending());
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
    table.setCell(Heat::Zeit1, 1, QStringLiteral("10,24"));
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::batchWritesOnce() {
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    CompetitionTable table(11);
    writeHeader(table);
    BackupWriter writer(table, path);
    QSignalSpy saved(&writer, &BackupWriter::saved);
    {
        const BackupWriter::Batch outer(writer);
        for (int k = 1; k <= 150; ++k)
            enterResult(table, k);
        {
            const BackupWriter::Batch inner(writer);
            for (int k = 151; k <= 300; ++k)
                enterResult(table, k);
        }
        QVERIFY(writer.savePending());
        QCOMPARE(saved.count(), 0);
        QVERIFY(!QFile::exists(path));
    }
    QCOMPARE(saved.count(), 1);
    QCOMPARE(saved.at(0).at(0).toBool(), true);
    QVERIFY(!writer.savePending());
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
    // A batch without a change writes nothing.
    { const BackupWriter::Batch idle(writer); }
    QCOMPARE(saved.count(), 1);
}

enum Change { CellEdit, UserEdit, HeaderEdit, appendRow, deleteRow, CutRows, Sort, Load, Clear };

void TestBackupWriter::everyKindOfChange_data() {
    QTest::addColumn<int>("change");
    QTest::newRow("result entered") << int(CellEdit);
    QTest::newRow("cell edited") << int(UserEdit);
    QTest::newRow("caption changed") << int(HeaderEdit);
    QTest::newRow("row added") << int(appendRow);
    QTest::newRow("row deleted") << int(deleteRow);
    QTest::newRow("rows cut") << int(CutRows);
    QTest::newRow("sorted") << int(Sort);
    QTest::newRow("protocol loaded") << int(Load);
    QTest::newRow("new protocol") << int(Clear);
}

void TestBackupWriter::everyKindOfChange() {
    QFETCH(int, change);
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    const QString other = dir.filePath("other.txt");
    CompetitionTable table(11);
    writeHeader(table);
    for (int k = 1; k <= 6; ++k)
        enterResult(table, k);
    {
        CompetitionTable source(11);
        writeHeader(source);
        source.appendRow({"77", "Geladen"});
        QVERIFY(ProtocolFile::SaveProtocolText(source, other));
    }
    BackupWriter writer(table, path);
    QVERIFY(writer.saveNow());
    const QByteArray before = readFile(path);
    QSignalSpy saved(&writer, &BackupWriter::saved);

    switch (change) {
    case CellEdit:
        table.setCell(Heat::Zeit2, 2, QStringLiteral("12,34"));
        break;
    case UserEdit:
        table.commitUserEdit(Heat::Name, 1, QStringLiteral("Neu"));
        break;
    case HeaderEdit:
        table.setCell(Heat::Name, 0, QStringLiteral("Familienname"));
        break;
    case appendRow:
        table.appendRow({"99", "Dazu"});
        break;
    case deleteRow:
        table.deleteRow(1);
        break;
    case CutRows:
        table.setRowsWithHeader(2);
        break;
    case Sort:
        table.sortOptions().canSort = true;
        table.sortOptions().style = ssNumeric;
        table.sortOptions().direction = sdDescending;
        table.sortByColumn(Heat::Nr);
        break;
    case Load:
        QVERIFY(loadProtocol(table, other));
        break;
    case Clear:
        table.clearTable();
        break;
    }
    QCOMPARE(saved.count(), 1);
    const QByteArray after = readFile(path);
    QVERIFY(after != before);
    QCOMPARE(after, ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::failureIsToldAndNextWriteHoldsAll() {
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    CompetitionTable table(11);
    writeHeader(table);
    FaultyFileSystem disk;
    BackupWriter writer(table, path, nullptr, disk);
    QSignalSpy saved(&writer, &BackupWriter::saved);
    table.appendRow({"1", "A"});
    const QByteArray first = readFile(path);

    disk.fail(FaultyFileSystem::Call::Write, ENOSPC);
    table.appendRow({"2", "B"});
    table.setCell(Heat::Zeit1, 2, QStringLiteral("9,99"));
    QCOMPARE(saved.count(), 3);
    QCOMPARE(saved.at(1).at(0).toBool(), false);
    QCOMPARE(writer.lastError(), QStringLiteral("Schreiben: ") + qt_error_string(ENOSPC));
    QCOMPARE(readFile(path), first);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"b.txt"});

    disk.fail(FaultyFileSystem::Call::None, 0);
    table.appendRow({"3", "C"});
    QCOMPARE(saved.count(), 4);
    QCOMPARE(saved.at(3).at(0).toBool(), true);
    QVERIFY(writer.lastError().isEmpty());
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::noFreeDescriptorIsRetried_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("retried");
    QTest::newRow("process out of descriptors") << EMFILE << true;
    QTest::newRow("system out of descriptors") << ENFILE << true;
    QTest::newRow("disk full: the next change writes") << ENOSPC << false;
}

void TestBackupWriter::noFreeDescriptorIsRetried() {
    QFETCH(int, error);
    QFETCH(bool, retried);
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    CompetitionTable table(11);
    writeHeader(table);
    FaultyFileSystem disk;
    BackupWriter writer(table, path, nullptr, disk);
    QSignalSpy saved(&writer, &BackupWriter::saved);
    disk.fail(FaultyFileSystem::Call::OpenFile, error);
    table.appendRow({"1", "A"});
    QCOMPARE(saved.count(), 1);
    QVERIFY(!saved.last().at(0).toBool());
    // Descriptors are free again; nothing else changes in the table.
    disk.fail(FaultyFileSystem::Call::None, 0);
    QTest::qWait(3 * BackupWriter::descriptorRetryMs);
    QCOMPARE(readFile(path) == ProtocolFile::protocolBytes(table), retried);
    QCOMPARE(saved.last().at(0).toBool(), retried);
}

void TestBackupWriter::exitWritesOverAFileItDidNotWrite() {
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("written by someone else");
    }
    CompetitionTable table(11);
    writeHeader(table);
    BackupWriter writer(table, path);
    QVERIFY(writer.saveAtExit());
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::exitWritesOnlyWhatIsNotOnDisk() {
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    CompetitionTable table(11);
    writeHeader(table);
    FaultyFileSystem disk;
    BackupWriter writer(table, path, nullptr, disk);
    QSignalSpy saved(&writer, &BackupWriter::saved);
    table.appendRow({"1", "A"});
    QVERIFY(writer.saveAtExit());
    QCOMPARE(saved.count(), 1);

    disk.fail(FaultyFileSystem::Call::Rename, EROFS);
    table.appendRow({"2", "B"});
    QVERIFY(!writer.saveAtExit());
    disk.fail(FaultyFileSystem::Call::None, 0);
    QVERIFY(writer.saveAtExit());
    QCOMPARE(saved.count(), 4);
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::killedProgramKeepsWhatWasShown() {
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("kill moments drawn with seed %u", seed);
    QRandomGenerator random(seed);
    int shownInAll = 0;

    for (int round = 0; round < 50; ++round) {
        QTemporaryDir dir;
        const QString path = dir.filePath("Velmora-Sicherungsdatei.txt");
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kChildVariable), path);
        child.setProcessEnvironment(environment);
        child.setProgram(QCoreApplication::applicationFilePath());
        child.start();
        QVERIFY2(child.waitForStarted(5000), qPrintable(child.errorString()));

        // Killed a moment after one of its first entries was shown.
        const int entries = 1 + int(random.bounded(6u));
        QByteArray output;
        while (shownCells(output).size() < entries) {
            QVERIFY2(child.waitForReadyRead(5000), "the child stopped entering results");
            output += child.readAllStandardOutput();
        }
        QThread::usleep(random.bounded(4000u));
        child.kill();
        QVERIFY(child.waitForFinished(5000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        output += child.readAllStandardOutput();

        CompetitionTable loaded(11);
        QVERIFY2(loadProtocol(loaded, path),
                 qPrintable(QStringLiteral("round %1: the backup does not load").arg(round)));
        const QList<ShownCell> shown = shownCells(output);
        shownInAll += int(shown.size());
        for (const ShownCell& cell : shown) {
            QVERIFY2(loaded.cell(cell.col, cell.row) == cell.text,
                     qPrintable(QStringLiteral("round %1: %2 was shown in row %3, the backup "
                                               "holds '%4'")
                                    .arg(round)
                                    .arg(cell.text)
                                    .arg(cell.row)
                                    .arg(loaded.cell(cell.col, cell.row))));
        }
    }
    qInfo("50 kills, %d results shown, all of them in the backup", shownInAll);
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildVariable))
        return runCrashChild(qEnvironmentVariable(kChildVariable));
    TestBackupWriter test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupwriter.moc"
