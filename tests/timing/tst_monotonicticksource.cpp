#include "timing/MonotonicTickSource.h"
#include "timing/SerialPort.h"

#include <QTest>

#include <ctime>
#include <functional>

namespace {

qint64 rawMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

} // namespace

using Reader = std::function<qint64()>;
Q_DECLARE_METATYPE(Reader)

// Every stamp of the program (keys and display through the tick source, barriers through the
// port's clock) is a reading of CLOCK_MONOTONIC_RAW, which time synchronisation cannot slew.
class TestMonotonicTickSource : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTheRawClock_data();
    void readsTheRawClock();
};

void TestMonotonicTickSource::readsTheRawClock_data() {
    QTest::addColumn<Reader>("read");
    QTest::newRow("keys and display")
        << Reader([] { return MonotonicTickSource().nowMicroseconds(); });
    QTest::newRow("light barriers") << Reader(&SerialPort::steadyClockMicroseconds);
}

void TestMonotonicTickSource::readsTheRawClock() {
    QFETCH(Reader, read);
    const qint64 before = rawMicroseconds();
    const qint64 reading = read();
    const qint64 after = rawMicroseconds();
    QVERIFY2(before <= reading && reading <= after, qPrintable(QString::number(reading - before)));
}

QTEST_GUILESS_MAIN(TestMonotonicTickSource)
#include "tst_monotonicticksource.moc"
