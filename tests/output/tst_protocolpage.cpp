#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "competition/SubstituteMarks.h"
#include "mock/FileBytes.h"
#include "mock/FileSystemFaults.h"
#include "output/ProtocolPage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using FileBytes::readFile;

using namespace StageTables;

namespace {

std::unique_ptr<CompetitionTable> stageTable(int tag) {
    auto grid = std::make_unique<CompetitionTable>(columnCount(tag));
    grid->setTag(tag);
    grid->setRowCells(0, defaultCaptions(tag));
    return grid;
}

// The lines of the page, each without its CR LF.
QList<QByteArray> pageLines(const QByteArray& page) {
    QList<QByteArray> lines = page.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

const QByteArray kHeadForVelmora =
    "<HTML>\r\n"
    "<HEAD>\r\n"
    "<!--www.quarnek.de software -->\r\n"
    "<TITLE>Velmora Zeitenprotokoll</TITLE>\r\n"
    "<META name=keywords content=\"Velmora Zeitenprotokoll\">\r\n"
    "<META name=description content=\"Quarnek Benutzerdefinierte Softwareentwicklung\">\r\n"
    "<META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">\r\n"
    "<META name=\"Webdesign\" content=\"www.quarnek.de\">\r\n"
    "</HEAD>\r\n"
    "<STYLE type=text/css>\r\n"
    "body  {font-family: Arial; font-size: 13px}\r\n"
    "table {font-size: 13px}\r\n"
    "h4 {margin-top: 0px; padding-top: 0px}\r\n"
    "</STYLE>\r\n"
    "<BODY bgcolor=#F5F5F5>\r\n"
    "<DIV style=\"FILTER: Blur(direction=225, strength=6); WIDTH:100%\"><H2>&nbsp;Velmora</H2>\r\n"
    "</div><H4>      Vorlauf-Startliste</H4>\r\n"
    "<table bgcolor=#ffffff borderColor=#DADADA border=1 cellpadding=4 width=100% "
    "style=\"BORDER-COLLAPSE: collapse\">\r\n"
    "<thead align=left bgcolor=#91B5FF>\r\n"
    "<colgroup valign=top>\r\n"
    "<col align=right><col align=left><col align=left><col align=left><col align=center>"
    "<col align=center><col align=right><col align=right><col align=right></colgroup>\r\n"
    "<thead align=left bgcolor=#91B5FF>\r\n"
    "<tr>\r\n"
    "\r\n"
    "<th  nowrap>Nr.\r\n"
    "<th  nowrap>Name\r\n"
    "<th  nowrap>Vorname\r\n"
    "<th  nowrap>Verein/Ort\r\n"
    "<th  nowrap>Kl.\r\n"
    "<th  nowrap>Meister\r\n"
    "<th  nowrap>Zeit1\r\n"
    "<th  nowrap>Zeit2\r\n"
    "<th  nowrap>Zeit3\r\n"
    "</tr></thead>\r\n";

const QByteArray kFooterForVelmora =
    "</table>\r\n"
    "</table><P align=right><a href=\"http://www.quarnek.de\" title=\"Velmora\">"
    "<FONT color=#FF0000>Qu</FONT><FONT color=#009900>ar</FONT><FONT color=#999999>nek</FONT>"
    "<FONT color=#666600>&nbsp; Sport Software &nbsp;</FONT>&gt;&gt;</A></P></body></html>\r\n";

} // namespace

// The web page of a stage table: the exact template, the columns, decimal points and escaping.
class TestProtocolPage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholePageOfTheHeatStartList();
    void oneBodyRow();
    void columnsAndAlignment_data();
    void columnsAndAlignment();
    void cellText_data();
    void cellText();
    void statesAndSubstitutes_data();
    void statesAndSubstitutes();
    void insertedValuesAreEscaped();
    void noControlCharacterReachesThePage();
    void writesAtomicallyAndReportsFailure();
};

void TestProtocolPage::wholePageOfTheHeatStartList() {
    auto grid = stageTable(HeatStartList);
    const QByteArray page =
        ProtocolPage::pageBytes(*grid, QStringLiteral("Velmora"), pageCaptions().at(0));
    // Only the header row and one empty row: one body row of nine empty cells.
    QCOMPARE(page, kHeadForVelmora + "<tr><td><td><td><td><td><td><td><td><td></tr>\r\n" +
                       kFooterForVelmora);
}

void TestProtocolPage::oneBodyRow() {
    auto grid = stageTable(HeatStartList);
    grid->setRowCells(1, {"12", "Meier", "Anna", "Nord, Süd", "1", "+", "1:02,50", "10,24", "",
                          "99,99", "88,88"});
    const QByteArray page =
        ProtocolPage::pageBytes(*grid, QStringLiteral("Velmora"), pageCaptions().at(0));
    QVERIFY(page.startsWith(kHeadForVelmora));
    QVERIFY(page.endsWith(kFooterForVelmora));
    QCOMPARE(page.mid(kHeadForVelmora.size(),
                      page.size() - kHeadForVelmora.size() - kFooterForVelmora.size()),
             QByteArray("<tr><td>12<td>Meier<td>Anna<td>Nord. S\xFC"
                        "d<td>1<td>+<td>1:02.50<td>10.24<td></tr>\r\n"));
}

