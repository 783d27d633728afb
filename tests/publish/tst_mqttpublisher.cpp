#include "mock/FakeTickSource.h"
#include "mock/MosquittoBroker.h"
#include "mock/MqttSubscriber.h"
#include "mock/SessionFixture.h"
#include "publish/MqttPublisher.h"
#include "settings/SettingsStore.h"
#include "timing/RunClock.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

// The race on a real mosquitto: what a subscriber finds however late it comes, the last will,
// a race entered through the session, a broker that restarts, and a login it refuses.
class TestMqttPublisher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void lateSubscriberFindsTheRace_data();
    void lateSubscriberFindsTheRace();
    void lastWillWhenTheLinkIsCut();
    void resultEnteredInTheSessionArrives();
    void newestStateAfterTheBrokerRestarted();
    void statusTold_data();
    void statusTold();
};

namespace {

LiveSnapshot race() {
    LiveSnapshot snapshot;
    snapshot.title = QStringLiteral("Stadtmeisterschaft");
    snapshot.stages[0] = {QStringLiteral("Vorlauf"), {"Nr", "Name"}, {{"11", "Müller"}}, {}};
    snapshot.lastResult = LiveSnapshot::Result{"11 Müller Anna", "SV Nord", "1024", 1};
    return snapshot;
}

MqttConnection on(const MosquittoBroker& broker, const QString& prefix = "halle") {
    MqttConnection connection;
    connection.host = QStringLiteral("127.0.0.1");
    connection.port = broker.port();
    connection.prefix = prefix;
    return connection;
}

bool waitConnected(const MqttPublisher& publisher) {
    return QTest::qWaitFor([&] { return publisher.isConnected(); }, 15000);
}

// Shuts every socket of this process to the broker but the subscriber's: the broker sees the
// publisher go without a goodbye.
int cutOthers(quint16 port, int keep) {
    int cut = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files)) {
        const int fd = entry.toInt();
        sockaddr_in peer{};
        socklen_t size = sizeof peer;
        if (fd == keep || getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
            peer.sin_family != AF_INET || ntohs(peer.sin_port) != port)
            continue;
        cut += shutdown(fd, SHUT_RDWR) == 0 ? 1 : 0;
    }
    return cut;
}

} // namespace

void TestMqttPublisher::init() {
    if (!QFile::exists(MosquittoBroker::program()))
        QSKIP("mosquitto is not installed (apt-get install mosquitto); no broker to publish to");
}

void TestMqttPublisher::lateSubscriberFindsTheRace_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("status") << "halle/status" << QByteArray("online");
    QTest::newRow("heats") << "halle/tabelle/stage0"
                           << QByteArray(R"({"caption":"Vorlauf","header":["Nr","Name"],)"
                                         R"("marks":{},"rows":[["11","Müller"]]})");
    QTest::newRow("result") << "halle/ergebnis"
                            << QByteArray(R"({"club":"SV Nord","competitor":"11 Müller Anna",)"
                                          R"("run":1,"status":null,"time":"1024"})");
    QTest::newRow("state") << "halle/state"
                           << QByteArray(R"({"serverTimeMs":5000,"state":{"clock":{)");
}

void TestMqttPublisher::lateSubscriberFindsTheRace() {
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);
    MosquittoBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    MqttPublisher publisher(on(broker), race, [] { return 5000.0; });
    publisher.start();
    QVERIFY2(waitConnected(publisher), qPrintable(publisher.statusText()));
    QCOMPARE(publisher.statusText(),
             QStringLiteral("MQTT: verbunden mit 127.0.0.1:%1").arg(broker.port()));
    QTest::qWait(300);
    MqttSubscriber late(broker.port(), QStringLiteral("halle/#"));
    QVERIFY(late.waitFor(topic, payload.left(30)));
    QVERIFY(late.messages(topic).last().payload.startsWith(payload));
    QVERIFY(late.messages(topic).last().retained);
}

void TestMqttPublisher::lastWillWhenTheLinkIsCut() {
    MosquittoBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    MqttPublisher publisher(on(broker), race, [] { return 0.0; });
    publisher.start();
    QVERIFY(waitConnected(publisher));
    MqttSubscriber subscriber(broker.port(), QStringLiteral("halle/status"));
    QVERIFY(subscriber.waitFor(QStringLiteral("halle/status"), "online"));
    QVERIFY(QTest::qWaitFor([&] { return subscriber.socket() >= 0; }));
    QCOMPARE(cutOthers(broker.port(), subscriber.socket()), 1);
    // The broker tells the will; the publisher comes back on its own.
    QVERIFY(subscriber.waitFor(QStringLiteral("halle/status"), "offline"));
    QVERIFY(subscriber.waitFor(QStringLiteral("halle/status"), "online"));
    QVERIFY(waitConnected(publisher));
}

