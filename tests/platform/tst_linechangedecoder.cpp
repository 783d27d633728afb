#include "platform/LineChangeDecoder.h"

#include <QTest>

#include <sys/ioctl.h>

using Changes = std::vector<LineChange>;
Q_DECLARE_METATYPE(SerialLineCounters)
Q_DECLARE_METATYPE(Changes)

namespace {

constexpr quint32 AllLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;

SerialLineCounters counts(quint32 cts, quint32 dsr, quint32 dcd) {
    SerialLineCounters counters;
    counters.cts = cts;
    counters.dsr = dsr;
    counters.dcd = dcd;
    return counters;
}

SerialLineCounters ring(quint32 trailing) {
    SerialLineCounters counters;
    counters.rng = trailing;
    return counters;
}

LineChange change(quint32 levels, quint32 changed, int edges, bool observed) {
    LineChange result;
    result.levels = levels;
    result.changedLines = changed;
    result.edges = edges;
    result.observed = observed;
    return result;
}

} // namespace

// How looks at levels and counters become an ordered list of line changes.
class TestLineChangeDecoder : public QObject {
    Q_OBJECT

private slots:
    void decodesOneLook_data();
    void decodesOneLook();
    void edgeBetweenCounterAndLevelReadIsCountedOnce();
    void levelsAloneWithoutCounters();
    void unwatchedLinesAreNotReported();
};

void TestLineChangeDecoder::decodesOneLook_data() {
    QTest::addColumn<quint32>("levelsBefore");
    QTest::addColumn<SerialLineCounters>("countersBefore");
    QTest::addColumn<quint32>("levels");
    QTest::addColumn<SerialLineCounters>("counters");
    QTest::addColumn<Changes>("expected");

    const SerialLineCounters zero = counts(0, 0, 0);
    QTest::newRow("DSR goes on") << 0U << zero << quint32(TIOCM_DSR) << counts(0, 1, 0)
                                 << Changes{change(TIOCM_DSR, TIOCM_DSR, 1, true)};
    QTest::newRow("nothing moved")
        << quint32(TIOCM_CTS) << zero << quint32(TIOCM_CTS) << zero << Changes{};
    QTest::newRow("DSR pulse between two looks")
        << 0U << zero << 0U << counts(0, 2, 0)
        << Changes{change(TIOCM_DSR, TIOCM_DSR, 1, false), change(0, TIOCM_DSR, 1, true)};
    QTest::newRow("CTS off-on pulse while on")
        << quint32(TIOCM_CTS) << zero << quint32(TIOCM_CTS) << counts(2, 0, 0)
        << Changes{change(0, TIOCM_CTS, 1, false), change(TIOCM_CTS, TIOCM_CTS, 1, true)};
    QTest::newRow("odd bounce is one change") << 0U << zero << quint32(TIOCM_CAR) << counts(0, 0, 5)
                                              << Changes{change(TIOCM_CAR, TIOCM_CAR, 5, true)};
    QTest::newRow("even bounce is on then off")
        << 0U << zero << 0U << counts(0, 0, 4)
        << Changes{change(TIOCM_CAR, TIOCM_CAR, 1, false), change(0, TIOCM_CAR, 3, true)};
    QTest::newRow("CTS on and DSR pulse in one look")
        << 0U << zero << quint32(TIOCM_CTS) << counts(1, 2, 0)
        << Changes{change(TIOCM_CTS | TIOCM_DSR, TIOCM_CTS | TIOCM_DSR, 2, false),
                   change(TIOCM_CTS, TIOCM_DSR, 1, true)};
    QTest::newRow("counters wrap around")
        << 0U << counts(0xFFFFFFFFU, 0, 0) << quint32(TIOCM_CTS) << counts(0, 0, 0)
        << Changes{change(TIOCM_CTS, TIOCM_CTS, 1, true)};
    // RING is counted at its trailing edge only.
    QTest::newRow("ring goes on: not counted") << 0U << zero << quint32(TIOCM_RNG) << zero
                                               << Changes{change(TIOCM_RNG, TIOCM_RNG, 1, true)};
    QTest::newRow("ring goes off: counted")
        << quint32(TIOCM_RNG) << zero << 0U << ring(1) << Changes{change(0, TIOCM_RNG, 1, true)};
    QTest::newRow("ring pulse between two looks")
        << 0U << zero << 0U << ring(1)
        << Changes{change(TIOCM_RNG, TIOCM_RNG, 1, false), change(0, TIOCM_RNG, 1, true)};
    QTest::newRow("ring off-on pulse while on")
        << quint32(TIOCM_RNG) << zero << quint32(TIOCM_RNG) << ring(1)
        << Changes{change(0, TIOCM_RNG, 1, false), change(TIOCM_RNG, TIOCM_RNG, 1, true)};
    QTest::newRow("ring bounces on") << 0U << zero << quint32(TIOCM_RNG) << ring(2)
                                     << Changes{change(TIOCM_RNG, TIOCM_RNG, 5, true)};
}

