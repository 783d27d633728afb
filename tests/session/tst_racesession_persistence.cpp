#include "competition/StageTables.h"
#include "competition/TSortGrid.h"
#include "journal/JournalReader.h"
#include "journal/JournalWriter.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "mock/WindowFixture.h"
#include "output/ProtocolFile.h"
#include "session/RaceSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

// What the session keeps of the heat start list across runs without a window: a backup that
// cannot be read is never written over, and every change is in the backup before it returns.
class TestRaceSessionPersistence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unreadableBackupNeverWrittenOver_data();
    void unreadableBackupNeverWrittenOver();
    void changeInBackupBeforeItReturns();
    void backupInOtherNotationConverted_data();
    void backupInOtherNotationConverted();
};

namespace {

const QString kBackup = QStringLiteral("Velmora-Sicherungsdatei.txt");

const QByteArray kBackupBytes = FileBytes::twoCompetitorBackup();

} // namespace

void TestRaceSessionPersistence::unreadableBackupNeverWrittenOver_data() {
    QTest::addColumn<bool>("changed");
    QTest::newRow("nothing entered") << false;
    QTest::newRow("a competitor entered") << true;
}

void TestRaceSessionPersistence::unreadableBackupNeverWrittenOver() {
    QFETCH(bool, changed);
    InstallationFixture install;
    QVERIFY(install.writeFile(kBackup, kBackupBytes));
    auto session = std::make_unique<RaceSession>(install.environment());
    {
        FileSystemFaults::UnreadableFile locked(install.filePath(kBackup));
        QVERIFY(locked.effective());
        session->start();
    }
    TSortGrid& heat = session->competition().heatStartList();
    QCOMPARE(heat.RowCount(), 2);
    QCOMPARE(heat.cell(0, 1), QString());
    if (changed)
        heat.setRowCells(1, {"7", "Neu"});
    QCoreApplication::processEvents();
    const QByteArray expected = ProtocolFile::protocolBytes(heat);
    session->shutdown();
    session.reset();
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), expected);
    // The file that could not be read is kept beside, as it was.
    const QStringList kept =
        QDir(install.dir()).entryList({QStringLiteral("Velmora-Sicherungsdatei-*.txt")});
    QCOMPARE(kept.size(), 1);
    QFile::setPermissions(install.filePath(kept[0]), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(FileBytes::readFile(install.filePath(kept[0])), kBackupBytes);
}

void TestRaceSessionPersistence::changeInBackupBeforeItReturns() {
    InstallationFixture install;
    RaceSession session(install.environment());
    session.start();
    TSortGrid& heat = session.competition().heatStartList();
    heat.setRowCells(1, {"5", "Eingabe", "Eva", "Club", "1", "", "1234"});
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), ProtocolFile::protocolBytes(heat));
    heat.setCell(7, 1, QStringLiteral("1300"));
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), ProtocolFile::protocolBytes(heat));
}

void TestRaceSessionPersistence::backupInOtherNotationConverted_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<QString>("secondRun"); // of Nr. 1, as the tables show it after start-up
    QTest::addColumn<QString>("notice");    // empty: nothing converted
    QByteArray decimal = kBackupBytes;
    // Nr. 2 stays in hundredths, as after a switch of the setting half-way through.
    decimal.replace("1024\t1100\t1200", "10,24\t11,00\t12,00");
    QTest::newRow("10,24 under 1024")
        << 0 << decimal << "1100"
        << "Sicherungsdatei: 3 Zeiten umgerechnet („10,24“ wird „1024“)";
    QTest::newRow("1024 under 10,24")
        << 1 << kBackupBytes << "11,00"
        << "Sicherungsdatei: 6 Zeiten umgerechnet („1024“ wird „10,24“)";
    QTest::newRow("own notation") << 0 << kBackupBytes << "1100" << QString();
}

void TestRaceSessionPersistence::backupInOtherNotationConverted() {
    QFETCH(int, setting);
    QFETCH(QByteArray, backup);
    QFETCH(QString, secondRun);
    QFETCH(QString, notice);
    InstallationFixture install;
    {
        RaceSession first(install.environment());
        first.start();
        first.settings().vidResult = setting;
    }
    QVERIFY(install.writeFile(kBackup, backup));
    // The second run is a substitute, marked as the file wrote it.
    const QByteArray marked = backup.mid(backup.indexOf("\t+\t") + 3).split('\t').at(1);
    QVERIFY(install.writeFile("Velmora-Sicherungsdatei-Ersatzzeiten.txt",
                              "1\t2\t" + marked + "\t\r\n"));
    auto session = std::make_unique<RaceSession>(install.environment());
    session->start();
    const Competition& c = session->competition();
    QCOMPARE(c.heatStartList().cell(StageTables::Heat::Zeit2, 1), secondRun);
    QVERIFY(c.heatResults().hasData());
    QVERIFY(c.substituteMarks().isSubstitute("1", 1, secondRun));
    QCOMPARE(BackupStartup::statusText(session->backupOutcome()), notice);
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)),
             notice.isEmpty() ? backup : ProtocolFile::protocolBytes(c.heatStartList()));
    session.reset();
    const QString journal =
        install.filePath(JournalWriter::fileName("Velmora", QDate::currentDate()));
    QStringList remarks;
    for (const JournalEntry& entry : JournalReader::readFile(journal).entries)
        remarks.append(entry.remark);
    QCOMPARE(remarks.filter("umgerechnet"), notice.isEmpty() ? QStringList{} : QStringList{notice});
}

QTEST_MAIN(TestRaceSessionPersistence)
#include "tst_racesession_persistence.moc"
