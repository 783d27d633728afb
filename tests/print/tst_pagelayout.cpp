#include "print/PageLayout.h"

#include <QTest>

// Column bands, rows per page and page labels of the shared page layout.
class TstPageLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void factors_data();
    void factors();
    void pages_data();
    void pages();
    void printerPagesEqualPreviewPages_data();
    void printerPagesEqualPreviewPages();
    void cellLeftStartsAtThirtyDevicePixels();
};

using IntList = QList<int>;
using StringList = QStringList;

void TstPageLayout::factors_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("screenDpi");
    QTest::addColumn<int>("factor");
    QTest::newRow("1200 on 96") << 1200 << 96 << 12;
    QTest::newRow("600 on 96") << 600 << 96 << 6;
    QTest::newRow("300 on 96 is cut down") << 300 << 96 << 3;
    QTest::newRow("preview resolution") << 96 << 96 << 1;
    QTest::newRow("coarser than the screen") << 72 << 96 << 1;
    QTest::newRow("no screen resolution") << 600 << 0 << 600;
}

void TstPageLayout::factors() {
    QFETCH(int, dpi);
    QFETCH(int, screenDpi);
    QFETCH(int, factor);
    const PageGeometry g = PageGeometry::forDevice(9000, 12000, dpi, dpi, screenDpi);
    QCOMPARE(g.factorX, factor);
    QCOMPARE(g.factorY, factor);
    QCOMPARE(g.deviceX(7), 7 * factor);
    QCOMPARE(g.preview().pageWidth, 9000 / factor);
    QCOMPARE(g.preview().deviceX(7), 7);
}

void TstPageLayout::pages_data() {
    QTest::addColumn<IntList>("widths");
    QTest::addColumn<int>("rows"); // data rows, 19 pixels each
    QTest::addColumn<int>("pageWidth");
    QTest::addColumn<int>("pageHeight");
    QTest::addColumn<StringList>("labels");
    QTest::addColumn<IntList>("bands");    // first column of each page's band
    QTest::addColumn<IntList>("lastCols"); // last column of each page's band
    QTest::addColumn<IntList>("firstRows");

    // Height 100: a row fits while its foot, 20 + 19 (n + 1), stays 18 above the page's foot,
    // clear of the page label: two to a page.
    QTest::newRow("narrow table") << IntList{50, 50} << 10 << 250 << 100
                                  << StringList{"Seite 1", "Seite 2", "Seite 3", "Seite 4",
                                                "Seite 5"}
                                  << IntList{0, 0, 0, 0, 0} << IntList{1, 1, 1, 1, 1}
                                  << IntList{1, 3, 5, 7, 9};
    QTest::newRow("one page") << IntList{50, 50} << 2 << 250 << 100 << StringList{"Seite 1"}
                              << IntList{0} << IntList{1} << IntList{1};
    QTest::newRow("a row whose foot would reach the label")
        << IntList{50, 50} << 3 << 250 << 100 << StringList{"Seite 1", "Seite 2"} << IntList{0, 0}
        << IntList{1, 1} << IntList{1, 3};
    // 101 + 101 fit in 250, the third column does not.
    QTest::newRow("wide table, band after band")
        << IntList{100, 100, 100} << 4 << 250 << 100
        << StringList{"Seite 1-1", "Seite 2-1", "Seite 1-2", "Seite 2-2"} << IntList{0, 0, 2, 2}
        << IntList{1, 1, 2, 2} << IntList{1, 3, 1, 3};
    QTest::newRow("column wider than the page is a band of its own")
        << IntList{50, 400, 50} << 2 << 250 << 100
        << StringList{"Seite 1-1", "Seite 1-2", "Seite 1-3"} << IntList{0, 1, 2} << IntList{0, 1, 2}
        << IntList{1, 1, 1};
    QTest::newRow("hidden columns take no room")
        << IntList{120, -1, 120, -1, -1} << 1 << 250 << 100 << StringList{"Seite 1"} << IntList{0}
        << IntList{4} << IntList{1};
    QTest::newRow("hidden column after a cut joins the band before it")
        << IntList{300, -1, 100} << 1 << 250 << 100 << StringList{"Seite 1-1", "Seite 1-2"}
        << IntList{0, 2} << IntList{1, 2} << IntList{1, 1};
    QTest::newRow("exactly full width")
        << IntList{124, 124} << 1 << 250 << 100 << StringList{"Seite 1"} << IntList{0} << IntList{1}
        << IntList{1};
    QTest::newRow("one pixel too wide")
        << IntList{124, 125} << 1 << 250 << 100 << StringList{"Seite 1-1", "Seite 1-2"}
        << IntList{0, 1} << IntList{0, 1} << IntList{1, 1};
    QTest::newRow("absurd column width")
        << IntList{50, 2147483647, 50} << 1 << 250 << 100
        << StringList{"Seite 1-1", "Seite 1-2", "Seite 1-3"} << IntList{0, 1, 2} << IntList{0, 1, 2}
        << IntList{1, 1, 1};
    // Height 50: not even one row fits under the header, each still gets a page.
    QTest::newRow("page lower than a row")
        << IntList{50} << 3 << 250 << 50 << StringList{"Seite 1", "Seite 2", "Seite 3"}
        << IntList{0, 0, 0} << IntList{0, 0, 0} << IntList{1, 2, 3};
}

