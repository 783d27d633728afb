#include "competition/Competition.h"
#include "live/LivePublishing.h"
#include "live/LiveServer.h"
#include "live/widgets/LiveAddressMenu.h"
#include "live/widgets/LiveAddressWindow.h"
#include "live/widgets/LiveResultsControl.h"
#include "mock/FreePort.h"
#include "mock/LiveHttpClient.h"
#include "mock/TimingWindowFixture.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSettings>
#include <QTcpServer>
#include <QTest>

namespace {

QJsonObject lastState(const LiveHttpClient& client) {
    return client.state();
}

} // namespace

// The live results in the main window: the entry in "Programm", the status bar, the stored
// state and port, and what the pages hear when a run is timed and entered.
class TestLiveResults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offByDefault();
    void switchedOnShowsTheAddress();
    void portInUseLeavesTheEntryUnchecked();
    void timedRunReachesTheOpenStream_data();
    void timedRunReachesTheOpenStream();
    void stateAndPortAreStored();
    void portQuestion_data();
    void portQuestion();
    void titleTypingIsCoalesced();
    void addressFollowsTheNetwork();
    void severalAddressesGiveAChoice();
    void servedOnTheChosenAddressOnly();
    void chosenAddressGone();
    void noNetworkAddress();

private:
    static bool switchOn(TimingWindowFixture& f, quint16 port);
};

bool TestLiveResults::switchOn(TimingWindowFixture& f, quint16 port) {
    f.window().session().settings().livePort = port;
    f.window().session().live().setListenAddress(QHostAddress::LocalHost);
    f.window().actions().live->trigger();
    return QTest::qWaitFor([&f] { return f.window().session().live().isRunning(); }, 5000);
}

void TestLiveResults::offByDefault() {
    TimingWindowFixture f;
    const MainActions& a = f.window().actions();
    QVERIFY(a.live->isCheckable());
    QVERIFY(!a.live->isChecked());
    QCOMPARE(a.live->text(), QStringLiteral("Live-Ergebnisse im Netzwerk"));
    QVERIFY(!f.window().session().live().isRunning());
    // The QR code needs a running server, and says so.
    QVERIFY(!a.liveAddress->isEnabled());
    QVERIFY(a.liveAddress->toolTip().contains(QStringLiteral("einschalten")));
    QCOMPARE(f.window().session().settings().livePort, 8080);
}

void TestLiveResults::switchedOnShowsTheAddress() {
    TimingWindowFixture f;
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    const MainActions& a = f.window().actions();
    QVERIFY(a.live->isChecked());
    QVERIFY(a.liveAddress->isEnabled());
    const LivePublishing& live = f.window().session().live();
    const LiveResultsControl& shown = f.window().liveResults();
    QVERIFY(live.address().startsWith(QStringLiteral("http://")));
    QVERIFY(live.address().endsWith(QStringLiteral(":%1/").arg(port)));
    QCOMPARE(shown.statusText(), QStringLiteral("Live: ") + live.address());
    a.liveAddress->trigger();
    QVERIFY(shown.addressWindow());
    QCOMPARE(shown.addressWindow()->address(), live.address());
    QVERIFY(!shown.addressWindow()->code().isEmpty());

    a.live->trigger();
    QVERIFY(!a.live->isChecked());
    QVERIFY(!live.isRunning());
    QVERIFY(!a.liveAddress->isEnabled());
    QVERIFY(!shown.addressWindow()->isVisible());
    LiveHttpClient client(port);
    QCOMPARE(client.get(QStringLiteral("/")).status, 0);
}

void TestLiveResults::portInUseLeavesTheEntryUnchecked() {
    TimingWindowFixture f;
    QTcpServer occupier;
    QVERIFY(occupier.listen(QHostAddress::LocalHost, 0));
    QVERIFY(!switchOn(f, occupier.serverPort()));
    const LiveResultsControl& shown = f.window().liveResults();
    QTRY_VERIFY(!f.window().actions().live->isChecked());
    QVERIFY(shown.statusText().contains(QStringLiteral("Port %1").arg(occupier.serverPort())));
    QVERIFY(!f.window().session().settings().liveResults);
    QVERIFY(!f.window().actions().liveAddress->isEnabled());
}

void TestLiveResults::timedRunReachesTheOpenStream_data() {
    QTest::addColumn<int>("runMs");
    QTest::addColumn<QString>("entered");
    QTest::newRow("12,34 s") << 12349 << "1234";
    QTest::newRow("a hundredth") << 19 << "1";
}

