#include "mock/FakeTickSource.h"
#include "platform/LineChangeDecoder.h"
#include "timing/BarrierLogic.h"
#include "timing/RunClock.h"
#include "timing/SerialPort.h"

#include <QRegularExpression>
#include <QTest>

#include <sys/ioctl.h>

namespace {

constexpr quint32 Watched = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
constexpr qint64 Base = FakeTickSource::justBelowWrapMicroseconds;

// One look of the monitor at the lines: the levels then and the edges counted since.
struct Look {
    qint64 ms = 0;
    quint32 levels = 0;
    SerialLineCounters counters;
};

quint32 lineBit(const QString& name) {
    return name == u"CTS" ? TIOCM_CTS : name == u"DSR" ? TIOCM_DSR : TIOCM_CAR;
}

quint32* counterFor(SerialLineCounters& counters, quint32 line) {
    return line == TIOCM_CTS ? &counters.cts : line == TIOCM_DSR ? &counters.dsr : &counters.dcd;
}

// "ms:LINE+,LINE-,LINE*n ..." from the resting levels: + goes on, - goes off, *n counts n
// edges between two looks (the level ends flipped when n is odd).
QList<Look> parseLooks(const QString& script, quint32 rest) {
    static const QRegularExpression change(QStringLiteral("^(CTS|DSR|CD)([+-]|\\*(\\d+))$"));
    QList<Look> looks;
    Look current{0, rest, {}};
    for (const QString& token : script.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = token.split(u':');
        current.ms = parts.at(0).toLongLong();
        for (const QString& item : parts.at(1).split(u',')) {
            const QRegularExpressionMatch m = change.match(item);
            if (!m.hasMatch())
                qFatal("bad look %s", qPrintable(item));
            const quint32 line = lineBit(m.captured(1));
            const quint32 edges = m.captured(3).isEmpty() ? 1 : m.captured(3).toUInt();
            *counterFor(current.counters, line) += edges;
            if (m.captured(2) == u"+")
                current.levels |= line;
            else if (m.captured(2) == u"-")
                current.levels &= ~line;
            else if (edges % 2 == 1)
                current.levels ^= line;
        }
        looks.append(current);
    }
    return looks;
}

} // namespace

// Which commands the light barriers fire for sequences of line changes, as the monitor
// decodes them, under both contact logics: a barrier acts on its own edge to active only.
class TestBarrierEdges : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandsFired_data();
    void commandsFired();
};

void TestBarrierEdges::commandsFired_data() {
    QTest::addColumn<int>("alg");
    QTest::addColumn<quint32>("rest");
    QTest::addColumn<QString>("looks");
    QTest::addColumn<QString>("fired");

    const quint32 open = 0;
    const quint32 closed = Watched;
    const QString run = QStringLiteral("Start@0 Zwischen@2000 Stopp@5000");
    QTest::newRow("Ein: each barrier on its closing")
        << 0 << open << "0:DSR+ 300:DSR- 2000:CD+ 2300:CD- 5000:CTS+ 5300:CTS-" << run;
    QTest::newRow("Ein: openings do nothing") << 0 << closed << "0:DSR- 2000:CD- 5000:CTS-"
                                              << "";
    QTest::newRow("Ein: stop held through the lock, no stop at the split")
        << 0 << open << "0:DSR+ 500:CTS+ 600:DSR- 2000:CD+ 2300:CD- 3000:CTS- 4000:CTS+"
        << "Start@0 Zwischen@2000 Stopp@4000";
    QTest::newRow("Ein: pulses between two looks")
        << 0 << open << "0:DSR*2 2000:CD*2 5000:CTS*2" << run;
    QTest::newRow("Ein: bouncing closings act once")
        << 0 << open << "0:DSR*3 2000:CD*4 5000:CTS*5" << run;
    QTest::newRow("Ein: a bouncing opening does nothing")
        << 0 << open << "0:DSR+ 2000:CD+ 2400:CD*3 3000:DSR*3"
        << "Start@0 Zwischen@2000";
    QTest::newRow("Ein: split and stop in one look, Stopp first")
        << 0 << open << "0:DSR+ 300:DSR- 5000:CTS+,CD+"
        << "Start@0 Stopp@5000";
    QTest::newRow("Ein: stop and start in one look from Ready") << 0 << open << "0:CTS+,DSR+"
                                                                << "Start@0";

    QTest::newRow("Aus: each barrier on its opening")
        << 1 << closed << "0:DSR- 300:DSR+ 2000:CD- 2300:CD+ 5000:CTS- 5300:CTS+" << run;
    QTest::newRow("Aus: closings do nothing") << 1 << open << "0:DSR+ 2000:CD+ 5000:CTS+"
                                              << "";
    QTest::newRow("Aus: stop held open through the lock, no stop at the split")
        << 1 << closed << "0:DSR- 500:CTS- 600:DSR+ 2000:CD- 2300:CD+ 3000:CTS+ 4000:CTS-"
        << "Start@0 Zwischen@2000 Stopp@4000";
    QTest::newRow("Aus: breaks between two looks")
        << 1 << closed << "0:DSR*2 2000:CD*2 5000:CTS*2" << run;
    QTest::newRow("Aus: bouncing openings act once")
        << 1 << closed << "0:DSR*3 2000:CD*4 5000:CTS*5" << run;

    for (int alg : {2, 7, -1}) {
        QTest::addRow("Alg %d: closings", alg) << alg << open << "0:DSR+ 2000:CD+ 5000:CTS+"
                                               << "";
        QTest::addRow("Alg %d: openings", alg) << alg << closed << "0:DSR- 2000:CD- 5000:CTS-"
                                               << "";
    }
}

void TestBarrierEdges::commandsFired() {
    QFETCH(int, alg);
    QFETCH(quint32, rest);
    QFETCH(QString, looks);
    QFETCH(QString, fired);

    FakeTickSource ticks(Base);
    RunClock clock(ticks);
    BarrierLogic barriers(clock);
    TimingSettings settings;
    settings.timerMs = 0;
    settings.autoReset = false;
    settings.alg = alg;
    settings.lockTimeMs = 1000;
    barriers.applySettings(settings);
    clock.startUp(settings);
    barriers.portOpened();
    barriers.toggleBarrierLock(0);
    barriers.toggleBarrier(LightBarrier::Intermediate);

    QStringList log;
    const auto at = [](qint64 stamp) {
        return QString::number((stamp - Base) / 1000);
    };
    connect(&clock, &RunClock::stateChanged, this, [&](RunClock::State state) {
        if (state == RunClock::State::Running)
            log.append(QStringLiteral("Start@") + at(clock.startStamp()));
        else if (state == RunClock::State::Stopped)
            log.append(QStringLiteral("Stopp@") + at(clock.stopStamp()));
    });

    LineChangeDecoder decoder(Watched);
    decoder.reset(rest, SerialLineCounters{});
    for (const Look& look : parseLooks(looks, rest)) {
        const qint64 stamp = Base + look.ms * 1000;
        ticks.setNow(stamp);
        for (const LineChange& change : decoder.update(look.levels, look.counters)) {
            const std::optional<qint64> lapBefore = clock.lapStamp();
            barriers.portLinesChanged(SerialPort::eventMaskFromLines(change.changedLines),
                                      SerialPort::modemStatusFromLines(change.levels), stamp);
            if (clock.lapStamp() != lapBefore)
                log.append(QStringLiteral("Zwischen@") + at(*clock.lapStamp()));
        }
    }
    QCOMPARE(log.join(u' '), fired);
}

QTEST_GUILESS_MAIN(TestBarrierEdges)
#include "tst_barrieredges.moc"
