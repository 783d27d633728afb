#include "ui/window/MainStatusBar.h"
#include "widgets/ElidingLabel.h"

#include <QTest>

// The derivation message in its 320-pixel status panel: whole where it fits, else cut at the
// end so that its start and count stay readable, with the whole text as tooltip.
class TestElidingLabel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void derivationMessages_data();
    void derivationMessages();
};

void TestElidingLabel::derivationMessages_data() {
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QString>("message");
    for (int pixels : {11, 13, 16}) {
        for (int errors : {1, 100, 1000}) {
            QTest::addRow("%dpx %d errors", pixels, errors)
                << pixels
                << QStringLiteral("Es sind %1 Fehler gefunden, diese Zeilen werden nicht versäumt")
                       .arg(errors);
        }
        QTest::addRow("%dpx none", pixels) << pixels << QString();
    }
}

void TestElidingLabel::derivationMessages() {
    QFETCH(int, pixels);
    QFETCH(QString, message);
    MainStatusBar bar;
    QFont font = bar.font();
    font.setPixelSize(pixels);
    bar.setFont(font);
    bar.resize(800, 24);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.setPanelText(MainStatusBar::StageMessage, message);
    auto* panel = qobject_cast<ElidingLabel*>(bar.panel(MainStatusBar::StageMessage));
    QVERIFY(panel);
    QCOMPARE(panel->width(), 320);
    QCOMPARE(bar.panelText(MainStatusBar::StageMessage), message);
    QCOMPARE(panel->toolTip(), message);
    const QString shown = panel->shownText();
    QVERIFY(panel->fontMetrics().horizontalAdvance(shown) <= panel->contentsRect().width());
    if (shown != message) {
        QVERIFY(shown.endsWith(QChar(0x2026)));
        // The count is never what is cut off.
        QVERIFY2(shown.startsWith(message.section(u' ', 0, 3)), qPrintable(shown));
    }
}

QTEST_MAIN(TestElidingLabel)
#include "tst_elidinglabel.moc"
