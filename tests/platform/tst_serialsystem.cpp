#include "mock/FakeSerialSystem.h"
#include "platform/SerialLine.h"
#include "platform/SerialPortMap.h"

#include <QTest>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <sys/ioctl.h>

namespace {

qint64 nowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Built-in UARTs ttyS0 and ttyS2 (ttyS1 is a placeholder without hardware), two USB adapters
// with by-id names that sort the other way round than their kernel numbers, and an ACM
// device without a by-id name.
void addTypicalPorts(FakeSerialSystem& system, bool reversed,
                     FakeLineDevice::Options usb1Options = {}) {
    struct Node {
        QString path;
        FakeLineDevice::Options options;
    };
    QList<Node> nodes{{QStringLiteral("/dev/ttyS0"), {}},
                      {QStringLiteral("/dev/ttyS1"), {}},
                      {QStringLiteral("/dev/ttyS2"), {}},
                      {QStringLiteral("/dev/ttyUSB0"), {}},
                      {QStringLiteral("/dev/ttyUSB1"), usb1Options},
                      {QStringLiteral("/dev/ttyACM0"), {}},
                      {QStringLiteral("/dev/console"), {}}};
    QList<std::pair<QString, QString>> links{
        {QStringLiteral("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0"),
         QStringLiteral("../../ttyUSB0")},
        {QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K5Q-if00-port0"),
         QStringLiteral("../../ttyUSB1")}};
    if (reversed) {
        std::reverse(nodes.begin(), nodes.end());
        std::reverse(links.begin(), links.end());
    }
    for (const Node& node : nodes)
        system.addDevice(node.path, node.options);
    for (const auto& [path, target] : links)
        system.addLink(path, target);
    system.addFile(QStringLiteral("/sys/class/tty/ttyS0/type"), "4\n");
    system.addFile(QStringLiteral("/sys/class/tty/ttyS1/type"), "0\n");
    system.addFile(QStringLiteral("/sys/class/tty/ttyS2/type"), "4\n");
}

} // namespace

// The device layer: exclusive open, raw line setup, port numbers and the port probe.
class TestSerialSystem : public QObject {
    Q_OBJECT

private slots:
    void openAndConfigureCallSequence();
    void configureMakesTheLineRaw();
    void lineSettingsInTermios_data();
    void lineSettingsInTermios();
    void unsupportedBaudRateIsRefused();
    void secondOpenOfAHeldDeviceIsBusy();
    void refusedOpenLeavesNothingOpen_data();
    void refusedOpenLeavesNothingOpen();
    void withoutDtrOnlyRtsIsRaised();
    void deviceWithoutModemLinesFailsToConfigure();
    void portNumbersFollowStableNames();
    void portNumbersDoNotDependOnListingOrder();
    void unknownPortHasNoDevice();
    void scanMarksOpenablePortsAndHighestNumber();
    void scanLeavesNoExclusiveFlagBehind();
    void scanWithoutDevicesIsZero();
    void closeRestoresTheLineSettingsFound();
    void consolePortIsNotOffered_data();
    void consolePortIsNotOffered();
};

void TestSerialSystem::openAndConfigureCallSequence() {
    FakeSerialSystem system(nowMicroseconds);
    const auto device = system.addDevice(QStringLiteral("/dev/ttyUSB0"));
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/ttyUSB0")), 0);
    QCOMPARE(line.configure(SerialLineSettings{}), 0);
    QCOMPARE(system.calls(),
             QStringList({"open /dev/ttyUSB0 O_RDWR|O_NOCTTY|O_NONBLOCK|O_CLOEXEC", "fstat 100",
                          "TIOCEXCL 100", "flock 100", "tcgetattr 100", "tcsetattr 100 TCSANOW",
                          "tcflush 100 TCIOFLUSH", "TIOCMBIS 100 DTR|RTS", "TIOCMGET 100"}));
    QCOMPARE(device->outputs(), quint32(TIOCM_DTR | TIOCM_RTS));
    line.close();
    QCOMPARE(system.calls().constLast(), QStringLiteral("close 100"));
    QCOMPARE(system.openDescriptors(), 0);
}

