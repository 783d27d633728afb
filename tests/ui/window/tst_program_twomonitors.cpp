#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// The program as it is started, driven through the X server of scripts/with-two-monitors:
// closing the main window ends the process whatever audience window is up, and a second start
// with the same backup calls the first instead of opening.
class TstProgramTwoMonitors : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void closeWithTvWindowUpEndsTheProcess();
    void secondStartCallsTheFirst();

private:
    QProcess* startProgram();
    static QString xdotool(const QStringList& arguments);
    // The first visible window of the program with that title, or nothing after a while.
    static QString windowOf(const QProcess* program, const QString& title);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QProcess>> m_programs;
};

namespace {

constexpr int WaitMs = 15000;

} // namespace

void TstProgramTwoMonitors::init() {
    // The program copied into a folder of its own, with its settings and backup there too.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(VELMORA_BINARY_DIR "/Velmora"), m_dir->filePath("Velmora")));
    // The audience windows on the second monitor; the values before "Monitor" are read first.
    QSettings settings(m_dir->filePath("config/Quarnek/Velmora.conf"), QSettings::IniFormat);
    for (const char* name : {"Left", "Top", "Sound", "Port", "Alg", "Timer"})
        settings.setValue(QLatin1String(name), 0);
    settings.setValue("Width", 720);
    settings.setValue("Height", 700);
    settings.setValue("WaitStart", 5000);
    settings.setValue("Monitor", 1);
}

void TstProgramTwoMonitors::cleanup() {
    for (const auto& program : m_programs) {
        program->kill();
        program->waitForFinished();
    }
    m_programs.clear();
    m_dir.reset();
}

QProcess* TstProgramTwoMonitors::startProgram() {
    auto& program = m_programs.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_dir->filePath("config"));
    environment.insert("XDG_DATA_HOME", m_dir->filePath("data"));
    environment.insert("VELMORA_DATA_DIR", m_dir->path());
    program->setProcessEnvironment(environment);
    program->start(m_dir->filePath("Velmora"), {});
    return program.get();
}

QString TstProgramTwoMonitors::xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start("xdotool", arguments);
    tool.waitForFinished(WaitMs);
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString TstProgramTwoMonitors::windowOf(const QProcess* program, const QString& title) {
    const QStringList search{
        "search", "--all", "--onlyvisible", "--pid", QString::number(program->processId()),
        "--name", title};
    QString found;
    if (!QTest::qWaitFor([&] { return !(found = xdotool(search)).isEmpty(); }, WaitMs))
        return {};
    return found.section(u'\n', 0, 0);
}

void TstProgramTwoMonitors::closeWithTvWindowUpEndsTheProcess() {
    QProcess* program = startProgram();
    const QString main = windowOf(program, "^Velmora 1.7$");
    QVERIFY(!main.isEmpty());
    xdotool({"windowactivate", "--sync", main, "key", "ctrl+1"});
    const QString tv = windowOf(program, "^Zeit$");
    QVERIFY(!tv.isEmpty());
    const auto geometry = [&tv] {
        return xdotool({"getwindowgeometry", "--shell", tv});
    };
    QTRY_VERIFY_WITH_TIMEOUT(geometry().contains("X=1280\nY=0\nWIDTH=1280\nHEIGHT=1024"), WaitMs);

    xdotool({"windowactivate", "--sync", main, "key", "alt+F4"});
    QVERIFY2(program->waitForFinished(WaitMs), "the program still runs");
    QCOMPARE(program->exitCode(), 0);
    // With its shutdown: settings written, backup written and its lock given back.
    QVERIFY(QSettings(m_dir->filePath("config/Quarnek/Velmora.conf"), QSettings::IniFormat)
                .contains("LockTime"));
    QVERIFY(QFile::exists(m_dir->filePath("Velmora-Sicherungsdatei.txt")));
    QVERIFY(!QFile::exists(m_dir->filePath("Velmora-Sicherungsdatei.txt.lock")));
}

void TstProgramTwoMonitors::secondStartCallsTheFirst() {
    QProcess* first = startProgram();
    const QString main = windowOf(first, "^Velmora 1.7$");
    QVERIFY(!main.isEmpty());
    xdotool({"windowminimize", "--sync", main});

    QProcess* second = startProgram();
    const QString message = windowOf(second, "^Velmora$");
    QVERIFY2(!message.isEmpty(), "no message from the second start");
    xdotool({"windowactivate", "--sync", message, "key", "Return"});
    QVERIFY2(second->waitForFinished(WaitMs), "the second start still runs");
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    // The first one is back in front, with the keyboard.
    QTRY_COMPARE_WITH_TIMEOUT(xdotool({"getactivewindow"}), main, WaitMs);
}

QTEST_GUILESS_MAIN(TstProgramTwoMonitors)
#include "tst_program_twomonitors.moc"
