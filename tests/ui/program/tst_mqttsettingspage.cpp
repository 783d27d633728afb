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
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("caChosen");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("clientId");
    QTest::addColumn<QString>("expectedHost");
    QTest::addColumn<QString>("expectedPrefix");
    QTest::newRow("everything") << true << "broker.verein.de" << 8883 << "zeitnahme"
                                << "geh eim" << true << "/etc/ssl/verein.pem"
                                << "rodel/2026"
                                << "velmora-pc1"
                                << "broker.verein.de"
                                << "rodel/2026";
    QTest::newRow("spaces around, prefix emptied") << true << "  10.0.0.5 " << 1 << ""
                                                   << "" << false << ""
                                                   << ""
                                                   << ""
                                                   << "10.0.0.5"
                                                   << "velmora";
    QTest::newRow("off keeps what was typed") << false << "localhost" << 65535 << "anna"
                                              << "x" << false << ""
                                              << "halle"
                                              << ""
                                              << "localhost"
                                              << "halle";
}

void TestMqttSettingsPage::typedValuesReachTheSettings() {
    QFETCH(bool, on);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, tls);
    QFETCH(QString, caChosen);
    QFETCH(QString, prefix);
    QFETCH(QString, clientId);
    QFETCH(QString, expectedHost);
    QFETCH(QString, expectedPrefix);
    FakeFileDialogs files;
    SettingsDialog dialog({QStringLiteral("Keine")}, u',', files);
    Settings settings;
    dialog.fill(settings);
    MqttSettingsPage& page = *dialog.publishPage;
    QCOMPARE(page.caption(), QStringLiteral("Veröffentlichen"));
    QVERIFY(!page.enabledBox->isChecked());
    QVERIFY(!page.hostEdit->isEnabled());
    QCOMPARE(page.portEdit->value(), 1883);
    QCOMPARE(page.passwordEdit->echoMode(), QLineEdit::Password);
    page.enabledBox->setChecked(true);
    QVERIFY(page.hostEdit->isEnabled() && page.testButton->isEnabled());
    retype(page.hostEdit, host);
    page.portEdit->setValue(port);
    retype(page.userEdit, user);
    retype(page.passwordEdit, password);
    page.tlsBox->setChecked(tls);
    if (!caChosen.isEmpty()) {
        files.answer(caChosen);
        page.caFileButton->click();
    }
    retype(page.prefixEdit, prefix);
    retype(page.clientIdEdit, clientId);
    page.enabledBox->setChecked(on);
    QCOMPARE(page.caFileEdit->isEnabled(), on);
    page.readInto(settings);
    QCOMPARE(settings.mqttEnabled, on);
    QCOMPARE(settings.mqttHost, expectedHost);
    QCOMPARE(settings.mqttPort, port);
    QCOMPARE(settings.mqttUser, user);
    QCOMPARE(settings.mqttPassword, password);
    QCOMPARE(settings.mqttTls, tls);
    QCOMPARE(settings.mqttCaFile, caChosen);
    QCOMPARE(settings.mqttPrefix, expectedPrefix);
    QCOMPARE(settings.mqttClientId, clientId);
    // Shown again, the dialog shows what it handed on.
    Settings shown;
    dialog.fill(settings);
    page.readInto(shown);
    QCOMPARE(shown.mqttHost, expectedHost);
    QCOMPARE(shown.mqttPassword, password);
    QCOMPARE(shown.mqttEnabled, on);
}

void TestMqttSettingsPage::connectionTested_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("wrongPort");
    QTest::addColumn<QString>("expected");
    QTest::newRow("in order") << ""
                              << "" << false << "Verbindung in Ordnung: 127.0.0.1:%1";
    QTest::newRow("login") << "zeit"
                           << "geheim" << false << "Verbindung in Ordnung: 127.0.0.1:%1";
    QTest::newRow("wrong password")
        << "zeit"
        << "falsch" << false
        << "Anmeldung abgelehnt (Benutzer oder Passwort falsch) bei 127.0.0.1:%1";
    QTest::newRow("nobody on the port")
        << ""
        << "" << true << "Verbindung abgelehnt: 127.0.0.1:%1 (läuft dort ein Broker?)";
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
    Settings settings;
    settings.mqttEnabled = true;
    dialog.fill(settings);
    MqttSettingsPage& page = *dialog.publishPage;
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
