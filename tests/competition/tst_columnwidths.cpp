#include "competition/StageTables.h"

#include <QTest>

// Fixed widths, hidden columns and the 40/30/30 split of the rest.
class TstColumnWidths : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void widths_data();
    void widths();
    void captions();
    void pageCaptions();
};

using IntList = QList<int>;

void TstColumnWidths::widths_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<IntList>("expected");

    // Fixed 31+20+51+3*50 = 252, 11 grid-line pixels, hidden columns count nothing.
    // Rest 800-252-11 = 537: 214, 161, 161.
    QTest::newRow("heat start list")
        << 1 << 800 << IntList{31, 214, 161, 161, 20, 51, 50, 50, 50, -1, -1};
    // Fixed 28+31+20+51+150 = 280, 10 columns: rest 510 -> 204, 153, 153.
    QTest::newRow("heat results") << 2 << 800 << IntList{28, 31, 204, 153, 153, 20, 51, 50, 50, 50};
    // Fixed 31+20+51+150 = 252, 9 columns: rest 539 -> 215, 161, 161.
    QTest::newRow("final start list") << 3 << 800 << IntList{31, 215, 161, 161, 20, 51, 50, 50, 50};
    // Fixed 28+31+20+51+150+54 = 334, 11 columns: rest 455 -> 182, 136, 136.
    QTest::newRow("final results")
        << 4 << 800 << IntList{28, 31, 182, 136, 136, 20, 51, 50, 50, 50, 54};
    // Integer division on every share: rest 1 gives nothing.
    QTest::newRow("heat start list narrow rest")
        << 1 << 264 << IntList{31, 0, 0, 0, 20, 51, 50, 50, 50, -1, -1};
    QTest::newRow("heat start list rest 10")
        << 1 << 273 << IntList{31, 4, 3, 3, 20, 51, 50, 50, 50, -1, -1};
    // A window narrower than the fixed columns shows the name columns with no width.
    QTest::newRow("too narrow") << 2 << 100 << IntList{28, 31, 0, 0, 0, 20, 51, 50, 50, 50};
}

void TstColumnWidths::widths() {
    QFETCH(int, tag);
    QFETCH(int, clientWidth);
    QFETCH(IntList, expected);
    QCOMPARE(StageTables::columnWidths(tag, clientWidth), expected);
}

void TstColumnWidths::captions() {
    QCOMPARE(StageTables::defaultCaptions(1),
             QStringList({"Nr.", "Name", "Vorname", "Verein/Ort", "Kl.", "Meister", "Zeit1",
                          "Zeit2", "Zeit3", "Zeit4", "Zeit5"}));
    QCOMPARE(StageTables::defaultCaptions(2),
             QStringList({"Pl.", "Nr.", "Name", "Vorname", "Verein / Ort", "Kl.", "Meister",
                          "Zeit1", "Zeit2", "G-Zeit"}));
    QCOMPARE(StageTables::defaultCaptions(3),
             QStringList({"Nr.", "Name", "Vorname", "Verein / Ort", "Kl.", "Meister", "G-Zeit",
                          "Zeit4", "Zeit5"}));
    QCOMPARE(StageTables::defaultCaptions(4),
             QStringList({"Pl.", "Nr.", "Name", "Vorname", "Verein / Ort", "Kl.", "Meister",
                          "G-Zeit", "Zeit4", "Zeit5", "Endzeit"}));
    QCOMPARE(StageTables::columnCount(5), 5);
    QCOMPARE(StageTables::columnCount(9), 0);
}

void TstColumnWidths::pageCaptions() {
    QCOMPARE(StageTables::pageCaptions(),
             QStringList({"      Vorlauf-Startliste", "      Vorlauf-Ergebnisse",
                          "      Endlauf-Startliste", "      Endlauf-Ergebnisse"}));
}

QTEST_GUILESS_MAIN(TstColumnWidths)
#include "tst_columnwidths.moc"
