#include "session/ProgramEnvironment.h"
#include "ui/window/TitlePicture.h"
#include "ui/window/WindowPlacement.h"
#include "widgets/PageTabBar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

// The small geometry rules of the window.
class TestEnvironment : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultPlacement_data();
    void defaultPlacement();
    void minimumSize_data();
    void minimumSize();
    void placementOnPresentScreens_data();
    void placementOnPresentScreens();
    void frameAndClient();
    void keptOnScreen_data();
    void keptOnScreen();
    void captionOrigin_data();
    void captionOrigin();
    void titlePictureFits_data();
    void titlePictureFits();
    void titlePictureLoadFailureStaysHidden();
};

void TestEnvironment::defaultPlacement_data() {
    QTest::addColumn<QRect>("workArea");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("1600 wide") << QRect(0, 0, 1600, 960) << QRect(440, 0, 720, 960);
    QTest::newRow("odd width truncates") << QRect(0, 0, 1025, 740) << QRect(152, 0, 720, 740);
    QTest::newRow("panel on top") << QRect(0, 30, 1280, 994) << QRect(280, 30, 720, 994);
    QTest::newRow("narrower than window: fits") << QRect(0, 0, 701, 500) << QRect(0, 0, 701, 500);
    QTest::newRow("200 % on 1280 x 1024") << QRect(0, 0, 640, 512) << QRect(0, 0, 640, 512);
    QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QRect(2200, 0, 720, 1024);
}

void TestEnvironment::defaultPlacement() {
    QFETCH(QRect, workArea);
    QFETCH(QRect, expected);
    QCOMPARE(WindowPlacement::defaultPlacement(workArea), expected);
}

void TestEnvironment::minimumSize_data() {
    QTest::addColumn<int>("sizingFrame");
    QTest::addColumn<QSize>("workArea");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("no frame") << 0 << QSize() << QSize(711, 480);
    QTest::newRow("frame of 4") << 4 << QSize() << QSize(719, 480);
    QTest::newRow("large screen") << 1 << QSize(1920, 1080) << QSize(713, 480);
    QTest::newRow("200 % on 1280 x 1024 gives way") << 1 << QSize(640, 512) << QSize(640, 480);
    QTest::newRow("low screen gives way") << 1 << QSize(800, 450) << QSize(713, 450);
}

void TestEnvironment::minimumSize() {
    QFETCH(int, sizingFrame);
    QFETCH(QSize, workArea);
    QFETCH(QSize, expected);
    QCOMPARE(WindowPlacement::minimumOuterSize(sizingFrame, workArea), expected);
}

void TestEnvironment::frameAndClient() {
    const QMargins openbox(1, 20, 1, 5);
    const QRect frame(600, 0, 720, 1080);
    QCOMPARE(WindowPlacement::clientRect(frame, openbox), QRect(601, 20, 718, 1055));
    QCOMPARE(WindowPlacement::frameRect(WindowPlacement::clientRect(frame, openbox), openbox),
             frame);
}

void TestEnvironment::keptOnScreen_data() {
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("expected");
    // Two screens side by side, the right one with a panel on top.
    QTest::newRow("on the first screen") << QRect(100, 50, 800, 600) << QRect(100, 50, 800, 600);
    QTest::newRow("whole first screen") << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1080);
    QTest::newRow("across both screens below the panel")
        << QRect(1500, 100, 800, 600) << QRect(1500, 100, 800, 600);
    QTest::newRow("under the panel") << QRect(2000, 0, 800, 600) << QRect(2000, 30, 800, 600);
    QTest::newRow("taller than the screen") << QRect(100, 0, 722, 1105) << QRect(100, 0, 722, 1080);
    QTest::newRow("off the right edge") << QRect(3000, 100, 800, 600) << QRect(2400, 100, 800, 600);
    QTest::newRow("screen gone: to the primary")
        << QRect(5000, 2000, 800, 600) << QRect(1120, 480, 800, 600);
    QTest::newRow("above everything") << QRect(200, -700, 800, 600) << QRect(200, 0, 800, 600);
    QTest::newRow("partly above") << QRect(200, -100, 800, 600) << QRect(200, 0, 800, 600);
}

