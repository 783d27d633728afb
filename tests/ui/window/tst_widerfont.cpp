#include "timing/widgets/TimePanel.h"
#include "ui/window/HeaderBand.h"
#include "widgets/ColorButton.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>

// A machine without Arial or its metric twin draws the header band in a wider font; every
// caption then keeps its designed place and shrinks instead of being cut.
class TestWiderFont : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void captionFits_data();
    void captionFits();
    void titleStaysWhole_data();
    void titleStaysWhole();

private:
    std::unique_ptr<HeaderBand> m_band;
    std::unique_ptr<TimePanel> m_panel;
};

void TestWiderFont::initTestCase() {
    // As on a Debian without fonts-liberation2, DejaVu Sans stands in for Arial.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"));
    if (QFontInfo(QFont(QStringLiteral("Arial"))).family() != u"DejaVu Sans")
        QSKIP("Arial itself is installed here, or DejaVu Sans is missing");
    // Built after the substitution: the captions are fitted when they are made.
    m_band = std::make_unique<HeaderBand>();
    m_panel = std::make_unique<TimePanel>();
}

void TestWiderFont::captionFits_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"bTimer", "bSTART", "bLAP", "bSTOP", "bEintragen", "bRESET",
                             "LabelTitel", "Lab_sek", "Lab_100"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestWiderFont::captionFits() {
    QFETCH(QString, name);
    if (auto* button = m_band->findChild<ColorButton*>(name)) {
        const QFont font = button->captionFont();
        QVERIFY(font.pixelSize() >= 0.6 * button->font().pixelSize());
        // The face's edges and focus frame take four pixels on either side.
        QVERIFY(QFontMetrics(font).horizontalAdvance(button->text()) <= button->width() - 8);
        return;
    }
    auto* label = m_band->findChild<QLabel*>(name);
    if (!label)
        label = m_panel->findChild<QLabel*>(name);
    QVERIFY(label);
    QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
             qPrintable(label->text()));
}

void TestWiderFont::titleStaysWhole_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("whole");
    QTest::newRow("designed") << "Deutsche Meisterschaften im Velmora 2009" << true;
    QTest::newRow("short") << "Vereinsmeisterschaft" << true;
    QTest::newRow("far too long") << QString(120, u'W') << false;
}

void TestWiderFont::titleStaysWhole() {
    QFETCH(QString, title);
    QFETCH(bool, whole);
    m_band->titleEdit->setText(title);
    const QFont font = m_band->titleEdit->font();
    // Never below three quarters of the designed 12 points, however long the title.
    QVERIFY(font.pointSizeF() >= 9);
    QVERIFY(font.pointSizeF() <= 12);
    // The frame and the margins inside it take five pixels on either side.
    const int shown = QFontMetrics(font).horizontalAdvance(title);
    QCOMPARE(shown <= m_band->titleEdit->width() - 10, whole);
}

QTEST_MAIN(TestWiderFont)
#include "tst_widerfont.moc"