void TestProtocolPage::columnsAndAlignment_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<QByteArray>("colgroup");
    QTest::addColumn<int>("headerCells");
    const QByteArray l = "<col align=left>", c = "<col align=center>", r = "<col align=right>";
    QTest::newRow("heat start list")
        << int(HeatStartList) << r + l + l + l + c + c + r + r + r << 9;
    QTest::newRow("heat results") << int(HeatResults) << r + r + l + l + l + c + c + r + r + r
                                  << 10;
    QTest::newRow("final start list")
        << int(FinalStartList) << r + l + l + l + c + c + r + r + r << 9;
    QTest::newRow("final results")
        << int(FinalResults) << r + r + l + l + l + c + c + r + r + r + r << 11;
}

void TestProtocolPage::columnsAndAlignment() {
    QFETCH(int, tag);
    QFETCH(QByteArray, colgroup);
    QFETCH(int, headerCells);
    auto grid = stageTable(tag);
    grid->setRowsWithHeader(4);
    const QList<QByteArray> lines =
        pageLines(ProtocolPage::pageBytes(*grid, QStringLiteral("T"), QStringLiteral("C")));
    QVERIFY(lines.contains(colgroup + "</colgroup>"));
    QCOMPARE(ProtocolPage::pageColumnCount(*grid), headerCells);
    qsizetype headers = 0;
    qsizetype bodyRows = 0;
    for (const QByteArray& line : lines) {
        if (line.startsWith("<th  nowrap>"))
            ++headers;
        if (line.startsWith("<tr><td>")) {
            ++bodyRows;
            QCOMPARE(line.count("<td>"), headerCells);
        }
    }
    QCOMPARE(headers, headerCells);
    QCOMPARE(bodyRows, 3);
}

void TestProtocolPage::cellText_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QByteArray>("html");
    QTest::newRow("time") << QStringLiteral("1:02,50") << QByteArray("1:02.50");
    QTest::newRow("two commas") << QStringLiteral("1,2,3") << QByteArray("1.2,3");
    QTest::newRow("markup") << QStringLiteral("<b>&") << QByteArray("&lt;b&gt;&amp;");
    QTest::newRow("quote") << QStringLiteral("\"Blitz\"") << QByteArray("&quot;Blitz&quot;");
    QTest::newRow("euro") << QStringLiteral("€") << QByteArray("\x80");
    QTest::newRow("tab") << QStringLiteral("a\tb") << QByteArray("a b");
    QTest::newRow("line breaks") << QStringLiteral("a\r\nb\rc") << QByteArray("a  b c");
    QTest::newRow("control bytes") << QStringLiteral("\x01x\x1A\x1B") << QByteArray(" x  ");
    QTest::newRow("DEL") << QStringLiteral("a\x7F") << QByteArray("a ");
    QTest::newRow("C1 control") << QString(QChar(0x81)) + QChar(0x9D) << QByteArray("  ");
    QTest::newRow("outside the code page") << QStringLiteral("Łódź")
                                           << QByteArray("&#321;\xF3"
                                                         "d&#378;");
}

void TestProtocolPage::cellText() {
    QFETCH(QString, cell);
    QFETCH(QByteArray, html);
    auto grid = stageTable(HeatResults);
    grid->setCell(HeatRes::Name, 1, cell);
    const QList<QByteArray> lines =
        pageLines(ProtocolPage::pageBytes(*grid, QStringLiteral("T"), QStringLiteral("C")));
    QVERIFY(lines.contains("<tr><td><td><td>" + html + "<td><td><td><td><td><td><td></tr>"));
}

void TestProtocolPage::statesAndSubstitutes_data() {
    QTest::addColumn<QStringList>("runs");   // "Zeit1".."Zeit3" of competitor 12
    QTest::addColumn<QString>("substitute"); // the run marked as one in "Zeit2"
    QTest::addColumn<QByteArray>("cells");   // the page's cells of those runs
    const QByteArray state = "<td style=\"background-color:#FFD8A0;color:#602000\">";
    QTest::newRow("plain times") << QStringList{"40,10", "41,37", "42,00"} << QString()
                                 << QByteArray("<td>40.10<td>41.37<td>42.00");
    QTest::newRow("a state") << QStringList{"40,10", "DNF", ""} << QString()
                             << "<td>40.10" + state + "DNF<td>";
    QTest::newRow("a substitute") << QStringList{"40,10", "41,37", ""} << "41,37"
                                  << QByteArray("<td>40.10<td>41.37<sup>E</sup><td>");
    QTest::newRow("a mark the run no longer shows")
        << QStringList{"40,10", "41,38", ""} << "41,37" << QByteArray("<td>40.10<td>41.38<td>");
    QTest::newRow("a state and a substitute") << QStringList{"DNS", "41,37", "DSQ"} << "41,37"
                                              << state + "DNS<td>41.37<sup>E</sup>" + state + "DSQ";
}

