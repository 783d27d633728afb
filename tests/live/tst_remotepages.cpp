#include "live/LiveStateDocument.h"
#include "live/LiveStaticSite.h"
#include "mock/FreePort.h"
#include "mock/HeadlessChromium.h"
#include "mock/MosquittoBroker.h"
#include "mock/NginxServer.h"
#include "publish/MqttPublisher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTest>

// The live pages away from the program, in a real browser: copies on a web host that read
// state.json beside them, and copies that read the race from a broker over WebSockets.
class TestRemotePages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void staticPageFollowsTheFile();
    void staticClock_data();
    void staticClock();
    void brokerPageFollowsThePublisher();

private:
    std::unique_ptr<HeadlessChromium> m_browser;
};

namespace {

LiveSnapshot race(const QString& competitor) {
    LiveSnapshot snapshot;
    snapshot.title = QStringLiteral("Stadtmeisterschaft Rodeln");
    snapshot.competitor = competitor;
    snapshot.club = QStringLiteral("SC Süd");
    snapshot.stages[1] = {QStringLiteral("Vorlauf-Ergebnisse"),
                          {"Pl.", "Name", "Zeit1"},
                          {{"1", "Weber Lena", "10,24"}, {"2", "Kaya Mia", "11,02"}},
                          {}};
    return snapshot;
}

bool write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// The site as the uploader puts it on a web host; state.json is written by the test.
bool writeSite(const QString& dir, const LiveSnapshot& snapshot,
               const LiveStaticSite::Reader& reader = {}) {
    for (const LiveStaticSite::File& file : LiveStaticSite::build(snapshot, reader, {})) {
        if (file.name != QLatin1String("state.json") && !write(dir + '/' + file.name, file.bytes))
            return false;
    }
    return true;
}

// state.json as written ageMs ago, when the program's clock stood at serverTimeMs.
QByteArray stateFile(const LiveSnapshot& snapshot, double serverTimeMs, qint64 ageMs = 0) {
    QJsonObject envelope =
        QJsonDocument::fromJson(
            LiveStateDocument::envelope(LiveStateDocument::stateBytes(snapshot), serverTimeMs))
            .object();
    envelope[QStringLiteral("wallTimeMs")] =
        envelope[QStringLiteral("wallTimeMs")].toDouble() - double(ageMs);
    return QJsonDocument(envelope).toJson(QJsonDocument::Compact);
}

double seconds(const QJsonValue& clock) {
    return clock.toString().replace(u',', u'.').toDouble();
}

QString screenshotPath(const QString& name) {
    QDir().mkpath(QStringLiteral(VELMORA_BINARY_DIR "/screenshots"));
    return QStringLiteral(VELMORA_BINARY_DIR "/screenshots/") + name;
}

const QString Competitor = QStringLiteral("document.getElementById('competitor').textContent");
const QString Connection = QStringLiteral("document.getElementById('connection').textContent");
const QString Clock = QStringLiteral("document.getElementById('clock').textContent");

} // namespace

void TestRemotePages::initTestCase() {
    if (!QFile::exists(HeadlessChromium::program()))
        QSKIP("chromium is not installed (apt-get install chromium); no browser for the pages");
    m_browser = std::make_unique<HeadlessChromium>();
    QVERIFY2(m_browser->start(), qPrintable(m_browser->error()));
}

void TestRemotePages::staticPageFollowsTheFile() {
    if (!QFile::exists(NginxServer::program()))
        QSKIP("nginx is not installed (apt-get install nginx-light); no web host to read from");
    QTemporaryDir site;
    LiveSnapshot snapshot = race(QStringLiteral("17 Weber Lena"));
    QVERIFY(writeSite(site.path(), snapshot));
    QVERIFY(write(site.filePath("state.json"), stateFile(snapshot, 100000)));
    NginxServer host(site.path());
    QVERIFY2(host.start(), qPrintable(host.error()));
    QVERIFY(m_browser->open(host.url(QStringLiteral("index.html"))));
    QVERIFY(m_browser->waitFor(Connection, QStringLiteral("Live")));
    QCOMPARE(m_browser->evaluate("document.getElementById('title').textContent").toString(),
             snapshot.title);
    QCOMPARE(m_browser->evaluate(Competitor).toString(), snapshot.competitor);
    QCOMPARE(m_browser->evaluate("document.querySelector('#stage1 td:nth-child(2)').textContent")
                 .toString(),
             QStringLiteral("Weber Lena"));
    m_browser->evaluate("document.querySelector('button[data-show=stage1]').click()");
    QVERIFY(m_browser->screenshot(screenshotPath(QStringLiteral("static.png"))));
    // Asked again with its ETag, the host answers "not changed".
    QVERIFY2(
        QTest::qWaitFor([&] { return host.accessLog().contains("304 GET /state.json"); }, 15000),
        host.accessLog().constData());

    snapshot.competitor = QStringLiteral("18 Kaya Mia");
    snapshot.lastResult = LiveSnapshot::Result{"17 Weber Lena", "SC Süd", "10,24", 1};
    snapshot.stages[1].rows.swapItemsAt(0, 1);
    QVERIFY(write(site.filePath("state.json"), stateFile(snapshot, 112000)));
    QVERIFY(m_browser->waitFor(Competitor, snapshot.competitor));
    QVERIFY(m_browser->waitFor("document.querySelector('#last .time').textContent", "10,24"));
    QVERIFY(m_browser->waitFor("document.querySelector('#stage1 td:nth-child(2)').textContent",
                               QStringLiteral("Kaya Mia")));

    host.stop();
    QVERIFY(QTest::qWaitFor(
        [&] {
            return m_browser->evaluate(Connection).toString().startsWith("Verbindung unterbrochen");
        },
        15000));
}