void TestLineChangeDecoder::decodesOneLook() {
    QFETCH(quint32, levelsBefore);
    QFETCH(SerialLineCounters, countersBefore);
    QFETCH(quint32, levels);
    QFETCH(SerialLineCounters, counters);
    QFETCH(Changes, expected);

    LineChangeDecoder decoder(AllLines);
    decoder.reset(levelsBefore, countersBefore);
    QCOMPARE(decoder.update(levels, counters), expected);
    QCOMPARE(decoder.levels(), levels);
}

void TestLineChangeDecoder::edgeBetweenCounterAndLevelReadIsCountedOnce() {
    LineChangeDecoder decoder(AllLines);
    decoder.reset(0, counts(0, 0, 0));
    // The level shows DSR on before its counter does.
    QCOMPARE(decoder.update(TIOCM_DSR, counts(0, 0, 0)),
             Changes{change(TIOCM_DSR, TIOCM_DSR, 1, true)});
    // The next look finds the counter caught up: the same edge, not a new one.
    QCOMPARE(decoder.update(TIOCM_DSR, counts(0, 1, 0)), Changes{});
    QCOMPARE(decoder.update(0, counts(0, 2, 0)), Changes{change(0, TIOCM_DSR, 1, true)});

    // The same for the trailing edge of RING, the only one counted.
    decoder.reset(TIOCM_RNG, counts(0, 0, 0));
    QCOMPARE(decoder.update(0, counts(0, 0, 0)), Changes{change(0, TIOCM_RNG, 1, true)});
    QCOMPARE(decoder.update(0, ring(1)), Changes{});
}

void TestLineChangeDecoder::levelsAloneWithoutCounters() {
    LineChangeDecoder decoder(AllLines);
    decoder.reset(0, std::nullopt);
    QCOMPARE(decoder.update(TIOCM_CTS | TIOCM_CAR, std::nullopt),
             Changes{change(TIOCM_CTS | TIOCM_CAR, TIOCM_CTS | TIOCM_CAR, 2, true)});
    QCOMPARE(decoder.update(TIOCM_CTS | TIOCM_CAR, std::nullopt), Changes{});
}

void TestLineChangeDecoder::unwatchedLinesAreNotReported() {
    LineChangeDecoder decoder(TIOCM_DSR);
    decoder.reset(0, counts(0, 0, 0));
    QCOMPARE(decoder.update(TIOCM_CTS, counts(1, 0, 0)), Changes{});
    // The word still tells the truth about the unwatched line.
    QCOMPARE(decoder.update(TIOCM_CTS | TIOCM_DSR, counts(1, 1, 0)),
             Changes{change(TIOCM_CTS | TIOCM_DSR, TIOCM_DSR, 1, true)});
}

QTEST_GUILESS_MAIN(TestLineChangeDecoder)
#include "tst_linechangedecoder.moc"
