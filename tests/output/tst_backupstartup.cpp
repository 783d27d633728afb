#include "competition/StageTables.h"
#include "competition/TSortGrid.h"
#include "mock/FifoWatchdog.h"
#include "mock/FileSystemFaults.h"
#include "output/BackupStartup.h"
#include "output/ProtocolFile.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace StageTables;

namespace {

const QByteArray kHeader =
    "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n";
const QByteArray kNewer = kHeader + "1\tNeu\tA\tV\t1\t \t1024\t \t \t \t \t\r\n";
const QByteArray kOlder = kHeader + "9\tAlt\tB\tW\t2\t \t2000\t \t \t \t \t\r\n";
const QDateTime kNow(QDate(2026, 12, 9), QTime(14, 3, 22));

// Rows that a load cannot reach: a save would drop them.
QByteArray hiddenRows() {
    return kHeader + "\x1A" + kNewer;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// Start-up of the backup: what is loaded, what is kept aside before the first write, and
// what the operator is told.
class TestBackupStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keptName_data();
    void keptName();
    void keptNameIsFree();
    void loadsTheBackup();
    void nothingThere();
    void unreadableBackupKeptAside_data();
    void unreadableBackupKeptAside();
    void competitionCarriedOver_data();
    void competitionCarriedOver();
    void unreadableElsewhereStaysWhereItIs();
    void fileThatCannotBeMovedIsNotWrittenOver();

private:
    TSortGrid m_table{columnCount(HeatStartList)};
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_backup;
};

void TestBackupStartup::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_backup = m_dir->filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"));
    m_table.SetRowCount(2);
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

void TestBackupStartup::loadsTheBackup() {
    QVERIFY(writeFile(m_backup, kNewer));
    const auto outcome = BackupStartup::load(m_table, {m_backup, m_backup}, kNow);
    QVERIFY(outcome.loaded);
    QVERIFY(!outcome.unreadable);
    QVERIFY(!outcome.relocated());
    QCOMPARE(outcome.writePath, m_backup);
    QCOMPARE(outcome.keptAs, QString());
    QCOMPARE(ProtocolFile::protocolBytes(m_table), kNewer);
    QCOMPARE(BackupStartup::statusText(outcome), QString());
    QCOMPARE(BackupStartup::messageText(outcome), QString());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList{"Velmora-Sicherungsdatei.txt"});
}

void TestBackupStartup::nothingThere() {
    const auto outcome = BackupStartup::load(m_table, {m_backup, m_backup}, kNow);
    QVERIFY(!outcome.loaded);
    QVERIFY(!outcome.unreadable);
    QCOMPARE(outcome.keptAs, QString());
    QCOMPARE(BackupStartup::statusText(outcome), QString());
    QCOMPARE(BackupStartup::messageText(outcome), QString());
}

void TestBackupStartup::unreadableBackupKeptAside_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("no permission") << "locked";
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("rows only after the end-of-file byte") << "eof";
    QTest::newRow("folder") << "folder";
}

void TestBackupStartup::unreadableBackupKeptAside() {
    QFETCH(QString, kind);
    const QByteArray hidden = hiddenRows();
    if (kind == u"locked" || kind == u"eof")
        QVERIFY(writeFile(m_backup, kind == u"eof" ? hidden : kNewer));
    else if (kind == u"fifo")
        QVERIFY(::mkfifo(QFile::encodeName(m_backup).constData(), 0600) == 0);
    else if (kind == u"zero")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_backup));
    else
        QVERIFY(QDir().mkdir(m_backup));
    const QByteArray tableBefore = ProtocolFile::protocolBytes(m_table);

    BackupStartup::Outcome outcome;
    {
        std::optional<FileSystemFaults::UnreadableFile> locked;
        if (kind == u"locked") {
            locked.emplace(m_backup);
            QVERIFY(locked->effective());
        }
        FifoWatchdog watchdog(m_backup);
        outcome = BackupStartup::load(m_table, {m_backup, m_backup}, kNow);
        QVERIFY(!watchdog.fired());
    }
    const QString kept = m_dir->filePath("Velmora-Sicherungsdatei-2026-12-09-14-03-22.txt");
    QVERIFY(!outcome.loaded);
    QVERIFY(outcome.unreadable);
    QCOMPARE(outcome.keptAs, kept);
    QCOMPARE(outcome.writePath, m_backup);
    QVERIFY(!outcome.relocated());
    QCOMPARE(ProtocolFile::protocolBytes(m_table), tableBefore);
    // The way is clear for the first write, and what was there is still there under the
    // kept name, as it was.
    QVERIFY(!RegularFile::entryExists(m_backup));
    const QFileInfo keptInfo(kept);
    if (kind == u"locked" || kind == u"eof") {
        QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(readFile(kept), kind == u"eof" ? hidden : kNewer);
    } else if (kind == u"zero") {
        QCOMPARE(keptInfo.symLinkTarget(), QStringLiteral("/dev/zero"));
    } else if (kind == u"folder") {
        QVERIFY(keptInfo.isDir());
    } else {
        QVERIFY(!keptInfo.isFile() && keptInfo.exists());
    }
    QCOMPARE(BackupStartup::statusText(outcome), QStringLiteral("Der Lesefehler der Datei: ") +
                                                     m_backup +
                                                     QStringLiteral(", aufbewahrt als ") + kept);
    QCOMPARE(BackupStartup::messageText(outcome),
             QStringLiteral("Der Lesefehler der Datei: ") + m_backup +
                 QStringLiteral("\nSie bleibt unverändert erhalten unter: ") + kept +
                 QStringLiteral("\nDie Eingaben werden jetzt gesichert in: ") + m_backup);
}

void TestBackupStartup::competitionCarriedOver_data() {
    QTest::addColumn<bool>("olderAtTheNewPlace");
    QTest::newRow("nothing at the new place") << false;
    QTest::newRow("an older backup at the new place") << true;
}

void TestBackupStartup::competitionCarriedOver() {
    QFETCH(bool, olderAtTheNewPlace);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("user")));
    const QString moved = m_dir->filePath("user/Velmora-Sicherungsdatei.txt");
    QVERIFY(writeFile(m_backup, kNewer));
    if (olderAtTheNewPlace)
        QVERIFY(writeFile(moved, kOlder));

    const auto outcome = BackupStartup::load(m_table, {m_backup, moved}, kNow);
    QVERIFY(outcome.loaded);
    QVERIFY(outcome.relocated());
    QCOMPARE(outcome.writePath, moved);
    QCOMPARE(ProtocolFile::protocolBytes(m_table), kNewer);
    QCOMPARE(readFile(m_backup), kNewer);
    QString status = QStringLiteral("Sicherungsdatei jetzt unter ") + moved;
    if (olderAtTheNewPlace) {
        const QString kept =
            m_dir->filePath("user/Velmora-Sicherungsdatei-2026-12-09-14-03-22.txt");
        QCOMPARE(outcome.keptAs, kept);
        QCOMPARE(readFile(kept), kOlder);
        QVERIFY(!QFile::exists(moved));
        status += QStringLiteral("; die ältere Datei dort ist aufbewahrt als ") + kept;
    } else {
        QCOMPARE(outcome.keptAs, QString());
    }
    QCOMPARE(BackupStartup::statusText(outcome), status);
    QCOMPARE(BackupStartup::messageText(outcome), QString());
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
