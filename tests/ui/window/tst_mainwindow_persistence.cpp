#include "competition/Competition.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "mock/OffscreenScreens.h"
#include "mock/WindowFixture.h"
#include "output/BackupWriter.h"
#include "output/ProtocolFile.h"
#include "ui/window/BackupStatus.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/WindowPlacement.h"
#include "widgets/ElidingLabel.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

// What the window shows of what is kept across runs: the backup of the heat start list, read
// at start-up and rewritten after every change and every command, and the settings with the
// window's place, size and title. The session's half (the order at shutdown, a renamed
// executable's own files) is tried without a window in tst_racesession_persistence.
class TestMainWindowPersistence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startupReadsBackup_data();
    void startupReadsBackup();
    void oneCommandOneBackupWrite_data();
    void oneCommandOneBackupWrite();
    void failingBackupToldUntilWritten();
    void settingsSurviveRestart();
    void storedValuesOutOfRangeRepaired_data();
    void storedValuesOutOfRangeRepaired();
    void storedSettingsApplied_data();
    void storedSettingsApplied();
    void damagedSettingToldAndKept();
};

namespace {

const QString kBackup = QStringLiteral("Velmora-Sicherungsdatei.txt");
const QString kConf = QStringLiteral("Velmora.conf");
const QRect kFirstScreen(0, 0, 800, 800);
const QRect kSecondScreen(800, 0, 1280, 1024);

const QByteArray kBackupBytes = FileBytes::twoCompetitorBackup();

} // namespace

void TestMainWindowPersistence::startupReadsBackup_data() {
    QTest::addColumn<bool>("backup");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("firstName");
    QTest::newRow("backup with two competitors") << true << 3 << "Müller";
    QTest::newRow("no backup") << false << 2 << "";
}

void TestMainWindowPersistence::startupReadsBackup() {
    QFETCH(bool, backup);
    QFETCH(int, rows);
    QFETCH(QString, firstName);
    InstallationFixture install;
    if (backup)
        QVERIFY(install.writeFile(kBackup, kBackupBytes));
    ScriptedAnswers answers;
    SessionWindow window(install.environment(&answers));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const CompetitionTable& heat = window.session().competition().heatStartList();
    QCOMPARE(heat.rowsWithHeader(), rows);
    QCOMPARE(heat.cell(1, 1), firstName);
    QCOMPARE(heat.cell(3, 0), QStringLiteral("Verein/Ort"));
    // Derived and enabled as after a page change; nothing is unsaved yet.
    QCOMPARE(window.session().competition().heatResults().cell(2, 1), firstName);
    QCOMPARE(window.header()->webPageButton->isEnabled(), backup);
    QVERIFY(!heat.modified());
    QVERIFY(window.close());
    QVERIFY(answers.questions.isEmpty());
}

void TestMainWindowPersistence::oneCommandOneBackupWrite_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("results deleted") << "delete";
    QTest::newRow("random results") << "random";
    QTest::newRow("new protocol") << "new";
}

void TestMainWindowPersistence::oneCommandOneBackupWrite() {
    QFETCH(QString, command);
    InstallationFixture install;
    QVERIFY(install.writeFile(kBackup, kBackupBytes));
    ScriptedAnswers answers;
    answers.answer = true;
    SessionWindow window(install.environment(&answers));
    QSignalSpy saved(window.session().backup(), &BackupWriter::saved);
    if (command == "delete")
        window.deleteResults();
    else if (command == "random")
        window.generateRandomResults();
    else
        window.newProtocol();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)),
             ProtocolFile::protocolBytes(window.session().competition().heatStartList()));
}

