#include "CupSample.h"
#include "cup/CupHtmlPage.h"

#include <QXmlStreamReader>
#include <QtTest>

using CupSample::cells;

// The standings' web page read back as a reader's program would: the tables' cells, a struck
// value written "~(60)~", and the texts around the tables.
class TestCupHtmlPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tables_data();
    void tables();
    void markupInNamesIsEscaped();

private:
    QList<QList<QStringList>> m_tables; // per table, per row (captions first), the cells
    QStringList m_texts;                // h1, h2, p and li in order
};

void TestCupHtmlPage::tables_data() {
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("captions") << 0 << 0
                              << cells("Pl.;Name;Vorname;Verein;Lauf 1;Lauf 2;Lauf 3 <Süd>;"
                                       "Summe;Abstand;Bemerkung");
    QTest::newRow("dropped struck")
        << 0 << 1 << cells("1;Müller;Jörg;SV Süd & Co;100;80;~(60)~;180;;uneinholbar");
    QTest::newRow("status") << 0 << 2 << cells("2;Huber;Max;TSV <Nord>;80;DNS;80;160;20;");
    QTest::newRow("unranked")
        << 0 << 3 << cells(";Kurz;Eva;;;;60;60;;Kl. 2 bis Lauf 2, zu wenige Starts (1 von 2)");
    QTest::newRow("voided") << 1 << 1 << cells("1;Lang;Udo;WSV;50,50;annulliert;;50,50;;");
    QTest::newRow("club") << 2 << 2 << cells("2;TSV <Nord>;160;Huber Max (160)");
}

void TestCupHtmlPage::tables() {
    QFETCH(int, table);
    QFETCH(int, row);
    QFETCH(QStringList, expected);
    if (m_tables.isEmpty()) {
        QXmlStreamReader xml(CupHtmlPage::pageBytes(
            CupSample::standings(), QStringLiteral("Winter-Cup"), CupRules::Scoring::PointsTable));
        QString text;
        bool struck = false;
        while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
            const QStringView name = xml.name();
            if (xml.isStartElement() && name == u"table")
                m_tables.append(QList<QStringList>());
            else if (xml.isStartElement() && name == u"tr")
                m_tables.last().append(QStringList());
            struck = struck || (xml.isStartElement() && name == u"s");
            if (xml.isStartElement() && name != u"s" && name != u"span")
                text.clear();
            if (xml.isCharacters())
                text += xml.text();
            if (!xml.isEndElement() || name == u"s" || name == u"span")
                continue;
            if (name == u"td" || name == u"th")
                m_tables.last().last().append(struck ? u'~' + text + u'~' : text);
            else if (QStringList{"h1", "h2", "p", "li"}.contains(name))
                m_texts.append(text);
            text.clear();
            struck = false;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(m_texts, cells("Winter-Cup;Wertung: Punkte;Lauf 1;Lauf 2;Lauf 3 <Süd>;Klasse 3;"
                                "Klasse 4;Lauf 2 annulliert: Sturm;Vereine"));
        QCOMPARE(m_tables.size(), 3);
    }
    QCOMPARE(m_tables.value(table).value(row), expected);
}

void TestCupHtmlPage::markupInNamesIsEscaped() {
    const QByteArray bytes = CupHtmlPage::pageBytes(
        CupSample::standings(), QStringLiteral("<b>Cup</b>"), CupRules::Scoring::PointsTable);
    QVERIFY(
        bytes.startsWith("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\"/>"));
    QVERIFY(bytes.contains("<h1>&lt;b&gt;Cup&lt;/b&gt;</h1>"));
    QVERIFY(bytes.contains("<td>TSV &lt;Nord&gt;</td>"));
    QVERIFY(bytes.contains(QStringLiteral("<td>SV Süd &amp; Co</td>").toUtf8()));
    QVERIFY(bytes.contains("<td class=\"n\"><s>(60)</s></td>"));
}

QTEST_GUILESS_MAIN(TestCupHtmlPage)
#include "tst_cuphtmlpage.moc"
