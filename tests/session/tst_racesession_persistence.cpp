#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "journal/JournalReader.h"
#include "journal/JournalWriter.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "mock/WindowFixture.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"
#include "session/RaceSession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

// What the session keeps across runs without a window: a backup that cannot be read is never
// written over, every change is in the backup before it returns, the backup is written before
// the settings at shutdown, and a renamed executable keeps its own of both. The backup as
// start-up finds it: written with other line ends, or newer in the user's folder.
class TestRaceSessionPersistence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unreadableBackupNeverWrittenOver_data();
    void unreadableBackupNeverWrittenOver();
    void changeInBackupBeforeItReturns();
    void backupInOtherNotationConverted_data();
    void backupInOtherNotationConverted();
    void shutdownWritesBackupThenSettings();
    void renamedExecutableKeepsItsOwn();
    void loneCarriageReturnsLoad();
    void userFolderNewerThanTheOneBeside();
    void damagedSettingKeptAtShutdown();
};

namespace {

const QString kBackup = QStringLiteral("Velmora-Sicherungsdatei.txt");

const QString kConf = QStringLiteral("Velmora.conf");

const QByteArray kBackupBytes = FileBytes::twoCompetitorBackup();

// The names of the files kept aside in the folder.
QStringList keptFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("Velmora-Sicherungsdatei-*.txt")},
                               QDir::AllEntries | QDir::System);
}

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
    CompetitionTable& heat = session->competition().heatStartList();
    QCOMPARE(heat.rowsWithHeader(), 2);
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
    CompetitionTable& heat = session.competition().heatStartList();
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

void TestRaceSessionPersistence::shutdownWritesBackupThenSettings() {
    InstallationFixture install;
    auto session = std::make_unique<RaceSession>(install.environment());
    session->start();
    CompetitionTable& heat = session->competition().heatStartList();
    session->settings().title = QStringLiteral("Vereinsmeisterschaft");
    {
        // The last change could not be written; the exit tries again.
        FileSystemFaults::ReadOnlyFolder readOnly(install.dir());
        QVERIFY(readOnly.effective());
        heat.setRowCells(1, {"8", "Zuletzt"});
    }
    const QByteArray expected = ProtocolFile::protocolBytes(heat);
    QVERIFY(!QFile::exists(install.filePath(kBackup)));

    QList<bool> settingsWrittenAtBackup;
    QObject::connect(session->backup(), &BackupWriter::saved, [&] {
        settingsWrittenAtBackup.append(QFile::exists(install.filePath(kConf)));
    });
    session->shutdown();
    session.reset();
    QCOMPARE(settingsWrittenAtBackup, QList<bool>{false});
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), expected);
    QSettings stored(install.filePath(kConf), QSettings::IniFormat);
    QCOMPARE(stored.value("Title").toString(), QStringLiteral("Vereinsmeisterschaft"));
}

void TestRaceSessionPersistence::renamedExecutableKeepsItsOwn() {
    InstallationFixture install;
    {
        RaceSession original(install.environment());
        original.start();
        original.settings().title = QStringLiteral("Original");
        original.competition().heatStartList().setRowCells(1, {"1", "Erster"});
    }
    RaceSession copy(install.environmentAs(QStringLiteral("Rutsche2")));
    copy.start();
    QCOMPARE(copy.settings().title, QStringLiteral("Deutsche Meisterschaften im Velmora 2009"));
    QVERIFY(!copy.competition().heatStartList().hasData());
    copy.competition().heatStartList().setRowCells(1, {"2", "Zweiter"});
    QCoreApplication::processEvents();

    QVERIFY(FileBytes::readFile(install.filePath(kBackup)).contains("Erster"));
    QVERIFY(
        FileBytes::readFile(install.filePath("Rutsche2-Sicherungsdatei.txt")).contains("Zweiter"));
    QVERIFY(QFile::exists(install.filePath(kConf)));
    RaceSession again(install.environment());
    again.start();
    QCOMPARE(again.settings().title, QStringLiteral("Original"));
    QCOMPARE(again.competition().heatStartList().cell(1, 1), QStringLiteral("Erster"));
}

