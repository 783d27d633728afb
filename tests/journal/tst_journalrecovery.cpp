#include "journal/JournalRecovery.h"
#include "journal/JournalRuns.h"

#include <QTest>
#include <limits>

namespace {

using Kind = JournalEntry::Kind;
constexpr qint64 Lowest = std::numeric_limits<qint64>::min();
constexpr qint64 Highest = std::numeric_limits<qint64>::max();

// "Start@100", "Stopp@200", "0,00@300", "Eintragen@300:100-200/Zeitprotokoll" (an entry of the
// run 100 to 200, by the journal), "Zelle:5/Eintragen" (a cell of Nr. 5 written by an entry),
// "Zelle:7/Taste" (an edit).
JournalEntry journaled(const QString& text) {
    JournalEntry e;
    e.wallClock = QDateTime(QDate(2026, 6, 1), QTime(12, 0));
    const QString source = text.section(u'/', 1);
    const QString head = text.section(u'/', 0, 0);
    if (head.startsWith("Zelle")) {
        e.kind = Kind::Cell;
        e.number = head.section(u':', 1);
        e.newText = QStringLiteral("12,34");
        e.source = source.isEmpty() ? QStringLiteral("Eintragen") : source;
        return e;
    }
    e.kind = Kind::Command;
    e.name = head.section(u'@', 0, 0);
    e.source = source.isEmpty() ? QStringLiteral("Taste") : source;
    const QString at = head.section(u'@', 1);
    e.stamp = at.section(u':', 0, 0).toLongLong();
    if (at.contains(u':'))
        e.remark = JournalRuns::entryRemark(at.section(u':', 1).section(u'-', 0, 0).toLongLong(),
                                            at.section(u':', 1).section(u'-', 1).toLongLong());
    return e;
}

// The entered marks of the start 100 and the stop 200.
QString marks(const JournalRuns& runs) {
    const auto text = [](const std::optional<QString>& number) {
        return number ? *number : QStringLiteral("-");
    };
    return "100=" + text(runs.enteredAsStart(100)) + " 200=" + text(runs.enteredAsStop(200));
}

} // namespace

// Taking a run back from the journal: run times from any stamps without overflow, and which
// runs are already in the table, seen from either end of the journal.
class TestJournalRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runTimeOfAnyStamps_data();
    void runTimeOfAnyStamps();
    void enteredRunsFromEitherEnd_data();
    void enteredRunsFromEitherEnd();
};

void TestJournalRecovery::runTimeOfAnyStamps_data() {
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("stop");
    QTest::addColumn<int>("ms"); // -1: no run time
    QTest::newRow("ordinary") << 1'000'000LL << 13'349'999LL << 12340;
    QTest::newRow("stop at the lowest, start at the highest") << Highest << Lowest << -1;
    QTest::newRow("start at the lowest") << Lowest << 0LL << -1;
    QTest::newRow("stop at the highest") << 0LL << Highest << -1;
    QTest::newRow("a run just below the highest") << Highest - 1'000'000 << Highest << 1000;
    QTest::newRow("a run just above the lowest") << Lowest << Lowest + 1'000'000 << 1000;
    QTest::newRow("a day") << 0LL << JournalRecovery::longestRunMicroseconds << 86'400'000;
}

void TestJournalRecovery::runTimeOfAnyStamps() {
    QFETCH(qint64, start);
    QFETCH(qint64, stop);
    QFETCH(int, ms);
    const auto run = JournalRecovery::runTime(start, stop);
    QCOMPARE(run.value_or(-1), ms);
    QCOMPARE(JournalRecovery::hint(start, stop).isEmpty(), ms >= 0);
}

void TestJournalRecovery::enteredRunsFromEitherEnd_data() {
    QTest::addColumn<QStringList>("events"); // oldest first
    QTest::addColumn<QString>("marks");      // of the stamps 100 and 200
    QTest::newRow("entered by key")
        << QStringList{"Start@100", "Stopp@200", "Eintragen@300:100-200", "Zelle:5"}
        << "100=5 200=5";
    QTest::newRow("reset before its entry")
        << QStringList{"Start@100", "Stopp@200", "0,00@300"} << "100=- 200=-";
    QTest::newRow("from the journal into a row without Nr.")
        << QStringList{"Start@100", "Stopp@200", "Eintragen@300:100-200/Zeitprotokoll",
                       "Zelle:/Zeitprotokoll"}
        << "100= 200=";
    QTest::newRow("entered twice: the later row")
        << QStringList{"Eintragen@300:100-200", "Zelle:5", "0,00@301",
                       "Eintragen@400:100-200/Zeitprotokoll", "Zelle:6/Zeitprotokoll"}
        << "100=6 200=6";
    QTest::newRow("an edit is no entry")
        << QStringList{"Start@100", "Stopp@200", "Zelle:7/Taste"} << "100=- 200=-";
    QTest::newRow("the next start at the entered stop's stamp")
        << QStringList{"Start@50",  "Stopp@100", "Eintragen@100:50-100", "Zelle:5", "Start@100",
                       "Stopp@200", "0,00@200"}
        << "100=- 200=-";
    QTest::newRow("another run entered")
        << QStringList{"Start@100", "Stopp@200", "Start@250", "Stopp@260", "Eintragen@300:250-260",
                       "Zelle:5"}
        << "100=- 200=-";
}

void TestJournalRecovery::enteredRunsFromEitherEnd() {
    QFETCH(QStringList, events);
    QFETCH(QString, marks);
    JournalRuns forward;
    JournalRuns backward;
    for (const QString& text : events)
        forward.see(journaled(text));
    for (auto it = events.crbegin(); it != events.crend(); ++it)
        backward.seeOlder(journaled(*it));
    QCOMPARE(::marks(forward), marks);
    QCOMPARE(::marks(backward), marks);
}

QTEST_GUILESS_MAIN(TestJournalRecovery)
#include "tst_journalrecovery.moc"
