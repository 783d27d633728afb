#include "live/LivePageRenderer.h"
#include "live/LiveStateDocument.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

Q_DECLARE_METATYPE(LiveSnapshot::Clock::State)

// The state document and the filled page templates, without a server.
class TestLiveStateDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clockAsJson_data();
    void clockAsJson();
    void envelopeKeepsTheStateAsItIs();
    void clockText_data();
    void clockText();
    void markersFilledAndEscaped_data();
    void markersFilledAndEscaped();
    void pageClockAsTheWindowShowsIt_data();
    void pageClockAsTheWindowShowsIt();
    void tableAsShown();
    void markedCells_data();
    void markedCells();
};

void TestLiveStateDocument::clockAsJson_data() {
    using State = LiveSnapshot::Clock::State;
    QTest::addColumn<State>("state");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("stopped");
    QTest::newRow("ready") << State::Ready << "ready" << QVariant();
    QTest::newRow("countdown") << State::Countdown << "countdown" << QVariant();
    QTest::newRow("running") << State::Running << "running" << QVariant();
    QTest::newRow("stopped") << State::Stopped << "stopped" << QVariant(12340);
}

void TestLiveStateDocument::clockAsJson() {
    QFETCH(LiveSnapshot::Clock::State, state);
    QFETCH(QString, name);
    QFETCH(QVariant, stopped);
    LiveSnapshot snapshot;
    snapshot.clock.state = state;
    snapshot.clock.startMs = 4294967290.5;
    if (stopped.isValid())
        snapshot.clock.stoppedMs = stopped.toInt();
    const QJsonObject clock = LiveStateDocument::toJson(snapshot)["clock"].toObject();
    QCOMPARE(clock["state"].toString(), name);
    QCOMPARE(clock["startMs"].toDouble(), 4294967290.5);
    QCOMPARE(clock["stoppedMs"].isNull(), !stopped.isValid());
    if (stopped.isValid())
        QCOMPARE(clock["stoppedMs"].toInt(), stopped.toInt());
    QVERIFY(clock["intermediateMs"].isNull());
}

void TestLiveStateDocument::envelopeKeepsTheStateAsItIs() {
    LiveSnapshot snapshot;
    snapshot.title = QStringLiteral("Titel \"mit\" Zeichen \\ </script>");
    snapshot.lastResult =
        LiveSnapshot::Result{QStringLiteral("5 A B"), QStringLiteral("C"), QStringLiteral("10,24")};
    const QByteArray state = LiveStateDocument::stateBytes(snapshot);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const QByteArray envelope = LiveStateDocument::envelope(state, 123456.7);
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    QJsonParseError error{};
    const QJsonObject parsed = QJsonDocument::fromJson(envelope, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(parsed["serverTimeMs"].toDouble(), 123457.0);
    // The wall clock of the same moment, for readers that cannot ask the program for its time.
    QVERIFY(parsed["wallTimeMs"].toDouble() >= double(before));
    QVERIFY(parsed["wallTimeMs"].toDouble() <= double(after));
    QCOMPARE(parsed["state"].toObject(), LiveStateDocument::toJson(snapshot));
    QCOMPARE(parsed["state"]["title"].toString(), snapshot.title);
    QCOMPARE(parsed["state"]["lastResult"]["time"].toString(), QStringLiteral("10,24"));
    // A time has no status; a run ended by "Nicht im Ziel" says so.
    QVERIFY(parsed["state"]["lastResult"]["status"].isNull());
    snapshot.lastResult->status = QStringLiteral("DNF");
    QCOMPARE(LiveStateDocument::toJson(snapshot)["lastResult"].toObject()["status"].toString(),
             QStringLiteral("DNF"));
    // One line: an event on the stream is a single data line.
    QVERIFY(!envelope.contains('\n'));
}

void TestLiveStateDocument::clockText_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0,00";
    QTest::newRow("truncated, never rounded up") << qint64(12349) << "12,34";
    QTest::newRow("below a hundredth") << qint64(9) << "0,00";
    QTest::newRow("leading zero of the hundredths") << qint64(1050) << "1,05";
    QTest::newRow("past the minute") << qint64(754321) << "754,32";
    QTest::newRow("countdown overrun") << qint64(-30) << "0,00";
}

void TestLiveStateDocument::clockText() {
    QFETCH(qint64, ms);
    QFETCH(QString, text);
    QCOMPARE(LivePageRenderer::clockText(ms, u','), text);
}

void TestLiveStateDocument::markersFilledAndEscaped_data() {
    QTest::addColumn<QByteArray>("pageTemplate");
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("title") << QByteArray("<h1><!--live:title--></h1>")
                           << QByteArray("<h1>A &amp; B &lt;i&gt;</h1>");
    QTest::newRow("competitor and club") << QByteArray("<!--live:competitor-->|<!--live:club-->")
                                         << QByteArray("7 &quot;X&quot;|&lt;Club&gt;");
    QTest::newRow("clock of the stopped run")
        << QByteArray("<!--live:clock-->") << QByteArray("8,11");
    QTest::newRow("last result") << QByteArray("<!--live:last-->")
                                 << QByteArray("<span class=\"who\">6 &lt;b&gt;</span> <span "
                                               "class=\"club\">Süd</span> <span "
                                               "class=\"time\">9,99</span>");
    QTest::newRow("unknown marker stays")
        << QByteArray("<!--live:other-->") << QByteArray("<!--live:other-->");
}

