#include "competition/TSortGrid.h"
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

QTEST_MAIN(TestRaceSessionPersistence)
#include "tst_racesession_persistence.moc"
