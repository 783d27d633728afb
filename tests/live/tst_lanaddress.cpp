#include "live/LanAddress.h"

#include <QTest>

using Candidates = QList<LanAddress::Candidate>;
Q_DECLARE_METATYPE(Candidates)

// The address shown to spectators: the machine's own on the event's network.
class TestLanAddress : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choose_data();
    void choose();
    void url_data();
    void url();
};

void TestLanAddress::choose_data() {
    QTest::addColumn<Candidates>("candidates");
    QTest::addColumn<QString>("preferred");
    QTest::addColumn<QString>("chosen");
    const auto c = [](const char* address, bool up = true, bool loopback = false,
                      const char* name = "eth0") {
        return LanAddress::Candidate{QHostAddress(QString::fromLatin1(address)), up, loopback,
                                     QString::fromLatin1(name)};
    };
    const auto on = [&c](const char* name, const char* address) {
        return c(address, true, false, name);
    };
    QTest::newRow("nothing: loopback") << Candidates{} << QString() << "127.0.0.1";
    QTest::newRow("loopback only")
        << Candidates{c("127.0.0.1", true, true)} << QString() << "127.0.0.1";
    QTest::newRow("LAN after loopback")
        << Candidates{c("127.0.0.1", true, true), c("192.168.1.20")} << QString() << "192.168.1.20";
    QTest::newRow("interface down skipped")
        << Candidates{c("10.0.0.5", false), c("192.168.1.20")} << QString() << "192.168.1.20";
    QTest::newRow("IPv4 before IPv6")
        << Candidates{c("2001:db8::5"), c("192.168.1.20")} << QString() << "192.168.1.20";
    QTest::newRow("link-local IPv4 skipped")
        << Candidates{c("169.254.3.4"), c("10.1.2.3")} << QString() << "10.1.2.3";
    QTest::newRow("global IPv6 when no IPv4")
        << Candidates{c("fe80::1"), c("2001:db8::5")} << QString() << "2001:db8::5";
    QTest::newRow("Wi-Fi before a virtual machine's bridge")
        << Candidates{on("virbr0", "192.168.122.1"), on("wlan0", "192.168.1.20")} << QString()
        << "192.168.1.20";
    QTest::newRow("a container bridge and a VPN last")
        << Candidates{on("docker0", "172.17.0.1"), on("wg0", "10.8.0.2"), on("enp3s0", "10.0.0.7")}
        << QString() << "10.0.0.7";
    QTest::newRow("only a bridge: better than nothing")
        << Candidates{on("virbr0", "192.168.122.1")} << QString() << "192.168.122.1";
    QTest::newRow("the operator's choice")
        << Candidates{on("wlan0", "192.168.1.20"), on("eth0", "10.0.0.7")} << "10.0.0.7"
        << "10.0.0.7";
    QTest::newRow("a choice that is gone") << Candidates{on("wlan0", "192.168.1.20")} << "10.0.0.7"
                                           << "192.168.1.20";
}

void TestLanAddress::choose() {
    QFETCH(Candidates, candidates);
    QFETCH(QString, preferred);
    QFETCH(QString, chosen);
    QCOMPARE(LanAddress::choose(candidates, QHostAddress(preferred)).toString(), chosen);
}

void TestLanAddress::url_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("url");
    QTest::newRow("IPv4") << "192.168.1.20" << 8080 << "http://192.168.1.20:8080/";
    QTest::newRow("IPv6 in brackets") << "2001:db8::5" << 80 << "http://[2001:db8::5]:80/";
}

void TestLanAddress::url() {
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(QString, url);
    QCOMPARE(LanAddress::url(QHostAddress(address), static_cast<quint16>(port)), url);
}

QTEST_GUILESS_MAIN(TestLanAddress)
#include "tst_lanaddress.moc"
