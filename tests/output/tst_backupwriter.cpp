#include "competition/StageTables.h"
#include "competition/TSortGrid.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdio>

using namespace StageTables;

namespace {

// Set in the environment of a copy of this test that acts as the program being killed.
constexpr char kChildVariable[] = "VELMORA_BACKUP_CRASH_CHILD";

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeHeader(TSortGrid& table) {
    table.setRowCells(0, defaultCaptions(HeatStartList));
}

// Entry k of the crash scenario: odd entries add a competitor, even ones give it a time.
void enterResult(TSortGrid& table, int k) {
    const int competitor = (k + 1) / 2;
    if (k % 2 == 1) {
        table.AddRow({QString::number(competitor), QStringLiteral("Läufer %1").arg(competitor),
                      QStringLiteral("Jörg"), QStringLiteral("SV Süd €"),
                      QString::number(competitor % 4 + 1),
                      competitor % 3 == 0 ? QStringLiteral("+") : QString()});
    } else {
        table.setCell(
            Heat::Zeit1, competitor,
            QStringLiteral("%1,%2").arg(competitor % 60).arg(k % 100, 2, 10, QLatin1Char('0')));
    }
}

// The child: enters results as fast as its event loop lets it and reports on stdout, after each
// backup write, how many entries that write held. It runs until it is killed.
int runCrashChild(const QString& backupPath) {
    TSortGrid table(columnCount(HeatStartList));
    writeHeader(table);
    BackupWriter writer(table, backupPath);
    int entered = 0;
    QObject::connect(&writer, &BackupWriter::saved, [&entered](bool ok) {
        if (!ok)
            return;
        std::printf("%d\n", entered);
        std::fflush(stdout);
    });
    if (!writer.saveNow())
        return 2;
    QTimer entry;
    entry.setInterval(0);
    QObject::connect(&entry, &QTimer::timeout,
                     [&table, &entered] { enterResult(table, ++entered); });
    entry.start();
    QTimer::singleShot(20000, qApp, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

} // namespace

// The backup file follows every change of the heat start list, and a program killed at any
// moment leaves a backup that loads and holds everything entered before.
class TestBackupWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changeIsOnDiskBeforeTheLoopIdles();
    void bulkChangeIsWrittenOnce();
    void everyKindOfChange_data();
    void everyKindOfChange();
    void failureIsSilentButRemembered();
    void pendingChangeIsWrittenOnDestruction();
    void keptFileSurvivesExitUntilChanged_data();
    void keptFileSurvivesExitUntilChanged();
    void killedProgramLosesNothing();
};

void TestBackupWriter::changeIsOnDiskBeforeTheLoopIdles() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora-Sicherungsdatei.txt");
    TSortGrid table(11);
    writeHeader(table);
    BackupWriter writer(table, path);
    QCOMPARE(writer.backupPath(), path);
    QVERIFY(!QFile::exists(path));

