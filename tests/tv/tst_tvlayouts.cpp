#include "tv/BestTeamWindowLayout.h"
#include "tv/TextFit.h"
#include "tv/TimeWindowLayout.h"
#include "tv/TitleFit.h"
#include "tv/Top3WindowLayout.h"
#include "tv/VideoWindowLayout.h"

#include <QTest>

// The audience windows' geometry for several screen sizes, measured with fixed numbers.
class TstTvLayouts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titleFit_data();
    void titleFit();
    void textFit_data();
    void textFit();
    void timeWindow_data();
    void timeWindow();
    void timeWindowDigitsScale();
    void timeWindowLogo_data();
    void timeWindowLogo();
    void videoWindow_data();
    void videoWindow();
    void top3Window_data();
    void top3Window();
    void bestTeamWindow_data();
    void bestTeamWindow();
};

namespace {

// Every character half the pixel size wide; lines 1.25 times the size high.
QSize fixedMeasure(const QString& text, int size) {
    return QSize(static_cast<int>(text.size()) * size / 2, size * 5 / 4);
}

const std::array<QString, 3> Mark{QStringLiteral("Qu"), QStringLiteral("ar"),
                                  QStringLiteral("nek")};

} // namespace

void TstTvLayouts::titleFit_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("bar");
    QTest::addColumn<int>("size");
    // 10 characters at size s are 5 s wide; it must stay below bar - 4.
    QTest::newRow("fits at once") << QStringLiteral("0123456789") << 20 << 200 << 20;
    QTest::newRow("exactly bar - 4 does not fit")
        << QStringLiteral("0123456789") << 20 << 104 << 19;
    QTest::newRow("shrinks") << QStringLiteral("0123456789") << 40 << 105 << 20;
    QTest::newRow("too long stops at 5") << QString(200, u'x') << 40 << 100 << 5;
    QTest::newRow("start size 4 stays") << QStringLiteral("x") << 4 << 100 << 4;
    QTest::newRow("empty title keeps the size") << QString() << 54 << 1920 << 54;
}

void TstTvLayouts::titleFit() {
    QFETCH(QString, title);
    QFETCH(int, start);
    QFETCH(int, bar);
    QFETCH(int, size);
    QCOMPARE(TitleFit::fit(title, start, bar, fixedMeasure), size);
}

void TstTvLayouts::textFit_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<QSize>("room");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bar"); // grown from 100 up to 300 with 10 at each end
    // 10 characters at size s are 5 s wide and 1.25 s high.
    const QString ten = QStringLiteral("0123456789");
    QTest::newRow("fits at once") << ten << 20 << QSize(100, 25) << 20 << 120;
    QTest::newRow("too wide shrinks") << ten << 20 << QSize(99, 100) << 19 << 120;
    QTest::newRow("the widest line decides")
        << "ab\r\n" + ten + "\r\nc" << 20 << QSize(60, 100) << 12 << 120;
    QTest::newRow("all lines must fit the height")
        << "a\nb\nc\nd" << 40 << QSize(500, 100) << 20 << 100;
    QTest::newRow("too long stops at 5") << QString(200, u'x') << 40 << QSize(100, 100) << 5 << 300;
    QTest::newRow("a small start stays") << ten << 4 << QSize(1, 1) << 4 << 100;
}

void TstTvLayouts::textFit() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(QSize, room);
    QFETCH(int, size);
    QFETCH(int, bar);
    QCOMPARE(TextFit::size(text, start, room, fixedMeasure), size);
    QCOMPARE(TextFit::barWidth(text, start, 100, 300, 10, fixedMeasure), bar);
}

void TstTvLayouts::timeWindow_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("footer");
    QTest::addColumn<int>("font");
    QTest::addColumn<QRect>("panel");
    QTest::addColumn<QRect>("labelBest");
    QTest::addColumn<int>("upperHeight");
    QTest::addColumn<int>("thickness");
    QTest::addColumn<int>("lowerTop");
    QTest::addColumn<int>("lowerHeight");
    // F = round(H / 10); middle = H - 2 F; panel width round(320 * middle / 202), centred;
    // P = middle - F; upper height P * 4 / 10, top F / 3; lower height P * 57 / 100 - round(1.8 F).
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 108 << 54 << QRect(275, 108, 1369, 756)
                               << QRect(0, 864, 1920, 108) << 302 << 23 << 36 + 302 + 46
                               << 430 - 194;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << 102 << 51 << QRect(0, 102, 1280, 718)
                               << QRect(0, 820, 1280, 102) << 287 << 22 << 34 + 287 + 44
                               << 409 - 184;
    QTest::newRow("3840x2160") << QSize(3840, 2160) << 216 << 108 << QRect(551, 216, 2737, 1512)
                               << QRect(0, 1728, 3840, 216) << 604 << 46 << 72 + 604 + 92
                               << 861 - 389;
}

