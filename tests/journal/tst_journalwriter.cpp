#include "journal/JournalLineFormat.h"
#include "journal/JournalReader.h"
#include "journal/JournalWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

const QDate Day(2026, 5, 2);

JournalEntry impulse(qint64 stamp, const QDate& day = Day) {
    JournalEntry e;
    e.wallClock = QDateTime(day, QTime(10, 0, 0).addMSecs(static_cast<int>(stamp % 1000)));
    e.kind = JournalEntry::Kind::LineChange;
    e.stamp = stamp;
    e.name = QStringLiteral("DSR (Start)");
    return e;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The journal writer: day files with a header, every event on the disk within 100 ms without
// the caller waiting, and a folder that cannot be written costs no event and no crash.
class TestJournalWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNameFollowsTitleAndDay_data();
    void fileNameFollowsTitleAndDay();
    void eventsReachTheFileInOrderWithinTheDeadline();
    void appendingContinuesAnExistingFile_data();
    void appendingContinuesAnExistingFile();
    void eachDayHasItsFile();
    void survivesAnUnwritableFolder();
    void appendDoesNotWaitForTheDisk();
    void fullDiskLosesNoEvent();
    void lackOfDescriptorsLosesNoEvent();
};

void TestJournalWriter::fileNameFollowsTitleAndDay_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("name");
    QTest::newRow("program") << "Velmora" << QDate(2026, 12, 9) << "Velmora-Journal-2026-12-09.txt";
    QTest::newRow("renamed copy") << "Rodel" << QDate(2027, 1, 31)
                                  << "Rodel-Journal-2027-01-31.txt";
}

void TestJournalWriter::fileNameFollowsTitleAndDay() {
    QFETCH(QString, title);
    QFETCH(QDate, day);
    QFETCH(QString, name);
    QCOMPARE(JournalWriter::fileName(title, day), name);
    JournalWriter writer(QStringLiteral("/some/folder"), title);
    QCOMPARE(writer.pathFor(day), "/some/folder/" + name);
}

void TestJournalWriter::eventsReachTheFileInOrderWithinTheDeadline() {
    QTemporaryDir dir;
    JournalWriter writer(dir.path(), QStringLiteral("Velmora"));
    const QString path = writer.pathFor(Day);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 50; ++i)
        writer.append(impulse(1000 + i));
    // No flush: the thread gets the events to the file by itself.
    while (JournalReader::readFile(path).entries.size() < 50 && clock.elapsed() < 1000)
        QThread::msleep(1);
    QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
    const JournalReader::Result read = JournalReader::readFile(path);
    QCOMPARE(read.skippedLines, 0);
    QCOMPARE(read.entries.size(), 50);
    for (int i = 0; i < 50; ++i)
        QCOMPARE(read.entries[i].stamp, 1000 + i);
    QVERIFY(contents(path).startsWith(JournalLineFormat::header().toUtf8() + '\n'));
    QCOMPARE(writer.bytesWritten(), contents(path).size());
}

void TestJournalWriter::appendingContinuesAnExistingFile_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<int>("skipped");
    const QByteArray header = JournalLineFormat::header().toUtf8() + '\n';
    const QByteArray line = JournalLineFormat::format(impulse(1)).toUtf8();
    QTest::newRow("whole lines") << header + line + '\n' << 0;
    QTest::newRow("last line cut by a crash") << header + line + '\n' + line.left(30) << 1;
}

void TestJournalWriter::appendingContinuesAnExistingFile() {
    QFETCH(QByteArray, existing);
    QFETCH(int, skipped);
    QTemporaryDir dir;
    {
        JournalWriter probe(dir.path(), QStringLiteral("Velmora"));
        QFile file(probe.pathFor(Day));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }
    JournalWriter writer(dir.path(), QStringLiteral("Velmora"));
    writer.append(impulse(2));
    QVERIFY(writer.flush());
    const QByteArray bytes = contents(writer.pathFor(Day));
    QCOMPARE(bytes.count(JournalLineFormat::header().toUtf8()), 1);
    const JournalReader::Result read = JournalReader::readBytes(bytes);
    QCOMPARE(read.skippedLines, skipped);
    QCOMPARE(read.entries.size(), 2);
    QCOMPARE(read.entries.last().stamp, 2);
}

void TestJournalWriter::eachDayHasItsFile() {
    QTemporaryDir dir;
    JournalWriter writer(dir.path(), QStringLiteral("Velmora"));
    writer.append(impulse(1, Day));
    writer.append(impulse(2, Day.addDays(1)));
    writer.append(impulse(3, Day.addDays(1)));
    QVERIFY(writer.flush());
    QCOMPARE(JournalReader::readFile(writer.pathFor(Day)).entries.size(), 1);
    QCOMPARE(JournalReader::readFile(writer.pathFor(Day.addDays(1))).entries.size(), 2);
}