void TestProtocolPage::statesAndSubstitutes() {
    QFETCH(QStringList, runs);
    QFETCH(QString, substitute);
    QFETCH(QByteArray, cells);
    auto grid = stageTable(HeatStartList);
    grid->setRowCells(1, QStringList{"12", "Meier", "DNS", "", "1", ""} + runs);
    SubstituteMarks marks;
    if (!substitute.isEmpty())
        marks.add({QStringLiteral("12"), 1, substitute});
    const QByteArray page = ProtocolPage::pageBytes(*grid, QStringLiteral("Velmora"),
                                                    QStringLiteral("C"), {grid.get(), &marks});
    // A first name that reads like a state is no state.
    QVERIFY(pageLines(page).contains("<tr><td>12<td>Meier<td>DNS<td><td>1<td>" + cells + "</tr>"));
    // The legend stands below the table only when the table shows a substitute.
    const bool shown = cells.contains("<sup>");
    QCOMPARE(page.endsWith(kFooterForVelmora), !shown);
    QCOMPARE(page.endsWith("</table>\r\n<P>E = Ersatzzeit</P>\r\n" + kFooterForVelmora.mid(10)),
             shown);
}

void TestProtocolPage::insertedValuesAreEscaped() {
    auto grid = stageTable(FinalResults);
    grid->setCell(FinalRes::Name, 0, QStringLiteral("<i>Name</i>"));
    const QByteArray page = ProtocolPage::pageBytes(*grid, QStringLiteral("Ve\"l<m>&ra"),
                                                    QStringLiteral("  <script>  "));
    QVERIFY(!page.contains("<script>"));
    QVERIFY(!page.contains("<i>"));
    const QList<QByteArray> lines = pageLines(page);
    QVERIFY(lines.contains("<TITLE>Ve&quot;l&lt;m&gt;&amp;ra Zeitenprotokoll</TITLE>"));
    QVERIFY(lines.contains("<META name=keywords content=\"Ve&quot;l&lt;m&gt;&amp;ra "
                           "Zeitenprotokoll\">"));
    QVERIFY(lines.contains("</div><H4>  &lt;script&gt;  </H4>"));
    QVERIFY(lines.contains("<th  nowrap>&lt;i&gt;Name&lt;/i&gt;"));
    QVERIFY(page.contains("title=\"Ve&quot;l&lt;m&gt;&amp;ra\">"));
}

void TestProtocolPage::noControlCharacterReachesThePage() {
    auto grid = stageTable(HeatStartList);
    grid->setCell(Heat::Name, 0, QStringLiteral("Na\nme"));
    grid->setCell(Heat::Name, 1,
                  QStringLiteral("Mei\x02"
                                 "er"));
    const QByteArray page = ProtocolPage::pageBytes(*grid, QStringLiteral("Vel\x7Fmora"),
                                                    QStringLiteral("  Vorlauf\r\n"));
    for (const char ch : page) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch != '\r' && ch != '\n')
            QVERIFY2(byte >= 0x20 && byte != 0x7F, qPrintable(QString::number(byte)));
    }
    QVERIFY(page.contains("<TITLE>Vel mora Zeitenprotokoll</TITLE>\r\n"));
    QVERIFY(page.contains("</div><H4>  Vorlauf  </H4>\r\n"));
    QVERIFY(page.contains("<th  nowrap>Na me\r\n"));
    QVERIFY(page.contains("<td>Mei er"));
    // The template's own line ends are the only ones.
    QCOMPARE(page.count('\n'), page.count("\r\n"));
    QCOMPARE(page.count('\r'), page.count("\r\n"));
}

void TestProtocolPage::writesAtomicallyAndReportsFailure() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmora_Vorlauf-Startliste.html");
    auto grid = stageTable(HeatStartList);
    QVERIFY(ProtocolPage::WriteProtocolPage(path, *grid, QStringLiteral("Velmora"),
                                            pageCaptions().at(0)));
    const QByteArray written = readFile(path);
    QVERIFY(written.startsWith(kHeadForVelmora));

    grid->setCell(Heat::Name, 1, QStringLiteral("neu"));
    FileSystemFaults::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.effective())
        QSKIP("this process cannot give up its permission to write anywhere");
    const FileWriteResult result = ProtocolPage::WriteProtocolPage(
        path, *grid, QStringLiteral("Velmora"), pageCaptions().at(0));
    QVERIFY(!result);
    QCOMPARE(result.message, QStringLiteral("Der Schreibfehler der Datei: ") + path);
    QCOMPARE(readFile(path), written);
}

QTEST_GUILESS_MAIN(TestProtocolPage)
#include "tst_protocolpage.moc"
