#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "mock/FifoWatchdog.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "output/BackupStartup.h"
#include "output/ProtocolFile.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using FileBytes::readFile;
using FileBytes::writeFile;

using namespace StageTables;

namespace {

const QByteArray kHeader =
    "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n";
const QByteArray kNewer = kHeader + "1\tNeu\tA\tV\t1\t \t1024\t \t \t \t \t\r\n";
const QDateTime kNow(QDate(2026, 12, 9), QTime(14, 3, 22));

// Rows that a load cannot reach: a save would drop them.
QByteArray hiddenRows() {
    return kHeader + "\x1A" + kNewer;
}

} // namespace

// Start-up of the backup where the window tests do not reach: the kept name, and the files
// that cannot be moved out of the way.
class TestBackupStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keptName_data();
    void keptName();
    void keptNameIsFree();
    void unreadableElsewhereStaysWhereItIs();
    void fileThatCannotBeMovedIsNotWrittenOver();

private:
    CompetitionTable m_table{columnCount(HeatStartList)};
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_backup;
};

void TestBackupStartup::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_backup = m_dir->filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"));
    m_table.setRowsWithHeader(2);
    m_table.setRowCells(0, defaultCaptions(HeatStartList));
    m_table.setRowCells(1, QStringList(columnCount(HeatStartList)));
}

void TestBackupStartup::keptName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kept");
    QTest::newRow("backup") << "/d/Velmora-Sicherungsdatei.txt"
                            << "/d/Velmora-Sicherungsdatei-2026-12-09-14-03-22.txt";
    QTest::newRow("dots in the title")
        << "/d/Velmora.Halle-Sicherungsdatei.txt"
        << "/d/Velmora.Halle-Sicherungsdatei-2026-12-09-14-03-22.txt";
    QTest::newRow("no extension") << "/d/Sicherung"
                                  << "/d/Sicherung-2026-12-09-14-03-22";
}

void TestBackupStartup::keptName() {
    QFETCH(QString, path);
    QFETCH(QString, kept);
    QCOMPARE(BackupStartup::keptName(path, kNow), kept);
}

void TestBackupStartup::keptNameIsFree() {
    const QString first = BackupStartup::keptName(m_backup, kNow);
    QVERIFY(writeFile(first, "a"));
    const QString second = BackupStartup::keptName(m_backup, kNow);
    QCOMPARE(second, m_dir->filePath("Velmora-Sicherungsdatei-2026-12-09-14-03-22-2.txt"));
    QVERIFY(QFile::link(m_dir->filePath("nirgends"), second));
    QCOMPARE(BackupStartup::keptName(m_backup, kNow),
             m_dir->filePath("Velmora-Sicherungsdatei-2026-12-09-14-03-22-3.txt"));
}

void TestBackupStartup::unreadableElsewhereStaysWhereItIs() {
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("user")));
    const QString moved = m_dir->filePath("user/Velmora-Sicherungsdatei.txt");
    QVERIFY(::mkfifo(QFile::encodeName(m_backup).constData(), 0600) == 0);
    FifoWatchdog watchdog(m_backup);
    const auto outcome = BackupStartup::load(m_table, {m_backup, moved}, kNow);
    QVERIFY(!watchdog.fired());
    QVERIFY(outcome.unreadable);
    QVERIFY(outcome.relocated());
    QCOMPARE(outcome.keptAs, QString());
    QVERIFY(RegularFile::entryExists(m_backup));
    QCOMPARE(BackupStartup::statusText(outcome),
             QStringLiteral("Der Lesefehler der Datei: ") + m_backup +
                 QStringLiteral("; Sicherungsdatei jetzt unter ") + moved);
    QCOMPARE(BackupStartup::messageText(outcome),
             QStringLiteral("Der Lesefehler der Datei: ") + m_backup +
                 QStringLiteral("\nSie bleibt unverändert erhalten.") +
                 QStringLiteral("\nDie Eingaben werden jetzt gesichert in: ") + moved);
}

void TestBackupStartup::fileThatCannotBeMovedIsNotWrittenOver() {
    QVERIFY(writeFile(m_backup, hiddenRows()));
    BackupStartup::Outcome outcome;
    {
        FileSystemFaults::ReadOnlyFolder readOnly(m_dir->path());
        QVERIFY(readOnly.effective());
        outcome = BackupStartup::load(m_table, {m_backup, m_backup}, kNow);
    }
    const QString kept = m_dir->filePath("Velmora-Sicherungsdatei-2026-12-09-14-03-22.txt");
    QVERIFY(outcome.unreadable);
    QCOMPARE(outcome.keptAs, QString());
    QCOMPARE(outcome.writePath, kept);
    QVERIFY(outcome.relocated());
    QCOMPARE(readFile(m_backup), hiddenRows());
    QCOMPARE(BackupStartup::statusText(outcome),
             QStringLiteral("Der Lesefehler der Datei: ") + m_backup +
                 QStringLiteral("; Sicherungsdatei jetzt unter ") + kept);
}

QTEST_GUILESS_MAIN(TestBackupStartup)
#include "tst_backupstartup.moc"