    table.setCell(Heat::Nr, 1, QStringLiteral("1"));
    QVERIFY(writer.savePending());
    QCoreApplication::processEvents();
    QVERIFY(!writer.savePending());
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::bulkChangeIsWrittenOnce() {
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    TSortGrid table(11);
    writeHeader(table);
    BackupWriter writer(table, path);
    QSignalSpy saved(&writer, &BackupWriter::saved);
    for (int k = 1; k <= 300; ++k)
        enterResult(table, k);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 200);
    QCOMPARE(saved.at(0).at(0).toBool(), true);
    QTest::qWait(30);
    QCOMPARE(saved.count(), 1);
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

enum Change { CellEdit, UserEdit, HeaderEdit, AddRow, DeleteRow, CutRows, Sort, Load, Clear };

void TestBackupWriter::everyKindOfChange_data() {
    QTest::addColumn<int>("change");
    QTest::newRow("result entered") << int(CellEdit);
    QTest::newRow("cell edited") << int(UserEdit);
    QTest::newRow("caption changed") << int(HeaderEdit);
    QTest::newRow("row added") << int(AddRow);
    QTest::newRow("row deleted") << int(DeleteRow);
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
    TSortGrid table(11);
    writeHeader(table);
    for (int k = 1; k <= 6; ++k)
        enterResult(table, k);
    {
        TSortGrid source(11);
        writeHeader(source);
        source.AddRow({"77", "Geladen"});
        QVERIFY(ProtocolFile::SaveProtocolText(source, other));
    }
    BackupWriter writer(table, path);
    QVERIFY(writer.saveNow());
    const QByteArray before = readFile(path);

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
    case AddRow:
        table.AddRow({"99", "Dazu"});
        break;
    case DeleteRow:
        table.DeleteRow(1);
        break;
    case CutRows:
        table.SetRowCount(2);
        break;
    case Sort:
        table.sortOptions().CanSort = true;
        table.sortOptions().SortStyle = ssNumeric;
        table.sortOptions().SortDirection = sdDescending;
        table.SortByColumn(Heat::Nr);
        break;
    case Load:
        QVERIFY(ProtocolFile::LoadProtocolText(table, other));
        break;
    case Clear:
        table.ClearTable();
        break;
    }
    QVERIFY(writer.savePending());
    QTRY_VERIFY_WITH_TIMEOUT(!writer.savePending(), 200);
    const QByteArray after = readFile(path);
    QVERIFY(after != before);
    QCOMPARE(after, ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::failureIsSilentButRemembered() {
    QTemporaryDir dir;
    const QString folder = dir.filePath("noch-nicht-da");
    const QString path = folder + QStringLiteral("/b.txt");
    TSortGrid table(11);
    writeHeader(table);
    BackupWriter writer(table, path);
    QSignalSpy saved(&writer, &BackupWriter::saved);
    table.AddRow({"1", "A"});
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 200);
    QCOMPARE(saved.at(0).at(0).toBool(), false);
    QVERIFY(!writer.lastError().isEmpty());

    QVERIFY(QDir().mkpath(folder));
    table.AddRow({"2", "B"});
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 2, 200);
    QCOMPARE(saved.at(1).at(0).toBool(), true);
    QVERIFY(writer.lastError().isEmpty());
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::pendingChangeIsWrittenOnDestruction() {
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    TSortGrid table(11);
    writeHeader(table);
    {
        BackupWriter writer(table, path);
        table.AddRow({"1", "Letzte Eingabe"});
        QVERIFY(writer.savePending());
    }
    QCOMPARE(readFile(path), ProtocolFile::protocolBytes(table));
}

void TestBackupWriter::keptFileSurvivesExitUntilChanged_data() {
    QTest::addColumn<bool>("keep");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("kept, unchanged") << true << false << false;
    QTest::newRow("kept, then changed") << true << true << true;
    QTest::newRow("not kept, unchanged") << false << false << true;
}

void TestBackupWriter::keptFileSurvivesExitUntilChanged() {
    QFETCH(bool, keep);
    QFETCH(bool, changed);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    const QByteArray unreadable("kept as it was");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(unreadable);
    }
    TSortGrid table(11);
    writeHeader(table);
    BackupWriter writer(table, path);
    if (keep)
        writer.keepExistingFileUntilChanged();
    if (changed) {
        table.AddRow({"1", "Neu"});
        QVERIFY(writer.saveNow());
    }
    QVERIFY(writer.saveAtExit());
    QCOMPARE(readFile(path), replaced ? ProtocolFile::protocolBytes(table) : unreadable);
}

void TestBackupWriter::killedProgramLosesNothing() {
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("kill delays drawn with seed %u", seed);
    QRandomGenerator random(seed);
    int killedBetweenWriteAndReport = 0;

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
        while (!child.canReadLine())
            QVERIFY2(child.waitForReadyRead(5000), "the child never wrote its first backup");

        QThread::usleep(random.bounded(150000u));
        child.kill();
        QVERIFY(child.waitForFinished(5000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        int confirmed = 0;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            bool ok = false;
            const int count = line.toInt(&ok);
            if (ok)
                confirmed = count;
        }

        TSortGrid loaded(11);
        QVERIFY2(ProtocolFile::LoadProtocolText(loaded, path),
                 qPrintable(QStringLiteral("round %1: the backup does not load").arg(round)));
        const QByteArray backup = readFile(path);

        // The backup must be the table after some number of entries, no fewer than reported.
        TSortGrid expected(11);
        writeHeader(expected);
        int entries = 0;
        for (; entries < confirmed; ++entries)
            enterResult(expected, entries + 1);
        while (ProtocolFile::protocolBytes(expected) != backup &&
               expected.RowCount() <= loaded.RowCount() + 1)
            enterResult(expected, ++entries);
        QVERIFY2(ProtocolFile::protocolBytes(expected) == backup,
                 qPrintable(QStringLiteral("round %1: the backup does not hold the %2 entries "
                                           "reported as written")
                                .arg(round)
                                .arg(confirmed)));
        if (entries > confirmed)
            ++killedBetweenWriteAndReport;
    }
    qInfo("%d of 50 kills fell between a write and its report", killedBetweenWriteAndReport);
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildVariable))
        return runCrashChild(qEnvironmentVariable(kChildVariable));
    TestBackupWriter test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupwriter.moc"
