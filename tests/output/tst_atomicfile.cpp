#include "mock/FaultyFileSystem.h"
#include "mock/FileBytes.h"
#include "output/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>

using FileBytes::readFile;
using FileBytes::writeFile;

using Call = FaultyFileSystem::Call;
using Step = AtomicFile::Step;

namespace {

mode_t modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

const QByteArray kOld("Nr.\tName\t\r\n1\tAlt\t\r\n");

QByteArray newContent() {
    QByteArray bytes;
    for (int i = 0; i < 2000; ++i)
        bytes += "Nr.\tNeu\t" + QByteArray::number(i) + "\t\r\n";
    return bytes;
}

} // namespace

// Every step of replacing a file is checked: whatever step fails, the old content stays, no
// temporary file is left beside it, and the failure names the step and the system's reason.
class TestAtomicFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failingStepKeepsOldFile_data();
    void failingStepKeepsOldFile();
    void shortAndInterruptedCallsStillWriteAll_data();
    void shortAndInterruptedCallsStillWriteAll();
    void permissionsOfOldFileKept();
    void linkIsFollowed();
    void missingFolderIsReported();
};

void TestAtomicFile::failingStepKeepsOldFile_data() {
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("renamed");
    QTest::newRow("create: disk full")
        << int(Call::OpenFile) << ENOSPC << int(Step::Create) << false;
    QTest::newRow("create: permissions")
        << int(Call::ChangeMode) << EPERM << int(Step::Create) << false;
    QTest::newRow("write: disk full") << int(Call::Write) << ENOSPC << int(Step::Write) << false;
    QTest::newRow("write: quota") << int(Call::Write) << EDQUOT << int(Step::Write) << false;
    QTest::newRow("sync: medium") << int(Call::SyncFile) << EIO << int(Step::Sync) << false;
    QTest::newRow("close: delayed error")
        << int(Call::CloseFile) << ENOSPC << int(Step::Close) << false;
    QTest::newRow("rename: other device")
        << int(Call::Rename) << EXDEV << int(Step::Rename) << false;
    // After the rename the old content is gone; the file then holds the new one in full.
    QTest::newRow("open folder") << int(Call::OpenFolder) << EACCES << int(Step::SyncFolder)
                                 << true;
    QTest::newRow("sync folder") << int(Call::SyncFolder) << EIO << int(Step::SyncFolder) << true;
    QTest::newRow("close folder") << int(Call::CloseFolder) << EIO << int(Step::SyncFolder) << true;
}

void TestAtomicFile::failingStepKeepsOldFile() {
    QFETCH(int, call);
    QFETCH(int, error);
    QFETCH(int, step);
    QFETCH(bool, renamed);
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora-Sicherungsdatei.txt");
    QVERIFY(writeFile(path, kOld));
    FaultyFileSystem system;
    system.fail(Call(call), error);

    const auto failure = AtomicFile::write(path, newContent(), system);
    QVERIFY(failure);
    QCOMPARE(int(failure->step), step);
    QCOMPARE(failure->error, error);
    QCOMPARE(failure->text(),
             AtomicFile::stepName(Step(step)) + QStringLiteral(": ") + qt_error_string(error));
    QCOMPARE(readFile(path), renamed ? newContent() : kOld);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Velmora-Sicherungsdatei.txt"});

    system.fail(Call::None, 0);
    QVERIFY(!AtomicFile::write(path, newContent(), system));
    QCOMPARE(readFile(path), newContent());
}

void TestAtomicFile::shortAndInterruptedCallsStillWriteAll_data() {
    QTest::addColumn<qint64>("chunk");
    QTest::addColumn<bool>("interrupted");
    QTest::newRow("whole") << qint64(0) << false;
    QTest::newRow("7 bytes a write") << qint64(7) << false;
    QTest::newRow("each call interrupted once") << qint64(0) << true;
    QTest::newRow("both") << qint64(1000) << true;
}

void TestAtomicFile::shortAndInterruptedCallsStillWriteAll() {
    QFETCH(qint64, chunk);
    QFETCH(bool, interrupted);
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    QVERIFY(writeFile(path, kOld));
    FaultyFileSystem system;
    system.limitWrites(chunk);
    system.interruptEachCall(interrupted);
    const auto failure = AtomicFile::write(path, newContent(), system);
    QVERIFY2(!failure, failure ? qPrintable(failure->text()) : "");
    QCOMPARE(readFile(path), newContent());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.txt"});
}

void TestAtomicFile::permissionsOfOldFileKept() {
    QTemporaryDir dir;
    const QString kept = dir.filePath("privat.txt");
    const QString shared = dir.filePath("gruppe.txt");
    const QString created = dir.filePath("neu.txt");
    QVERIFY(writeFile(kept, kOld) && writeFile(shared, kOld));
    QVERIFY(::chmod(QFile::encodeName(kept).constData(), 0600) == 0);
    QVERIFY(::chmod(QFile::encodeName(shared).constData(), 0664) == 0);
    const mode_t mask = ::umask(022);
    const bool ok = !AtomicFile::write(kept, "a") && !AtomicFile::write(shared, "b") &&
                    !AtomicFile::write(created, "c");
    ::umask(mask);
    QVERIFY(ok);
    QCOMPARE(modeOf(kept), mode_t(0600));
    QCOMPARE(modeOf(shared), mode_t(0664));
    QCOMPARE(modeOf(created), mode_t(0644));
}

void TestAtomicFile::linkIsFollowed() {
    QTemporaryDir dir;
    const QString target = dir.filePath("echt.txt");
    const QString link = dir.filePath("verweis.txt");
    QVERIFY(writeFile(target, kOld));
    QVERIFY(QFile::link(target, link));
    QVERIFY(!AtomicFile::write(link, "neu"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(target), QByteArray("neu"));
}

void TestAtomicFile::missingFolderIsReported() {
    QTemporaryDir dir;
    const auto failure = AtomicFile::write(dir.filePath("fehlt/p.txt"), "x");
    QVERIFY(failure);
    QCOMPARE(failure->step, Step::Create);
    QCOMPARE(failure->error, ENOENT);
    QVERIFY(AtomicFile::write(QString(), "x"));
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