void TestLiveResults::timedRunReachesTheOpenStream() {
    QFETCH(int, runMs);
    QFETCH(QString, entered);
    TimingWindowFixture f;
    f.addCompetitors(3);
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    LiveHttpClient client(port);
    client.openStream();
    QTRY_VERIFY(client.mirror().stateEvents() > 0);

    QVERIFY(f.run({"F5"}));
    QTRY_COMPARE(lastState(client)["clock"].toObject()["state"].toString(),
                 QStringLiteral("running"));
    QTRY_COMPARE(lastState(client)["competitor"].toString(), QStringLiteral("11 Name1 Vorname1"));
    QVERIFY(f.run({QStringLiteral("+%1").arg(runMs), "F8"}));
    QTRY_COMPARE(lastState(client)["clock"].toObject()["state"].toString(),
                 QStringLiteral("stopped"));
    QCOMPARE(lastState(client)["clock"].toObject()["stoppedMs"].toInt(), runMs / 10 * 10);

    QVERIFY(f.run({"F9"}));
    // Within a second of the entry: the result, the table and the next competitor.
    QTRY_VERIFY_WITH_TIMEOUT(lastState(client)["lastResult"].isObject() &&
                                 lastState(client)["competitor"].toString().startsWith("12 "),
                             1000);
    const QJsonObject last = lastState(client)["lastResult"].toObject();
    QCOMPARE(last["competitor"].toString(), QStringLiteral("11 Name1 Vorname1"));
    QCOMPARE(last["club"].toString(), QStringLiteral("Verein1"));
    QCOMPARE(last["time"].toString(), entered);
    const QJsonObject heats = lastState(client)["stages"].toArray().at(0).toObject();
    QCOMPARE(heats["rows"].toArray().at(0).toArray().at(6).toString(), entered);

    // A substitute mark changes no text in the tables; the pages hear of it all the same.
    Competition& competition = f.window().session().competition();
    competition.substituteMarks().add({QStringLiteral("11"), 0, entered});
    Q_EMIT competition.substituteMarksChanged();
    QTRY_COMPARE(lastState(client)["stages"][0]["marks"]["0"]["6"].toString(),
                 QStringLiteral("substitute"));
}

void TestLiveResults::stateAndPortAreStored() {
    TimingWindowFixture f;
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    const QString file = f.install().filePath(QStringLiteral("Velmora.conf"));
    f.destroyWindow();
    QSettings stored(file, QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("LiveResults")).toString(), QStringLiteral("1"));
    QCOMPARE(stored.value(QStringLiteral("LivePort")).toInt(), int(port));
}

void TestLiveResults::portQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<int>("stored");
    QTest::newRow("new port") << 9090 << false << 9090;
    QTest::newRow("cancelled") << 9090 << true << 8080;
    QTest::newRow("too high") << 70000 << false << 8080;
    QTest::newRow("zero") << 0 << false << 8080;
}

void TestLiveResults::portQuestion() {
    QFETCH(int, answer);
    QFETCH(bool, cancelled);
    QFETCH(int, stored);
    TimingWindowFixture f;
    int asked = -1;
    f.window().liveResults().setPortQuestion([&](int current) -> std::optional<int> {
        asked = current;
        return cancelled ? std::nullopt : std::optional<int>(answer);
    });
    f.window().actions().livePort->trigger();
    QCOMPARE(asked, 8080);
    QCOMPARE(f.window().session().settings().livePort, stored);
}

void TestLiveResults::titleTypingIsCoalesced() {
    TimingWindowFixture f;
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    LiveHttpClient client(port);
    client.openStream();
    QTRY_VERIFY(client.mirror().stateEvents() > 0);
    QLineEdit* title = f.window().header()->titleEdit;
    title->clear();
    // Fifteen keys a second for two seconds.
    for (int i = 0; i < 30; ++i) {
        title->insert(QStringLiteral("x"));
        QTest::qWait(66);
    }
    QTRY_COMPARE(lastState(client)["title"].toString(), QString(30, u'x'));
    int titleChanges = 0;
    for (const QJsonObject& change : client.mirror().deltas())
        titleChanges += change["set"].toObject().contains(QStringLiteral("title")) ? 1 : 0;
    QVERIFY2(titleChanges <= 10, qPrintable(QString::number(titleChanges)));
}

void TestLiveResults::addressFollowsTheNetwork() {
    TimingWindowFixture f;
    QList<LanAddress::Candidate> interfaces{{QHostAddress("192.168.1.20"), true, false, "wlan0"}};
    LivePublishing& live = f.window().session().live();
    const LiveResultsControl& shown = f.window().liveResults();
    live.setInterfaces([&interfaces] { return interfaces; });
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    QCOMPARE(shown.statusText(), QStringLiteral("Live: http://192.168.1.20:%1/").arg(port));
    f.window().actions().liveAddress->trigger();
    // The Wi-Fi was joined again and gave another address.
    interfaces = {{QHostAddress("10.0.0.7"), true, false, "wlan0"}};
    live.checkNetwork();
    const QString url = QStringLiteral("http://10.0.0.7:%1/").arg(port);
    QCOMPARE(shown.statusText(), QStringLiteral("Live: ") + url);
    QCOMPARE(shown.addressWindow()->address(), url);
}