void TestJournalWriter::survivesAnUnwritableFolder() {
    // A file where the folder should be: no one, root included, can create the journal.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("blocked"));
    QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
    JournalWriter writer(folder, QStringLiteral("Velmora"));
    QSignalSpy failed(&writer, &JournalWriter::writeFailed);
    QSignalSpy recovered(&writer, &JournalWriter::writeRecovered);
    for (int i = 0; i < 5; ++i) {
        writer.append(impulse(i));
        QVERIFY(!writer.flush());
    }
    QTRY_COMPARE(failed.size(), 1);
    QVERIFY(writer.failing());
    QCOMPARE(writer.heldBack(), 5);
    QVERIFY(failed.first().at(0).toString().startsWith(folder));
    QVERIFY(!failed.first().at(1).toString().isEmpty());

    // The folder can be made: the held events arrive first, in order, with the new one.
    QVERIFY(QFile::remove(folder));
    QVERIFY(QDir().mkpath(folder));
    writer.append(impulse(5));
    QVERIFY(writer.flush());
    QCOMPARE(recovered.size(), 1);
    QCOMPARE(failed.size(), 1);
    QCOMPARE(writer.heldBack(), 0);
    const JournalReader::Result read = JournalReader::readFile(writer.pathFor(Day));
    QCOMPARE(read.entries.size(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(read.entries[i].stamp, i);
}

void TestJournalWriter::appendDoesNotWaitForTheDisk() {
    QTemporaryDir dir;
    JournalWriter writer(dir.path(), QStringLiteral("Velmora"));
    QElapsedTimer clock;
    QList<qint64> costs;
    for (int i = 0; i < 2000; ++i) {
        clock.start();
        writer.append(impulse(i));
        costs.append(clock.nsecsElapsed());
    }
    QVERIFY(writer.flush(5000));
    // The 99th percentile: a loaded machine may take the thread away now and then.
    std::sort(costs.begin(), costs.end());
    const qint64 p99 = costs[costs.size() * 99 / 100];
    QVERIFY2(p99 < 1'000'000, qPrintable(QString::number(p99)));
    QCOMPARE(JournalReader::readFile(writer.pathFor(Day)).entries.size(), 2000);
}

void TestJournalWriter::fullDiskLosesNoEvent() {
    QTemporaryDir dir;
    if (::geteuid() != 0)
        QSKIP("A small file system to fill can only be mounted by root.");
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=16k") != 0)
        QSKIP(qPrintable(QStringLiteral("No tmpfs could be mounted: ") + std::strerror(errno)));
    const auto unmount = qScopeGuard([&] { ::umount2(mountPoint.constData(), MNT_DETACH); });
    // Half of the space goes to a filler; removing it is the space coming back.
    const QString filler = dir.filePath(QStringLiteral("filler"));
    QFile fill(filler);
    QVERIFY(fill.open(QIODevice::WriteOnly));
    QCOMPARE(fill.write(QByteArray(8192, 'x')), 8192);
    fill.close();

    JournalWriter writer(dir.path(), QStringLiteral("Velmora"));
    const QString path = writer.pathFor(Day);
    int appended = 0;
    while (appended < 1000 && !writer.failing()) {
        writer.append(impulse(appended++));
        writer.flush();
    }
    QVERIFY(writer.failing());
    // The disk filled up in the middle of a line.
    QVERIFY(!contents(path).endsWith('\n'));
    for (int i = 0; i < 5; ++i)
        writer.append(impulse(appended++));
    QVERIFY(!writer.flush());

    QVERIFY(QFile::remove(filler));
    QTRY_VERIFY_WITH_TIMEOUT(!writer.failing(), 3000);
    QVERIFY(writer.flush());
    const JournalReader::Result read = JournalReader::readFile(path);
    QCOMPARE(read.skippedLines, 0);
    QCOMPARE(read.entries.size(), appended);
    for (int i = 0; i < appended; ++i)
        QCOMPARE(read.entries[i].stamp, i);
}

void TestJournalWriter::lackOfDescriptorsLosesNoEvent() {
    QTemporaryDir dir;
    rlimit saved{};
    QVERIFY(::getrlimit(RLIMIT_NOFILE, &saved) == 0);
    rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(saved.rlim_max, 256);
    QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
    QList<int> taken;
    const auto giveBack = [&taken] {
        for (int fd : std::as_const(taken))
            ::close(fd);
        taken.clear();
    };
    const auto restore = qScopeGuard([&] {
        giveBack();
        ::setrlimit(RLIMIT_NOFILE, &saved);
    });
    const auto takeAll = [&taken] {
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            taken.append(fd);
        return errno == EMFILE;
    };

    auto writer = std::make_unique<JournalWriter>(dir.path(), QStringLiteral("Velmora"));
    const QString path = writer->pathFor(Day);
    QVERIFY(takeAll());
    writer->append(impulse(1));
    QVERIFY(!writer->flush(500));
    QVERIFY(writer->failing());
    giveBack();
    QTRY_VERIFY_WITH_TIMEOUT(writer->flush(0), 3000);

    writer->append(impulse(2));
    QVERIFY(writer->flush());
    writer.reset();

    // At the end of the program, before its journal was ever opened: the slots come free
    // while the writer closes.
    writer = std::make_unique<JournalWriter>(dir.path(), QStringLiteral("Velmora"));
    QVERIFY(takeAll());
    writer->append(impulse(3, Day.addDays(1)));
    std::thread closing([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        giveBack();
    });
    writer.reset();
    closing.join();
    QCOMPARE(JournalReader::readFile(path).entries.size(), 2);
    const JournalReader::Result next = JournalReader::readFile(
        QDir(dir.path()).filePath(JournalWriter::fileName("Velmora", Day.addDays(1))));
    QCOMPARE(next.entries.size(), 1);
    QCOMPARE(next.entries.first().stamp, 3);
}

QTEST_GUILESS_MAIN(TestJournalWriter)
#include "tst_journalwriter.moc"
