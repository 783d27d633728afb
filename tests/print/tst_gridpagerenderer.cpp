#include "competition/CellPresentation.h"
#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/PrintTableFixture.h"
#include "mock/RecordingPaintDevice.h"
#include "print/GridPageRenderer.h"
#include "print/GridPrinter.h"
#include "print/PrinterSetup.h"

#include <QMap>
#include <QPainter>
#include <QPrinter>
#include <QTest>

// The pages of a table as a printer draws them: recorded on a 1200-dpi A4 device.
class TstGridPageRenderer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void labelsAndHeaders_data();
    void labelsAndHeaders();
    void hiddenColumnsAreNotPrinted();
    void cellTextsAreClippedAndAligned_data();
    void cellTextsAreClippedAndAligned();
    void previewPageEqualsPrintedPage();
    void rowsShareTheirBordersAndClearTheLabel_data();
    void rowsShareTheirBordersAndClearTheLabel();
    void longTextsEndInAnEllipsis_data();
    void longTextsEndInAnEllipsis();
    void numbersAreNeverCutOnPaper_data();
    void numbersAreNeverCutOnPaper();
    void statesAndSubstitutesOnPaper_data();
    void statesAndSubstitutesOnPaper();
};

namespace {

// A4 with 10 mm margins at 1200 dpi: factor 12, preview 748 x 1090.
constexpr int A4Width = 8976;
constexpr int A4Height = 13087;

QList<RecordingPaintDevice::Page> printAll(PrintTableFixture& f) {
    f.grid().printOptions().pageTitle = QStringLiteral("      Vorlauf-Startliste");
    RecordingPaintDevice device(A4Width, A4Height, 1200);
    QPainter painter(&device);
    const PageGeometry g = PageGeometry::forDevice(A4Width, A4Height, 1200, 1200, 96);
    const GridPrinter printer(*f.view, f.preview->printers());
    GridPageRenderer::renderPages(
        printer.printable(), &painter, [&device] { device.newPage(); }, g,
        GridPageRenderer::Mode::Printing, 1, f.grid().rowsWithHeader() - 1);
    painter.end();
    return device.pages;
}

} // namespace

using IntList = QList<int>;

void TstGridPageRenderer::labelsAndHeaders_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<IntList>("widths");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("firstHeaders"); // first caption of each page's header row
    // Rows of 19 under the header at 20 whose foot stays 18 above the foot of 1090: 54.
    const IntList designed{31, 190, 143, 143, 20, 51, 50, 50, 50, -1, -1};
    QTest::newRow("narrow") << 120 << designed << QStringList{"Seite 1", "Seite 2", "Seite 3"}
                            << QStringList{"Nr.", "Nr.", "Nr."};
    QTest::newRow("one page") << 54 << designed << QStringList{"Seite 1"} << QStringList{"Nr."};
    QTest::newRow("one row more") << 55 << designed << QStringList{"Seite 1", "Seite 2"}
                                  << QStringList{"Nr.", "Nr."};
    // 32 + 401 + 301 fit 748; the next 301 does not.
    QTest::newRow("wide: band 1 before band 2")
        << 60 << IntList{31, 400, 300, 300, 20, 51, 50, 50, 50, -1, -1}
        << QStringList{"Seite 1-1", "Seite 2-1", "Seite 1-2", "Seite 2-2"}
        << QStringList{"Nr.", "Nr.", "Verein/Ort", "Verein/Ort"};
    QTest::newRow("column wider than the page")
        << 10 << IntList{31, 1000, 161, 161, 20, 51, 50, 50, 50, -1, -1}
        << QStringList{"Seite 1-1", "Seite 1-2", "Seite 1-3"}
        << QStringList{"Nr.", "Name", "Vorname"};
}

