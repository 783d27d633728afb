#include "mock/WindowFixture.h"
#include "ui/window/MainWindow.h"
#include "ui/window/QuestionDialog.h"
#include "ui/window/QuestionDialogLayout.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QTimer>

// Every question of the program on a real X server, as the operator sees it over the main
// window: read whole, both answers on the dialog, the dialog on the screen.
// Setting VELMORA_SCREENSHOT_DIR keeps a picture of each.
class TestQuestionDialogXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void questionReadWhole_data();
    void questionReadWhole();
};

void TestQuestionDialogXvfb::questionReadWhole_data() {
    QTest::addColumn<QString>("question");
    QTest::newRow("Beenden") << "Beenden?";
    QTest::newRow("Neue") << "Haben Sie das Protokoll gespeichert und/oder wollen Sie ein "
                             "Neues öffnen?";
    QTest::newRow("Zufall") << "Neues Protokoll mit Zufallsergebnissen generieren?";
    QTest::newRow("Löschen") << "Die Ergebnisse zu löschen?";
}

void TestQuestionDialogXvfb::questionReadWhole() {
    QFETCH(QString, question);
    InstallationFixture install;
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QuestionDialog dialog(window.session().programTitle(), &window);
    bool looked = false;
    QTimer::singleShot(0, &dialog, [&] {
        // Closed whatever is found, so that a failure cannot leave the test waiting.
        const auto close = qScopeGuard([&] { dialog.reject(); });
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* text = dialog.findChild<QLabel*>(QStringLiteral("LabelQuestion"));
        QVERIFY(text);
        QCOMPARE(text->text(), question);
        const QSize needed =
            QuestionDialogLayout::textSize(text->fontMetrics(), question, text->width());
        QVERIFY2(needed.height() <= text->height() && needed.width() <= text->width(),
                 qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(text->width())
                                .arg(text->height())));
        for (const QPushButton* button : {dialog.yesButton(), dialog.noButton()}) {
            QVERIFY(button->isVisible());
            QVERIFY(dialog.rect().contains(button->geometry()));
            QVERIFY(button->geometry().top() > text->geometry().bottom());
            QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) < button->width());
        }
        QVERIFY(
            QGuiApplication::primaryScreen()->availableGeometry().contains(dialog.frameGeometry()));
        const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QVERIFY(dialog.grab().save(QDir(dir).filePath(
                QStringLiteral("question-%1.png").arg(QTest::currentDataTag()))));
        }
        looked = true;
    });
    QVERIFY(!dialog.ask(question));
    QVERIFY(looked);
    if (question == QLatin1String("Beenden?"))
        QCOMPARE(dialog.size(), QuestionDialogLayout::DesignedSize);
}

QTEST_MAIN(TestQuestionDialogXvfb)
#include "tst_questiondialog_xvfb.moc"