void TestRaceSessionPersistence::loneCarriageReturnsLoad() {
    InstallationFixture install;
    QByteArray oldMac = kBackupBytes;
    oldMac.replace("\r\n", "\r");
    QVERIFY(install.writeFile(kBackup, oldMac));
    auto session = std::make_unique<RaceSession>(install.environment());
    session->start();
    const CompetitionTable& heat = session->competition().heatStartList();
    QCOMPARE(heat.rowsWithHeader(), 3);
    QCOMPARE(heat.cell(1, 2), QStringLiteral("Meier"));
    QCOMPARE(heat.cell(8, 2), QStringLiteral("2050"));
    QCOMPARE(session->competition().heatResults().cell(2, 1), QStringLiteral("Müller"));
    QCOMPARE(BackupStartup::statusText(session->backupOutcome()), QString());
    QVERIFY(keptFiles(install.dir()).isEmpty());
    // Written back with the program's own line ends and every row.
    session.reset();
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), kBackupBytes);
}

void TestRaceSessionPersistence::userFolderNewerThanTheOneBeside() {
    InstallationFixture install;
    QVERIFY(QDir().mkpath(install.userDataDir()));
    const QString inUserFolder = QDir(install.userDataDir()).filePath(kBackup);
    QByteArray older = kBackupBytes;
    older.replace("Meier", "Vorher");
    QVERIFY(install.writeFile(kBackup, older));
    {
        QFile beside(install.filePath(kBackup));
        QVERIFY(beside.open(QIODevice::ReadWrite));
        QVERIFY(beside.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                   QFileDevice::FileModificationTime));
        QFile user(inUserFolder);
        QVERIFY(user.open(QIODevice::WriteOnly));
        user.write(kBackupBytes);
    }
    // The folder beside the executable is writable again: the competition comes back there
    // from the user's folder, and the older file there is kept.
    RaceSession session(install.environment());
    session.start();
    QCOMPARE(session.competition().heatStartList().cell(1, 2), QStringLiteral("Meier"));
    QCOMPARE(session.backup()->backupPath(), install.filePath(kBackup));
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), kBackupBytes);
    const QStringList kept = keptFiles(install.dir());
    QCOMPARE(kept.size(), 1);
    QCOMPARE(FileBytes::readFile(install.filePath(kept.constFirst())), older);
    QCOMPARE(BackupStartup::statusText(session.backupOutcome()),
             QStringLiteral("Sicherungsdatei jetzt unter ") + install.filePath(kBackup) +
                 QStringLiteral("; die ältere Datei dort ist aufbewahrt als ") +
                 install.filePath(kept.constFirst()));
}

void TestRaceSessionPersistence::damagedSettingKeptAtShutdown() {
    InstallationFixture install;
    install.writeSettingsBrokenAtLen();
    {
        RaceSession session(install.environment());
        session.start();
        // Reading stopped at "Len": from there the defaults are used.
        QCOMPARE(session.settings().len, 50);
        QCOMPARE(session.settings().logo, QString());
        session.settings().title = QStringLiteral("Neu");
    }
    // At exit what was read is written, what was not read is kept as it was stored.
    QSettings saved(install.filePath(kConf), QSettings::IniFormat);
    QCOMPARE(saved.value("Title").toString(), QStringLiteral("Neu"));
    QCOMPARE(saved.value("Len").toString(), QStringLiteral("5O"));
    QCOMPARE(saved.value("Logo").toString(), QStringLiteral("/bilder/logo.png"));
    QCOMPARE(saved.value("LivePort").toInt(), 9000);
}

QTEST_MAIN(TestRaceSessionPersistence)
#include "tst_racesession_persistence.moc"
