#include "live/QrCode.h"
#include "live/widgets/LiveAddressWindow.h"

#include <QTest>

// The QR code of the address and where the window draws it.
class TestQrCode : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encode_data();
    void encode();
    void codeRect_data();
    void codeRect();
};

void TestQrCode::encode_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("size");
    QTest::newRow("nothing") << QByteArray() << 0;
    QTest::newRow("short address: version 2") << QByteArray("http://192.168.1.20:8080/") << 25;
    QTest::newRow("long address grows")
        << QByteArray("http://[2001:db8:1234:5678:9abc:def0:1234:5678]:65535/") << 33;
}

void TestQrCode::encode() {
    QFETCH(QByteArray, text);
    QFETCH(int, size);
    const QrCode code = QrCode::encode(text);
    QCOMPARE(code.size(), size);
    if (size == 0)
        return;
    // The three finder patterns: a dark 7 x 7 ring around a light ring around a dark core.
    for (const QPoint corner : {QPoint(0, 0), QPoint(size - 7, 0), QPoint(0, size - 7)}) {
        QVERIFY(code.dark(corner.x(), corner.y()));
        QVERIFY(code.dark(corner.x() + 6, corner.y() + 6));
        QVERIFY(!code.dark(corner.x() + 1, corner.y() + 1));
        QVERIFY(code.dark(corner.x() + 3, corner.y() + 3));
    }
    QVERIFY(!code.dark(7, 7));
    QVERIFY(!code.dark(-1, 0));
    QVERIFY(!code.dark(size, 0));
}

void TestQrCode::codeRect_data() {
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("modules");
    QTest::addColumn<int>("textHeight");
    QTest::addColumn<QRect>("rect");
    // 25 modules and 8 of quiet zone: 33 per side.
    QTest::newRow("480 x 560") << QSize(480, 560) << 25 << 40 << QRect(9 + 56, 29 + 56, 350, 350);
    QTest::newRow("wide window, height decides")
        << QSize(1920, 1080) << 25 << 80 << QRect(465 + 120, 5 + 120, 750, 750);
    QTest::newRow("tiny window keeps one pixel a module")
        << QSize(20, 30) << 25 << 10 << QRect(-6 + 4, 0 + 4, 25, 25);
    QTest::newRow("no code") << QSize(480, 560) << 0 << 40 << QRect();
}

void TestQrCode::codeRect() {
    QFETCH(QSize, window);
    QFETCH(int, modules);
    QFETCH(int, textHeight);
    QFETCH(QRect, rect);
    QCOMPARE(LiveAddressWindow::codeRect(window, modules, textHeight), rect);
}

QTEST_MAIN(TestQrCode)
#include "tst_qrcode.moc"
