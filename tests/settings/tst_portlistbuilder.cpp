#include "settings/PortListBuilder.h"
#include "settings/PortOpenFailure.h"

#include <QTest>

#include <cerrno>

Q_DECLARE_METATYPE(QList<SerialPortMap::Entry>)

namespace {

QList<SerialPortMap::Entry> devices() {
    return {
        {1, QStringLiteral("/dev/ttyS0"), QString()},
        {3, QStringLiteral("/dev/ttyUSB0"),
         QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0")},
        {12, QStringLiteral("/dev/ttyACM0"), QString()},
    };
}

} // namespace

// The light-barrier port list: which entries it shows and how the port number is read back
// from an entry; and what the operator is told when the chosen port does not open.
class TestPortListBuilder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entries_data();
    void entries();
    void portNumber_data();
    void portNumber();
    void adapterName_data();
    void adapterName();
    void failureText_data();
    void failureText();
};

void TestPortListBuilder::entries_data() {
    QTest::addColumn<quint32>("mask");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no port") << 0u << QStringList{"Keine"};
    QTest::newRow("ports 1 and 3")
        << ((3u << 16) | 0b101u)
        << QStringList{"Keine", "COM1  /dev/ttyS0", "COM3  /dev/ttyUSB0 (FTDI FT232R USB UART)"};
    QTest::newRow("port 12 without a name")
        << ((12u << 16) | (1u << 11)) << QStringList{"Keine", "COM12  /dev/ttyACM0"};
    QTest::newRow("bits above the highest port are left out")
        << ((1u << 16) | 0b111u) << QStringList{"Keine", "COM1  /dev/ttyS0"};
}

void TestPortListBuilder::entries() {
    QFETCH(quint32, mask);
    QFETCH(QStringList, expected);
    QCOMPARE(PortListBuilder::entries(mask, devices()), expected);
}

void TestPortListBuilder::portNumber_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("number");

    QTest::newRow("COM7") << "COM7" << 7;
    QTest::newRow("COM12") << "COM12" << 12;
    QTest::newRow("with its device") << "COM3  /dev/ttyUSB0 (FTDI FT232R)" << 3;
    QTest::newRow("Keine") << "Keine" << 0;
    QTest::newRow("too short") << "COM" << 0;
}

void TestPortListBuilder::portNumber() {
    QFETCH(QString, entry);
    QFETCH(int, number);
    QCOMPARE(PortListBuilder::portNumber(entry), number);
}

void TestPortListBuilder::adapterName_data() {
    QTest::addColumn<QString>("stableName");
    QTest::addColumn<QString>("name");

    QTest::newRow("FTDI") << "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"
                          << "FTDI FT232R USB UART";
    QTest::newRow("Prolific") << "usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0"
                              << "Prolific Technology Inc. USB-Serial Controller";
    QTest::newRow("built-in port") << ""
                                   << "";
}

void TestPortListBuilder::adapterName() {
    QFETCH(QString, stableName);
    QFETCH(QString, name);
    QCOMPARE(PortListBuilder::adapterName(stableName), name);
}

void TestPortListBuilder::failureText_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");

    QTest::newRow("busy") << EBUSY << "belegt";
    QTest::newRow("no permission") << EACCES << "keine Berechtigung";
    QTest::newRow("gone") << ENOENT << "nicht mehr vorhanden";
    QTest::newRow("cannot be set up") << 0 << "nicht einstellen";
}

void TestPortListBuilder::failureText() {
    QFETCH(int, error);
    QFETCH(QString, reason);
    const QString text = PortOpenFailure::statusText(3, error);
    QVERIFY2(text.startsWith(
                 QStringLiteral("Die Lichtschranken an COM3 konnten nicht geöffnet werden: ")),
             qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    if (error == EACCES)
        QVERIFY(text.contains(QStringLiteral("dialout")));
}

QTEST_MAIN(TestPortListBuilder)
#include "tst_portlistbuilder.moc"