void TestLiveStateDocument::markersFilledAndEscaped() {
    QFETCH(QByteArray, pageTemplate);
    QFETCH(QByteArray, page);
    LiveSnapshot snapshot;
    snapshot.title = QStringLiteral("A & B <i>");
    snapshot.competitor = QStringLiteral("7 \"X\"");
    snapshot.club = QStringLiteral("<Club>");
    snapshot.clock.state = LiveSnapshot::Clock::State::Stopped;
    snapshot.clock.stoppedMs = 8119;
    snapshot.lastResult = LiveSnapshot::Result{QStringLiteral("6 <b>"), QStringLiteral("Süd"),
                                               QStringLiteral("9,99")};
    QCOMPARE(LivePageRenderer::render(pageTemplate, snapshot), page);
}

void TestLiveStateDocument::pageClockAsTheWindowShowsIt_data() {
    using State = LiveSnapshot::Clock::State;
    QTest::addColumn<State>("state");
    QTest::addColumn<int>("readyMs");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ready") << State::Ready << 0 << "0,00";
    QTest::newRow("ready to count down") << State::Ready << 10000 << "10,00";
    QTest::newRow("stopped") << State::Stopped << 10000 << "14,48";
}

void TestLiveStateDocument::pageClockAsTheWindowShowsIt() {
    QFETCH(LiveSnapshot::Clock::State, state);
    QFETCH(int, readyMs);
    QFETCH(QString, shown);
    LiveSnapshot snapshot;
    // A system with a decimal point: the window's time display still writes a comma.
    snapshot.decimalSeparator = u'.';
    snapshot.clock.state = state;
    snapshot.clock.readyMs = readyMs;
    if (state == LiveSnapshot::Clock::State::Stopped)
        snapshot.clock.stoppedMs = 14489;
    QCOMPARE(LivePageRenderer::render(QByteArray("<!--live:clock-->"), snapshot), shown.toUtf8());
    QCOMPARE(LiveStateDocument::toJson(snapshot)[QStringLiteral("clock")][QStringLiteral("readyMs")]
                 .toInt(),
             readyMs);
}

void TestLiveStateDocument::tableAsShown() {
    LiveSnapshot::Table table;
    table.caption = QStringLiteral("Vorlauf-Ergebnisse");
    table.header = {QStringLiteral("Pl."), QStringLiteral("Name")};
    table.rows = {{QStringLiteral("1"), QStringLiteral("<Meier>")},
                  {QStringLiteral("2"), QStringLiteral("Nord, Süd")}};
    QCOMPARE(LivePageRenderer::tableHtml(table, QStringLiteral("stage1")),
             QStringLiteral("<section class=\"stage\" id=\"stage1\"><h2>Vorlauf-Ergebnisse</h2>"
                            "<div class=\"scroll\"><table><thead><tr><th>Pl.</th><th>Name</th>"
                            "</tr></thead><tbody><tr><td>1</td><td>&lt;Meier&gt;</td></tr>"
                            "<tr><td>2</td><td>Nord, Süd</td></tr></tbody></table></div>"
                            "</section>"));
}

void TestLiveStateDocument::markedCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("cellHtml");
    QTest::newRow("state") << "DNF"
                           << "DNF"
                           << "<td class=\"state\">DNF</td>";
    QTest::newRow("substitute") << "10,24"
                                << "substitute"
                                << "<td class=\"sub\">10,24<sup>E</sup></td>";
    QTest::newRow("plain time") << "10,24"
                                << ""
                                << "<td>10,24</td>";
}

void TestLiveStateDocument::markedCells() {
    QFETCH(QString, text);
    QFETCH(QString, mark);
    QFETCH(QString, cellHtml);
    LiveSnapshot::Table table;
    table.rows = {{QStringLiteral("4"), QStringLiteral("9,99")}, {QStringLiteral("7"), text}};
    if (!mark.isEmpty())
        table.marks[1][1] = mark;
    // The rows stay as they were; the marks stand beside them.
    const QJsonObject json = LiveStateDocument::tableJson(table);
    QCOMPARE(json["rows"][1][1].toString(), text);
    QCOMPARE(json["marks"]["1"]["1"].toString(), mark);
    QCOMPARE(json["marks"].toObject().size(), mark.isEmpty() ? 0 : 1);
    const QString html = LivePageRenderer::tableHtml(table, QStringLiteral("stage0"));
    QVERIFY2(html.contains(QStringLiteral("<tr><td>7</td>") + cellHtml), qPrintable(html));
    QCOMPARE(html.contains(QStringLiteral("</div><p class=\"legend\">E = Ersatzzeit</p>")),
             mark == QStringLiteral("substitute"));
}

QTEST_GUILESS_MAIN(TestLiveStateDocument)
#include "tst_livestatedocument.moc"
