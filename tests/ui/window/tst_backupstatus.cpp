#include "competition/CompetitionTable.h"
#include "mock/FaultyFileSystem.h"
#include "output/BackupWriter.h"
#include "ui/window/BackupStatus.h"
#include "ui/window/MainStatusBar.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

namespace {

// A window with the status bar, a backup writer on a disk that fails on demand, and the status.
struct Rig {
    QTemporaryDir dir;
    QMainWindow window;
    MainStatusBar* bar = new MainStatusBar(&window);
    CompetitionTable table{11};
    FaultyFileSystem disk;
    BackupWriter writer{table, dir.filePath("Velmora-Sicherungsdatei.txt"), nullptr, disk};
    BackupStatus status{writer, *bar, &window, QStringLiteral("Velmora")};

    Rig() { window.setStatusBar(bar); }
    QLabel* panel() const { return bar->panel(MainStatusBar::FixedText); }
    void enter(int k) { table.setCell(0, 1, QString::number(k)); }
};

} // namespace

// A backup that cannot be written is told at once and stays told until a write succeeds; the
// message never stops the program.
class TestBackupStatus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void messageText_data();
    void messageText();
    void failureToldUntilWriteSucceeds();
    void boxDoesNotBlock();
};

void TestBackupStatus::messageText_data() {
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("text");
    QTest::newRow("with reason")
        << "Schreiben: No space left on device"
        << "Die Sicherungsdatei kann nicht geschrieben werden: /d/V-Sicherungsdatei.txt "
           "(Schreiben: No space left on device)";
    QTest::newRow("without reason")
        << ""
        << "Die Sicherungsdatei kann nicht geschrieben werden: /d/V-Sicherungsdatei.txt";
}

void TestBackupStatus::messageText() {
    QFETCH(QString, reason);
    QFETCH(QString, text);
    QCOMPARE(BackupStatus::message(QStringLiteral("/d/V-Sicherungsdatei.txt"), reason), text);
}

void TestBackupStatus::failureToldUntilWriteSucceeds() {
    Rig rig;
    rig.enter(1);
    QVERIFY(!rig.status.failing());
    QCOMPARE(rig.panel()->text(), MainStatusBar::fixedText());

    rig.disk.fail(FaultyFileSystem::Call::SyncFile, ENOSPC);
    rig.enter(2);
    const QString told = BackupStatus::message(
        rig.writer.backupPath(), QStringLiteral("Synchronisieren: ") + qt_error_string(ENOSPC));
    QVERIFY(rig.status.failing());
    QCOMPARE(rig.panel()->text(), BackupStatus::panelNote());
    QCOMPARE(rig.panel()->toolTip(), told);
    QVERIFY(rig.panel()->styleSheet().contains("#FF0000"));
    QPointer<QMessageBox> box = rig.status.messageBox();
    QVERIFY(box && box->isVisible());
    QCOMPARE(box->text(), told);
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->windowTitle(), QStringLiteral("Velmora"));

    // Further failures keep the one box; a new reason replaces the old one.
    rig.disk.fail(FaultyFileSystem::Call::Rename, EACCES);
    rig.enter(3);
    QCOMPARE(rig.status.messageBox(), box.data());
    QVERIFY(box->text().endsWith(QStringLiteral("(Umbenennen: ") + qt_error_string(EACCES) + ')'));
    box->close();
    QTRY_VERIFY(!box);
    rig.enter(4);
    QVERIFY(!rig.status.messageBox());
    QCOMPARE(rig.panel()->text(), BackupStatus::panelNote());

    rig.disk.fail(FaultyFileSystem::Call::None, 0);
    rig.enter(5);
    QVERIFY(!rig.status.failing());
    QCOMPARE(rig.panel()->text(), MainStatusBar::fixedText());
    QVERIFY(rig.panel()->toolTip().isEmpty());
    QVERIFY(rig.panel()->styleSheet().isEmpty());

    // Failing again after a success is told again.
    rig.disk.fail(FaultyFileSystem::Call::Write, EIO);
    rig.enter(6);
    QVERIFY(rig.status.messageBox() && rig.status.messageBox()->isVisible());
}

void TestBackupStatus::boxDoesNotBlock() {
    Rig rig;
    rig.window.show();
    rig.disk.fail(FaultyFileSystem::Call::Write, ENOSPC);
    // The failure happens inside a change of the table; a box that ran its own loop would
    // not return here until closed.
    rig.enter(1);
    QMessageBox* box = rig.status.messageBox();
    QVERIFY(box);
    QVERIFY(!box->isModal());
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QVERIFY(box->testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(box->parentWidget(), &rig.window);
}

QTEST_MAIN(TestBackupStatus)
#include "tst_backupstatus.moc"