void TstPageLayout::pages() {
    QFETCH(IntList, widths);
    QFETCH(int, rows);
    QFETCH(int, pageWidth);
    QFETCH(int, pageHeight);
    QFETCH(StringList, labels);
    QFETCH(IntList, bands);
    QFETCH(IntList, lastCols);
    QFETCH(IntList, firstRows);
    const PageLayout layout(widths, IntList(rows + 1, 19));
    const QList<PrintPage> pages = layout.pages({pageWidth, pageHeight, 1, 1}, 1, rows);
    QStringList gotLabels;
    IntList gotBands, gotLastCols, gotFirstRows;
    int covered = 0;
    for (const PrintPage& page : pages) {
        gotLabels << page.label();
        gotBands << page.firstCol;
        gotLastCols << page.lastCol;
        gotFirstRows << page.firstRow;
        covered += page.lastRow - page.firstRow + 1;
    }
    QCOMPARE(gotLabels, labels);
    QCOMPARE(gotBands, bands);
    QCOMPARE(gotLastCols, lastCols);
    QCOMPARE(gotFirstRows, firstRows);
    // Every band shows every row exactly once.
    QCOMPARE(covered, rows * (pages.last().band));
    QCOMPARE(layout.pageCount({pageWidth, pageHeight, 1, 1}, 1, rows), pages.size());
}

void TstPageLayout::printerPagesEqualPreviewPages_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("A4 at 1200 dpi") << 1200 << 8976 << 13087;
    QTest::newRow("A4 at 600 dpi") << 600 << 4488 << 6543;
    QTest::newRow("letter at 300 dpi, landscape") << 300 << 3150 << 2400;
    QTest::newRow("remainders just below a row") << 1200 << 8999 << 13091;
}

void TstPageLayout::printerPagesEqualPreviewPages() {
    QFETCH(int, dpi);
    QFETCH(int, width);
    QFETCH(int, height);
    // The heat start list's widths on a wide window, with its two hidden columns.
    const PageLayout layout({31, 214, 161, 161, 20, 51, 50, 50, 50, -1, -1}, IntList(501, 19));
    const PageGeometry printer = PageGeometry::forDevice(width, height, dpi, dpi, 96);
    const QList<PrintPage> printed = layout.pages(printer, 1, 500);
    QCOMPARE(layout.pages(printer.preview(), 1, 500), printed);
    QVERIFY(printed.size() > 1);
}

void TstPageLayout::cellLeftStartsAtThirtyDevicePixels() {
    const PageLayout layout({40, -1, 60}, IntList(2, 19));
    const PageGeometry printer{9000, 13000, 12, 12};
    QCOMPARE(layout.cellLeft(printer, 0, 0), 30);
    QCOMPARE(layout.cellLeft(printer, 0, 1), 30 + 41 * 12);
    QCOMPARE(layout.cellLeft(printer, 0, 2), 30 + 41 * 12);
    QCOMPARE(layout.cellLeft(printer.preview(), 0, 2), 30 + 41);
    const PageLayout absurd({2147483647, 2147483647, 10}, IntList(2, 19));
    QCOMPARE(absurd.cellLeft(printer, 0, 2), 2147483647);
}

QTEST_APPLESS_MAIN(TstPageLayout)
#include "tst_pagelayout.moc"