void TestRemotePages::staticClock_data() {
    QTest::addColumn<qint64>("ageMs");
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");
    QTest::addColumn<QString>("connection");
    // The run started 2 s before the file was written.
    QTest::newRow("fresh") << qint64(0) << 2.0 << 9.0 << "Live";
    QTest::newRow("written 10 s ago") << qint64(10000) << 12.0 << 19.0 << "Live";
    QTest::newRow("left behind") << qint64(60000) << 2.0 << 2.0 << "Stand von";
}

void TestRemotePages::staticClock() {
    QFETCH(qint64, ageMs);
    QFETCH(double, lowest);
    QFETCH(double, highest);
    QFETCH(QString, connection);
    if (!QFile::exists(NginxServer::program()))
        QSKIP("nginx is not installed (apt-get install nginx-light); no web host to read from");
    QTemporaryDir site;
    LiveSnapshot snapshot = race(QStringLiteral("17 Weber Lena"));
    snapshot.clock.state = LiveSnapshot::Clock::State::Running;
    snapshot.clock.startMs = 40000;
    QVERIFY(writeSite(site.path(), snapshot));
    QVERIFY(write(site.filePath("state.json"), stateFile(snapshot, 42000, ageMs)));
    NginxServer host(site.path());
    QVERIFY2(host.start(), qPrintable(host.error()));
    QVERIFY(m_browser->open(host.url(QStringLiteral("zeit.html"))));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return m_browser->evaluate(Connection).toString().startsWith(connection) &&
                   seconds(m_browser->evaluate(Clock)) >= lowest;
        },
        15000));
    const double first = seconds(m_browser->evaluate(Clock));
    QTest::qWait(300);
    const double later = seconds(m_browser->evaluate(Clock));
    QVERIFY2(first <= highest, qPrintable(QString::number(first)));
    QVERIFY(m_browser->screenshot(
        screenshotPath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-') +
                       QStringLiteral(".png"))));
    // A state left behind shows the time it had, standing.
    QCOMPARE(later > first, lowest != highest);
}

void TestRemotePages::brokerPageFollowsThePublisher() {
    if (!QFile::exists(MosquittoBroker::program()))
        QSKIP("mosquitto is not installed (apt-get install mosquitto); no broker to read from");
    MosquittoBroker broker;
    // Browsers read over WebSockets; mosquitto 2.0.11 wants a plain listener beside it.
    const quint16 wsPort = freeListenPort();
    QVERIFY(broker.addConfig("listener " + QByteArray::number(wsPort) +
                             " 127.0.0.1\nprotocol websockets\n"));
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    QElapsedTimer programClock;
    programClock.start();
    const auto now = [&] {
        return double(programClock.elapsed()) + 500000.0;
    };
    LiveSnapshot current = race(QStringLiteral("17 Weber Lena"));
    // A state of tens of KB, as a real race has: its packet's length takes three bytes.
    for (int i = 1; i <= 600; ++i)
        current.stages[0].rows.append(
            {QString::number(i), QStringLiteral("Teilnehmerin %1").arg(i)});
    current.clock.state = LiveSnapshot::Clock::State::Running;
    current.clock.startMs = now() - 3000;
    MqttConnection connection;
    connection.host = QStringLiteral("127.0.0.1");
    connection.port = broker.port();
    connection.prefix = QStringLiteral("halle");
    MqttPublisher publisher(
        connection, [&] { return current; }, now);
    publisher.start();
    QVERIFY(QTest::qWaitFor([&] { return publisher.isConnected(); }, 15000));

    // The page as uploaded before the race: all it shows comes from the broker.
    QTemporaryDir site;
    QVERIFY(
        writeSite(site.path(), LiveSnapshot(),
                  {QStringLiteral("ws://127.0.0.1:%1/mqtt").arg(wsPort), QStringLiteral("halle")}));
    QVERIFY(m_browser->open(QStringLiteral("file://") + site.filePath("index.html")));
    QVERIFY(m_browser->waitFor(Connection, QStringLiteral("Live")));
    QVERIFY(m_browser->waitFor(Competitor, current.competitor));
    QCOMPARE(m_browser->evaluate("document.querySelectorAll('#stage0 tbody tr').length").toInt(),
             600);
    const double running = seconds(m_browser->evaluate(Clock));
    QVERIFY2(running >= 3.0 && running < 20.0, qPrintable(QString::number(running)));
    QVERIFY(m_browser->screenshot(screenshotPath(QStringLiteral("mqtt.png"))));

    current.competitor = QStringLiteral("18 Kaya Mia");
    current.clock.state = LiveSnapshot::Clock::State::Stopped;
    current.clock.stoppedMs = 12340;
    publisher.sourceChanged(true);
    QVERIFY(m_browser->waitFor(Competitor, current.competitor));
    QVERIFY(m_browser->waitFor(Clock, QStringLiteral("12,34")));

    // A broker that restarts empty: the page comes back by itself to what is published anew.
    broker.stop();
    QVERIFY(QTest::qWaitFor(
        [&] { return m_browser->evaluate(Connection).toString().startsWith("Verbindung"); },
        15000));
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    current.competitor = QStringLiteral("19 Novak Ida");
    QVERIFY(m_browser->waitFor(Competitor, current.competitor, 40000));
    QVERIFY(m_browser->waitFor(Connection, QStringLiteral("Live")));

    publisher.shutdown();
    QVERIFY(m_browser->waitFor(Connection, QStringLiteral("Zeitnahme offline")));
}

QTEST_MAIN(TestRemotePages)
#include "tst_remotepages.moc"