void TestMainWindowPersistence::failingBackupToldUntilWritten() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    CompetitionTable& heat = window.session().competition().heatStartList();
    QLabel* panel = window.mainStatusBar()->panel(MainStatusBar::FixedText);
    {
        FileSystemFaults::ReadOnlyFolder readOnly(install.dir());
        QVERIFY(readOnly.effective());
        heat.setRowCells(1, {"1", "Erste", "", "", "1", "", "1000"});
        heat.setCell(7, 1, QStringLiteral("1100"));
    }
    QVERIFY(window.backupStatus()->failing());
    QCOMPARE(panel->text(), BackupStatus::panelNote());
    QMessageBox* box = window.backupStatus()->messageBox();
    QVERIFY(box);
    QVERIFY(box->text().startsWith(
        QStringLiteral("Die Sicherungsdatei kann nicht geschrieben werden: ") +
        install.filePath(kBackup) + QStringLiteral(" (Anlegen: ")));
    QVERIFY(!QFile::exists(install.filePath(kBackup)));

    heat.setCell(8, 1, QStringLiteral("1200"));
    QVERIFY(!window.backupStatus()->failing());
    QCOMPARE(panel->text(), MainStatusBar::fixedText());
    QCOMPARE(FileBytes::readFile(install.filePath(kBackup)), ProtocolFile::protocolBytes(heat));
    QVERIFY(FileBytes::readFile(install.filePath(kBackup)).contains("1000\t1100\t1200"));
}

void TestMainWindowPersistence::settingsSurviveRestart() {
    InstallationFixture install;
    Settings before;
    {
        SessionWindow window(install.environment());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(40, 50);
        window.resize(720, 600);
        window.header()->titleEdit->setText(QStringLiteral("Stadtmeisterschaft"));
        // Values other parts keep in the window's settings while the program runs (the port
        // and the automatic entry are written back by the timing part itself).
        Settings& s = window.session().settings();
        s.alg = 1;
        s.filterInd = 4;
        s.timer = 0;
        s.monitor = 1;
        s.lockTime = 700;
        s.vidResult = 1;
        s.len = 0;
        s.logo = QStringLiteral("/bilder/logo.jpg");
        s.waitStart = 2500;
        before = s;
        before.title = QStringLiteral("Stadtmeisterschaft");
        before.left = 40;
        before.top = 50;
        before.width = 720;
        before.height = 600;
    }
    SessionWindow window(install.environment());
    QCOMPARE(window.session().settings(), before);
    QCOMPARE(window.header()->titleEdit->text(), QStringLiteral("Stadtmeisterschaft"));
    QCOMPARE(window.pos(), QPoint(40, 50));
    QCOMPARE(window.size(), QSize(720, 600));
    QCOMPARE(window.session().competition().timeFormat().setting(), int(TimeFormat::Seconds));
}

void TestMainWindowPersistence::storedValuesOutOfRangeRepaired_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("used");
    QTest::newRow("TV screen that exists") << "Monitor" << 1 << 1;
    // A projector switched on later: the TV screen is kept while it is missing.
    QTest::newRow("TV screen beyond the last") << "Monitor" << 5 << 5;
    QTest::newRow("window left of every screen") << "Left" << -3000 << -1;
    QTest::newRow("window below every screen") << "Top" << 5000 << -1;
    QTest::newRow("window on the second screen") << "Left" << 1000 << 1000;
}

void TestMainWindowPersistence::storedValuesOutOfRangeRepaired() {
    QFETCH(QString, key);
    QFETCH(int, stored);
    QFETCH(int, used);
    InstallationFixture install;
    {
        // Read up to "Monitor"; the rest keep their defaults.
        QSettings values(install.filePath(kConf), QSettings::IniFormat);
        const QList<std::pair<const char*, int>> stock{
            {"Left", 10}, {"Top", 20}, {"Width", 800},      {"Height", 600}, {"Sound", 1},
            {"Port", 0},  {"Alg", 0},  {"WaitStart", 5000}, {"Timer", 0},    {"Monitor", 0}};
        for (const auto& [name, value] : stock)
            values.setValue(QLatin1String(name), QLatin1String(name) == key ? stored : value);
    }
    {
        SessionWindow window(install.environment());
        const QHash<QString, int> values{{"Monitor", window.session().settings().monitor},
                                         {"Left", window.x()},
                                         {"Top", window.y()}};
        if (used >= 0) {
            QCOMPARE(values.value(key), used);
        } else {
            // Off every screen: the default placement, with the stored size.
            const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
            QCOMPARE(window.pos(), WindowPlacement::defaultPlacement(workArea, 800).topLeft());
            QCOMPARE(window.size(), QSize(800, 600));
        }
    }
    // What is saved is what was used.
    QSettings saved(install.filePath(kConf), QSettings::IniFormat);
    if (used >= 0)
        QCOMPARE(saved.value(key).toInt(), used);
    else
        QVERIFY(saved.value(key).toInt() != stored);
}

