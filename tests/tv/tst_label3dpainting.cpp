#include "tv/Label3DPainting.h"

#include <QTest>

// The 3D label's drawing rules as numbers: copies, frame rings, gradient lines, text offset.
class TstLabel3DPainting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copies_data();
    void copies();
    void directions_data();
    void directions();
    void rings_data();
    void rings();
    void gradient_data();
    void gradient();
    void textOffset_data();
    void textOffset();
};

using P = Label3DPainting;
Q_DECLARE_METATYPE(P::Bevel)
Q_DECLARE_METATYPE(P::BorderStyle)
Q_DECLARE_METATYPE(P::Layout)

namespace {

// "H-1-1 S1+1 T0+0": role letter and offset per copy, in drawing order.
QString describe(const QList<P::Copy>& copies) {
    QStringList out;
    for (const P::Copy& c : copies) {
        const char* role = "?";
        switch (c.role) {
        case P::Role::HighLight:
            role = "H";
            break;
        case P::Role::Shadow:
            role = "S";
            break;
        case P::Role::Text:
            role = "T";
            break;
        case P::Role::GreyText:
            role = "G";
            break;
        default:
            break;
        }
        out << QStringLiteral("%1%2%3%4")
                   .arg(QLatin1String(role))
                   .arg(c.offset.x() >= 0 ? "+" : "")
                   .arg(c.offset.x())
                   .arg(QStringLiteral("%1%2").arg(c.offset.y() >= 0 ? "+" : "").arg(c.offset.y()));
    }
    return out.join(u' ');
}

} // namespace

void TstLabel3DPainting::copies_data() {
    QTest::addColumn<P::Bevel>("bevel");
    QTest::addColumn<int>("napr");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << P::Bevel::None << 1 << 1 << true << "T+0+0";
    QTest::newRow("raised default") << P::Bevel::Raised << 1 << 1 << true << "H-1-1 S+1+1 T+0+0";
    QTest::newRow("lowered") << P::Bevel::Lowered << 1 << 2 << true << "S-2-2 H+2+2 T+0+0";
    QTest::newRow("shadow") << P::Bevel::Shadow << 1 << 2 << true << "S+2+2 T+0+0";
    QTest::newRow("shadow without directions is plain")
        << P::Bevel::Shadow << 0 << 2 << true << "T+0+0";
    QTest::newRow("size 0 puts every copy on the text")
        << P::Bevel::Raised << 3 << 0 << true << "H+0+0 S+0+0 S+0+0 T+0+0";
    QTest::newRow("disabled raised: no highlight, grey text")
        << P::Bevel::Raised << 1 << 1 << false << "S+1+1 G+0+0";
    QTest::newRow("disabled lowered: no shadow copy")
        << P::Bevel::Lowered << 1 << 1 << false << "H+1+1 G+0+0";
    QTest::newRow("two directions") << P::Bevel::Shadow << 0x30 << 3 << true << "S+3+0 S+0+3 T+0+0";
}

void TstLabel3DPainting::copies() {
    QFETCH(P::Bevel, bevel);
    QFETCH(int, napr);
    QFETCH(int, size);
    QFETCH(bool, enabled);
    QFETCH(QString, expected);
    QCOMPARE(describe(P::copies(bevel, napr, size, enabled)), expected);
}

void TstLabel3DPainting::directions_data() {
    QTest::addColumn<int>("bit");
    QTest::addColumn<QPoint>("offset");
    const QList<QPoint> expected{{1, 1}, {-1, 1}, {-1, -1}, {1, -1},
                                 {1, 0}, {0, 1},  {-1, 0},  {0, -1}};
    for (int bit = 0; bit < 8; ++bit)
        QTest::addRow("bit %d", bit) << bit << expected[bit] * 4;
}

void TstLabel3DPainting::directions() {
    QFETCH(int, bit);
    QFETCH(QPoint, offset);
    QCOMPARE(P::directions(1 << bit, 4), QList<QPoint>{offset});
    QCOMPARE(P::directions(0x1FF & ~0x100, 1).size(), 8);
}