void TestEnvironment::keptOnScreen() {
    QFETCH(QRect, stored);
    QFETCH(QRect, expected);
    const QList<QRect> workAreas{QRect(0, 0, 1920, 1080), QRect(1920, 30, 1280, 994)};
    QCOMPARE(WindowPlacement::keptOnScreen(stored, workAreas, workAreas.first()), expected);
}

void TestEnvironment::placementOnPresentScreens_data() {
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("expected");
    // Two screens side by side; the work area of the first one lacks a panel at the bottom.
    const QRect keep;
    QTest::newRow("on the first screen") << QRect(10, 20, 800, 600) << keep;
    QTest::newRow("on the second screen") << QRect(1500, 100, 700, 500) << keep;
    QTest::newRow("across both") << QRect(1000, 0, 1000, 700) << keep;
    QTest::newRow("title strip just far enough in") << QRect(-700, 0, 800, 600) << keep;
    QTest::newRow("title strip too little in")
        << QRect(-701, 0, 800, 600) << QRect(40, 0, 800, 600);
    QTest::newRow("above every screen") << QRect(10, -600, 800, 600) << QRect(40, 0, 800, 600);
    QTest::newRow("title strip half above") << QRect(10, -8, 800, 600) << QRect(40, 0, 800, 600);
    QTest::newRow("below every screen") << QRect(10, 1100, 800, 600) << QRect(40, 0, 800, 600);
    QTest::newRow("right of every screen") << QRect(3000, 10, 800, 600) << QRect(40, 0, 800, 600);
    QTest::newRow("where a third screen was, too big")
        << QRect(3000, 10, 2000, 1500) << QRect(0, 0, 880, 1040);
}

void TestEnvironment::placementOnPresentScreens() {
    QFETCH(QRect, stored);
    QFETCH(QRect, expected);
    const QList<QRect> screens{QRect(0, 0, 880, 1080), QRect(880, 0, 1920, 1080)};
    const QRect workArea(0, 0, 880, 1040);
    QCOMPARE(WindowPlacement::onPresentScreens(stored, screens, workArea),
             expected.isNull() ? stored : expected);
}

void TestEnvironment::captionOrigin_data() {
    QTest::addColumn<QRect>("tab");
    QTest::addColumn<int>("textWidth");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("even") << QRect(0, 0, 120, 24) << 80 << QPoint(20, 4);
    QTest::newRow("odd rest") << QRect(10, 2, 121, 24) << 80 << QPoint(30, 6);
    QTest::newRow("text wider than tab") << QRect(0, 0, 50, 24) << 81 << QPoint(-15, 4);
}

void TestEnvironment::captionOrigin() {
    QFETCH(QRect, tab);
    QFETCH(int, textWidth);
    QFETCH(QPoint, expected);
    QCOMPARE(PageTabBar::captionOrigin(tab, textWidth), expected);
}

void TestEnvironment::titlePictureFits_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("wide picture") << QSize(400, 100) << QRect(0, 0, 200, 202)
                                  << QRect(0, 76, 200, 50);
    QTest::newRow("tall picture") << QSize(100, 400) << QRect(716, 0, 300, 202)
                                  << QRect(841, 0, 50, 202);
    QTest::newRow("small picture grows")
        << QSize(50, 50) << QRect(0, 0, 100, 202) << QRect(0, 51, 100, 100);
    QTest::newRow("no room") << QSize(50, 50) << QRect(0, 0, 0, 202) << QRect();
}

void TestEnvironment::titlePictureFits() {
    QFETCH(QSize, picture);
    QFETCH(QRect, area);
    QFETCH(QRect, expected);
    QCOMPARE(TitlePicture::fittedRect(picture, area), expected);
}

void TestEnvironment::titlePictureLoadFailureStaysHidden() {
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.jpg"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    QWidget parent;
    TitlePicture picture(&parent);
    parent.show();
    QVERIFY(!picture.load(broken));
    QVERIFY(!picture.isVisible());
    QVERIFY(!picture.hasPicture());
    const QString good = dir.filePath(QStringLiteral("good.jpg"));
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(good, "JPG"));
    QVERIFY(picture.load(good));
    QVERIFY(picture.isVisible());
}

QTEST_MAIN(TestEnvironment)
#include "tst_environment.moc"
