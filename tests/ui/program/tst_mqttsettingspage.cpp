#include "mock/FakeFileDialogs.h"
#include "mock/MosquittoBroker.h"
#include "settings/Settings.h"
#include "ui/program/MqttSettingsPage.h"
#include "ui/program/SettingsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>

// "Veröffentlichen" in the settings dialog: what is typed reaches the settings, and the
// connection test answers from a real broker.
class TestMqttSettingsPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typedValuesReachTheSettings_data();
    void typedValuesReachTheSettings();
    void connectionTested_data();
    void connectionTested();
};

namespace {

void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

void TestMqttSettingsPage::typedValuesReachTheSettings_data() {
    // Typed and expected: server, user, password, CA file chosen, prefix, client ID.
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("expected");
    const QStringList all{"broker.verein.de",    "zeitnahme",  "geh eim",
                          "/etc/ssl/verein.pem", "rodel/2026", "velmora-pc1"};
    QTest::newRow("everything") << true << 8883 << true << all << all;
    QTest::newRow("spaces around, prefix emptied")
        << true << 1 << false << QStringList{"  10.0.0.5 ", "", "", "", "", ""}
        << QStringList{"10.0.0.5", "", "", "", "velmora", ""};
    QTest::newRow("off keeps what was typed")
        << false << 65535 << false << QStringList{"localhost", "anna", "x", "", "halle", ""}
        << QStringList{"localhost", "anna", "x", "", "halle", ""};
}

void TestMqttSettingsPage::typedValuesReachTheSettings() {
    QFETCH(bool, on);
    QFETCH(int, port);
    QFETCH(bool, tls);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, expected);
    FakeFileDialogs files;
    SettingsDialog dialog({QStringLiteral("Keine")}, u',', files);
    Settings settings;
    dialog.fill(settings);
    MqttSettingsPage& page = *dialog.publishPage;
    QVERIFY(!page.enabledBox->isChecked() && !page.hostEdit->isEnabled());
    QCOMPARE(page.portEdit->value(), 1883);
    QCOMPARE(page.passwordEdit->echoMode(), QLineEdit::Password);
    page.enabledBox->setChecked(true);
    QVERIFY(page.hostEdit->isEnabled() && page.testButton->isEnabled());
    retype(page.hostEdit, typed[0]);
    page.portEdit->setValue(port);
    retype(page.userEdit, typed[1]);
    retype(page.passwordEdit, typed[2]);
    page.tlsBox->setChecked(tls);
    if (!typed[3].isEmpty()) {
        files.answer(typed[3]);
        page.caFileButton->click();
    }
    retype(page.prefixEdit, typed[4]);
    retype(page.clientIdEdit, typed[5]);
    page.enabledBox->setChecked(on);
    QCOMPARE(page.caFileEdit->isEnabled(), on);
    page.readInto(settings);
    QCOMPARE(settings.mqttEnabled, on);
    QCOMPARE(settings.mqttPort, port);
    QCOMPARE(settings.mqttTls, tls);
    QCOMPARE((QStringList{settings.mqttHost, settings.mqttUser, settings.mqttPassword,
                          settings.mqttCaFile, settings.mqttPrefix, settings.mqttClientId}),
             expected);
}

void TestMqttSettingsPage::connectionTested_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("wrongPort");
    QTest::addColumn<QString>("expected");
    const QString ok = QStringLiteral("Verbindung in Ordnung: 127.0.0.1:%1");
    QTest::newRow("in order") << QString() << QString() << false << ok;
    QTest::newRow("login") << "zeit"
                           << "geheim" << false << ok;
    QTest::newRow("wrong password") << "zeit"
                                    << "falsch" << false
                                    << "Anmeldung abgelehnt (Benutzer oder Passwort falsch) "
                                       "bei 127.0.0.1:%1";
    QTest::newRow("nobody on the port")
        << QString() << QString() << true
        << "Verbindung abgelehnt: 127.0.0.1:%1 (läuft dort ein Broker?)";
}

void TestMqttSettingsPage::connectionTested() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, wrongPort);
    QFETCH(QString, expected);
    if (!QFile::exists(MosquittoBroker::program()))
        QSKIP("mosquitto is not installed (apt-get install mosquitto)");
    MosquittoBroker broker(user.isEmpty() ? QString() : QStringLiteral("zeit"),
                           user.isEmpty() ? QString() : QStringLiteral("geheim"));
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    quint16 port = broker.port();
    if (wrongPort) {
        // A port that was free a moment ago and has nobody listening now.
        QTcpServer free;
        QVERIFY(free.listen(QHostAddress::LocalHost));
        port = free.serverPort();
        free.close();
    }
    FakeFileDialogs files;
    SettingsDialog dialog({QStringLiteral("Keine")}, u',', files);
    MqttSettingsPage& page = *dialog.publishPage;
    page.enabledBox->setChecked(true);
    retype(page.hostEdit, QStringLiteral("127.0.0.1"));
    page.portEdit->setValue(port);
    retype(page.userEdit, user);
    retype(page.passwordEdit, password);
    page.testButton->click();
    QVERIFY(!page.testButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(page.testButton->isEnabled(), 10000);
    QCOMPARE(page.testResult->text(), expected.arg(port));
}

QTEST_MAIN(TestMqttSettingsPage)
#include "tst_mqttsettingspage.moc"
