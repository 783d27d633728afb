#include "mock/FileSystemFaults.h"
#include "mock/ProtocolLoad.h"
#include "mock/TimingWindowFixture.h"
#include "ui/window/BackupStatus.h"
#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTest>

// On a real X server with a window manager: the message that the backup cannot be written
// comes up beside the main window without taking the keyboard from it, so the timing keys
// reach the window as before and every result is entered.
class TestBackupFailureXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void messageLeavesKeysToTheWindow();

private:
    // A key as the X server delivers it: to the window that has the focus.
    static void press(Qt::Key key) { QTest::keyClick(QApplication::activeWindow(), key); }
};

void TestBackupFailureXvfb::messageLeavesKeysToTheWindow() {
    TimingWindowFixture f;
    f.addCompetitors(3);
    MainWindow& window = f.window();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QString backup = f.install().filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"));
    {
        FileSystemFaults::ReadOnlyFolder readOnly(f.install().dir());
        QVERIFY(readOnly.effective());
        QVERIFY(f.run({"F5", "+8000", "F8"}));
        press(Qt::Key_F9);
        QMessageBox* box = window.backupStatus()->messageBox();
        QVERIFY(box);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QTest::qWait(300);
        QCOMPARE(QApplication::activeWindow(), &window);
        QVERIFY(f.run({"F5", "+9000", "F8"}));
        press(Qt::Key_F9);
        QCOMPARE(f.heatRow(1), QStringLiteral("11 800 . . ."));
        QCOMPARE(f.heatRow(2), QStringLiteral("12 900 . . ."));
        QVERIFY(box->isVisible());
    }
    QVERIFY(f.run({"F5", "+7000", "F8"}));
    press(Qt::Key_F9);
    QVERIFY(!window.backupStatus()->failing());
    CompetitionTable loaded(11);
    QVERIFY(loadProtocol(loaded, backup));
    QCOMPARE(loaded.cell(6, 1), QStringLiteral("800"));
    QCOMPARE(loaded.cell(6, 2), QStringLiteral("900"));
    QCOMPARE(loaded.cell(6, 3), QStringLiteral("700"));
}

QTEST_MAIN(TestBackupFailureXvfb)
#include "tst_backupfailure_xvfb.moc"
