#include "CupSample.h"
#include "cup/CupHtmlPage.h"

#include <QXmlStreamReader>
#include <QtTest>

// The standings' web page read back as a reader's program would: the tables' cells with their
// struck values, and the texts around them.
class TestCupHtmlPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cells_data();
    void cells();
    void textsAroundTheTables();
    void markupInNamesIsEscaped();
};

namespace {

struct Page {
    // Per table, per row (the header row first), the cells' texts; a struck cell as "~text~".
    QList<QList<QStringList>> tables;
    QStringList paragraphs; // h1, p, li and h2 texts in order
};

Page readBack(const QByteArray& bytes) {
    Page page;
    QXmlStreamReader xml(bytes);
    QString text;
    bool struck = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.name();
        if (xml.isStartElement()) {
            if (name == u"table")
                page.tables.append(QList<QStringList>());
            else if (name == u"tr")
                page.tables.last().append(QStringList());
            else if (name == u"s")
                struck = true;
            if (name != u"s" && name != u"span")
                text.clear();
        } else if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isEndElement()) {
            if (name == u"td" || name == u"th") {
                page.tables.last().last().append(struck ? u'~' + text + u'~' : text);
                struck = false;
            } else if (name == u"h1" || name == u"h2" || name == u"p" || name == u"li") {
                page.paragraphs.append(text);
            }
            if (name != u"s" && name != u"span")
                text.clear();
        }
    }
    if (xml.hasError())
        page.paragraphs.append(QStringLiteral("XML-Fehler: ") + xml.errorString());
    return page;
}

} // namespace

void TestCupHtmlPage::cells_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("captions") << 0 << 0
                              << QStringList{"Pl.",     "Name",     "Vorname",      "Verein",
                                             "Lauf 1",  "Lauf 2",   "Lauf 3 <Süd>", "Summe",
                                             "Abstand", "Bemerkung"};
    QTest::newRow("leader, dropped struck")
        << 0 << 1 << QStringList{"1",      "Müller", "Jörg", "SV Süd & Co", "100", "80",
                                 "~(60)~", "180",    "",     "uneinholbar"};
    QTest::newRow("a status without points")
        << 0 << 2
        << QStringList{"2", "Huber", "Max", "TSV <Nord>", "80", "DNS", "80", "160", "20", ""};
    QTest::newRow("unranked with notes")
        << 0 << 3
        << QStringList{"", "Kurz", "Eva", "", "",
                       "", "60",   "60",  "", "Kl. 2 bis Lauf 2, zu wenige Starts (1 von 2)"};
    QTest::newRow("voided race") << 1 << 1
                                 << QStringList{"1",          "Lang", "Udo",   "WSV", "50,50",
                                                "annulliert", "",     "50,50", "",    ""};
    QTest::newRow("club") << 2 << 2 << QStringList{"2", "TSV <Nord>", "160", "Huber Max (160)"};
}

void TestCupHtmlPage::cells() {
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    const Page page = readBack(CupHtmlPage::pageBytes(
        CupSample::standings(), QStringLiteral("Winter-Cup"), CupRules::Scoring::PointsTable));
    QCOMPARE(page.tables.size(), 3);
    QCOMPARE(page.tables.at(table).at(row), expected);
}

void TestCupHtmlPage::textsAroundTheTables() {
    const Page page = readBack(CupHtmlPage::pageBytes(
        CupSample::standings(), QStringLiteral("Winter-Cup"), CupRules::Scoring::PointsTable));
    QCOMPARE(page.paragraphs,
             (QStringList{"Winter-Cup", "Wertung: Punkte", "Lauf 1", "Lauf 2", "Lauf 3 <Süd>",
                          "Klasse 3", "Klasse 4", "Lauf 2 annulliert: Sturm", "Vereine"}));
}

void TestCupHtmlPage::markupInNamesIsEscaped() {
    const QByteArray bytes = CupHtmlPage::pageBytes(
        CupSample::standings(), QStringLiteral("<b>Cup</b>"), CupRules::Scoring::PointsTable);
    QVERIFY(bytes.startsWith("<!DOCTYPE html>"));
    QVERIFY(bytes.contains("<meta charset=\"utf-8\"/>"));
    QVERIFY(bytes.contains("<h1>&lt;b&gt;Cup&lt;/b&gt;</h1>"));
    QVERIFY(bytes.contains("<td>TSV &lt;Nord&gt;</td>"));
    QVERIFY(bytes.contains(QStringLiteral("<td>SV Süd &amp; Co</td>").toUtf8()));
    QVERIFY(!bytes.contains("<Nord>"));
}

QTEST_GUILESS_MAIN(TestCupHtmlPage)
#include "tst_cuphtmlpage.moc"
