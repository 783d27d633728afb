#include "live/LiveStaticSite.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// The live pages as a web host serves them: links that work in any folder, the tag that tells
// the script where to read, the cup's page when there is one, and state.json last.
class TestLiveStaticSite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void siteForAWebHost_data();
    void siteForAWebHost();
};

void TestLiveStaticSite::siteForAWebHost_data() {
    QTest::addColumn<QString>("mqttUrl");
    QTest::addColumn<QByteArray>("cupPage");
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QStringList>("names");
    const QStringList pages{"index.html",  "zeit.html", "top3.html", "live.css",
                            "overlay.css", "live.js",   "mqtt.js"};
    QTest::newRow("polling state.json")
        << "" << QByteArray()
        << QByteArray(R"(<meta name="velmora-source" content="static" data-state="state.json">)")
        << pages + QStringList{"state.json"};
    QTest::newRow("from the broker, with a cup")
        << " wss://b.verein.de:8081/mqtt?a=1&b=\"2\" " << QByteArray("<html>Cup</html>")
        << QByteArray(R"(<meta name="velmora-source" content="mqtt" )"
                      R"(data-url="wss://b.verein.de:8081/mqtt?a=1&amp;b=&quot;2&quot;" )"
                      R"(data-prefix="halle&lt;1&gt;">)")
        << pages + QStringList{"cup.html", "state.json"};
}

void TestLiveStaticSite::siteForAWebHost() {
    QFETCH(QString, mqttUrl);
    QFETCH(QByteArray, cupPage);
    QFETCH(QByteArray, tag);
    QFETCH(QStringList, names);
    LiveSnapshot snapshot;
    snapshot.title = QStringLiteral("Rodeln <Nacht>");
    const LiveStaticSite::Stamp stamp{1234, "abc", 7};
    const auto files =
        LiveStaticSite::build(snapshot, {mqttUrl, QStringLiteral("halle<1>")}, stamp, cupPage);
    QStringList built;
    for (const LiveStaticSite::File& file : files)
        built << file.name;
    QCOMPARE(built, names);
    for (const LiveStaticSite::File& file : files.mid(0, 3)) {
        QVERIFY2(file.bytes.contains(tag + "\n</head>"), file.name.toUtf8());
        QVERIFY(!file.bytes.contains("href=\"/") && !file.bytes.contains("src=\"/"));
        QVERIFY(file.bytes.contains("live.js\"></script>"));
        QVERIFY(file.bytes.contains("Rodeln &lt;Nacht&gt;"));
    }
    if (!cupPage.isEmpty())
        QCOMPARE(files.at(names.indexOf("cup.html")).bytes, cupPage);
    const QJsonObject state = QJsonDocument::fromJson(files.last().bytes).object();
    QCOMPARE(state.value("epoch").toString(), QStringLiteral("abc"));
    QCOMPARE(state.value("v").toInteger(), 7);
    QCOMPARE(state.value("serverTimeMs").toInteger(), 1234);
    QCOMPARE(state.value("state").toObject().value("title").toString(), snapshot.title);
}

QTEST_GUILESS_MAIN(TestLiveStaticSite)
#include "tst_livestaticsite.moc"