void TestSerialSystem::configureMakesTheLineRaw() {
    FakeSerialSystem system(nowMicroseconds);
    system.addDevice(QStringLiteral("/dev/ttyS0"));
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/ttyS0")), 0);
    QCOMPARE(line.configure(SerialLineSettings{}), 0);
    const termios set = *system.lastAttributes();
    QVERIFY(set.c_cflag & CLOCAL);
    QVERIFY(set.c_cflag & CREAD);
    QCOMPARE(set.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(set.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t(0));
    QCOMPARE(set.c_iflag & (ICRNL | IXON | IXOFF), tcflag_t(0));
    QCOMPARE(set.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(set.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(cfgetospeed(&set), speed_t(B9600));
    QCOMPARE(int(set.c_cc[VMIN]), 0);
}

void TestSerialSystem::lineSettingsInTermios_data() {
    QTest::addColumn<quint32>("baud");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("flow");
    QTest::addColumn<uint>("cflagMask");
    QTest::addColumn<uint>("cflag");
    QTest::addColumn<uint>("iflag");
    QTest::addColumn<uint>("speed");

    using P = SerialLineSettings::Parity;
    using S = SerialLineSettings::StopBits;
    using F = SerialLineSettings::FlowControl;
    const uint framing = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    QTest::newRow("5 bits, the light-barrier port")
        << 9600U << 5 << int(P::None) << int(S::One) << int(F::RtsCts) << framing << uint(CS5) << 0U
        << uint(B9600);
    QTest::newRow("6 bits odd") << 1200U << 6 << int(P::Odd) << int(S::One) << int(F::None)
                                << framing << uint(CS6 | PARENB | PARODD) << 0U << uint(B1200);
    QTest::newRow("7 bits even, 2 stop")
        << 19200U << 7 << int(P::Even) << int(S::Two) << int(F::None) << framing
        << uint(CS7 | PARENB | CSTOPB) << 0U << uint(B19200);
    QTest::newRow("mark") << 115200U << 8 << int(P::Mark) << int(S::One) << int(F::None) << framing
                          << uint(CS8 | PARENB | PARODD | CMSPAR) << 0U << uint(B115200);
    QTest::newRow("space, 1.5 stop")
        << 110U << 5 << int(P::Space) << int(S::OneAndHalf) << int(F::None) << framing
        << uint(CS5 | PARENB | CMSPAR | CSTOPB) << 0U << uint(B110);
    QTest::newRow("xon/xoff") << 57600U << 8 << int(P::None) << int(S::One) << int(F::XonXoff)
                              << framing << uint(CS8) << uint(IXON | IXOFF) << uint(B57600);
}

void TestSerialSystem::lineSettingsInTermios() {
    QFETCH(quint32, baud);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QFETCH(int, flow);
    QFETCH(uint, cflagMask);
    QFETCH(uint, cflag);
    QFETCH(uint, iflag);
    QFETCH(uint, speed);

    SerialLineSettings settings;
    settings.baudRate = baud;
    settings.dataBits = dataBits;
    settings.parity = static_cast<SerialLineSettings::Parity>(parity);
    settings.stopBits = static_cast<SerialLineSettings::StopBits>(stopBits);
    settings.flowControl = static_cast<SerialLineSettings::FlowControl>(flow);
    termios cooked{};
    cooked.c_cflag = CRTSCTS | CS8 | PARENB;
    cooked.c_iflag = IXANY | ICRNL;
    const std::optional<termios> raw = SerialLine::rawAttributes(cooked, settings);
    QVERIFY(raw);
    QCOMPARE(uint(raw->c_cflag & cflagMask), cflag);
    QCOMPARE(uint(raw->c_iflag & (IXON | IXOFF | IXANY | ICRNL)), iflag);
    QCOMPARE(uint(cfgetispeed(&*raw)), speed);
    QCOMPARE(uint(cfgetospeed(&*raw)), speed);
}

void TestSerialSystem::unsupportedBaudRateIsRefused() {
    FakeSerialSystem system(nowMicroseconds);
    system.addDevice(QStringLiteral("/dev/ttyS0"));
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/ttyS0")), 0);
    SerialLineSettings settings;
    settings.baudRate = 14400;
    QCOMPARE(line.configure(settings), -EINVAL);
    QVERIFY(!system.lastAttributes());
}

void TestSerialSystem::secondOpenOfAHeldDeviceIsBusy() {
    FakeSerialSystem system(nowMicroseconds);
    system.addDevice(QStringLiteral("/dev/ttyUSB0"));
    SerialLine first(system);
    SerialLine second(system);
    QCOMPARE(first.open(QStringLiteral("/dev/ttyUSB0")), 0);
    QCOMPARE(second.open(QStringLiteral("/dev/ttyUSB0")), -EBUSY);
    QVERIFY(!second.isOpen());
    first.close();
    QCOMPARE(second.open(QStringLiteral("/dev/ttyUSB0")), 0);
}

void TestSerialSystem::refusedOpenLeavesNothingOpen_data() {
    QTest::addColumn<bool>("characterDevice");
    QTest::addColumn<bool>("lockedByOther");
    QTest::addColumn<int>("openError");
    QTest::addColumn<int>("expected");
    QTest::newRow("not a character device") << false << false << 0 << -ENOTTY;
    QTest::newRow("locked by another program") << true << true << 0 << -EBUSY;
    QTest::newRow("no permission") << true << false << EACCES << -EACCES;
}

void TestSerialSystem::refusedOpenLeavesNothingOpen() {
    QFETCH(bool, characterDevice);
    QFETCH(bool, lockedByOther);
    QFETCH(int, openError);
    QFETCH(int, expected);
    FakeSerialSystem system(nowMicroseconds);
    FakeLineDevice::Options options;
    options.characterDevice = characterDevice;
    options.lockedByOther = lockedByOther;
    options.openError = openError;
    system.addDevice(QStringLiteral("/dev/ttyUSB0"), options);
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/ttyUSB0")), expected);
    QVERIFY(!line.isOpen());
    QCOMPARE(system.openDescriptors(), 0);
}

void TestSerialSystem::withoutDtrOnlyRtsIsRaised() {
    FakeSerialSystem system(nowMicroseconds);
    const auto device = system.addDevice(QStringLiteral("/dev/ttyS0"));
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/ttyS0")), 0);
    SerialLineSettings settings;
    settings.enableDtr = false;
    QCOMPARE(line.configure(settings), 0);
    QVERIFY(system.calls().contains(QStringLiteral("TIOCMBIS 100 RTS")));
    QVERIFY(system.calls().contains(QStringLiteral("TIOCMBIC 100 DTR")));
    QCOMPARE(device->outputs(), quint32(TIOCM_RTS));
}

void TestSerialSystem::deviceWithoutModemLinesFailsToConfigure() {
    FakeSerialSystem system(nowMicroseconds);
    FakeLineDevice::Options pty;
    pty.hasModemLines = false;
    system.addDevice(QStringLiteral("/dev/ttyACM0"), pty);
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/ttyACM0")), 0);
    QCOMPARE(line.configure(SerialLineSettings{}), -ENOTTY);
}

void TestSerialSystem::portNumbersFollowStableNames() {
    FakeSerialSystem system(nowMicroseconds);
    addTypicalPorts(system, false);
    const SerialPortMap map(system);
    QCOMPARE(map.devicePathForPort(1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(map.devicePathForPort(2), std::nullopt);
    QCOMPARE(map.devicePathForPort(3), QStringLiteral("/dev/ttyS2"));
    QCOMPARE(map.devicePathForPort(4), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(map.entryForPort(4)->stableName,
             QStringLiteral("usb-FTDI_FT232R_USB_UART_A10K5Q-if00-port0"));
    QCOMPARE(map.devicePathForPort(5), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(map.devicePathForPort(6), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(map.entryForPort(6)->stableName, QString());
    QCOMPARE(map.entries().size(), 5);
}

void TestSerialSystem::portNumbersDoNotDependOnListingOrder() {
    FakeSerialSystem forward(nowMicroseconds);
    FakeSerialSystem backward(nowMicroseconds);
    addTypicalPorts(forward, false);
    addTypicalPorts(backward, true);
    const SerialPortMap first(forward);
    const SerialPortMap second(backward);
    QCOMPARE(first.entries().size(), second.entries().size());
    for (qsizetype i = 0; i < first.entries().size(); ++i) {
        QCOMPARE(first.entries()[i].port, second.entries()[i].port);
        QCOMPARE(first.entries()[i].devicePath, second.entries()[i].devicePath);
    }
}

void TestSerialSystem::unknownPortHasNoDevice() {
    FakeSerialSystem system(nowMicroseconds);
    addTypicalPorts(system, false);
    const SerialPortMap map(system);
    QCOMPARE(map.devicePathForPort(0), std::nullopt);
    QCOMPARE(map.devicePathForPort(7), std::nullopt);
    QCOMPARE(map.devicePathForPort(-1), std::nullopt);
}

void TestSerialSystem::scanMarksOpenablePortsAndHighestNumber() {
    FakeSerialSystem system(nowMicroseconds);
    FakeLineDevice::Options held;
    held.lockedByOther = true;
    addTypicalPorts(system, false, held); // COM4 is held by another program
    const quint32 mask = SerialPortMap(system).scanSerialPorts();
    // COM1, COM3, COM5 and COM6 present; COM6 the highest.
    QCOMPARE(mask, (1U << 0) | (1U << 2) | (1U << 4) | (1U << 5) | (6U << 16));
    QCOMPARE(system.openDescriptors(), 0);
}

void TestSerialSystem::scanLeavesNoExclusiveFlagBehind() {
    FakeSerialSystem system(nowMicroseconds);
    system.addDevice(QStringLiteral("/dev/ttyUSB0"));
    // Another program with the port open, not exclusively: the probe must not lock it out of
    // its own next open.
    const int held = system.openDevice(QStringLiteral("/dev/ttyUSB0"), 0);
    QVERIFY(held >= 0);
    QCOMPARE(SerialPortMap(system).scanSerialPorts(), 1U | (1U << 16));
    QVERIFY(!system.calls().join(u'\n').contains(QStringLiteral("TIOCEXCL")));
    QVERIFY(system.openDevice(QStringLiteral("/dev/ttyUSB0"), 0) >= 0);
}

void TestSerialSystem::scanWithoutDevicesIsZero() {
    FakeSerialSystem system(nowMicroseconds);
    system.addDevice(QStringLiteral("/dev/ttyS0"));
    system.addFile(QStringLiteral("/sys/class/tty/ttyS0/type"), "0\n");
    QCOMPARE(SerialPortMap(system).scanSerialPorts(), 0U);
}

void TestSerialSystem::closeRestoresTheLineSettingsFound() {
    FakeSerialSystem system(nowMicroseconds);
    system.addDevice(QStringLiteral("/dev/ttyS0"));
    SerialLine line(system);
    QCOMPARE(line.open(QStringLiteral("/dev/ttyS0")), 0);
    termios found{};
    QCOMPARE(system.getAttributes(100, &found), 0);
    QCOMPARE(line.configure(SerialLineSettings{}), 0);
    QVERIFY(system.lastAttributes()->c_lflag != found.c_lflag);
    // A second configure must not take the raw settings for the found ones.
    QCOMPARE(line.configure(SerialLineSettings{}), 0);
    system.clearCalls();
    line.close();
    QCOMPARE(system.calls(), QStringList({"tcsetattr 100 TCSANOW", "close 100"}));
    const termios restored = *system.lastAttributes();
    QCOMPARE(restored.c_iflag, found.c_iflag);
    QCOMPARE(restored.c_oflag, found.c_oflag);
    QCOMPARE(restored.c_cflag, found.c_cflag);
    QCOMPARE(restored.c_lflag, found.c_lflag);
    QCOMPARE(cfgetospeed(&restored), cfgetospeed(&found));
}

void TestSerialSystem::consolePortIsNotOffered_data() {
    QTest::addColumn<QByteArray>("consoles");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<quint32>("scan");
    const QStringList usual{"1 /dev/ttyS0", "3 /dev/ttyS2", "4 /dev/ttyUSB1", "5 /dev/ttyUSB0",
                            "6 /dev/ttyACM0"};
    QTest::newRow("no console list") << QByteArray() << usual << 0x6003Du;
    QTest::newRow("virtual terminal only")
        << QByteArray("tty0                 -WU (EC p  )    4:1\n") << usual << 0x6003Du;
    QTest::newRow("console on ttyS0, numbers stay")
        << QByteArray("ttyS0                -W- (EC  p a)    4:64\n")
        << QStringList{"3 /dev/ttyS2", "4 /dev/ttyUSB1", "5 /dev/ttyUSB0", "6 /dev/ttyACM0"}
        << 0x6003Cu;
    QTest::newRow("consoles on ttyS2 and a USB adapter")
        << QByteArray("tty0                 -WU (E  p  )    4:1\n"
                      "ttyUSB1              -W- (EC  p  )  188:1\n"
                      "ttyS2                -W- (E   p a)    4:66\n")
        << QStringList{"1 /dev/ttyS0", "4 /dev/ttyUSB0", "5 /dev/ttyACM0"} << 0x50019u;
}

void TestSerialSystem::consolePortIsNotOffered() {
    QFETCH(QByteArray, consoles);
    QFETCH(QStringList, ports);
    QFETCH(quint32, scan);
    FakeSerialSystem system(nowMicroseconds);
    addTypicalPorts(system, false);
    if (!consoles.isEmpty())
        system.addFile(QStringLiteral("/proc/consoles"), consoles);
    const SerialPortMap map(system);
    QStringList offered;
    for (const SerialPortMap::Entry& entry : map.entries())
        offered.append(QString::number(entry.port) + u' ' + entry.devicePath);
    QCOMPARE(offered, ports);
    QCOMPARE(map.scanSerialPorts(), scan);
}

QTEST_GUILESS_MAIN(TestSerialSystem)
#include "tst_serialsystem.moc"