void TestLiveResults::severalAddressesGiveAChoice() {
    TimingWindowFixture f;
    const LiveResultsControl& shown = f.window().liveResults();
    f.window().session().live().setInterfaces([] {
        return QList<LanAddress::Candidate>{{QHostAddress("192.168.1.20"), true, false, "wlan0"},
                                            {QHostAddress("10.0.0.7"), true, false, "eth0"}};
    });
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    const QList<QAction*> entries = shown.addressMenu()->addressEntries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("192.168.1.20 (wlan0)"));
    QVERIFY(entries.at(0)->isChecked());
    shown.addressMenu()->addressEntries().at(1)->trigger();
    QCOMPARE(shown.statusText(), QStringLiteral("Live: http://10.0.0.7:%1/").arg(port));
    QCOMPARE(f.window().session().settings().liveAddress, QStringLiteral("10.0.0.7"));
    QVERIFY(shown.addressMenu()->addressEntries().at(1)->isChecked());
    // Still served on every address.
    QCOMPARE(LiveHttpClient(port).get(QStringLiteral("/live.css")).status, 200);
}

void TestLiveResults::servedOnTheChosenAddressOnly() {
    TimingWindowFixture f;
    LivePublishing& live = f.window().session().live();
    const LiveResultsControl& shown = f.window().liveResults();
    // An address this machine does not have: serving on it alone must fail, and say so.
    live.setInterfaces([] {
        return QList<LanAddress::Candidate>{{QHostAddress("192.0.2.1"), true, false, "eth0"}};
    });
    // A port found free may be taken by a test running beside this one before the server
    // binds it; switched on again, the server tries another.
    bool running = false;
    for (int attempt = 0; attempt < 5 && !running; ++attempt) {
        f.window().session().settings().livePort = freeListenPort();
        f.window().actions().live->trigger();
        running = QTest::qWaitFor([&live] { return live.isRunning(); }, 5000);
    }
    QVERIFY(running);
    shown.addressMenu()->onlyThisAddressEntry()->trigger();
    QTRY_VERIFY(!live.isRunning() && !live.server().isRunning());
    QVERIFY2(shown.statusText().startsWith(
                 QStringLiteral("Live-Ergebnisse aus: Adresse 192.0.2.1 Port %1 nicht verfügbar")
                     .arg(f.window().session().settings().livePort)),
             qPrintable(shown.statusText()));
    QVERIFY(f.window().session().settings().liveAddressOnly);
    QVERIFY(shown.addressMenu()->onlyThisAddressEntry()->isChecked());
}

void TestLiveResults::chosenAddressGone() {
    TimingWindowFixture f;
    QList<LanAddress::Candidate> interfaces{{QHostAddress("192.168.1.20"), true, false, "wlan0"},
                                            {QHostAddress("10.0.0.7"), true, false, "eth0"}};
    LivePublishing& live = f.window().session().live();
    const LiveResultsControl& shown = f.window().liveResults();
    live.setInterfaces([&interfaces] { return interfaces; });
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    shown.addressMenu()->onlyThisAddressEntry()->trigger();
    QTRY_COMPARE(shown.statusText(), QStringLiteral("Live: http://192.168.1.20:%1/").arg(port));
    f.window().actions().liveAddress->trigger();
    QVERIFY(shown.addressWindow()->isVisible());

    interfaces.removeFirst();
    live.checkNetwork();
    QCOMPARE(shown.statusText(),
             QStringLiteral("Live-Ergebnisse: gewählte Adresse 192.168.1.20 nicht mehr vorhanden, "
                            "unter \"Live-Adresse\" eine andere wählen"));
    QVERIFY(!shown.addressWindow()->isVisible());
    QVERIFY(!f.window().actions().liveAddress->isEnabled());
    const QList<QAction*> others = shown.addressMenu()->addressEntries();
    QCOMPARE(others.size(), 1);
    QVERIFY(!others.first()->isChecked());
    others.first()->trigger();
    QTRY_COMPARE(shown.statusText(), QStringLiteral("Live: http://10.0.0.7:%1/").arg(port));
}

void TestLiveResults::noNetworkAddress() {
    TimingWindowFixture f;
    f.window().session().live().setInterfaces([] {
        return QList<LanAddress::Candidate>{{QHostAddress("127.0.0.1"), true, true, "lo"}};
    });
    const quint16 port = freeListenPort();
    QVERIFY(switchOn(f, port));
    QCOMPARE(f.window().liveResults().statusText(),
             QStringLiteral("Live-Ergebnisse nur auf diesem Computer erreichbar: "
                            "http://127.0.0.1:%1/")
                 .arg(port));
}

QTEST_MAIN(TestLiveResults)
#include "tst_liveresults.moc"
