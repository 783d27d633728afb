#include "CupSample.h"
#include "cup/CupWorkbook.h"
#include "output/ZipPackage.h"

#include <QXmlStreamReader>
#include <QtTest>

// The standings' workbook unpacked and read as an office program reads it: the sheets, the
// cells with their numbers and texts, the struck values and the columns' widths.
class TestCupWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sheets();
    void cells_data();
    void cells();
    void columnsAsWideAsTheirLongestText();

private:
    struct Cell {
        QString text; // the shared string, or the number as written
        bool number = false;
        bool struck = false;
    };
    struct Sheet {
        QMap<QString, Cell> cells;
        QMap<int, double> widths;
    };
    QStringList m_names;
    QList<Sheet> m_sheets;
};

namespace {

QList<QXmlStreamAttributes> elements(const QByteArray& xml, QStringView wanted,
                                     QStringList* texts = nullptr) {
    QList<QXmlStreamAttributes> found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == wanted) {
            found.append(reader.attributes());
            if (texts)
                texts->append(reader.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
    return found;
}

} // namespace

void TestCupWorkbook::initTestCase() {
    const std::optional<QByteArray> bytes = CupWorkbook::build(
        CupSample::standings(), QStringLiteral("Winter-Cup"), CupRules::Scoring::PointsTable);
    QVERIFY(bytes);
    const std::optional<ZipPackage> zip = ZipPackage::fromBytes(*bytes);
    QVERIFY(zip);
    for (const QXmlStreamAttributes& sheet :
         elements(zip->part(QStringLiteral("xl/workbook.xml")), u"sheet"))
        m_names << sheet.value(QLatin1String("name")).toString();
    QStringList strings;
    elements(zip->part(QStringLiteral("xl/sharedStrings.xml")), u"si", &strings);
    // A cell format is struck when its font is.
    const QByteArray styles = zip->part(QStringLiteral("xl/styles.xml"));
    QList<bool> struckFonts;
    {
        QXmlStreamReader reader(styles);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == u"font")
                struckFonts.append(false);
            if (reader.isStartElement() && reader.name() == u"strike")
                struckFonts.last() = true;
        }
    }
    QList<bool> struckFormats;
    {
        QXmlStreamReader reader(styles);
        bool inCellXfs = false;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.name() == u"cellXfs")
                inCellXfs = reader.isStartElement();
            else if (inCellXfs && reader.isStartElement() && reader.name() == u"xf")
                struckFormats.append(
                    struckFonts.value(reader.attributes().value(QLatin1String("fontId")).toInt()));
        }
    }
    for (qsizetype i = 0; i < m_names.size(); ++i) {
        const QByteArray xml = zip->part(QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1));
        Sheet sheet;
        QXmlStreamReader reader(xml);
        QString ref;
        Cell cell;
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement())
                continue;
            const QXmlStreamAttributes a = reader.attributes();
            if (reader.name() == u"col") {
                for (int c = a.value(QLatin1String("min")).toInt();
                     c <= a.value(QLatin1String("max")).toInt(); ++c)
                    sheet.widths.insert(c, a.value(QLatin1String("width")).toDouble());
            } else if (reader.name() == u"c") {
                ref = a.value(QLatin1String("r")).toString();
                cell = Cell{};
                cell.number = a.value(QLatin1String("t")) != u"s";
                cell.struck = struckFormats.value(a.value(QLatin1String("s")).toInt());
            } else if (reader.name() == u"v") {
                const QString v = reader.readElementText();
                cell.text = cell.number ? v : strings.value(v.toInt());
                sheet.cells.insert(ref, cell);
            }
        }
        m_sheets.append(sheet);
    }
}

void TestCupWorkbook::sheets() {
    QCOMPARE(m_names, (QStringList{"Klasse 3", "Klasse 4", "Vereine"}));
}

void TestCupWorkbook::cells_data() {
    QTest::addColumn<int>("sheet");
    QTest::addColumn<QString>("ref");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<bool>("struck");
    QTest::newRow("caption") << 0 << "G1"
                             << "Lauf 3 <Süd>" << false << false;
    QTest::newRow("name") << 0 << "B2"
                          << "Müller" << false << false;
    QTest::newRow("counted value") << 0 << "E2"
                                   << "100" << true << false;
    QTest::newRow("dropped value") << 0 << "G2"
                                   << "60" << true << true;
    QTest::newRow("total") << 0 << "H2"
                           << "180" << true << false;
    QTest::newRow("mark") << 0 << "J2"
                          << "uneinholbar" << false << false;
    QTest::newRow("status") << 0 << "F3"
                            << "DNS" << false << false;
    QTest::newRow("gap") << 0 << "I3"
                         << "20" << true << false;
    QTest::newRow("fraction") << 1 << "E2"
                              << "50.5" << true << false;
    QTest::newRow("voided") << 1 << "F2"
                            << "annulliert" << false << false;
    QTest::newRow("voided note") << 1 << "A4"
                                 << "Lauf 2 annulliert: Sturm" << false << false;
    QTest::newRow("club caption") << 2 << "A1"
                                  << "Vereine" << false << false;
    QTest::newRow("club") << 2 << "B4"
                          << "TSV <Nord>" << false << false;
    QTest::newRow("club sum") << 2 << "C4"
                              << "160" << true << false;
}

void TestCupWorkbook::cells() {
    QFETCH(int, sheet);
    QFETCH(QString, ref);
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(bool, struck);
    QVERIFY(m_sheets.value(sheet).cells.contains(ref));
    const auto cell = m_sheets.at(sheet).cells.value(ref);
    QCOMPARE(cell.text, text);
    QCOMPARE(cell.number, number);
    QCOMPARE(cell.struck, struck);
}

void TestCupWorkbook::columnsAsWideAsTheirLongestText() {
    const QMap<int, double>& widths = m_sheets.value(0).widths;
    // "Müller" (6) < "SV Süd & Co" (11) < the unranked row's note (44).
    QVERIFY(widths.value(2) > 0);
    QVERIFY(widths.value(2) < widths.value(4));
    QVERIFY(widths.value(4) < widths.value(10));
    // The voided note of class 4 stands alone in its row and does not widen "Pl.".
    QVERIFY(m_sheets.value(1).widths.value(1) < widths.value(4));
}

QTEST_GUILESS_MAIN(TestCupWorkbook)
#include "tst_cupworkbook.moc"
