#include "mock/FreePort.h"
#include "mock/MosquittoBroker.h"
#include "mock/MqttSubscriber.h"
#include "publish/MqttProbe.h"
#include "publish/MqttPublisher.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The broker behind TLS, with certificates made by the test: a certificate from the club's own
// authority is taken when that authority is named; the system's store does not know it; a
// certificate for another name is refused even from the right authority.
class TestMqttTls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void certificateChecked_data();
    void certificateChecked();

private:
    bool run(const QStringList& arguments);
    // A key and a certificate for name, signed by the test's authority.
    bool serverCertificate(const QString& stem, const QString& name);

    QTemporaryDir m_dir;
    QString m_error;
};

namespace {

QString openssl() {
    return QStringLiteral("/usr/bin/openssl");
}

} // namespace

bool TestMqttTls::run(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(openssl(), arguments);
    if (process.waitForFinished(30000) && process.exitCode() == 0)
        return true;
    m_error = QString::fromLocal8Bit(process.readAllStandardError());
    return false;
}

bool TestMqttTls::serverCertificate(const QString& stem, const QString& name) {
    QFile extensions(m_dir.filePath(stem + QStringLiteral(".ext")));
    const QByteArray san = QByteArray("subjectAltName=") +
                           (name.front().isDigit() ? "IP:" : "DNS:") + name.toLatin1() + '\n';
    return extensions.open(QIODevice::WriteOnly) && extensions.write(san) == san.size() &&
           (extensions.close(), true) &&
           run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", stem + ".key", "-out",
                stem + ".csr", "-subj", "/CN=" + name}) &&
           run({"x509", "-req", "-in", stem + ".csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                "-CAcreateserial", "-out", stem + ".crt", "-days", "2", "-extfile", stem + ".ext"});
}

void TestMqttTls::initTestCase() {
    if (!QFile::exists(openssl()))
        QSKIP("openssl is not installed; no certificates for a TLS broker");
    QVERIFY2(run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out",
                  "ca.crt", "-days", "2", "-subj", "/CN=Skiclub Testzertifikate"}),
             qPrintable(m_error));
    QVERIFY2(serverCertificate(QStringLiteral("right"), QStringLiteral("127.0.0.1")),
             qPrintable(m_error));
    QVERIFY2(serverCertificate(QStringLiteral("other"), QStringLiteral("broker.example.org")),
             qPrintable(m_error));
}

void TestMqttTls::certificateChecked_data() {
    QTest::addColumn<QString>("serverCertificate");
    QTest::addColumn<bool>("namedAuthority");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("own authority named") << "right" << true << true;
    QTest::newRow("system store only") << "right" << false << false;
    QTest::newRow("certificate for another name") << "other" << true << false;
}

void TestMqttTls::certificateChecked() {
    QFETCH(QString, serverCertificate);
    QFETCH(bool, namedAuthority);
    QFETCH(bool, trusted);
    MosquittoBroker broker;
    const quint16 tlsPort = freeListenPort();
    const QByteArray stem = m_dir.filePath(serverCertificate).toLocal8Bit();
    QVERIFY(broker.addConfig("listener " + QByteArray::number(tlsPort) + " 127.0.0.1\ncafile " +
                             m_dir.filePath(QStringLiteral("ca.crt")).toLocal8Bit() +
                             "\ncertfile " + stem + ".crt\nkeyfile " + stem + ".key\n"));
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    MqttConnection connection;
    connection.host = QStringLiteral("127.0.0.1");
    connection.port = tlsPort;
    connection.prefix = QStringLiteral("verein");
    connection.tls = true;
    if (namedAuthority)
        connection.caFile = m_dir.filePath(QStringLiteral("ca.crt"));

    MqttProbe probe;
    QSignalSpy answered(&probe, &MqttProbe::finished);
    probe.test(connection);
    QVERIFY(answered.wait(MqttProbe::timeoutMs + 2000));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(tlsPort);
    QCOMPARE(answered.first().first().toString(),
             trusted ? MqttProbe::okText(connection.host, tlsPort)
                     : QStringLiteral("Zertifikat von %1 nicht anerkannt oder TLS fehlgeschlagen")
                           .arg(address));

    // The race goes over TLS and arrives at a reader on the broker's plain listener.
    MqttSubscriber reader(broker.port(), QStringLiteral("verein/#"));
    MqttPublisher publisher(
        connection,
        [] {
            LiveSnapshot snapshot;
            snapshot.title = QStringLiteral("Nachtrodeln");
            return snapshot;
        },
        [] { return 0.0; });
    publisher.start();
    if (trusted) {
        QVERIFY(reader.waitFor(QStringLiteral("verein/state"), "Nachtrodeln"));
        QCOMPARE(publisher.statusText(), QStringLiteral("MQTT: verbunden mit ") + address);
    } else {
        QVERIFY2(QTest::qWaitFor(
                     [&] { return publisher.statusText().contains(QStringLiteral("Zertifikat")); },
                     15000),
                 qPrintable(publisher.statusText()));
        QVERIFY(!publisher.isConnected());
        QVERIFY(reader.messages(QStringLiteral("verein/state")).isEmpty());
    }
}

QTEST_MAIN(TestMqttTls)
#include "tst_mqtttls.moc"