void TstGridPageRenderer::labelsAndHeaders() {
    QFETCH(int, rows);
    QFETCH(IntList, widths);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, firstHeaders);
    PrintTableFixture f;
    f.fill(rows);
    f.setWidths(widths);
    const auto pages = printAll(f);
    QCOMPARE(pages.size(), labels.size());
    QCOMPARE(GridPrinter(*f.view, f.preview->printers()).pageCount(), labels.size());
    for (int i = 0; i < pages.size(); ++i) {
        const QStringList texts = pages[i].textList();
        QCOMPARE(texts.value(0), QStringLiteral("      Vorlauf-Startliste"));
        QCOMPARE(texts.value(1), labels[i]);
        QCOMPARE(texts.value(2), firstHeaders[i]);
    }
    // Title at the top, label at the foot right, header row below the title.
    const auto& page = pages.first().texts;
    QVERIFY(page[0].position.y() < 20 * 12);
    QVERIFY(page[1].position.x() > A4Width / 2);
    QVERIFY(page[1].position.y() > A4Height - 16 * 12);
    QVERIFY(page[2].position.y() > 20 * 12);
    QCOMPARE(page[2].clip.top(), 20 * 12 + 1);
}

void TstGridPageRenderer::hiddenColumnsAreNotPrinted() {
    PrintTableFixture f;
    f.fill(30);
    for (const auto& page : printAll(f)) {
        QVERIFY(!page.hasText(QStringLiteral("Zeit4")));
        QVERIFY(!page.hasText(QStringLiteral("Zeit5")));
        QVERIFY(!page.hasText(QStringLiteral("99,99")));
        QVERIFY(page.hasText(QStringLiteral("Zeit3")));
    }
}

void TstGridPageRenderer::cellTextsAreClippedAndAligned_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("align"); // -1 left, 0 centre, 1 right
    QTest::newRow("Nr. right-justified") << 0 << "7" << 1;
    QTest::newRow("first name left") << 2 << "Vorname7" << -1;
    QTest::newRow("Kl. centred") << 4 << "4" << 0;
    QTest::newRow("heat run right-justified") << 6 << "10,17" << 1;
}

void TstGridPageRenderer::cellTextsAreClippedAndAligned() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(int, align);
    PrintTableFixture f;
    f.fill(10);
    const auto pages = printAll(f);
    const auto& texts = pages.first().texts;
    const auto found =
        std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.text == text; });
    QVERIFY(found != texts.end());
    // The clip is the cell box less one pixel on every side.
    const QRect clip = found->clip;
    const int factor = 12;
    const int width = f.view->columnWidth(column);
    QCOMPARE(clip.width(), width * factor + factor - 1);
    QCOMPARE(clip.height(), 19 * factor - 1);
    const int left = clip.left() - 1;
    RecordingPaintDevice device(A4Width, A4Height, 1200);
    const int textWidth = QFontMetrics(f.view->font(), &device).horizontalAdvance(text);
    const int expected = align < 0   ? 3 * factor
                         : align > 0 ? (width - 3) * factor - textWidth
                                     : width * factor / 2 - textWidth / 2;
    QCOMPARE(found->position.x() - left, expected);
    if (column == 0)
        QCOMPARE(left, 30);
}

void TstGridPageRenderer::previewPageEqualsPrintedPage() {
    PrintTableFixture f;
    f.fill(130);
    f.setWidths({31, 400, 300, 300, 20, 51, 50, 50, 50, -1, -1});
    const auto printed = printAll(f);
    const GridPrinter printer(*f.view, f.preview->printers());
    const PageGeometry g = PageGeometry::forDevice(A4Width, A4Height, 1200, 1200, 96);
    QCOMPARE(printed.size(), 6);
    for (int k = 1; k <= printed.size(); ++k) {
        RecordingPaintDevice screen(748, 1090, 96);
        QPainter painter(&screen);
        GridPageRenderer::renderPages(printer.printable(), &painter, {}, g,
                                      GridPageRenderer::Mode::Preview, 1, 130, k);
        painter.end();
        QCOMPARE(screen.pages.size(), 1);
        QCOMPARE(screen.pages.first().textList(), printed[k - 1].textList());
        // The preview first paints its page white, then the same boxes as the printer.
        QCOMPARE(screen.pages.first().boxes.size(), printed[k - 1].boxes.size() + 1);
    }
}

void TstGridPageRenderer::rowsShareTheirBordersAndClearTheLabel_data() {
    QTest::addColumn<int>("dpi");
    QTest::newRow("printer, 1200 dpi") << 1200;
    QTest::newRow("printer, 600 dpi") << 600;
    QTest::newRow("screen") << 96;
}

