#include "mock/FakeInhibitServices.h"
#include "platform/DBusInhibitorBus.h"

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

// The inhibitor calls as they go over D-Bus, against fake services on a private bus daemon:
// what is asked, that the sleep lock's descriptor is held until released, and that a missing
// bus or service answers empty without waiting for the timeout.
class TestDBusInhibitorBus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void withoutServicesAnswersEmpty_data();
    void withoutServicesAnswersEmpty();
    void locksHeldUntilReleased();

private:
    QDBusConnection connect(const QString& name) const {
        return QDBusConnection::connectToBus(m_address, name);
    }
    QProcess m_daemon;
    QString m_address;
};

namespace {

struct Answers {
    int count = 0;
    std::optional<InhibitorBus::Handle> sleep = 0;
    std::optional<InhibitorBus::Handle> screen = 0;
};

void askBoth(DBusInhibitorBus& bus, Answers& answers) {
    const QString who = QStringLiteral("Velmora");
    bus.inhibitSleep(who, QStringLiteral("Lauf"), [&answers](auto handle) {
        answers.sleep = handle;
        ++answers.count;
    });
    bus.inhibitScreenSaver(who, QStringLiteral("Lauf"), [&answers](auto handle) {
        answers.screen = handle;
        ++answers.count;
    });
}

} // namespace

void TestDBusInhibitorBus::initTestCase() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed");
    m_daemon.start(daemon, {"--session", "--nofork", "--print-address"});
    QVERIFY(m_daemon.waitForStarted());
    QTRY_VERIFY(m_daemon.canReadLine());
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

void TestDBusInhibitorBus::cleanupTestCase() {
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

void TestDBusInhibitorBus::withoutServicesAnswersEmpty_data() {
    QTest::addColumn<bool>("busThere");
    QTest::newRow("no bus") << false;
    QTest::newRow("bus without the services") << true;
}

void TestDBusInhibitorBus::withoutServicesAnswersEmpty() {
    QFETCH(bool, busThere);
    const QDBusConnection client =
        busThere ? connect(QStringLiteral("client")) : QDBusConnection(QStringLiteral("none"));
    DBusInhibitorBus bus(client, client);
    Answers answers;
    askBoth(bus, answers);
    // The bus's own timeout is not what ends the wait.
    QTRY_COMPARE_WITH_TIMEOUT(answers.count, 2, DBusInhibitorBus::TimeoutMs - 500);
    QVERIFY(!answers.sleep);
    QVERIFY(!answers.screen);
}

void TestDBusInhibitorBus::locksHeldUntilReleased() {
    FakeInhibitServices services;
    QVERIFY(services.serveOn(connect(QStringLiteral("services"))));
    const QDBusConnection client = connect(QStringLiteral("client"));
    DBusInhibitorBus bus(client, client);
    Answers answers;
    askBoth(bus, answers);
    QTRY_COMPARE(answers.count, 2);
    const auto sleep = answers.sleep;
    const auto screen = answers.screen;
    QVERIFY(sleep);
    QCOMPARE(screen, std::optional<InhibitorBus::Handle>(41));
    QCOMPARE(services.calls, (QStringList{"Inhibit sleep:idle Velmora Lauf block",
                                          "ScreenSaver.Inhibit Velmora Lauf"}));
    QCOMPARE(bus.heldSleepLocks(), 1);
    QVERIFY(!services.sleepLockClosed(0));
    bus.releaseSleep(*sleep);
    bus.releaseScreenSaver(*screen);
    QVERIFY(services.sleepLockClosed(0));
    QTRY_COMPARE(services.calls.last(), QStringLiteral("ScreenSaver.UnInhibit 41"));
    QDBusConnection::disconnectFromBus(QStringLiteral("services"));
}

QTEST_GUILESS_MAIN(TestDBusInhibitorBus)
#include "tst_dbusinhibitorbus.moc"
