#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The program as it is started, on an X server with two monitors (scripts/with-two-monitors)
// and driven through the X server: closing the main window ends the process whatever audience
// window is up, and a second start with the same backup calls the first instead of opening.
class TstProgramTwoMonitors : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void closeWithTvWindowUpEndsTheProcess();
    void secondStartCallsTheFirst();

private:
    // The program copied into a folder of its own, with its settings and data there too.
    QProcess* startProgram();
    static QString xdotool(const QStringList& arguments);
    // The program's main window, once it is mapped.
    static QString mainWindowOf(const QProcess& program);

    std::unique_ptr<QTemporaryDir> m_dir;
    QList<QProcess*> m_programs;
};

namespace {

constexpr int WaitMs = 15000;

QString configFile(const QTemporaryDir& dir) {
    return dir.filePath(QStringLiteral("config/Quarnek/Velmora.conf"));
}

} // namespace

void TstProgramTwoMonitors::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_BINARY_DIR "/Velmora"),
                        m_dir->filePath(QStringLiteral("Velmora"))));
    // The audience windows on the second monitor; the values before it are read first.
    QSettings settings(configFile(*m_dir), QSettings::IniFormat);
    const QList<std::pair<const char*, int>> stored{
        {"Left", 100}, {"Top", 40}, {"Width", 720},      {"Height", 700}, {"Sound", 0},
        {"Port", 0},   {"Alg", 0},  {"WaitStart", 5000}, {"Timer", 0},    {"Monitor", 1}};
    for (const auto& [name, value] : stored)
        settings.setValue(QLatin1String(name), value);
}

void TstProgramTwoMonitors::cleanup() {
    for (QProcess* program : m_programs) {
        if (program->state() != QProcess::NotRunning) {
            program->kill();
            program->waitForFinished();
        }
        delete program;
    }
    m_programs.clear();
    m_dir.reset();
}

QProcess* TstProgramTwoMonitors::startProgram() {
    auto* program = new QProcess;
    m_programs.append(program);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       m_dir->filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("VELMORA_DATA_DIR"), m_dir->path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program->setProcessEnvironment(environment);
    program->setWorkingDirectory(m_dir->path());
    program->start(m_dir->filePath(QStringLiteral("Velmora")), {});
    return program;
}

QString TstProgramTwoMonitors::xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(WaitMs))
        return {};
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString TstProgramTwoMonitors::mainWindowOf(const QProcess& program) {
    const QString pid = QString::number(program.processId());
    QString found;
    const bool shown = QTest::qWaitFor(
        [&] {
            found = xdotool(
                {"search", "--all", "--onlyvisible", "--pid", pid, "--name", "^Velmora 1.7$"});
            return !found.isEmpty();
        },
        WaitMs);
    return shown ? found.section(u'\n', 0, 0) : QString();
}

void TstProgramTwoMonitors::closeWithTvWindowUpEndsTheProcess() {
    QProcess* program = startProgram();
    const QString main = mainWindowOf(*program);
    QVERIFY2(!main.isEmpty(), "the main window did not appear");
    xdotool({"windowactivate", "--sync", main});
    xdotool({"key", "ctrl+1"});
    // "Zeit" on the second monitor.
    const QString pid = QString::number(program->processId());
    QString tv;
    QVERIFY(QTest::qWaitFor(
        [&] {
            tv = xdotool({"search", "--all", "--onlyvisible", "--pid", pid, "--name", "^Zeit$"});
            return !tv.isEmpty();
        },
        WaitMs));
    QString geometry;
    const bool onSecond = QTest::qWaitFor(
        [&] {
            geometry = xdotool({"getwindowgeometry", "--shell", tv});
            return geometry.contains(QStringLiteral("X=1280\nY=0\nWIDTH=1280\nHEIGHT=1024"));
        },
        WaitMs);
    QVERIFY2(onSecond, qPrintable(geometry));

    xdotool({"windowactivate", "--sync", main});
    xdotool({"key", "alt+F4"});
    QVERIFY2(program->waitForFinished(WaitMs), "the program still runs");
    QCOMPARE(program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(program->exitCode(), 0);
    // With its shutdown: the settings written, the backup's lock given back.
    QSettings settings(configFile(*m_dir), QSettings::IniFormat);
    QVERIFY(settings.contains(QStringLiteral("LockTime")));
    QCOMPARE(settings.value(QStringLiteral("Monitor")).toInt(), 1);
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("Velmora-Sicherungsdatei.txt"))));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("Velmora-Sicherungsdatei.txt.lock"))));
}

void TstProgramTwoMonitors::secondStartCallsTheFirst() {
    QProcess* first = startProgram();
    const QString main = mainWindowOf(*first);
    QVERIFY2(!main.isEmpty(), "the main window did not appear");
    // The operator works elsewhere, then starts the program again.
    xdotool({"windowminimize", "--sync", main});

    QProcess* second = startProgram();
    const QString pid = QString::number(second->processId());
    QString message;
    QVERIFY(QTest::qWaitFor(
        [&] {
            message =
                xdotool({"search", "--all", "--onlyvisible", "--pid", pid, "--name", "^Velmora$"});
            return !message.isEmpty();
        },
        WaitMs));
    xdotool({"windowactivate", "--sync", message.section(u'\n', 0, 0)});
    xdotool({"key", "Return"});
    QVERIFY2(second->waitForFinished(WaitMs), "the second start still runs");
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(first->state() == QProcess::Running);
    // The first one is back in front, with the keyboard.
    QVERIFY(QTest::qWaitFor([&] { return xdotool({"getactivewindow"}) == main; }, WaitMs));
}

QTEST_GUILESS_MAIN(TstProgramTwoMonitors)
#include "tst_program_twomonitors.moc"