void TstGridPageRenderer::rowsShareTheirBordersAndClearTheLabel() {
    QFETCH(int, dpi);
    PrintTableFixture f;
    f.fill(200);
    f.grid().printOptions().pageTitle = QStringLiteral("T");
    const PageGeometry g =
        PageGeometry::forDevice(A4Width * dpi / 1200, A4Height * dpi / 1200, dpi, dpi, 96);
    RecordingPaintDevice device(g.pageWidth, g.pageHeight, dpi);
    QPainter painter(&device);
    const GridPrinter printer(*f.view, f.preview->printers());
    GridPageRenderer::renderPages(
        printer.printable(), &painter, [&device] { device.newPage(); }, g,
        GridPageRenderer::Mode::Printing, 1, 200);
    painter.end();
    QVERIFY(device.pages.size() > 2);
    const QFontMetrics label(GridPageRenderer::pageFont(f.view->font()), &device);
    for (const RecordingPaintDevice::Page& page : device.pages) {
        // The boxes of the first column, top to bottom: each row's lower border line is the
        // next row's upper one (an outline of height h is drawn at top and at top + h).
        // The header's grey filling comes before its outline, which replaces it here.
        QMap<int, QRect> outlines;
        for (const QRect& box : page.boxes) {
            if (box.left() == 30)
                outlines.insert(box.top(), box);
        }
        const QList<QRect> column = outlines.values();
        QVERIFY(column.size() > 2);
        for (qsizetype i = 1; i < column.size(); ++i)
            QCOMPARE(column[i].top(), column[i - 1].top() + column[i - 1].height());
        const auto seite = std::find_if(page.texts.begin(), page.texts.end(), [](const auto& t) {
            return t.text.startsWith(QStringLiteral("Seite"));
        });
        QVERIFY(seite != page.texts.end());
        const int labelTop = seite->position.y() - label.ascent();
        QVERIFY(column.last().top() + column.last().height() < labelTop);
    }
}

void TstGridPageRenderer::longTextsEndInAnEllipsis_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cut");
    QTest::newRow("long club") << 3 << "Skiclub Oberammergau-Unterammergau" << true;
    QTest::newRow("long name") << 1 << "Oberhuber-Niederstetten-Obermaier" << true;
    QTest::newRow("short club") << 3 << "SC Au" << false;
}

void TstGridPageRenderer::longTextsEndInAnEllipsis() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, cut);
    PrintTableFixture f;
    f.fill(3);
    f.setWidths({31, 120, 100, 100, 20, 51, 50, 50, 50, -1, -1});
    f.grid().setCell(column, 2, text);
    const auto pages = printAll(f);
    const auto& texts = pages.first().texts;
    const auto found = std::find_if(texts.begin(), texts.end(), [&](const auto& t) {
        return cut ? t.text.size() > 1 && t.text.endsWith(u'…') &&
                         text.startsWith(t.text.chopped(1))
                   : t.text == text;
    });
    QVERIFY(found != texts.end());
    RecordingPaintDevice device(A4Width, A4Height, 1200);
    const int width = QFontMetrics(f.view->font(), &device).horizontalAdvance(found->text);
    QVERIFY(found->position.x() + width <= found->clip.right() + 1);
}

void TstGridPageRenderer::numbersAreNeverCutOnPaper_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    for (const int dpi : {1200, 600, 300}) {
        const QByteArray at = " at " + QByteArray::number(dpi);
        QTest::newRow("Nr. 10100" + at) << dpi << 0 << 0 << "10100";
        QTest::newRow("Endzeit 12345,67" + at) << dpi << 3 << 10 << "12345,67";
        QTest::newRow("Pl. 1000" + at) << dpi << 1 << 0 << "1000";
    }
}