void TstTvLayouts::timeWindow() {
    QFETCH(QSize, screen);
    QFETCH(int, footer);
    QFETCH(int, font);
    QFETCH(QRect, panel);
    QFETCH(QRect, labelBest);
    QFETCH(int, upperHeight);
    QFETCH(int, thickness);
    QFETCH(int, lowerTop);
    QFETCH(int, lowerHeight);
    const TimeWindowLayout l =
        TimeWindowLayout::compute(screen, QSize(), QStringLiteral("Titel"), Mark, fixedMeasure);
    QCOMPARE(l.footerHeight, footer);
    QCOMPARE(l.footer, QRect(0, screen.height() - footer, screen.width(), footer));
    QCOMPARE(l.title, QRect(0, 0, screen.width(), footer));
    QCOMPARE(l.windowFont, font);
    QCOMPARE(l.labelBestFont, qRound(font * 1.2));
    QCOMPARE(l.timerPanel, panel);
    QCOMPARE(l.labelBest, labelBest);
    QCOMPARE(l.nameCurrent, QRect(0, panel.height() - footer, panel.width(), footer));
    QCOMPARE(l.upper[0].top(), footer / 3);
    QCOMPARE(l.upper[0].height(), upperHeight);
    QCOMPARE(l.thickness, thickness);
    QCOMPARE(l.lower[4].top(), lowerTop);
    QCOMPARE(l.lower[4].height(), lowerHeight);
    // The lower row ends above the competitor bar.
    QVERIFY(l.lower[0].bottom() < l.nameCurrent.top());
    // The word mark at the right of the footer: its three parts measured at F / 2.
    const int half = footer / 2;
    const int mark = 2 * (2 * half / 2) + 3 * half / 2;
    QCOMPARE(l.wordMark, QRect(screen.width() - mark - 2, 0, mark + 2, footer));
}

void TstTvLayouts::timeWindowDigitsScale() {
    const TimeWindowLayout l =
        TimeWindowLayout::compute(QSize(1920, 1080), QSize(), {}, Mark, fixedMeasure);
    const double sx = 1369.0 / 320;
    QCOMPARE(l.scaleX, sx);
    QCOMPARE(l.scaleY, 864.0 / 202);
    for (int i = 0; i < 5; ++i) {
        const int left = TimeWindowLayout::DigitLeft[i];
        QCOMPARE(l.upper[i].left(), qRound(left * sx));
        QCOMPARE(l.upper[i].left() + l.upper[i].width(),
                 qRound((left + TimeWindowLayout::DigitWidth) * sx));
        QCOMPARE(l.lower[i].left(), l.upper[i].left());
        QCOMPARE(l.lower[i].width(), l.upper[i].width());
    }
    // The commas fill the gap between the third and fourth digit.
    QCOMPARE(l.upperComma.left(), l.upper[2].right() + 1);
    QCOMPARE(l.upperComma.right() + 1, l.upper[3].left());
    QCOMPARE(l.upperComma.height(), qRound(302 * 1.2));
    QCOMPARE(l.lowerComma.top(), l.lower[0].top());
    QCOMPARE(l.lowerComma.height(), qRound(l.lower[2].height() * 1.2));
    QCOMPARE(l.commaFont, qRound(64 * sx));
}

void TstTvLayouts::timeWindowLogo_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("width");
    QTest::newRow("none keeps the width") << QSize() << -1;
    QTest::newRow("square") << QSize(50, 50) << 108;
    QTest::newRow("wide, rounded") << QSize(300, 70) << qRound(300.0 * 108 / 70);
}

void TstTvLayouts::timeWindowLogo() {
    QFETCH(QSize, picture);
    QFETCH(int, width);
    const TimeWindowLayout l =
        TimeWindowLayout::compute(QSize(1920, 1080), picture, {}, Mark, fixedMeasure);
    QCOMPARE(l.logoWidth.value_or(-1), width);
}

void TstTvLayouts::videoWindow_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("titleFont");
    QTest::addColumn<int>("shadow");
    QTest::addColumn<int>("stripFont");
    QTest::addColumn<int>("timeBestFont");
    // Title font H / 26 points (4/3 pixels each), its height 1.25 of it; strip font half the
    // title's height in points; the shadow a fifteenth of the title's points.
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 55 << 3 << 45 << 39;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << 52 << 3 << 43 << 36;
    QTest::newRow("3840x2160") << QSize(3840, 2160) << 111 << 6 << 92 << 77;
    QTest::newRow("resized small") << QSize(640, 260) << 13 << 1 << 11 << 9;
}

