#include "platform/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

// A termination signal reaches the event loop as a Qt signal instead of ending the process.
class TestTerminationSignals : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void signalBecomesRequest_data();
    void signalBecomesRequest();
};

void TestTerminationSignals::signalBecomesRequest_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestTerminationSignals::signalBecomesRequest() {
    QFETCH(int, signalNumber);
    TerminationSignals termination;
    QVERIFY(termination.installed());
    // Only one instance at a time owns the handlers.
    TerminationSignals second;
    QVERIFY(!second.installed());
    QSignalSpy requested(&termination, &TerminationSignals::terminationRequested);
    QCOMPARE(std::raise(signalNumber), 0);
    QVERIFY(requested.wait(2000));
    QCOMPARE(requested.count(), 1);
    QCOMPARE(requested[0][0].toInt(), signalNumber);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
