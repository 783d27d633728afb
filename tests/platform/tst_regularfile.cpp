#include "mock/FifoWatchdog.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using Status = RegularFile::Status;

// Whole files are read only when they are regular files, and never more than the limit.
class TestRegularFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void kinds_data();
    void kinds();
    void limitCountsWhatIsRead_data();
    void limitCountsWhatIsRead();
    void sizeClaimedByTheFileSystemIsNotTrusted();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRegularFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRegularFile::kinds_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("regular file") << "file" << int(Status::Read) << QByteArray("1\tA\r\n");
    QTest::newRow("empty file") << "empty" << int(Status::Read) << QByteArray();
    QTest::newRow("missing") << "missing" << int(Status::Missing) << QByteArray();
    QTest::newRow("folder") << "folder" << int(Status::NotRegular) << QByteArray();
    QTest::newRow("FIFO without writer") << "fifo" << int(Status::NotRegular) << QByteArray();
    QTest::newRow("link to a FIFO") << "link to fifo" << int(Status::NotRegular) << QByteArray();
    QTest::newRow("link to /dev/zero") << "zero" << int(Status::NotRegular) << QByteArray();
    QTest::newRow("link to a file") << "link to file" << int(Status::Read) << QByteArray("x");
    QTest::newRow("dangling link") << "dangling" << int(Status::Missing) << QByteArray();
}

void TestRegularFile::kinds() {
    QFETCH(QString, kind);
    QFETCH(int, status);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir->filePath(QStringLiteral("p.txt"));
    const QString fifo = m_dir->filePath(QStringLiteral("fifo"));
    const QString target = m_dir->filePath(QStringLiteral("target"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    if (kind == u"file" || kind == u"empty") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"fifo") {
        QVERIFY(QFile::rename(fifo, path));
    } else if (kind == u"link to fifo") {
        QVERIFY(QFile::link(fifo, path));
    } else if (kind == u"zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == u"link to file") {
        QVERIFY(QFile::link(target, path));
    } else if (kind == u"dangling") {
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("nowhere")), path));
    }
    FifoWatchdog watchdog(kind == u"link to fifo" ? fifo : path);
    const RegularFile::Content content = RegularFile::read(path, 1024);
    QVERIFY2(!watchdog.fired(), "the read blocked on the FIFO");
    QCOMPARE(int(content.status), status);
    QCOMPARE(content.bytes, bytes);
    QCOMPARE(content.ok(), status == int(Status::Read));
}

void TestRegularFile::limitCountsWhatIsRead_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("status");
    QTest::newRow("below the limit") << 10 << 11 << int(Status::Read);
    QTest::newRow("at the limit") << 11 << 11 << int(Status::Read);
    QTest::newRow("one byte above") << 12 << 11 << int(Status::TooLarge);
    QTest::newRow("several chunks") << 300000 << 300000 << int(Status::Read);
    QTest::newRow("several chunks, one above") << 300001 << 300000 << int(Status::TooLarge);
    QTest::newRow("limit 0, empty") << 0 << 0 << int(Status::Read);
}

void TestRegularFile::limitCountsWhatIsRead() {
    QFETCH(int, size);
    QFETCH(int, limit);
    QFETCH(int, status);
    const QString path = m_dir->filePath(QStringLiteral("big"));
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), qint64(size));
    }
    const RegularFile::Content content = RegularFile::read(path, limit);
    QCOMPARE(int(content.status), status);
    QCOMPARE(content.bytes, status == int(Status::Read) ? bytes : QByteArray());
}

void TestRegularFile::sizeClaimedByTheFileSystemIsNotTrusted() {
    // Files under /proc claim a size of 0 and still have content.
    const QString path = QStringLiteral("/proc/self/maps");
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() != 0)
        QSKIP("no /proc file that claims to be empty here");
    QCOMPARE(int(RegularFile::read(path, 16).status), int(Status::TooLarge));
    const RegularFile::Content whole = RegularFile::read(path, 64 * 1024 * 1024);
    QCOMPARE(int(whole.status), int(Status::Read));
    QVERIFY(whole.bytes.size() > 16);
}

QTEST_GUILESS_MAIN(TestRegularFile)
#include "tst_regularfile.moc"
