#include "platform/BackupInstanceLock.h"
#include "ui/window/BackupClaim.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

// One program per backup file: who gets the backup, and how a later start calls the first.
class TestBackupInstanceLock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void claim_data();
    void claim();
    void laterStartCallsTheHolder();
};

void TestBackupInstanceLock::claim_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("claim");
    QTest::newRow("nobody has it") << "" << int(BackupInstanceLock::Claim::Taken);
    QTest::newRow("a running program has it") << "running" << int(BackupInstanceLock::Claim::Held);
    QTest::newRow("a program that died left its lock")
        << "dead" << int(BackupInstanceLock::Claim::Taken);
    QTest::newRow("no lock can be made there")
        << "no folder" << int(BackupInstanceLock::Claim::Unguarded);
}

void TestBackupInstanceLock::claim() {
    QFETCH(QString, before);
    QFETCH(int, claim);
    QTemporaryDir dir;
    QString backup = dir.filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"));
    std::unique_ptr<QLockFile> running;
    if (before == u"running") {
        running = std::make_unique<QLockFile>(BackupInstanceLock::lockPath(backup));
        QVERIFY(running->tryLock(0));
    } else if (before == u"dead") {
        // A program that took the lock and died without giving it back.
        QProcess dying;
        dying.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--die-holding"), BackupInstanceLock::lockPath(backup)});
        QVERIFY(dying.waitForFinished());
        QVERIFY(QFile::exists(BackupInstanceLock::lockPath(backup)));
    } else if (before == u"no folder") {
        backup = dir.filePath(QStringLiteral("missing/Velmora-Sicherungsdatei.txt"));
    }
    BackupInstanceLock lock(backup);
    QCOMPARE(int(lock.claim()), claim);
    // Asking again changes nothing.
    QCOMPARE(int(lock.claim()), claim);
}

void TestBackupInstanceLock::laterStartCallsTheHolder() {
    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"));
    BackupInstanceLock first(backup);
    QCOMPARE(first.claim(), BackupInstanceLock::Claim::Taken);
    QSignalSpy called(&first, &BackupInstanceLock::called);

    BackupInstanceLock second(backup);
    QStringList told;
    QVERIFY(!BackupClaim::claim(second, [&told](const QString& message) { told << message; }));
    QCOMPARE(told, QStringList{QStringLiteral("Velmora läuft bereits mit dieser Sicherungsdatei")});
    QTRY_COMPARE(called.count(), 1);

    // Another backup is another program's business, also beside the first.
    BackupInstanceLock other(dir.filePath(QStringLiteral("Rodel-Sicherungsdatei.txt")));
    QCOMPARE(other.claim(), BackupInstanceLock::Claim::Taken);
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--die-holding") == 0) {
        QLockFile lock(QString::fromLocal8Bit(argv[2]));
        const bool locked = lock.tryLock(0);
        // As a crash ends a program: nothing is given back.
        ::_exit(locked ? 0 : 1);
    }
    TestBackupInstanceLock test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_backupinstancelock.moc"
