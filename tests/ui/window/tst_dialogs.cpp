#include "mock/WindowFixture.h"
#include "ui/program/InfoDialog.h"
#include "ui/window/QuestionDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

// The question dialog's answers and the information window.
class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void questionLayout();
    void questionAnswers_data();
    void questionAnswers();
    void infoWindow();
    void infoLinkOpensMakerPage();
    void infoClosesOnEscapeAndEnter_data();
    void infoClosesOnEscapeAndEnter();
};

void TestDialogs::questionLayout() {
    QuestionDialog dialog(QStringLiteral("Velmora"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Velmora"));
    QCOMPARE(dialog.size(), QSize(222, 94));
    QCOMPARE(dialog.yesButton()->text(), QStringLiteral("Ja"));
    QCOMPARE(dialog.noButton()->text(), QStringLiteral("Nein"));
    QVERIFY(!dialog.yesButton()->isDefault());
    QVERIFY(!dialog.noButton()->isDefault());
    QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    dialog.setQuestion(QStringLiteral("Beenden?"));
    QCOMPARE(dialog.question(), QStringLiteral("Beenden?"));
}

void TestDialogs::questionAnswers_data() {
    QTest::addColumn<bool>("focusYes");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("expected");
    QTest::newRow("Enter on Nein") << false << int(Qt::Key_Return) << false;
    QTest::newRow("keypad Enter on Nein") << false << int(Qt::Key_Enter) << false;
    QTest::newRow("Escape") << false << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter after moving to Ja") << true << int(Qt::Key_Return) << true;
    QTest::newRow("Escape even on Ja") << true << int(Qt::Key_Escape) << false;
}

void TestDialogs::questionAnswers() {
    QFETCH(bool, focusYes);
    QFETCH(int, key);
    QFETCH(bool, expected);
    QuestionDialog dialog(QStringLiteral("Velmora"));
    bool focusWasOnNo = false;
    QTimer::singleShot(0, &dialog, [&] {
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        focusWasOnNo = QApplication::focusWidget() == dialog.noButton();
        if (focusYes)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    });
    const bool answer =
        dialog.ask(QStringLiteral("Neues Protokoll mit Zufallsergebnissen generieren?"));
    QVERIFY(focusWasOnNo);
    QCOMPARE(answer, expected);
    QCOMPARE(dialog.question(),
             QStringLiteral("Neues Protokoll mit Zufallsergebnissen generieren?"));
}

void TestDialogs::infoWindow() {
    InfoDialog info;
    QCOMPARE(info.windowTitle(), QStringLiteral("Information"));
    QVERIFY(info.okButton()->isDefault());
    const QList<QLabel*> labels = info.findChildren<QLabel*>();
    QStringList texts;
    for (const QLabel* label : labels)
        texts.append(label->text());
    QVERIFY(texts.contains(QStringLiteral("Velmora")));
    QVERIFY(texts.contains(QStringLiteral("Version 1.7 (15.02.2009)")));
    auto* picture = info.findChild<QLabel*>(QStringLiteral("ImageInfo"));
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(120, 150));
    QVERIFY(!picture->pixmap().isNull());
    QVERIFY(info.linkLabel()->font().underline());
    QCOMPARE(info.linkLabel()->cursor().shape(), Qt::PointingHandCursor);
}

void TestDialogs::infoLinkOpensMakerPage() {
    UrlRecorder catcher({QStringLiteral("http")});
    InfoDialog info;
    info.show();
    QVERIFY(QTest::qWaitForWindowExposed(&info));
    QTest::mouseClick(info.linkLabel(), Qt::LeftButton);
    QCOMPARE(catcher.urls.size(), 1);
    QCOMPARE(catcher.urls.first(), QUrl(QStringLiteral("http://") + info.linkLabel()->text()));
}

void TestDialogs::infoClosesOnEscapeAndEnter_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
}

void TestDialogs::infoClosesOnEscapeAndEnter() {
    QFETCH(int, key);
    InfoDialog info;
    QTimer::singleShot(0, &info, [&] {
        QVERIFY(QTest::qWaitForWindowActive(&info));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    });
    QTimer::singleShot(2000, &info, &QDialog::reject);
    QElapsedTimer elapsed;
    elapsed.start();
    info.exec();
    QVERIFY(elapsed.elapsed() < 1500);
    QVERIFY(!info.isVisible());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
