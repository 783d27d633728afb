#include "CupSample.h"
#include "cup/CupWorkbook.h"
#include "output/ZipPackage.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

// The standings' workbook unpacked and read as an office program reads it: the sheets, the
// cells (a number as written, a text from the shared strings, "~" around a struck one) and the
// columns' widths.
class TestCupWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cells_data();
    void cells();
    void columnsAsWideAsTheirLongestText();

private:
    QStringList m_names;
    QList<QMap<QString, QString>> m_cells; // per sheet, by reference ("B2")
    QList<QMap<int, double>> m_widths;     // per sheet, by column from 1
};

void TestCupWorkbook::initTestCase() {
    const auto bytes = CupWorkbook::build(CupSample::standings(), QStringLiteral("Winter-Cup"),
                                          CupRules::Scoring::PointsTable);
    QVERIFY(bytes);
    const std::optional<ZipPackage> zip = ZipPackage::fromBytes(*bytes);
    QVERIFY(zip);
    const QString workbook = QString::fromUtf8(zip->part(QStringLiteral("xl/workbook.xml")));
    const auto all = [](const char* pattern, const QString& text) {
        return QRegularExpression(QString::fromLatin1(pattern),
                                  QRegularExpression::DotMatchesEverythingOption)
            .globalMatch(text);
    };
    for (const auto& m : all("<sheet name=\"([^\"]*)\"", workbook))
        m_names << m.captured(1);
    QCOMPARE(m_names, CupSample::cells("Klasse 3;Klasse 4;Vereine"));
    QStringList strings;
    QXmlStreamReader shared(zip->part(QStringLiteral("xl/sharedStrings.xml")));
    while (!shared.atEnd())
        if (shared.readNext() == QXmlStreamReader::StartElement && shared.name() == u"t")
            strings << shared.readElementText();
    // A cell format is struck when its font is: the fonts in order, then the cell formats'.
    const QString styles = QString::fromUtf8(zip->part(QStringLiteral("xl/styles.xml")));
    QList<bool> struckFont;
    for (const auto& m : all("<font>.*?</font>", styles))
        struckFont << m.captured().contains(QStringLiteral("<strike/>"));
    const qsizetype from = styles.indexOf(QStringLiteral("<cellXfs"));
    const QString formats = styles.mid(from, styles.indexOf(QStringLiteral("</cellXfs>")) - from);
    QList<bool> struck;
    for (const auto& m : all("<xf [^>]*fontId=\"(\\d+)\"", formats))
        struck << struckFont.value(m.captured(1).toInt());
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        QXmlStreamReader xml(zip->part(QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1)));
        QMap<QString, QString> cells;
        QMap<int, double> widths;
        QXmlStreamAttributes cell;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            const auto at = [&a](const char* name) {
                return a.value(QLatin1String(name));
            };
            if (xml.name() == u"col") {
                for (int c = at("min").toInt(); c <= at("max").toInt(); ++c)
                    widths.insert(c, at("width").toDouble());
            } else if (xml.name() == u"c") {
                cell = a;
            } else if (xml.name() == u"v") {
                const QString v = xml.readElementText();
                const QString text =
                    cell.value(QLatin1String("t")) == u"s" ? strings.value(v.toInt()) : v;
                const bool strike = struck.value(cell.value(QLatin1String("s")).toInt());
                cells.insert(cell.value(QLatin1String("r")).toString(),
                             strike ? u'~' + text + u'~' : text);
            }
        }
        m_cells << cells;
        m_widths << widths;
    }
}

void TestCupWorkbook::cells_data() {
    QTest::addColumn<int>("sheet");
    QTest::addColumn<QString>("ref");
    QTest::addColumn<QString>("text");
    const QList<std::tuple<int, const char*, const char*>> all{
        {0, "G1", "Lauf 3 <Süd>"},
        {0, "B2", "Müller"},
        {0, "E2", "100"},
        {0, "G2", "~60~"},
        {0, "H2", "180"},
        {0, "J2", "uneinholbar"},
        {0, "F3", "DNS"},
        {0, "I3", "20"},
        {1, "E2", "50.5"},
        {1, "F2", "annulliert"},
        {1, "A4", "Lauf 2 annulliert: Sturm"},
        {2, "A1", "Vereine"},
        {2, "B4", "TSV <Nord>"},
        {2, "C4", "160"}};
    for (const auto& [sheet, ref, text] : all)
        QTest::addRow("%d %s", sheet, ref)
            << sheet << QString::fromLatin1(ref) << QString::fromUtf8(text);
}

void TestCupWorkbook::cells() {
    QFETCH(int, sheet);
    QFETCH(QString, ref);
    QFETCH(QString, text);
    QCOMPARE(m_cells.value(sheet).value(ref), text);
}

void TestCupWorkbook::columnsAsWideAsTheirLongestText() {
    const QMap<int, double> widths = m_widths.value(0);
    // "Müller" (6) < "SV Süd & Co" (11) < the unranked row's note (44); the note of class 4
    // stands alone in its row and leaves "Pl." narrow.
    QVERIFY(widths.value(2) > 0);
    QVERIFY(widths.value(2) < widths.value(4));
    QVERIFY(widths.value(4) < widths.value(10));
    QVERIFY(m_widths.value(1).value(1) < widths.value(2));
}

QTEST_GUILESS_MAIN(TestCupWorkbook)
#include "tst_cupworkbook.moc"
