#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "journal/JournalReader.h"
#include "journal/JournalWriter.h"
#include "live/LivePublishing.h"
#include "mock/FileSystemFaults.h"
#include "mock/FreePort.h"
#include "mock/SessionFixture.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"
#include "session/SessionJournal.h"
#include "settings/SettingsStore.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"

#include <QDate>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

// The race session without a window: what start() reads and shutdown() writes, in which order,
// and where the clock's runs and captures go.
class TestRaceSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startReadsTheBackup_data();
    void startReadsTheBackup();
    void shutdownWritesBackupJournalSettingsPort();
    void storedPortOpenedOrForgotten_data();
    void storedPortOpenedOrForgotten();
    void storedLiveResultsStartTheServer_data();
    void storedLiveResultsStartTheServer();
    void runGoesToTheActivePage_data();
    void runGoesToTheActivePage();
    void lastResultNamesTheRowThatGotTheTime_data();
    void lastResultNamesTheRowThatGotTheTime();
    void newProtocolEmptiesAndRestarts();
    void damagedJournalEndToldAtStart();
};

namespace {

const QString kBackup = QStringLiteral("Velmora-Sicherungsdatei.txt");
const QString kConf = QStringLiteral("Velmora.conf");
const QString kAdapter = QStringLiteral("/dev/ttyUSB0");

const QByteArray kBackupBytes =
    "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n"
    "1\tM\xFCller\tAnna\tSV Nord\t1\t+\t1024\t1100\t1200\t \t \t\r\n";

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

void TestRaceSession::startReadsTheBackup_data() {
    QTest::addColumn<bool>("backup");
    QTest::addColumn<QString>("derivedName");
    QTest::newRow("backup") << true << "Müller";
    QTest::newRow("none") << false << "";
}

void TestRaceSession::startReadsTheBackup() {
    QFETCH(bool, backup);
    QFETCH(QString, derivedName);
    InstallationFixture install;
    if (backup)
        QVERIFY(install.writeFile(kBackup, kBackupBytes));
    RaceSession session(install.environment());
    QSignalSpy audience(&session, &RaceSession::audienceChanged);
    session.start();
    QCOMPARE(session.backupOutcome().loaded, backup);
    QCOMPARE(session.competition().heatResults().cell(2, 1), derivedName);
    QCOMPARE(audience.size(), backup ? 1 : 0);
    QVERIFY(!session.competition().heatStartList().modified());
    QVERIFY(session.backup());
    QVERIFY(session.journal());
    QCOMPARE(session.startupWrite(), std::nullopt);
}

void TestRaceSession::shutdownWritesBackupJournalSettingsPort() {
    SessionFixture f(kAdapter);
    RaceSession& session = f.session();
    QVERIFY(session.port().open(1));
    session.settings().title = QStringLiteral("Vereinsmeisterschaft");
    CompetitionTable& heat = session.competition().heatStartList();
    {
        // The last change could not be written; the exit tries again.
        FileSystemFaults::ReadOnlyFolder readOnly(f.install().dir());
        QVERIFY(readOnly.effective());
        heat.setRowCells(1, {"8", "Zuletzt"});
    }
    const QByteArray expected = ProtocolFile::protocolBytes(heat);
    const QString journal = session.journal()->writer().pathFor(QDate::currentDate());
    QStringList order;
    QObject::connect(session.backup(), &BackupWriter::saved, [&] {
        order.append(QFile::exists(f.install().filePath(kConf)) ? "settings" : "backup");
    });
    f.destroySession();
    QCOMPARE(order.value(0), QStringLiteral("backup"));
    QCOMPARE(read(f.install().filePath(kBackup)), expected);
    const JournalReader::Result lines = JournalReader::readFile(journal);
    QCOMPARE(lines.entries.last().kind, JournalEntry::Kind::ProgramEnd);
    QSettings stored(f.install().filePath(kConf), QSettings::IniFormat);
    QCOMPARE(stored.value("Title").toString(), QStringLiteral("Vereinsmeisterschaft"));
    QCOMPARE(f.serial().openDescriptors(), 0);
}

void TestRaceSession::storedPortOpenedOrForgotten_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("open");
    QTest::newRow("adapter present") << kAdapter << true;
    QTest::newRow("adapter unplugged") << QString() << false;
}

void TestRaceSession::storedPortOpenedOrForgotten() {
    QFETCH(QString, device);
    QFETCH(bool, open);
    InstallationFixture install;
    {
        QSettings values(install.filePath(kConf), QSettings::IniFormat);
        for (const char* key : {"Left", "Top", "Width", "Height", "Sound"})
            values.setValue(QLatin1String(key), 1);
        values.setValue("Port", 1);
    }
    auto ticks = std::make_shared<FakeTickSource>(7'000'000);
    auto serial = std::make_shared<FakeSerialSystem>([ticks] { return ticks->nowMicroseconds(); });
    if (!device.isEmpty())
        serial->addDevice(device);
    ProgramEnvironment environment = install.environment();
    environment.setTickSource(ticks);
    environment.setSerialSystem(serial);
    RaceSession session(environment);
    session.start();
    QCOMPARE(session.presentPortMask() != 0, open);
    QCOMPARE(session.port().isOpen(), open);
    // A port that cannot be opened is forgotten; the stored one stays until the exit.
    QCOMPARE(session.settings().port, open ? 1 : 0);
}

