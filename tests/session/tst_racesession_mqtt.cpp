#include "mock/MosquittoBroker.h"
#include "mock/MqttSubscriber.h"
#include "mock/SessionFixture.h"
#include "publish/MqttPublisher.h"

#include <QSignalSpy>
#include <QTest>

// The MQTT settings applied while the program runs: the publisher comes, goes with its
// "offline", and starts anew when where it sends to changed.
class TestRaceSessionMqtt : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void switchedOnChangedAndOff();
};

void TestRaceSessionMqtt::switchedOnChangedAndOff() {
    if (!QFile::exists(MosquittoBroker::program()))
        QSKIP("mosquitto is not installed (apt-get install mosquitto)");
    MosquittoBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    MqttSubscriber subscriber(broker.port(), QStringLiteral("#"));
    SessionFixture f;
    RaceSession& session = f.session();
    QSignalSpy status(&session, &RaceSession::mqttStatusChanged);
    QVERIFY(!session.mqtt());

    Settings& settings = session.settings();
    settings.mqttEnabled = true;
    settings.mqttHost = QStringLiteral("127.0.0.1");
    settings.mqttPort = broker.port();
    settings.mqttPrefix = QStringLiteral("halle");
    session.applyMqtt();
    QVERIFY(session.mqtt());
    QVERIFY(subscriber.waitFor(QStringLiteral("halle/status"), "online"));
    QTRY_COMPARE(status.last().at(0).toString(),
                 QStringLiteral("MQTT: verbunden mit 127.0.0.1:%1").arg(broker.port()));

    // Nothing changed: the connection stays.
    const MqttPublisher* first = session.mqtt();
    session.applyMqtt();
    QCOMPARE(session.mqtt(), first);

    settings.mqttPrefix = QStringLiteral("freibad");
    session.applyMqtt();
    QVERIFY(subscriber.waitFor(QStringLiteral("halle/status"), "offline"));
    QVERIFY(subscriber.waitFor(QStringLiteral("freibad/status"), "online"));

    settings.mqttEnabled = false;
    session.applyMqtt();
    QVERIFY(!session.mqtt());
    QVERIFY(subscriber.waitFor(QStringLiteral("freibad/status"), "offline"));
    QCOMPARE(status.last().at(0).toString(), QString());
}

QTEST_MAIN(TestRaceSessionMqtt)
#include "tst_racesession_mqtt.moc"