void TestMqttPublisher::resultEnteredInTheSessionArrives() {
    MosquittoBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    InstallationFixture install;
    Settings values;
    values.mqttEnabled = true;
    values.mqttHost = QStringLiteral("127.0.0.1");
    values.mqttPort = broker.port();
    values.mqttPrefix = QStringLiteral("rennen");
    QVERIFY(SettingsStore(install.environment().openSettings()).save(values));
    auto ticks = std::make_shared<FakeTickSource>(7'000'000);
    ProgramEnvironment environment = install.environment();
    environment.setTickSource(ticks);
    MqttSubscriber subscriber(broker.port(), QStringLiteral("rennen/#"));
    RaceSession session(environment);
    session.start();
    QVERIFY(session.mqtt());
    QVERIFY(waitConnected(*session.mqtt()));
    SessionFixture::addCompetitors(session.competition().heatStartList(), 2);
    session.clock().start();
    QVERIFY(subscriber.waitFor(QStringLiteral("rennen/uhr"), R"("event":"start")"));
    ticks->advanceMilliseconds(12340);
    session.clock().stop();
    QVERIFY(subscriber.waitFor(QStringLiteral("rennen/uhr"), R"("event":"stop")"));
    QVERIFY(!subscriber.messages(QStringLiteral("rennen/uhr")).last().retained);
    session.clock().enter();
    QVERIFY(subscriber.waitFor(
        QStringLiteral("rennen/ergebnis"),
        R"("competitor":"11 Name1 Vorname1","run":1,"status":null,"time":"1234")"));
    session.shutdown();
    QVERIFY(subscriber.waitFor(QStringLiteral("rennen/status"), "offline"));
}

void TestMqttPublisher::newestStateAfterTheBrokerRestarted() {
    MosquittoBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    LiveSnapshot snapshot = race();
    MqttPublisher publisher(
        on(broker), [&] { return snapshot; }, [] { return 0.0; });
    publisher.start();
    QVERIFY(waitConnected(publisher));
    // Everything acknowledged: nothing is left in flight for the client to send again.
    MqttSubscriber before(broker.port(), QStringLiteral("halle/#"));
    QVERIFY(before.waitFor(QStringLiteral("halle/tabelle/stage0"), "Müller"));
    broker.stop();
    QVERIFY(QTest::qWaitFor([&] { return !publisher.isConnected(); }, 15000));
    snapshot.title = QStringLiteral("Nach dem Neustart");
    publisher.sourceChanged();
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    // The broker kept nothing; what it holds now came after the reconnect.
    QVERIFY2(QTest::qWaitFor([&] { return publisher.isConnected(); }, 40000),
             qPrintable(publisher.statusText()));
    MqttSubscriber late(broker.port(), QStringLiteral("halle/#"));
    QVERIFY(late.waitFor(QStringLiteral("halle/state"), "Nach dem Neustart"));
    // Unchanged since before the restart, and yet there again.
    QVERIFY(late.waitFor(QStringLiteral("halle/tabelle/stage0"), "Müller"));
    QVERIFY(late.waitFor(QStringLiteral("halle/status"), "online"));
}

void TestMqttPublisher::statusTold_data() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("status");
    QTest::newRow("right") << true << "richtig"
                           << "MQTT: verbunden mit 127.0.0.1:%1";
    QTest::newRow("wrong") << true << "falsch"
                           << "MQTT: Anmeldung abgelehnt (Benutzer oder Passwort falsch) bei "
                              "127.0.0.1:%1";
    QTest::newRow("no broker") << false << "richtig"
                               << "MQTT: Verbindung abgelehnt: 127.0.0.1:%1 (läuft dort ein "
                                  "Broker?)";
}

void TestMqttPublisher::statusTold() {
    QFETCH(bool, running);
    QFETCH(QString, password);
    QFETCH(QString, status);
    if (!QFile::exists(MosquittoBroker::passwordTool()))
        QSKIP("mosquitto_passwd is not installed; no broker with a login");
    MosquittoBroker broker(QStringLiteral("zeitnahme"), QStringLiteral("richtig"));
    QVERIFY2(!running || broker.start(), qPrintable(broker.error()));
    MqttConnection connection = on(broker);
    connection.user = QStringLiteral("zeitnahme");
    connection.password = password;
    MqttPublisher publisher(connection, race, [] { return 0.0; });
    publisher.start();
    status = status.arg(broker.port());
    QVERIFY2(QTest::qWaitFor([&] { return publisher.statusText() == status; }, 15000),
             qPrintable(publisher.statusText()));
}

QTEST_MAIN(TestMqttPublisher)
#include "tst_mqttpublisher.moc"
