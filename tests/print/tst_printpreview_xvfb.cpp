#include "mock/PrintTableFixture.h"
#include "print/PrintPreviewCommand.h"

#include <QProcess>
#include <QScreen>
#include <QTest>
#include <cmath>

// The print preview on a real X server with a window manager: its whole frame, title bar and
// close button included, on the screen, whatever the screen's size and scaling.
namespace {

// _NET_FRAME_EXTENTS of the window as the window manager set it, in the window's own units.
QMargins frameExtents(const QWidget& window) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("_NET_FRAME_EXTENTS")});
    if (!xprop.waitForFinished(5000))
        return QMargins();
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    const QStringList values = out.section(u'=', 1).split(u',', Qt::SkipEmptyParts);
    if (values.size() != 4)
        return QMargins();
    const double ratio = window.devicePixelRatioF();
    const auto logical = [&](int i) {
        return static_cast<int>(std::ceil(values[i].trimmed().toInt() / ratio));
    };
    return QMargins(logical(0), logical(2), logical(1), logical(3));
}

} // namespace

class TestPrintPreviewXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void frameOnTheScreen_data();
    void frameOnTheScreen();

private:
    void showOnce(bool shownAgain);
};

void TestPrintPreviewXvfb::frameOnTheScreen_data() {
    QTest::addColumn<bool>("shownAgain");
    QTest::newRow("first shown") << false;
    QTest::newRow("prepared again while shown") << true;
}

void TestPrintPreviewXvfb::frameOnTheScreen() {
    QFETCH(bool, shownAgain);
    // How the window manager and the window meet differs from one showing to the next.
    for (int showing = 0; showing < 3; ++showing)
        showOnce(shownAgain);
}

void TestPrintPreviewXvfb::showOnce(bool shownAgain) {
    PrintTableFixture f;
    f.fill(200);
    const auto accept = [](QPrinter&, int, QWidget*) {
        return true;
    };
    PrintPreviewCommand command(*f.preview, QStringLiteral("Velmora"), nullptr, accept);
    QVERIFY(command.run(*f.view, QStringLiteral("      Vorlauf-Startliste")));
    QVERIFY(QTest::qWaitForWindowExposed(f.preview.get()));
    if (shownAgain)
        QVERIFY(command.run(*f.view, QStringLiteral("      Vorlauf-Startliste")));
    const QRect available = f.preview->screen()->availableGeometry();
    // The window manager frames the window and the preview places itself again then. Qt does
    // not always learn the frame's size, so the X server is asked for it.
    QTest::qWait(400);
    QMargins frame;
    QTRY_VERIFY((frame = frameExtents(*f.preview)) != QMargins());
    // Settled within a few seconds, whatever the window manager did meanwhile.
    const auto outer = [&] {
        return f.preview->geometry().marginsAdded(frame);
    };
    QTRY_VERIFY2_WITH_TIMEOUT(
        available.contains(outer()),
        qPrintable(QString("frame top %1, bottom %2").arg(outer().top()).arg(outer().bottom())),
        5000);
}

QTEST_MAIN(TestPrintPreviewXvfb)
#include "tst_printpreview_xvfb.moc"