void TstTvLayouts::videoWindow() {
    QFETCH(QSize, screen);
    QFETCH(int, titleFont);
    QFETCH(int, shadow);
    QFETCH(int, stripFont);
    QFETCH(int, timeBestFont);
    const VideoWindowLayout l = VideoWindowLayout::compute(screen, fixedMeasure);
    QCOMPARE(l.titleFont, titleFont);
    QCOMPARE(l.shadowSize, shadow);
    QCOMPARE(l.stripFont, stripFont);
    QCOMPARE(l.timeBestFont, timeBestFont);
    const int titleHeight = titleFont * 5 / 4;
    QCOMPARE(l.title, QRect(0, screen.height() - titleHeight, screen.width(), titleHeight));
    QCOMPARE(l.strip.bottom() + 1, l.title.top());
    QCOMPARE(l.strip.height(), stripFont * 5 / 4);
    // The time boxes end at the right edge and hold "00.00,00".
    QCOMPARE(l.timeBest.right() + 1, screen.width());
    QCOMPARE(l.timeBest.width(), 8 * timeBestFont / 2);
    QCOMPARE(l.timeBest.height(), l.strip.height());
    QCOMPARE(l.nameBestRight, l.timeBest.left() - 6);
    QCOMPARE(l.timeCurrent.right() + 1, screen.width());
    QCOMPARE(l.timeCurrent.width(), 8 * titleFont / 2);
    QCOMPARE(l.timeCurrent.bottom() + 1, l.strip.top());
    QCOMPARE(l.nameCurrentRight, l.timeCurrent.left() - 6);
}

void TstTvLayouts::top3Window_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("titleHeight");
    QTest::addColumn<int>("rowHeight");
    QTest::addColumn<QList<int>>("columns");
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 90 << 75
                               << QList<int>{128, 192, 1918 - 128 - 192 - 128 - 128 - 320,
                                             128, 128, 320};
    QTest::newRow("1280x1024") << QSize(1280, 1024) << 85 << 71
                               << QList<int>{85, 128, 1278 - 85 - 128 - 85 - 85 - 213, 85, 85, 213};
    QTest::newRow("3840x2160") << QSize(3840, 2160) << 180 << 150
                               << QList<int>{256, 384, 3838 - 256 - 384 - 256 - 256 - 640,
                                             256, 256, 640};
}

void TstTvLayouts::top3Window() {
    QFETCH(QSize, screen);
    QFETCH(int, titleHeight);
    QFETCH(int, rowHeight);
    QFETCH(QList<int>, columns);
    const Top3WindowLayout l = Top3WindowLayout::compute(screen, QStringLiteral("T"), fixedMeasure);
    QCOMPARE(l.title, QRect(0, 0, screen.width(), titleHeight));
    QCOMPARE(l.windowFont, titleHeight / 2);
    QCOMPARE(l.titleFont, titleHeight / 2);
    QCOMPARE(l.footer, QRect(0, screen.height() - titleHeight, screen.width(), titleHeight));
    QCOMPARE(l.footerFont, l.titleFont);
    QCOMPARE(l.table, QRect(0, titleHeight, screen.width(), screen.height() - 2 * titleHeight));
    QCOMPARE(l.rowHeight, rowHeight);
    QCOMPARE(l.columnWidths, columns);
}

void TstTvLayouts::bestTeamWindow_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("footer");
    QTest::addColumn<QRect>("panel");
    // F = round(H / 8); panel width round(320 * (H - 2 F) / 202), centred.
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 135 << QRect(318, 135, 1283, 810);
    QTest::newRow("1280x1024") << QSize(1280, 1024) << 128 << QRect(31, 128, 1217, 768);
    QTest::newRow("3840x2160") << QSize(3840, 2160) << 270 << QRect(637, 270, 2566, 1620);
}

void TstTvLayouts::bestTeamWindow() {
    QFETCH(QSize, screen);
    QFETCH(int, footer);
    QFETCH(QRect, panel);
    const BestTeamWindowLayout l =
        BestTeamWindowLayout::compute(screen, QStringLiteral("T"), fixedMeasure);
    QCOMPARE(l.footerHeight, footer);
    QCOMPARE(l.windowFont, footer / 2);
    QCOMPARE(l.labelBestFont, qRound(footer / 2 * 1.2));
    QCOMPARE(l.title, QRect(0, 0, screen.width(), footer));
    QCOMPARE(l.footer, QRect(0, screen.height() - footer, screen.width(), footer));
    QCOMPARE(l.panel, panel);
    QCOMPARE(l.heading, QRect(0, 0, panel.width(), 2 * footer));
    QCOMPARE(l.members, QRect(0, 2 * footer, panel.width(), panel.height() - 2 * footer));
}

QTEST_GUILESS_MAIN(TstTvLayouts)
#include "tst_tvlayouts.moc"