void TstGridPageRenderer::numbersAreNeverCutOnPaper() {
    QFETCH(int, dpi);
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(QString, text);
    // A printer of that resolution, so the table is laid out for the device it is drawn on.
    PrintTableFixture f(true);
    QPrinter& printer = f.preview->printers().printer();
    printer.setResolution(dpi);
    printer.setPageLayout(PrinterSetup::defaultLayout());
    f.competition.writeDerivedHeaders();
    CompetitionTable& grid = f.competition.stageTable(page);
    grid.setRowsWithHeader(3);
    grid.setCell(1, 1, QStringLiteral("7"));
    grid.setCell(column, 2, text);
    CompetitionTableView view(&grid, &f.competition.timeFormat());
    // The widths the window shows, before any number asked for more.
    const QList<int> designed = StageTables::columnWidths(grid.tag(), 740);
    for (int c = 0; c < grid.columns(); ++c) {
        view.setColumnHidden(c, designed[c] < 0);
        view.setColumnWidth(c, qMax(0, designed[c]));
    }
    const PageGeometry g = f.preview->printers().geometry();
    QCOMPARE(g.factorX, dpi / 96);
    RecordingPaintDevice device(g.pageWidth, g.pageHeight, dpi);
    QPainter painter(&device);
    GridPageRenderer::renderPages(
        GridPrinter(view, f.preview->printers()).printable(), &painter,
        [&device] { device.newPage(); }, g, GridPageRenderer::Mode::Printing, 1, 2);
    painter.end();
    const auto& texts = device.pages.first().texts;
    const auto found =
        std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.text == text; });
    QVERIFY(found != texts.end());
    const int width = QFontMetrics(view.font(), &device).horizontalAdvance(text);
    // Drawn whole inside the cell's clip.
    QVERIFY(found->position.x() >= found->clip.left());
    QVERIFY(found->position.x() + width <= found->clip.right() + 1);
}

void TstGridPageRenderer::statesAndSubstitutesOnPaper_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("substitute"); // marked as competitor 3's run in that column
    QTest::addColumn<bool>("state");
    QTest::addColumn<bool>("raised");
    QTest::newRow("state") << 7 << "DNF" << QString() << true << false;
    QTest::newRow("state in a name column") << 2 << "DNS" << QString() << false << false;
    QTest::newRow("substitute") << 7 << "41,37"
                                << "41,37" << false << true;
    QTest::newRow("substitute in a wide time") << 8 << "111:41,37"
                                               << "111:41,37" << false << true;
    QTest::newRow("mark of another time") << 7 << "41,38"
                                          << "41,37" << false << false;
}

void TstGridPageRenderer::statesAndSubstitutesOnPaper() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, substitute);
    QFETCH(bool, state);
    QFETCH(bool, raised);
    PrintTableFixture f;
    f.fill(10);
    f.view->setSubstituteSource(f.competition.substitutes());
    f.grid().setCell(column, 3, text);
    if (!substitute.isEmpty())
        f.competition.substituteMarks().add({QStringLiteral("3"), column - 6, substitute});
    const RecordingPaintDevice::Page page = printAll(f).first();
    const auto found = std::find_if(page.texts.begin(), page.texts.end(),
                                    [&](const auto& t) { return t.text == text; });
    QVERIFY(found != page.texts.end());
    const bool filled = std::any_of(page.fills.begin(), page.fills.end(), [&](const auto& fill) {
        return fill.rect.contains(found->clip) &&
               fill.colour == QColor::fromRgb(CellPresentation::StateBackground);
    });
    QCOMPARE(filled, state);
    QVERIFY(found->position.x() >= found->clip.left());
    QCOMPARE(found->colour, state ? QColor::fromRgb(CellPresentation::StateText) : Qt::black);
    // The mark follows the time, raised, and both stay inside the cell.
    const auto mark = found + 1;
    const bool markFollows =
        mark != page.texts.end() && mark->text == QStringLiteral("E") && mark->clip == found->clip;
    QCOMPARE(markFollows, raised);
    if (raised) {
        RecordingPaintDevice device(A4Width, A4Height, 1200);
        const QFont font = f.view->font();
        QCOMPARE(mark->position.x(),
                 found->position.x() + QFontMetrics(font, &device).horizontalAdvance(text));
        QVERIFY(mark->position.y() < found->position.y());
        const QFontMetrics markMetrics(GridPageRenderer::markFont(font), &device);
        QVERIFY(mark->position.x() + markMetrics.horizontalAdvance(mark->text) <=
                found->clip.right() + 1);
    }
    QCOMPARE(page.hasText(QStringLiteral("E = Ersatzzeit")), raised);
}

QTEST_MAIN(TstGridPageRenderer)
#include "tst_gridpagerenderer.moc"
