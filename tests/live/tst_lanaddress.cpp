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
    QTest::addColumn<QString>("chosen");
    const auto c = [](const char* address, bool up = true, bool loopback = false) {
        return LanAddress::Candidate{QHostAddress(QString::fromLatin1(address)), up, loopback, {}};
    };
    QTest::newRow("nothing: loopback") << Candidates{} << "127.0.0.1";
    QTest::newRow("loopback only") << Candidates{c("127.0.0.1", true, true)} << "127.0.0.1";
    QTest::newRow("LAN after loopback")
        << Candidates{c("127.0.0.1", true, true), c("192.168.1.20")} << "192.168.1.20";
    QTest::newRow("interface down skipped")
        << Candidates{c("10.0.0.5", false), c("192.168.1.20")} << "192.168.1.20";
    QTest::newRow("IPv4 before IPv6")
        << Candidates{c("2001:db8::5"), c("192.168.1.20")} << "192.168.1.20";
    QTest::newRow("link-local IPv4 skipped")
        << Candidates{c("169.254.3.4"), c("10.1.2.3")} << "10.1.2.3";
    QTest::newRow("global IPv6 when no IPv4")
        << Candidates{c("fe80::1"), c("2001:db8::5")} << "2001:db8::5";
}

void TestLanAddress::choose() {
    QFETCH(Candidates, candidates);
    QFETCH(QString, chosen);
    QCOMPARE(LanAddress::choose(candidates).toString(), chosen);
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
