#include "timing/widgets/SegmentDigit.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {

using Points = QList<QPoint>;

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

const QColor background(0x10, 0x10, 0x10);
const QColor lit(0xFF, 0x00, 0x00);
const QColor unlit(0x00, 0x00, 0x60);

QImage render(SegmentDigit& digit) {
    QImage image(digit.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    digit.render(&image);
    return image;
}

void makeBig(SegmentDigit& digit) {
    digit.resize(52, 92);
    digit.setThickness(5);
    digit.setSeparation(1);
    digit.setColor(background);
    digit.setColorOn(lit);
    digit.setColorOff(unlit);
}

} // namespace

// The seven-segment digit: value rules, geometry and painting.
class TestSegmentDigit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void constructorValues();
    void segmentGeometry_data();
    void segmentGeometry();
    void segmentTable();
    void paintsLitAndUnlitSegments_data();
    void paintsLitAndUnlitSegments();
    void thicknessMustFit();
    void overflowShowsZero();
    void unchangedValuesDoNotRepaint();
};

void TestSegmentDigit::constructorValues() {
    SegmentDigit digit;
    QCOMPARE(digit.size(), QSize(16, 32));
    QCOMPARE(digit.value(), 0);
    QCOMPARE(digit.valueBinary(), 125);
    QCOMPARE(digit.colorOn(), QColor(0xFF, 0xFF, 0x00));
    QCOMPARE(digit.colorOff(), QColor(0, 0, 0));
    QCOMPARE(digit.color(), QColor(0, 0, 0));
    QCOMPARE(digit.thickness(), 2);
    QCOMPARE(digit.separation(), 1);
    QCOMPARE(digit.borderStyle(), SegmentDigit::BorderStyle::Single);
    QCOMPARE(digit.property("Value").toInt(), 0);
    QVERIFY(digit.setProperty("Value", 7));
    QCOMPARE(digit.valueBinary(), 81);
}

void TestSegmentDigit::segmentGeometry_data() {
    QTest::addColumn<int>("bit");
    QTest::addColumn<Points>("points");
    QTest::newRow("top") << 0 << Points{{6, 5}, {11, 0}, {40, 0}, {45, 5}, {40, 10}, {11, 10}};
    QTest::newRow("middle") << 1
                            << Points{{6, 45}, {11, 40}, {40, 40}, {45, 45}, {40, 50}, {11, 50}};
    QTest::newRow("bottom") << 2
                            << Points{{6, 86}, {11, 81}, {40, 81}, {45, 86}, {40, 91}, {11, 91}};
    QTest::newRow("upper left") << 3
                                << Points{{0, 11}, {5, 6}, {10, 11}, {10, 39}, {5, 44}, {0, 39}};
    QTest::newRow("upper right") << 4 << Points{{41, 11}, {46, 6},  {51, 11},
                                                {51, 39}, {46, 44}, {41, 39}};
    QTest::newRow("lower left") << 5
                                << Points{{0, 51}, {5, 46}, {10, 51}, {10, 79}, {5, 84}, {0, 79}};
    QTest::newRow("lower right") << 6 << Points{{41, 51}, {46, 46}, {51, 51},
                                                {51, 79}, {46, 84}, {41, 79}};
    QTest::newRow("point") << 7 << Points{{51, 91}, {42, 91}, {51, 82}};
}

void TestSegmentDigit::segmentGeometry() {
    QFETCH(int, bit);
    QFETCH(Points, points);
    const QList<QPolygon> polygons = SegmentDigit::segmentPolygons(52, 92, 5, 1);
    QCOMPARE(polygons.size(), 8);
    QCOMPARE(Points(polygons[bit].begin(), polygons[bit].end()), points);
}

void TestSegmentDigit::segmentTable() {
    const int expected[10] = {125, 80, 55, 87, 90, 79, 111, 81, 127, 95};
    SegmentDigit digit;
    for (int v = 9; v >= 0; --v) {
        digit.setValue(v);
        QCOMPARE(digit.valueBinary(), expected[v]);
    }
}

