#include "competition/Competition.h"
#include "mock/FifoWatchdog.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "mock/MessageBoxCatcher.h"
#include "mock/WindowFixture.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"
#include "ui/window/BackupStatus.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <sys/stat.h>

// The backup as start-up finds it: not a regular file, unreadable, or in a folder that has
// turned read-only. Nothing blocks, nothing found is lost, and the operator hears of it in the
// window. Files the session reads without a word to say are tried in tst_racesession_persistence.
class TestMainWindowStartupFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unreadableBackupKeptAsideAndTold_data();
    void unreadableBackupKeptAsideAndTold();
    void readOnlyFolderCarriesTheCompetitionOn();
};

namespace {

const QString kBackup = QStringLiteral("Velmora-Sicherungsdatei.txt");

const QByteArray kBackupBytes =
    "Nr.\tName\tVorname\tVerein/Ort\tKl.\tMeister\tZeit1\tZeit2\tZeit3\tZeit4\tZeit5\t\r\n"
    "1\tM\xFCller\tAnna\tSV Nord\t1\t+\t1024\t1100\t1200\t \t \t\r\n"
    "2\tMeier\tBernd\tTV S\xFC"
    "d\t2\t \t2000\t2100\t2050\t \t \t\r\n";

// The names of the files kept aside in the folder.
QStringList keptFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("Velmora-Sicherungsdatei-*.txt")},
                               QDir::AllEntries | QDir::System);
}

void enterCompetitor(MainWindow& window) {
    CompetitionTable& heat = window.session().competition().heatStartList();
    heat.setRowCells(1, {"7", "Neu", "Nina", "SC West", "2", "", "1500"});
    QCoreApplication::processEvents();
}

} // namespace

void TestMainWindowStartupFiles::unreadableBackupKeptAsideAndTold_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to /dev/zero") << "zero";
    QTest::newRow("no permission") << "locked";
    QTest::newRow("rows only after the end-of-file byte") << "eof";
    QTest::newRow("a folder") << "folder";
}

void TestMainWindowStartupFiles::unreadableBackupKeptAsideAndTold() {
    QFETCH(QString, kind);
    InstallationFixture install;
    const QString backup = install.filePath(kBackup);
    const QByteArray hidden =
        QByteArray(kBackupBytes).insert(kBackupBytes.indexOf('\n') + 1, '\x1A');
    if (kind == u"fifo")
        QVERIFY(::mkfifo(QFile::encodeName(backup).constData(), 0600) == 0);
    else if (kind == u"zero")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), backup));
    else if (kind == u"folder")
        QVERIFY(QDir().mkdir(backup));
    else
        QVERIFY(install.writeFile(kBackup, kind == u"eof" ? hidden : kBackupBytes));

    MessageBoxCatcher boxes;
    std::unique_ptr<MainWindow> window;
    {
        std::optional<FileSystemFaults::UnreadableFile> locked;
        if (kind == u"locked") {
            locked.emplace(backup);
            QVERIFY(locked->effective());
        }
        FifoWatchdog watchdog(backup);
        window = std::make_unique<SessionWindow>(install.environment());
        QVERIFY2(!watchdog.fired(), "start-up blocked on the backup");
    }
    const QStringList kept = keptFiles(install.dir());
    QCOMPARE(kept.size(), 1);
    const QString keptPath = install.filePath(kept.constFirst());
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Der Lesefehler der Datei: ") + backup +
                 QStringLiteral(", aufbewahrt als ") + keptPath);
    QVERIFY(!window->session().competition().heatStartList().hasData());
    // The box comes once the window is on the screen.
    QCOMPARE(boxes.seen.size(), 0);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.seen[0].title, QStringLiteral("Velmora"));
    QCOMPARE(boxes.seen[0].text,
             QStringLiteral("Der Lesefehler der Datei: ") + backup +
                 QStringLiteral("\nSie bleibt unverändert erhalten unter: ") + keptPath +
                 QStringLiteral("\nDie Eingaben werden jetzt gesichert in: ") + backup);

    // Entries go into a new backup; what was found stays as it was.
    enterCompetitor(*window);
    window.reset();
    QVERIFY(FileBytes::readFile(backup).contains("\r\n7\tNeu\tNina\t"));
    QCOMPARE(keptFiles(install.dir()), kept);
    const QFileInfo keptInfo(keptPath);
    if (kind == u"fifo") {
        QVERIFY(keptInfo.exists() && !keptInfo.isFile() && !keptInfo.isSymLink());
    } else if (kind == u"zero") {
        QCOMPARE(keptInfo.symLinkTarget(), QStringLiteral("/dev/zero"));
    } else if (kind == u"folder") {
        QVERIFY(keptInfo.isDir());
    } else {
        QFile::setPermissions(keptPath, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(FileBytes::readFile(keptPath), kind == u"eof" ? hidden : kBackupBytes);
    }
    QCOMPARE(boxes.seen.size(), 1);
}

void TestMainWindowStartupFiles::readOnlyFolderCarriesTheCompetitionOn() {
    InstallationFixture install;
    QVERIFY(install.writeFile(kBackup, kBackupBytes));
    const QString moved = QDir(install.userDataDir()).filePath(kBackup);
    FileSystemFaults::ReadOnlyFolder readOnly(install.dir());
    QVERIFY(readOnly.effective());
    {
        MessageBoxCatcher boxes;
        SessionWindow window(install.environment());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const CompetitionTable& heat = window.session().competition().heatStartList();
        QCOMPARE(heat.cell(1, 1), QStringLiteral("Müller"));
        QVERIFY(!heat.modified());
        QCOMPARE(window.session().backup()->backupPath(), moved);
        QCOMPARE(window.statusBar()->currentMessage(),
                 QStringLiteral("Sicherungsdatei jetzt unter ") + moved);
        // Over the panels, not mixed into them.
        QTRY_VERIFY(!window.mainStatusBar()->panel(MainStatusBar::FixedText)->isVisible());
        // In the new place at once, before anything is entered.
        QCOMPARE(FileBytes::readFile(moved), kBackupBytes);
        enterCompetitor(window);
        QVERIFY(FileBytes::readFile(moved).contains("Neu"));
        QTest::qWait(50);
        QVERIFY(boxes.seen.isEmpty());
        // A failing write is what the panels have to say now: the text makes way.
        {
            FileSystemFaults::ReadOnlyFolder alsoReadOnly(install.userDataDir());
            QVERIFY(alsoReadOnly.effective());
            window.session().competition().heatStartList().setCell(8, 1, QStringLiteral("1600"));
        }
        QCOMPARE(window.statusBar()->currentMessage(), QString());
        QLabel* fixed = window.mainStatusBar()->panel(MainStatusBar::FixedText);
        QVERIFY(fixed->isVisible());
        QCOMPARE(fixed->text(), BackupStatus::panelNote());
        window.session().competition().heatStartList().setCell(9, 1, QStringLiteral("1700"));
        QVERIFY(FileBytes::readFile(moved).contains("1600\t1700"));
    }
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), kBackupBytes);
    // The next start goes on from the new place and has nothing to say about it.
    SessionWindow again(install.environment());
    QCOMPARE(again.session().competition().heatStartList().cell(1, 1), QStringLiteral("Neu"));
    QCOMPARE(again.statusBar()->currentMessage(), QString());
    QVERIFY(keptFiles(install.userDataDir()).isEmpty());
}

QTEST_MAIN(TestMainWindowStartupFiles)
#include "tst_mainwindow_startupfiles.moc"
