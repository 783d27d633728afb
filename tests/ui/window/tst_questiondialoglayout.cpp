#include "ui/window/QuestionDialogLayout.h"

#include <QFont>
#include <QTest>

// The question dialog's layout keeps the designed size where the question fits and grows only
// as far as a longer question or a larger font needs; every question of the program is read
// whole. (The dialog itself on screen: tst_questiondialog_xvfb.)
class TestQuestionDialogLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyQuestionFits_data();
    void everyQuestionFits();
    void designedSizeWhereTheTextFits();
};

namespace {

const QString Longest =
    QStringLiteral("Haben Sie das Protokoll gespeichert und/oder wollen Sie ein Neues öffnen?");

QFont fontOfPixels(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    return font;
}

} // namespace

void TestQuestionDialogLayout::everyQuestionFits_data() {
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QString>("question");
    const QStringList questions{
        QStringLiteral("Beenden?"), Longest,
        QStringLiteral("Neues Protokoll mit Zufallsergebnissen generieren?"),
        QStringLiteral("Die Ergebnisse zu löschen?")};
    // 8 pt at 96 dpi, the usual 9 and 10 pt desktop fonts, and large ones.
    for (int pixels : {11, 13, 16, 22}) {
        for (const QString& question : questions)
            QTest::addRow("%dpx %s", pixels, qPrintable(question.left(20))) << pixels << question;
    }
}

void TestQuestionDialogLayout::everyQuestionFits() {
    QFETCH(int, pixels);
    QFETCH(QString, question);
    const QFontMetrics metrics(fontOfPixels(pixels));
    const auto layout = QuestionDialogLayout::layoutFor(metrics, question);
    const QSize needed = QuestionDialogLayout::textSize(metrics, question, layout.text.width());
    QVERIFY2(needed.width() <= layout.text.width() && needed.height() <= layout.text.height(),
             qPrintable(QStringLiteral("%1x%2 in %3x%4")
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(layout.text.width())
                            .arg(layout.text.height())));
    const QRect dialog(QPoint(0, 0), layout.dialog);
    QVERIFY(dialog.contains(layout.text));
    QVERIFY(dialog.contains(layout.yes));
    QVERIFY(dialog.contains(layout.no));
    QVERIFY(layout.yes.top() > layout.text.bottom());
    QVERIFY(!layout.yes.intersects(layout.no));
    QVERIFY(layout.yes.width() >= metrics.horizontalAdvance(QStringLiteral("Nein")));
    QVERIFY(layout.dialog.width() >= QuestionDialogLayout::DesignedSize.width());
    QVERIFY(layout.dialog.height() >= QuestionDialogLayout::DesignedSize.height());
}

void TestQuestionDialogLayout::designedSizeWhereTheTextFits() {
    const QFontMetrics metrics(fontOfPixels(11));
    const auto layout = QuestionDialogLayout::layoutFor(metrics, QStringLiteral("Beenden?"));
    QCOMPARE(layout.dialog, QuestionDialogLayout::DesignedSize);
    QCOMPARE(layout.text, QuestionDialogLayout::DesignedText);
    QCOMPARE(layout.yes, QuestionDialogLayout::DesignedYes);
    QCOMPARE(layout.no, QuestionDialogLayout::DesignedNo);
}

QTEST_MAIN(TestQuestionDialogLayout)
#include "tst_questiondialoglayout.moc"
