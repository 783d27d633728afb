#include "mock/FileSystemFaults.h"
#include "platform/ProgramPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

// Names and places that follow from the executable's own path.
class TestProgramPaths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void programTitle_data();
    void programTitle();
    void backupNextToTheExecutable();
    void backupInUserFolderWhenReadOnly();
    void backupReadWhereTheCompetitionWentOn_data();
    void backupReadWhereTheCompetitionWentOn();
    void renamedExecutableHasItsOwnFiles();
    void defaultExportName_data();
    void defaultExportName();
    void installedProgramWritesInUserFolders_data();
    void installedProgramWritesInUserFolders();
    void dataFolderBesideTheExecutable_data();
    void dataFolderBesideTheExecutable();
};

void TestProgramPaths::programTitle_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("dir");
    QTest::newRow("linux") << "/opt/velmora/bin/Velmora"
                           << "Velmora"
                           << "/opt/velmora/bin/";
    QTest::newRow("with extension") << "/x/Velmora.exe"
                                    << "Velmora"
                                    << "/x/";
    QTest::newRow("dots in the name") << "/x/Velmora.Halle.2.exe"
                                      << "Velmora.Halle.2"
                                      << "/x/";
}

void TestProgramPaths::programTitle() {
    QFETCH(QString, executable);
    QFETCH(QString, title);
    QFETCH(QString, dir);
    const ProgramPaths paths(executable, QString(), QString());
    QCOMPARE(paths.programTitle(), title);
    QCOMPARE(paths.executableDir(), dir);
}