void TstLabel3DPainting::rings_data() {
    QTest::addColumn<P::BorderStyle>("style");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<P::Ring>>("expected");
    QTest::addColumn<int>("frame");
    using R = P::Role;
    const R sh = R::ButtonShadow, hi = R::ButtonHighlight;
    QTest::newRow("none") << P::BorderStyle::None << 3 << QList<P::Ring>{} << 0;
    QTest::newRow("normal") << P::BorderStyle::Normal << 2
                            << QList<P::Ring>{{0, 2, R::Border, R::Border}} << 2;
    QTest::newRow("lowered") << P::BorderStyle::Lowered << 1 << QList<P::Ring>{{0, 1, sh, hi}} << 1;
    QTest::newRow("raised") << P::BorderStyle::Raised << 1 << QList<P::Ring>{{0, 1, hi, sh}} << 1;
    QTest::newRow("inn") << P::BorderStyle::Inn << 2
                         << QList<P::Ring>{{0, 2, sh, hi}, {2, 2, hi, sh}} << 4;
    QTest::newRow("out") << P::BorderStyle::Out << 3
                         << QList<P::Ring>{{0, 3, hi, sh}, {3, 3, sh, hi}} << 6;
}

void TstLabel3DPainting::rings() {
    QFETCH(P::BorderStyle, style);
    QFETCH(int, width);
    QFETCH(QList<P::Ring>, expected);
    QFETCH(int, frame);
    QCOMPARE(P::rings(style, width), expected);
    QCOMPARE(P::frameWidth(style, width), frame);
}

void TstLabel3DPainting::gradient_data() {
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("last");
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<quint32>>("expected");
    QTest::newRow("one pixel wide paints nothing")
        << 0xFFFFFFu << 0x008080u << 0 << QList<quint32>{};
    QTest::newRow("two lines") << 0xFFFFFFu << 0x008080u << 1
                               << QList<quint32>{0xFFFFFFu, 0x008080u};
    // (255 * 2 + 0) / 3 = 170, (255 * 1) / 3 = 85; (255*2 + 128) / 3 = 212, (255 + 256) / 3 = 170
    QTest::newRow("integer division per channel")
        << 0xFFFFFFu << 0x008080u << 3
        << QList<quint32>{0xFFFFFFu, 0xAAD4D4u, 0x55AAAAu, 0x008080u};
    QTest::newRow("truncates, never rounds")
        << 0x000000u << 0x010203u << 2 << QList<quint32>{0x000000u, 0x000101u, 0x010203u};
}

void TstLabel3DPainting::gradient() {
    QFETCH(quint32, first);
    QFETCH(quint32, last);
    QFETCH(int, n);
    QFETCH(QList<quint32>, expected);
    QCOMPARE(P::gradient(first, last, n), expected);
}

void TstLabel3DPainting::textOffset_data() {
    QTest::addColumn<P::Layout>("layout");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("textHeight");
    QTest::addColumn<int>("offset");
    QTest::newRow("top") << P::Layout::Top << 40 << 10 << 0;
    QTest::newRow("centre") << P::Layout::Center << 40 << 10 << 15;
    QTest::newRow("centre odd truncates") << P::Layout::Center << 41 << 10 << 15;
    QTest::newRow("centre taller text truncates toward zero")
        << P::Layout::Center << 10 << 13 << -1;
    QTest::newRow("bottom") << P::Layout::Bottom << 40 << 10 << 30;
}

void TstLabel3DPainting::textOffset() {
    QFETCH(P::Layout, layout);
    QFETCH(int, height);
    QFETCH(int, textHeight);
    QFETCH(int, offset);
    QCOMPARE(P::textOffset(layout, height, textHeight), offset);
}

QTEST_GUILESS_MAIN(TstLabel3DPainting)
#include "tst_label3dpainting.moc"
