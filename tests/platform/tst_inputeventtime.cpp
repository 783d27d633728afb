#include "platform/InputEventTime.h"

#include <QTest>
#include <optional>

// The age of an input event from its own stamp, in the X server's 32-bit milliseconds.
class TestInputEventTime : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void age_data();
    void age();
};

using Age = std::optional<qint64>;
Q_DECLARE_METATYPE(Age)

void TestInputEventTime::age_data() {
    QTest::addColumn<quint64>("eventMs");
    QTest::addColumn<qint64>("nowUs");
    QTest::addColumn<Age>("expected");
    // The stamp is cut to its millisecond: the middle of it is taken.
    QTest::newRow("400 ms in the queue") << quint64(1000) << qint64(1'400'700) << Age(400'200);
    QTest::newRow("at once") << quint64(1400) << qint64(1'400'100) << Age(0);
    // The server's clock passed 2^32 ms between the press and now.
    QTest::newRow("across the wrap-around")
        << quint64(0xFFFF'FF00) << (qint64(0x1'0000'0100) * 1000 + 500) << Age(512'000);
    QTest::newRow("a whole minute is not believed")
        << quint64(1000) << qint64(61'000'000 + 1'000'000) << Age();
    QTest::newRow("from the future (another clock)") << quint64(5000) << qint64(4'000'000) << Age();
    QTest::newRow("a synthetic event has no stamp") << quint64(0) << qint64(9'000'000) << Age();
}

void TestInputEventTime::age() {
    QFETCH(quint64, eventMs);
    QFETCH(qint64, nowUs);
    QFETCH(Age, expected);
    QCOMPARE(InputEventTime::ageMicroseconds(eventMs, nowUs), expected);
}

QTEST_APPLESS_MAIN(TestInputEventTime)
#include "tst_inputeventtime.moc"