void TestProgramPaths::backupNextToTheExecutable() {
    QTemporaryDir bin;
    QTemporaryDir user;
    const ProgramPaths paths(bin.filePath("Velmora"), QString(), user.filePath("data"));
    QCOMPARE(paths.backupFileName(), bin.filePath("Velmora-Sicherungsdatei.txt"));
    QVERIFY(!QFileInfo::exists(user.filePath("data")));
    QCOMPARE(QDir(bin.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

void TestProgramPaths::backupInUserFolderWhenReadOnly() {
    QTemporaryDir bin;
    QTemporaryDir user;
    const QString userData = user.filePath("Quarnek/Velmora");
    const ProgramPaths paths(bin.filePath("Velmora"), QString(), userData);
    FileSystemFaults::ReadOnlyFolder readOnly(bin.path());
    if (!readOnly.effective())
        QSKIP("this process cannot give up its permission to write anywhere");
    QCOMPARE(paths.backupFileName(), userData + QStringLiteral("/Velmora-Sicherungsdatei.txt"));
    QVERIFY(QFileInfo(userData).isDir());
}

void TestProgramPaths::backupReadWhereTheCompetitionWentOn_data() {
    QTest::addColumn<bool>("readOnly");
    // Age in seconds of the backup next to the executable and in the user's folder; -1: none.
    QTest::addColumn<int>("besideAge");
    QTest::addColumn<int>("userAge");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("write");
    QTest::newRow("writable, no backup") << false << -1 << -1 << "beside"
                                         << "beside";
    QTest::newRow("writable, backup beside") << false << 10 << -1 << "beside"
                                             << "beside";
    QTest::newRow("writable, only the user's") << false << -1 << 10 << "user"
                                               << "beside";
    QTest::newRow("writable, beside newer") << false << 10 << 20 << "beside"
                                            << "beside";
    QTest::newRow("writable, user's newer") << false << 20 << 10 << "user"
                                            << "beside";
    QTest::newRow("read-only, no backup") << true << -1 << -1 << "user"
                                          << "user";
    QTest::newRow("read-only, backup beside") << true << 10 << -1 << "beside"
                                              << "user";
    QTest::newRow("read-only, user's newer") << true << 20 << 10 << "user"
                                             << "user";
    QTest::newRow("read-only, beside newer") << true << 10 << 20 << "beside"
                                             << "user";
    QTest::newRow("read-only, same age") << true << 10 << 10 << "user"
                                         << "user";
}

void TestProgramPaths::backupReadWhereTheCompetitionWentOn() {
    QFETCH(bool, readOnly);
    QFETCH(int, besideAge);
    QFETCH(int, userAge);
    QFETCH(QString, read);
    QFETCH(QString, write);
    QTemporaryDir bin;
    QTemporaryDir user;
    const QString name = QStringLiteral("Velmora-Sicherungsdatei.txt");
    const QHash<QString, QString> places{{"beside", bin.filePath(name)},
                                         {"user", user.filePath(name)}};
    const QDateTime now = QDateTime::currentDateTime();
    for (const auto& [place, age] : {std::pair{QStringLiteral("beside"), besideAge},
                                     std::pair{QStringLiteral("user"), userAge}}) {
        if (age < 0)
            continue;
        QFile file(places[place]);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(now.addSecs(-age), QFileDevice::FileModificationTime));
    }
    const ProgramPaths paths(bin.filePath("Velmora"), QString(), user.path());
    std::optional<FileSystemFaults::ReadOnlyFolder> guard;
    if (readOnly) {
        guard.emplace(bin.path());
        QVERIFY(guard->effective());
    }
    const ProgramPaths::BackupLocation location = paths.backupLocation();
    QCOMPARE(location.readPath, places[read]);
    QCOMPARE(location.writePath, places[write]);
    QCOMPARE(location.relocated(), read != write);
}

void TestProgramPaths::renamedExecutableHasItsOwnFiles() {
    QTemporaryDir bin;
    const ProgramPaths original(bin.filePath("Velmora"), QString(), QString());
    const ProgramPaths copy(bin.filePath("Halle"), QString(), QString());
    QVERIFY(original.backupFileName() != copy.backupFileName());
    QCOMPARE(copy.backupFileName(), bin.filePath("Halle-Sicherungsdatei.txt"));
}

void TestProgramPaths::defaultExportName_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    QTest::newRow("designed example") << QDate(2009, 5, 17) << "2009-05-17-Quarnek-de";
    QTest::newRow("end of year") << QDate(2026, 12, 31) << "2026-12-31-Quarnek-de";
    QTest::newRow("early year padded") << QDate(987, 1, 2) << "0987-01-02-Quarnek-de";
}

void TestProgramPaths::defaultExportName() {
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(ProgramPaths::defaultExportName(date), name);
}

void TestProgramPaths::installedProgramWritesInUserFolders_data() {
    QTest::addColumn<bool>("installed");
    // Where the program was started: a folder key (see below) or an absolute path.
    QTest::addColumn<QString>("working");
    QTest::addColumn<QString>("files");
    QTest::addColumn<QString>("page");
    QTest::newRow("checkout, started elsewhere") << false << "elsewhere"
                                                 << "bin"
                                                 << "elsewhere";
    QTest::newRow("checkout, started in its folder") << false << "bin"
                                                     << "bin"
                                                     << "bin";
    QTest::newRow("checkout, working folder gone") << false << "missing"
                                                   << "bin"
                                                   << "bin";
    QTest::newRow("checkout, started in /") << false << "/"
                                            << "bin"
                                            << "bin";
    QTest::newRow("installed, started in home") << true << "elsewhere"
                                                << "user"
                                                << "elsewhere";
    QTest::newRow("installed, started in bin") << true << "bin"
                                               << "user"
                                               << "user";
    QTest::newRow("installed, started in the prefix") << true << "prefix"
                                                      << "user"
                                                      << "user";
    QTest::newRow("installed, started in share/velmora") << true << "data"
                                                         << "user"
                                                         << "user";
    QTest::newRow("installed, working folder gone") << true << "missing"
                                                    << "user"
                                                    << "user";
    QTest::newRow("installed, started in /") << true << "/"
                                             << "user"
                                             << "user";
}

void TestProgramPaths::installedProgramWritesInUserFolders() {
    QFETCH(bool, installed);
    QFETCH(QString, working);
    QFETCH(QString, files);
    QFETCH(QString, page);
    // <prefix>/bin/Velmora with or without <prefix>/share/velmora; the folders stay writable,
    // as they are for root.
    QTemporaryDir prefix;
    QTemporaryDir home;
    QVERIFY(QDir(prefix.path()).mkpath("bin"));
    const QString data = prefix.filePath("share/velmora");
    if (installed)
        QVERIFY(QDir().mkpath(data));
    const QString user = home.filePath(".local/share/Velmora");
    const QHash<QString, QString> folders{{"bin", prefix.filePath("bin") + u'/'},
                                          {"prefix", prefix.path() + u'/'},
                                          {"data", data + u'/'},
                                          {"user", user + u'/'},
                                          {"elsewhere", home.path() + u'/'},
                                          {"missing", home.filePath("gone") + u'/'}};
    const ProgramPaths paths(prefix.filePath("bin/Velmora"), installed ? data : QString(), user);
    QCOMPARE(paths.isInstalled(), installed);

    QCOMPARE(paths.writableFolder(), folders[files]);
    QCOMPARE(paths.backupFileName(), folders[files] + "Velmora-Sicherungsdatei.txt");
    QCOMPARE(paths.backupLocation().writePath, paths.backupFileName());
    QCOMPARE(paths.pageFolder(folders.value(working, working)), folders[page]);

    // Asking left nothing behind in the installation's folders.
    for (const QString& folder : {prefix.filePath("bin"), data})
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
}

void TestProgramPaths::dataFolderBesideTheExecutable_data() {
    QTest::addColumn<QString>("sibling");
    QTest::addColumn<bool>("found");
    QTest::newRow("installed layout") << "share/velmora" << true;
    QTest::newRow("build folder") << QString() << false;
    QTest::newRow("other program's data") << "share/other" << false;
    QTest::newRow("a file of that name") << "share/velmora=file" << false;
}

void TestProgramPaths::dataFolderBesideTheExecutable() {
    QFETCH(QString, sibling);
    QFETCH(bool, found);
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath("bin"));
    if (sibling.endsWith(QStringLiteral("=file"))) {
        QVERIFY(QDir(prefix.path()).mkpath("share"));
        QVERIFY(touch(prefix.filePath(sibling.chopped(5))));
    } else if (!sibling.isEmpty()) {
        QVERIFY(QDir(prefix.path()).mkpath(sibling));
    }
    const QString configured = QStringLiteral("/configured/share/velmora");
    QCOMPARE(ProgramPaths::installedDataDir(prefix.filePath("bin/Velmora"), configured),
             found ? prefix.filePath("share/velmora") : configured);
}

QTEST_GUILESS_MAIN(TestProgramPaths)
#include "tst_programpaths.moc"
