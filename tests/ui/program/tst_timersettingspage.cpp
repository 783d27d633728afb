#include "mock/FakeFileDialogs.h"
#include "settings/Settings.h"
#include "ui/program/SettingsDialog.h"
#include "ui/program/TimerSettingsPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

// "Zeitmessgerät" in the settings dialog: the choices reach the settings, another line format
// brings its own channels and rate, and nothing can be set for a device not chosen.
class TestTimerSettingsPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formatBringsItsChannels_data();
    void formatBringsItsChannels();
    void choicesReachTheSettings();
};

void TestTimerSettingsPage::formatBringsItsChannels_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("channels"); // start, split, stop
    QTest::addColumn<int>("baud");
    QTest::addColumn<QString>("sample");
    QTest::newRow("alge") << "alge" << QStringList{"c0", "c2", "c1"} << 9600
                          << " 0012 c0  10:15:42.1234 00    ";
    QTest::newRow("microgate") << "microgate" << QStringList{"C00", "C02", "C01"} << 9600
                               << "00017      12 C00 10:15:42.12345 4A";
    QTest::newRow("tag heuer") << "tagheuer" << QStringList{"1", "3", "2"} << 9600
                               << "TN 0012 1 10:15:42.12345 00017";
}

void TestTimerSettingsPage::formatBringsItsChannels() {
    QFETCH(QString, format);
    QFETCH(QStringList, channels);
    QFETCH(int, baud);
    QFETCH(QString, sample);
    FakeFileDialogs files;
    SettingsDialog dialog({QStringLiteral("Keine")}, u',', files);
    Settings settings;
    settings.timerDevice = QStringLiteral("/dev/serial/by-id/usb-Timer");
    settings.timerBaud = 38400;
    settings.timerProfile = format == "alge" ? "tagheuer" : "alge";
    dialog.fill(settings);
    TimerSettingsPage& page = *dialog.timerPage;
    page.formatBox->setCurrentIndex(page.formatBox->findData(format));
    QCOMPARE((QStringList{page.startEdit->text(), page.splitEdit->text(), page.stopEdit->text()}),
             channels);
    QCOMPARE(page.timerBaudBox->currentData().toInt(), baud);
    QCOMPARE(page.sampleLabel->text(), sample);
}

void TestTimerSettingsPage::choicesReachTheSettings() {
    FakeFileDialogs files;
    SettingsDialog dialog({QStringLiteral("Keine")}, u',', files);
    TimerSettingsPage& page = *dialog.timerPage;
    page.setDevices({QStringLiteral("/dev/serial/by-id/usb-FTDI_A1-if00-port0")});
    Settings settings;
    dialog.fill(settings);
    // No device: nothing else to set, and the page says why.
    QVERIFY(!page.formatBox->isEnabled() && !page.testButton->isEnabled());
    QVERIFY(!page.testButton->toolTip().isEmpty());
    page.timerDeviceBox->setCurrentIndex(1);
    page.boardDeviceBox->setEditText(QStringLiteral("/tmp/tafel"));
    QVERIFY(page.formatBox->isEnabled() && page.testButton->isEnabled());
    page.backupEdit->setText(QStringLiteral(" c3 "));
    page.driftEdit->setValue(250);
    page.protocolBox->setCurrentIndex(page.protocolBox->findData(QStringLiteral("unt4")));
    QSignalSpy test(&page, &TimerSettingsPage::testRequested);
    QTest::mouseClick(page.testButton, Qt::LeftButton);
    QCOMPARE(test.size(), 1);
    QCOMPARE(test.first(), (QVariantList{"/tmp/tafel", 2400, "unt4"}));
    page.readInto(settings);
    QCOMPARE(settings.timerDevice, QStringLiteral("/dev/serial/by-id/usb-FTDI_A1-if00-port0"));
    QCOMPARE(settings.timerBackup, QStringLiteral("c3"));
    QCOMPARE(settings.timerDriftLimit, 250);
    QCOMPARE(settings.boardDevice, QStringLiteral("/tmp/tafel"));
    QCOMPARE(settings.boardProtocol, QStringLiteral("unt4"));
    // "(keins)" is no device.
    page.timerDeviceBox->setCurrentIndex(0);
    page.readInto(settings);
    QCOMPARE(settings.timerDevice, QString());
}

QTEST_MAIN(TestTimerSettingsPage)
#include "tst_timersettingspage.moc"
