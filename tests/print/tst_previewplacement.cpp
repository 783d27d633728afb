#include "print/PreviewPlacement.h"

#include <QTest>

// The preview window's place: page width + 24, centred, the work area's full height.
class TstPreviewPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void place_data();
    void place();
};

void TstPreviewPlacement::place_data() {
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("client");
    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("A4 without frame")
        << QSize(748, 1090) << screen << screen << QMargins() << QRect(254, 0, 772, 1024);
    QTest::newRow("A4 with frame and panel")
        << QSize(748, 1090) << screen << QRect(0, 30, 1280, 994) << QMargins(2, 22, 2, 2)
        << QRect(254, 52, 772, 970);
    QTest::newRow("second screen")
        << QSize(748, 1090) << QRect(1280, 0, 1920, 1080) << QRect(1280, 0, 1920, 1080)
        << QMargins() << QRect(1854, 0, 772, 1080);
    QTest::newRow("page wider than the screen")
        << QSize(748, 1090) << QRect(0, 0, 640, 512) << QRect(0, 0, 640, 512)
        << QMargins(1, 1, 1, 1) << QRect(1, 1, 638, 510);
}

void TstPreviewPlacement::place() {
    QFETCH(QSize, page);
    QFETCH(QRect, screen);
    QFETCH(QRect, workArea);
    QFETCH(QMargins, frame);
    QFETCH(QRect, client);
    QCOMPARE(PreviewPlacement::clientRect(page, screen, workArea, frame), client);
}

QTEST_APPLESS_MAIN(TstPreviewPlacement)
#include "tst_previewplacement.moc"
