#include "mock/RecordingSettingsTarget.h"
#include "settings/Settings.h"
#include "settings/SettingsApplier.h"
#include "settings/TvPlacement.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>

namespace {

// The steps every confirmation takes up to the port, for the choices made in the tests.
QStringList stepsBeforeThePort(const QString& barriers) {
    return {QStringLiteral("format 1"),
            barriers,
            QStringLiteral("timer 2500 len 40 monitor 1"),
            QStringLiteral("recolour"),
            QStringLiteral("tv place"),
            QStringLiteral("tv logo"),
            QStringLiteral("times"),
            QStringLiteral("close")};
}

SettingsChoices someChoices() {
    SettingsChoices c;
    c.vidResult = 1;
    c.lockTimeSeconds = 0.25;
    c.timerSeconds = 2.5;
    c.screenIndex = 1;
    c.lengthMetres = 39.6;
    return c;
}

} // namespace

// The order of the steps after "OK" in the settings dialog and the values they write.
class TestSettingsApplier : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stepsInOrder_data();
    void stepsInOrder();
    void valuesRounded_data();
    void valuesRounded();
    void reopensOnlyAfterThePause();
};

void TestSettingsApplier::stepsInOrder_data() {
    QTest::addColumn<bool>("portChosen");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("Keine: closed, number 0, Alg kept")
        << false << 0 << false << QStringList{QStringLiteral("timer button, port 0")};
    QTest::newRow("port chosen: reopened after the pause")
        << true << 3 << false
        << QStringList{QStringLiteral("barriers lock 250 alg 1"), QStringLiteral("open 3"),
                       QStringLiteral("timer button, port 3")};
    QTest::newRow("port that fails: told, number kept")
        << true << 3 << true
        << QStringList{QStringLiteral("barriers lock 250 alg 1"), QStringLiteral("open 3"),
                       QStringLiteral("failed 3 errno 16"), QStringLiteral("timer button, port 3")};
    QTest::newRow("entry without a number: nothing opened")
        << true << 0 << false
        << QStringList{QStringLiteral("barriers lock 250 alg 1"),
                       QStringLiteral("timer button, port 0")};
}

void TestSettingsApplier::stepsInOrder() {
    QFETCH(bool, portChosen);
    QFETCH(int, portNumber);
    QFETCH(bool, fails);
    QFETCH(QStringList, after);

    Settings settings;
    settings.port = 5;
    RecordingSettingsTarget target(settings);
    if (fails)
        target.failingPorts.insert(3, EBUSY);
    TvPlacement tv;
    connect(&tv, &TvPlacement::placeTvWindows, this,
            [&] { target.steps.append(QStringLiteral("tv place")); });
    connect(&tv, &TvPlacement::reloadLogo, this,
            [&] { target.steps.append(QStringLiteral("tv logo")); });
    SettingsApplier applier(settings, target);
    applier.setTvPlacement(&tv);
    QSignalSpy applied(&applier, &SettingsApplier::applied);

    SettingsChoices choices = someChoices();
    choices.portChosen = portChosen;
    choices.portNumber = portNumber;
    choices.alg = 1;
    applier.apply(choices);
    QTRY_COMPARE(applied.count(), 1);
    QCOMPARE(target.steps, stepsBeforeThePort(QStringLiteral("barriers lock 250 alg 0")) + after);
    QCOMPARE(settings.port, portChosen ? portNumber : 0);
    QCOMPARE(settings.alg, portChosen ? 1 : 0);
}

void TestSettingsApplier::valuesRounded_data() {
    QTest::addColumn<double>("lock");
    QTest::addColumn<double>("timer");
    QTest::addColumn<double>("len");
    QTest::addColumn<int>("vid");
    QTest::addColumn<int>("lockMs");
    QTest::addColumn<int>("timerMs");
    QTest::addColumn<int>("lenM");
    QTest::addColumn<int>("vidResult");

    QTest::newRow("top of the ranges")
        << 600.0 << 100.0 << 9999.0 << 1 << 600000 << 100000 << 9999 << 1;
    QTest::newRow("rounded to the nearest")
        << 4.9996 << 10.0004 << 49.5 << 1 << 5000 << 10000 << 50 << 1;
}

void TestSettingsApplier::valuesRounded() {
    QFETCH(double, lock);
    QFETCH(double, timer);
    QFETCH(double, len);
    QFETCH(int, vid);
    Settings settings;
    RecordingSettingsTarget target(settings);
    SettingsApplier applier(settings, target);
    SettingsChoices choices;
    choices.lockTimeSeconds = lock;
    choices.timerSeconds = timer;
    choices.lengthMetres = len;
    choices.vidResult = vid;
    // System B's lock and the stuck-line limit are rounded as the stop lock is.
    choices.backupLine = true;
    choices.backupLockSeconds = lock;
    choices.stuckLimitSeconds = timer;
    applier.apply(choices);
    QVERIFY(settings.backupLine);
    QTEST(settings.backupLockTime, "lockMs");
    QTEST(settings.stuckLimit, "timerMs");
    QTEST(settings.lockTime, "lockMs");
    QTEST(settings.timer, "timerMs");
    QTEST(settings.len, "lenM");
    QTEST(settings.vidResult, "vidResult");
}

void TestSettingsApplier::reopensOnlyAfterThePause() {
    Settings settings;
    RecordingSettingsTarget target(settings);
    SettingsApplier applier(settings, target);
    SettingsChoices choices = someChoices();
    choices.portChosen = true;
    choices.portNumber = 2;
    QElapsedTimer elapsed;
    elapsed.start();
    applier.apply(choices);
    // The window goes on at once; the port waits.
    QVERIFY(applier.isPending());
    QCOMPARE(target.steps.last(), QStringLiteral("barriers lock 250 alg 0"));
    QTRY_VERIFY(!applier.isPending());
    QVERIFY2(elapsed.elapsed() >= SettingsApplier::reopenDelayMs,
             qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(target.steps.mid(target.steps.size() - 2),
             (QStringList{QStringLiteral("open 2"), QStringLiteral("timer button, port 2")}));
}

QTEST_MAIN(TestSettingsApplier)
#include "tst_settingsapplier.moc"