void TestSegmentDigit::paintsLitAndUnlitSegments_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<Points>("litPoints");
    QTest::addColumn<Points>("unlitPoints");
    // Centres of top, middle, bottom, upper left, upper right, lower left, lower right.
    const QPoint top(25, 5), middle(25, 45), bottom(25, 86), ul(5, 25), ur(46, 25), ll(5, 65),
        lr(46, 65), point(49, 89);
    QTest::newRow("1") << 1 << Points{ur, lr} << Points{top, middle, bottom, ul, ll, point};
    QTest::newRow("0") << 0 << Points{top, bottom, ul, ur, ll, lr} << Points{middle, point};
    QTest::newRow("8") << 8 << Points{top, middle, bottom, ul, ur, ll, lr} << Points{point};
    QTest::newRow("2") << 2 << Points{top, middle, bottom, ur, ll} << Points{ul, lr, point};
}

void TestSegmentDigit::paintsLitAndUnlitSegments() {
    QFETCH(int, value);
    QFETCH(Points, litPoints);
    QFETCH(Points, unlitPoints);
    SegmentDigit digit;
    makeBig(digit);
    digit.setValue(value);
    const QImage image = render(digit);
    for (const QPoint& p : litPoints)
        QCOMPARE(QColor(image.pixel(p)), lit);
    for (const QPoint& p : unlitPoints)
        QCOMPARE(QColor(image.pixel(p)), unlit);
    // Between the segments lies the background.
    QCOMPARE(QColor(image.pixel(25, 25)), background);
    QCOMPARE(QColor(image.pixel(0, 0)), background);

    digit.setValueBinary(0x80);
    const QImage pointOnly = render(digit);
    QCOMPARE(QColor(pointOnly.pixel(49, 89)), lit);
    QCOMPARE(QColor(pointOnly.pixel(46, 65)), unlit);
}

void TestSegmentDigit::thicknessMustFit() {
    SegmentDigit digit;
    digit.resize(52, 92);
    digit.setThickness(30);
    QCOMPARE(digit.thickness(), 2);
    digit.setThickness(26);
    QCOMPARE(digit.thickness(), 26);
    digit.resize(52, 50);
    digit.setThickness(20);
    QCOMPARE(digit.thickness(), 20);
    digit.setThickness(26); // 26 > 50 div 2
    QCOMPARE(digit.thickness(), 20);
    digit.setThickness(25);
    QCOMPARE(digit.thickness(), 25);
    digit.setSeparation(-3);
    QCOMPARE(digit.separation(), -3);
}

void TestSegmentDigit::overflowShowsZero() {
    SegmentDigit digit;
    QSignalSpy overflow(&digit, &SegmentDigit::overflow);
    digit.setValue(12);
    QCOMPARE(overflow.size(), 1);
    QCOMPARE(digit.value(), 0);
    QCOMPARE(digit.valueBinary(), 125);
    digit.setValue(4);
    digit.setValue(-2);
    QCOMPARE(overflow.size(), 2);
    QCOMPARE(digit.value(), 0);
    QCOMPARE(digit.valueBinary(), 125);
    digit.setValue(0);
    QCOMPARE(overflow.size(), 2);
}

void TestSegmentDigit::unchangedValuesDoNotRepaint() {
    SegmentDigit digit;
    makeBig(digit);
    digit.setValue(3);
    PaintCounter counter;
    digit.installEventFilter(&counter);
    digit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&digit));
    QTRY_VERIFY(counter.count > 0);
    QTest::qWait(20);
    counter.count = 0;

    digit.setValue(3);
    digit.setColorOn(lit);
    digit.setColorOff(unlit);
    digit.setColor(background);
    digit.setValueBinary(SegmentDigit::SegmentTable[3]);
    digit.setBorderStyle(SegmentDigit::BorderStyle::Single);
    QTest::qWait(30);
    QCOMPARE(counter.count, 0);

    digit.setValue(4);
    digit.setColorOn(QColor(0, 255, 0));
    QTRY_COMPARE(counter.count, 1);
    QTest::qWait(30);
    QCOMPARE(counter.count, 1);
}

QTEST_MAIN(TestSegmentDigit)
#include "tst_segmentdigit.moc"