void TestMainWindowPersistence::storedSettingsApplied_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("timeSetting");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("filterIndex");
    const QString designed = QStringLiteral("Deutsche Meisterschaften im Velmora 2009");
    QTest::newRow("as stored") << "" << QVariant() << "Gespeichert" << 1 << 760 << 2;
    QTest::newRow("empty title keeps the designed one")
        << "Title" << QVariant(QString()) << designed << 1 << 760 << 2;
    QTest::newRow("time format hundredths")
        << "VidResult" << QVariant(0) << "Gespeichert" << 0 << 760 << 2;
    QTest::newRow("too narrow: minimum width")
        << "Width" << QVariant(300) << "Gespeichert" << 1 << 711 << 2;
    QTest::newRow("save type web page")
        << "FilterInd" << QVariant(4) << "Gespeichert" << 1 << 760 << 4;
    // Reading stops at a value that is not a number: it and all later ones keep their defaults.
    QTest::newRow("broken Timer: later values default")
        << "Timer" << QVariant("viel") << designed << 0 << 760 << 1;
}

void TestMainWindowPersistence::storedSettingsApplied() {
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QString, title);
    QFETCH(int, timeSetting);
    QFETCH(int, width);
    QFETCH(int, filterIndex);
    InstallationFixture install;
    {
        QSettings stored(install.filePath(kConf), QSettings::IniFormat);
        const QList<std::pair<const char*, QVariant>> values{
            {"Left", 10},     {"Top", 20},      {"Width", 760},     {"Height", 600},
            {"Sound", 1},     {"Port", 0},      {"Alg", 0},         {"WaitStart", 5000},
            {"Timer", 0},     {"Monitor", 0},   {"LockTime", 5000}, {"Title", "Gespeichert"},
            {"AutoReset", 1}, {"FilterInd", 2}, {"VidResult", 1},   {"Len", 50},
            {"Logo", ""}};
        for (const auto& [name, stock] : values)
            stored.setValue(QLatin1String(name), QLatin1String(name) == key ? value : stock);
    }
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.header()->titleEdit->text(), title);
    QCOMPARE(window.session().competition().timeFormat().setting(), timeSetting);
    QCOMPARE(window.pos(), QPoint(10, 20));
    QCOMPARE(window.width(), width);
    QCOMPARE(window.height(), 600);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(install.dialogs().saveRequests.size(), 1);
    QCOMPARE(install.dialogs().saveRequests[0].filterIndex, filterIndex);
}

void TestMainWindowPersistence::damagedSettingToldAndKept() {
    InstallationFixture install;
    install.writeSettingsBrokenAtLen();
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Reading stopped at "Len"; the operator is told once, in the notice panel.
    const ElidingLabel* notice = window.mainStatusBar()->noticePanel();
    QVERIFY(notice->isVisible());
    QVERIFY2(notice->text().startsWith(QStringLiteral("Einstellungen beschädigt: „Len=5O“")),
             qPrintable(notice->text()));
    QCOMPARE(notice->text().count(QStringLiteral("Len=5O")), 1);
}

int main(int argc, char* argv[]) {
    // A second screen, so that a TV screen index of 1 is one that exists.
    OffscreenScreens::use({kFirstScreen, kSecondScreen});
    QApplication app(argc, argv);
    TestMainWindowPersistence test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow_persistence.moc"
