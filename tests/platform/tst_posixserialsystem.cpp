#include "platform/PosixSerialSystem.h"
#include "platform/SerialLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The real system calls, on the devices every Linux machine has: /dev/null and a pty.
class TestPosixSerialSystem : public QObject {
    Q_OBJECT

private slots:
    void missingDeviceIsNotFound();
    void nonTtyRefusesTheTtyCalls();
    void ptyHasNoModemLines();
    void fileSystemReads();
};

void TestPosixSerialSystem::missingDeviceIsNotFound() {
    PosixSerialSystem system;
    QCOMPARE(system.openDevice(QStringLiteral("/dev/velmora-no-such-port"), O_RDWR), -ENOENT);
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/velmora-no-such-port")), -ENOENT);
}

void TestPosixSerialSystem::nonTtyRefusesTheTtyCalls() {
    PosixSerialSystem system;
    const int fd = system.openDevice(QStringLiteral("/dev/null"), O_RDWR | O_CLOEXEC);
    QVERIFY(fd >= 0);
    QCOMPARE(system.isCharacterDevice(fd), 1);
    QCOMPARE(system.setExclusive(fd), -ENOTTY);
    int bits = 0;
    QCOMPARE(system.getModemBits(fd, &bits), -ENOTTY);
    QCOMPARE(system.closeDevice(fd), 0);
    QCOMPARE(system.closeDevice(fd), -EBADF);
    // The line refuses it at open, and leaves nothing open.
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/null")), -ENOTTY);
    QVERIFY(!line.isOpen());
}

void TestPosixSerialSystem::ptyHasNoModemLines() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(master >= 0);
    QCOMPARE(grantpt(master), 0);
    QCOMPARE(unlockpt(master), 0);
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    PosixSerialSystem system;
    SerialLine line(system);
    QCOMPARE(line.open(slave), 0);
    termios attributes{};
    QCOMPARE(system.getAttributes(line.descriptor(), &attributes), 0);
    // termios works, the modem lines do not: such a device cannot carry light barriers.
    QCOMPARE(line.configure(SerialLineSettings{}), -ENOTTY);
    const int wait = system.waitModemChange(line.descriptor(), TIOCM_CTS);
    QVERIFY2(wait == -ENOTTY || wait == -EINVAL, qPrintable(QString::number(wait)));
    line.close();
    ::close(master);
}

void TestPosixSerialSystem::fileSystemReads() {
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    QFile file(directory.filePath(QStringLiteral("type")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("4\n");
    file.close();
    QVERIFY(QFile::link(directory.filePath(QStringLiteral("type")),
                        directory.filePath(QStringLiteral("by-id-link"))));
    PosixSerialSystem system;
    QCOMPARE(system.directoryEntries(directory.path()),
             QStringList({QStringLiteral("by-id-link"), QStringLiteral("type")}));
    QCOMPARE(system.resolvedPath(directory.filePath(QStringLiteral("by-id-link"))),
             QFileInfo(directory.filePath(QStringLiteral("type"))).canonicalFilePath());
    QCOMPARE(system.resolvedPath(directory.filePath(QStringLiteral("missing"))), std::nullopt);
    QCOMPARE(system.readSmallFile(directory.filePath(QStringLiteral("type"))), QByteArray("4\n"));
    QCOMPARE(system.readSmallFile(directory.filePath(QStringLiteral("missing"))), std::nullopt);
    QVERIFY(system.directoryEntries(directory.filePath(QStringLiteral("missing"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestPosixSerialSystem)
#include "tst_posixserialsystem.moc"