void TestRaceSession::storedLiveResultsStartTheServer_data() {
    QTest::addColumn<int>("stored");
    QTest::newRow("on") << 1;
    QTest::newRow("off") << 0;
}

void TestRaceSession::storedLiveResultsStartTheServer() {
    QFETCH(int, stored);
    const quint16 port = freeListenPort();
    QVERIFY(port != 0);
    InstallationFixture install;
    Settings values;
    values.title = QStringLiteral("Stadtmeisterschaft");
    values.liveResults = stored == 1;
    values.livePort = port;
    QVERIFY(SettingsStore(install.environment().openSettings()).save(values));
    RaceSession session(install.environment());
    session.start();
    // Before any window: the server as stored, and the pages with the stored title.
    QCOMPARE(session.live().isSwitchedOn(), stored == 1);
    // The server thread may take a while to come up on a loaded machine.
    (void)QTest::qWaitFor([&] { return session.live().isRunning() == (stored == 1); }, 20000);
    QVERIFY2(session.live().isRunning() == (stored == 1), qPrintable(session.live().statusText()));
    QCOMPARE(session.live().snapshot().title, QStringLiteral("Stadtmeisterschaft"));
    QCOMPARE(session.settings().liveResults, stored == 1);
}

void TestRaceSession::runGoesToTheActivePage_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("competitor");
    QTest::addColumn<bool>("entered");
    QTest::newRow("heat start list") << 0 << "11 Name1 Vorname1" << true;
    // On a results page the competitor stays as it was and the time goes to the heats.
    QTest::newRow("heat results") << 1 << "" << true;
}

void TestRaceSession::runGoesToTheActivePage() {
    QFETCH(int, page);
    QFETCH(QString, competitor);
    QFETCH(bool, entered);
    SessionFixture f;
    f.addCompetitors(2);
    RaceSession& session = f.session();
    session.setActivePage([page] { return page; });
    QVERIFY(f.run({"F5"}));
    QCOMPARE(session.clockRunning(), true);
    QCOMPARE(session.currentCompetitor(), competitor);
    QVERIFY(f.run({"+12340", "F8", "F9"}));
    QCOMPARE(session.clockRunning(), false);
    using namespace StageTables;
    const CompetitionTable& heat = session.competition().heatStartList();
    QCOMPARE(!heat.cell(Heat::Zeit1, 1).trimmed().isEmpty(), entered);
    QCOMPARE(heat.selectedRow(), 2);
}

void TestRaceSession::lastResultNamesTheRowThatGotTheTime_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("runsFull"); // Nr. 11 has three heat runs
    QTest::addColumn<QString>("named");
    QTest::newRow("free run") << 0 << false << "11 Name1 Vorname1";
    QTest::newRow("new row") << 0 << true << "3 Name Vorname";
    QTest::newRow("from the results page") << 1 << false << "11 Name1 Vorname1";
}

void TestRaceSession::lastResultNamesTheRowThatGotTheTime() {
    QFETCH(int, page);
    QFETCH(bool, runsFull);
    SessionFixture f;
    f.addCompetitors(2);
    RaceSession& session = f.session();
    session.setActivePage([page] { return page; });
    using namespace StageTables;
    CompetitionTable& heat = session.competition().heatStartList();
    if (runsFull) {
        for (int col : {Heat::Zeit1, Heat::Zeit2, Heat::Zeit3})
            heat.setCell(col, 1, QStringLiteral("3000"));
    }
    QVERIFY(f.run({"F5", "+12340", "F8", "F9"}));
    const std::optional<LiveSnapshot::Result> last = session.live().snapshot().lastResult;
    QVERIFY(last);
    QTEST(last->competitor, "named");
    QCOMPARE(last->time, QStringLiteral("1234"));
}

void TestRaceSession::newProtocolEmptiesAndRestarts() {
    SessionFixture f;
    f.addCompetitors(2);
    QSignalSpy restarted(&f.session(), &RaceSession::newProtocolStarted);
    f.session().startNewProtocol();
    QCOMPARE(restarted.size(), 1);
    QVERIFY(!f.session().competition().heatStartList().hasData());
}

void TestRaceSession::damagedJournalEndToldAtStart() {
    InstallationFixture install;
    QString journal;
    {
        RaceSession first(install.environment());
        first.start();
        journal = first.journal()->writer().pathFor(QDate::currentDate());
        first.shutdown();
    }
    // A crash of a later run cut its last line.
    QFile file(journal);
    QVERIFY(file.open(QIODevice::Append));
    file.write("2026-01-01 10:00:00.000\t12");
    file.close();
    RaceSession again(install.environment());
    again.start();
    QCOMPARE(again.journal()->skippedLines(), 1);
    QCOMPARE(again.journal()->startupNotice(), SessionJournal::damagedLinesText(1));
}

QTEST_MAIN(TestRaceSession)
#include "tst_racesession.moc"
