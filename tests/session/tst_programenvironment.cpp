#include "session/ProgramEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool touch(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

// Names taken from the executable, and files found next to it or in the data folder.
class TestProgramEnvironment : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void programTitle_data();
    void programTitle();
    void filesNextToExecutableFirst();
    void helpFileFallsBackToOtherKind();
    void templatePathsNameTheExpectedPlace();
    void renamedCopyHasItsOwnPicture();
    void helpFileLookup();
    void companionsFromDataFolder();
};

void TestProgramEnvironment::programTitle_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("linux") << "/opt/velmora/bin/Velmora"
                           << "Velmora";
    QTest::newRow("windows") << "C:/Programme/Velmora/Velmora.exe"
                             << "Velmora";
    QTest::newRow("renamed copy") << "/home/op/Rutsche2.exe"
                                  << "Rutsche2";
    QTest::newRow("dots in name") << "/x/Velmora.Test.exe"
                                  << "Velmora.Test";
}

void TestProgramEnvironment::programTitle() {
    QFETCH(QString, path);
    QFETCH(QString, title);
    const ProgramEnvironment environment(path);
    QCOMPARE(environment.programTitle(), title);
    QCOMPARE(environment.registryKeyPath(), QStringLiteral("\\Software\\Quarnek\\") + title);
}

void TestProgramEnvironment::filesNextToExecutableFirst() {
    QTemporaryDir exeDir;
    QTemporaryDir dataDir;
    ProgramEnvironment environment(exeDir.filePath(QStringLiteral("Rutsche")));
    environment.setDataDir(dataDir.path());
    QVERIFY(!environment.titlePicture());
    QFile data(dataDir.filePath(QStringLiteral("Rutsche.jpg")));
    QVERIFY(data.open(QIODevice::WriteOnly));
    data.close();
    QCOMPARE(environment.titlePicture().value_or(QString()), data.fileName());
    QFile local(exeDir.filePath(QStringLiteral("Rutsche.jpg")));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.close();
    QCOMPARE(environment.titlePicture().value_or(QString()), local.fileName());
    // Another program name does not see these files.
    ProgramEnvironment other(exeDir.filePath(QStringLiteral("Velmora")));
    other.setDataDir(dataDir.path());
    QVERIFY(!other.titlePicture());
}

void TestProgramEnvironment::helpFileFallsBackToOtherKind() {
    QTemporaryDir exeDir;
    const ProgramEnvironment environment(exeDir.filePath(QStringLiteral("Velmora")));
    QVERIFY(!environment.helpFile());
    QFile chm(exeDir.filePath(QStringLiteral("Velmora.chm")));
    QVERIFY(chm.open(QIODevice::WriteOnly));
    chm.close();
    QCOMPARE(environment.helpFile().value_or(QString()), chm.fileName());
}

void TestProgramEnvironment::templatePathsNameTheExpectedPlace() {
    QTemporaryDir exeDir;
    QTemporaryDir data;
    ProgramEnvironment environment(exeDir.filePath(QStringLiteral("Velmora")));
    environment.setDataDir(data.path());
    QCOMPARE(environment.wordTemplatePath(),
             exeDir.filePath(QStringLiteral("Protokollvorlage.docx")));
    QCOMPARE(environment.excelTemplatePath(),
             exeDir.filePath(QStringLiteral("Protokollvorlage.xlsx")));
    QVERIFY(!QFileInfo::exists(environment.wordTemplatePath()));
}

void TestProgramEnvironment::renamedCopyHasItsOwnPicture() {
    QTemporaryDir bin;
    QVERIFY(touch(bin.filePath("Halle.jpg")));
    const ProgramEnvironment original(bin.filePath("Velmora"));
    const ProgramEnvironment copy(bin.filePath("Halle"));
    QCOMPARE(original.titlePicture(), std::nullopt);
    QCOMPARE(copy.titlePicture(), std::optional<QString>(bin.filePath("Halle.jpg")));
}

void TestProgramEnvironment::helpFileLookup() {
    QTemporaryDir bin;
    QTemporaryDir data;
    ProgramEnvironment environment(bin.filePath("Velmora"));
    environment.setDataDir(data.path());
    QCOMPARE(environment.helpFile(), std::nullopt);
    QVERIFY(touch(data.filePath("Velmora.html")));
    QCOMPARE(environment.helpFile(), std::optional<QString>(data.filePath("Velmora.html")));
    QVERIFY(touch(bin.filePath("Velmora.html")));
    QCOMPARE(environment.helpFile(), std::optional<QString>(bin.filePath("Velmora.html")));
    // Outside Windows the HTML manual comes first; compiled help only stands in for it.
    QVERIFY(touch(data.filePath("Velmora.chm")));
    QCOMPARE(environment.helpFile(), std::optional<QString>(bin.filePath("Velmora.html")));
}

void TestProgramEnvironment::companionsFromDataFolder() {
    QTemporaryDir bin;
    QTemporaryDir data;
    ProgramEnvironment environment(bin.filePath("Velmora"));
    environment.setDataDir(data.path());
    QVERIFY(touch(data.filePath("Velmora.jpg")));
    QVERIFY(touch(data.filePath("Protokollvorlage.docx")));
    QVERIFY(touch(data.filePath("Protokollvorlage.xlsx")));
    QCOMPARE(environment.titlePicture(), std::optional<QString>(data.filePath("Velmora.jpg")));
    QCOMPARE(environment.wordTemplatePath(), data.filePath("Protokollvorlage.docx"));
    QCOMPARE(environment.excelTemplatePath(), data.filePath("Protokollvorlage.xlsx"));
    // An old .xls beside the program does not hide the .xlsx the workbook can be built on.
    QVERIFY(touch(bin.filePath("Protokollvorlage.xls")));
    QCOMPARE(environment.excelTemplatePath(), data.filePath("Protokollvorlage.xlsx"));
    QVERIFY(touch(bin.filePath("Protokollvorlage.xlsx")));
    QCOMPARE(environment.excelTemplatePath(), bin.filePath("Protokollvorlage.xlsx"));
    // A folder of that name is not a template.
    QVERIFY(QDir(bin.path()).mkdir("Protokollvorlage.docx"));
    QCOMPARE(environment.wordTemplatePath(), data.filePath("Protokollvorlage.docx"));
}

QTEST_MAIN(TestProgramEnvironment)
#include "tst_programenvironment.moc"
