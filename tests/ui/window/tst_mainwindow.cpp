#include "competition/Competition.h"
#include "competition/widgets/CompetitionTableView.h"
#include "mock/WindowFixture.h"
#include "ui/program/InfoDialog.h"
#include "ui/program/ManualOpener.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindow.h"
#include "ui/window/QuestionDialog.h"
#include "ui/window/StagePages.h"
#include "ui/window/TitlePicture.h"
#include "widgets/ColorButton.h"
#include "widgets/PageTabBar.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// Start-up, layout, the close question and the optional files next to the executable.
class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captionFromExecutableName_data();
    void captionFromExecutableName();
    void headerLayout();
    void timingStatesAfterStartUp();
    void pictureButtonsAtStart();
    void pagesAndStatusBar();
    void closeQuestion_data();
    void closeQuestion();
    void closeQuestionKeysOfTheRealDialog_data();
    void closeQuestionKeysOfTheRealDialog();
    void titleFieldUpdatesTvWindows();
    void titlePicture_data();
    void titlePicture();
    void helpFile_data();
    void helpFile();
    void wordMarkOpensMakerPage();
    void infoWindowOnF3();
    void beendenClosesWhenNothingIsAtStake();
    void tvButtonOpensModePopup();
};

void TestMainWindow::captionFromExecutableName_data() {
    QTest::addColumn<QString>("title");
    QTest::newRow("designed") << "Velmora";
    QTest::newRow("renamed copy") << "Rutsche2";
}

void TestMainWindow::captionFromExecutableName() {
    QFETCH(QString, title);
    InstallationFixture install(title);
    SessionWindow window(install.environment());
    QCOMPARE(window.session().programTitle(), title);
    QCOMPARE(window.windowTitle(), title + QStringLiteral(" 1.7"));
    QCOMPARE(window.session().environment().wordTemplatePath(),
             install.filePath(QStringLiteral("Protokollvorlage.docx")));
}

void TestMainWindow::headerLayout() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    HeaderBand* h = window.header();
    QCOMPARE(h->height(), 202);
    QCOMPARE(h->palette().color(QPalette::Window), QColor(0x345381));
    QCOMPARE(h->timePanel->geometry(), QRect(0, 0, 320, 202));
    QCOMPARE(h->timePanel->objectName(), QStringLiteral("TimePanel"));
    QCOMPARE(h->titleEdit->width(), 345);
    QCOMPARE(h->titleEdit->text(), QStringLiteral("Deutsche Meisterschaften im Velmora 2009"));
    QCOMPARE(h->titleEdit->palette().color(QPalette::Base), QColor(0xACCBE0));
    QCOMPARE(h->titleEdit->font().pointSize(), 12);
    QCOMPARE(h->buttonPanel->size(), QSize(166, 87));
    QCOMPARE(h->titleLabel->text(), QStringLiteral("Titel:"));
    // Every control of the band lies inside it at the smallest window width.
    for (QWidget* child : h->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == h->titlePicture)
            continue;
        QVERIFY2(child->geometry().right() < window.minimumWidth(),
                 qPrintable(child->objectName()));
        QVERIFY2(child->geometry().bottom() < 202, qPrintable(child->objectName()));
    }
    const QList<QLabel*> images{h->startBarrierPicture, h->intermediateBarrierPicture,
                                h->stopBarrierPicture};
    const QStringList hints{QStringLiteral("Blockieren LS START (F11)"),
                            QStringLiteral("Blockieren LS Zwischen"),
                            QStringLiteral("Blockieren LS STOPP (F12)")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(images[i]->size(), QSize(30, 30));
        QVERIFY(!images[i]->isVisible());
        QCOMPARE(images[i]->toolTip(), hints[i]);
    }
    QVERIFY(h->autoEntryBox->isChecked());
    QCOMPARE(h->autoEntryBox->toolTip(), QStringLiteral("Automatische Eintragung in 5 Sekunden"));
    QCOMPARE(window.minimumWidth(), 711);
}

void TestMainWindow::timingStatesAfterStartUp() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    HeaderBand* h = window.header();
    const QColor face = ColorButton::faceColor();
    struct Expected {
        ColorButton* button;
        const char* caption;
        const char* hint;
        bool enabled;
        QColor colour;
    };
    const Expected expected[] = {
        // The first start counts down ("Timer" 10 s), so TIMER is available and orange.
        {h->countdownButton, "TIMER", "F4", true, QColor(0xF3A705)},
        {h->startButton, "START", "F5", true, QColor(0x008000)},
        {h->intermediateButton, "Zwischen", "F6", false, face},
        {h->stopButton, "STOPP", "F8", false, face},
        {h->enterButton, "Eintragen", "F9", false, face},
        {h->resetButton, "00:00", "F10", false, face},
    };
    for (const Expected& e : expected) {
        QCOMPARE(e.button->text(), QString::fromLatin1(e.caption));
        QCOMPARE(e.button->toolTip(), QString::fromLatin1(e.hint));
        QCOMPARE(e.button->isEnabled(), e.enabled);
        QCOMPARE(e.button->color(), e.colour);
        QCOMPARE(e.button->font().pixelSize(), 21);
        QVERIFY(e.button->font().bold());
    }
}

void TestMainWindow::pictureButtonsAtStart() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    HeaderBand* h = window.header();
    QVERIFY(h->openButton->isEnabled());
    QVERIFY(h->tvButton->isEnabled());
    for (QToolButton* b : {h->clearButton, h->saveButton, h->printButton, h->wordButton,
                           h->excelButton, h->webPageButton})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QCOMPARE(h->openButton->toolTip(), QStringLiteral("Protokoll öffnen"));
    QCOMPARE(h->clearButton->toolTip(), QStringLiteral("Neu [Ctrl+N]"));
    QCOMPARE(h->saveButton->toolTip(), QStringLiteral("Speichern als .. [Ctrl+S]"));
    QCOMPARE(h->printButton->toolTip(), QStringLiteral("Protokoll drucken [Ctrl+D]"));
    QCOMPARE(h->webPageButton->toolTip(), QStringLiteral("Als Webseite [Ctrl+H]"));
    QCOMPARE(h->tvButton->toolTip(), QStringLiteral("TV-Modus [Ctrl+0..4]"));
    QCOMPARE(h->wordButton->toolTip(), QStringLiteral("MS Word ist nicht eingerichtet"));
    QCOMPARE(h->excelButton->toolTip(), QStringLiteral("MS Excel ist nicht eingerichtet"));
}

void TestMainWindow::pagesAndStatusBar() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    StagePages* pages = window.stagePages();
    QCOMPARE(pages->count(), 4);
    const QStringList captions{
        QStringLiteral("      Vorlauf-Startliste"), QStringLiteral("      Vorlauf-Ergebnisse"),
        QStringLiteral("      Endlauf-Startliste"), QStringLiteral("      Endlauf-Ergebnisse")};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(pages->tabText(i), captions[i]);
        QVERIFY(pages->isTabEnabled(i));
    }
    QCOMPARE(pages->pageTabBar()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(window.cellEditBox()->text(), QStringLiteral("Markierte Zeile bearbeiten"));
    QVERIFY(window.cellEditBox()->isVisible());
    QVERIFY(window.cellEditBox()->font().bold());
    QCOMPARE(window.statusPanelText(MainStatusBar::RowPosition), QStringLiteral("0:0"));
    QCOMPARE(window.statusPanelText(MainStatusBar::FixedText), MainStatusBar::fixedText());
    QCOMPARE(window.mainStatusBar()->panel(0)->width(), 50);
    QCOMPARE(window.mainStatusBar()->panel(1)->width(), 190);
    QCOMPARE(window.mainStatusBar()->panel(2)->width(), 320);
    QVERIFY(window.mainStatusBar()->panel(2)->alignment().testFlag(Qt::AlignRight));
    // The shown tab is filled light blue.
    const QImage tabs = pages->pageTabBar()->grab().toImage();
    const QRect first = pages->pageTabBar()->tabRect(0);
    QCOMPARE(QColor(tabs.pixel(first.left() + 3, first.bottom() - 3)), QColor(0xA6CAF0));
}

void TestMainWindow::closeQuestion_data() {
    QTest::addColumn<bool>("clockRunning");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("idle, unchanged") << false << false << false << false << true;
    QTest::newRow("clock running, Nein") << true << false << false << true << false;
    QTest::newRow("clock running, Ja") << true << false << true << true << true;
    QTest::newRow("modified, Nein") << false << true << false << true << false;
    QTest::newRow("modified, Ja") << false << true << true << true << true;
}

void TestMainWindow::closeQuestion() {
    QFETCH(bool, clockRunning);
    QFETCH(bool, modified);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    InstallationFixture install;
    ScriptedAnswers answers;
    answers.answer = answer;
    SessionWindow window(install.environment(&answers));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.session().setClockRunning(clockRunning);
    window.session().competition().heatStartList().setModified(modified);
    QCOMPARE(window.close(), closed);
    QCOMPARE(window.isVisible(), !closed);
    QCOMPARE(answers.questions, asked ? QStringList{QStringLiteral("Beenden?")} : QStringList());
}

void TestMainWindow::closeQuestionKeysOfTheRealDialog_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestMainWindow::closeQuestionKeysOfTheRealDialog() {
    QFETCH(int, key);
    InstallationFixture install;
    SessionWindow window(install.environment());
    QuestionDialog dialog(window.session().programTitle(), &window);
    window.setQuestionDialog(&dialog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.session().setClockRunning(true);
    QString asked;
    bool active = false;
    QTimer::singleShot(0, &dialog, [&] {
        active = QTest::qWaitForWindowActive(&dialog);
        asked = dialog.question();
        QTest::keyClick(dialog.focusWidget(), Qt::Key(key));
    });
    // Should the keys go astray, the dialog is closed with "Ja" so the failure shows.
    QTimer::singleShot(3000, &dialog, &QDialog::accept);
    QVERIFY(!window.close());
    QVERIFY(active);
    QCOMPARE(asked, QStringLiteral("Beenden?"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Velmora"));
    QVERIFY(window.isVisible());
}

void TestMainWindow::titleFieldUpdatesTvWindows() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy updated(&window, &MainWindow::tvContentChanged);
    QLineEdit* title = window.header()->titleEdit;
    title->setFocus();
    QTest::keyClicks(title, QStringLiteral(" Nord"));
    QCOMPARE(updated.count(), 0);
    QTest::keyClick(title, Qt::Key_Return);
    QCOMPARE(updated.count(), 1);
    // Leaving the field without a change updates as well.
    window.tableView(0)->setFocus();
    QCOMPARE(updated.count(), 2);
}

void TestMainWindow::titlePicture_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("shown");
    QTest::newRow("missing") << QString() << false;
    QTest::newRow("broken") << "broken" << false;
    QTest::newRow("picture") << "picture" << true;
}

void TestMainWindow::titlePicture() {
    QFETCH(QString, content);
    QFETCH(bool, shown);
    InstallationFixture install;
    if (content == QStringLiteral("broken"))
        QVERIFY(install.writeFile(QStringLiteral("Velmora.jpg"), "no jpeg at all"));
    else if (content == QStringLiteral("picture"))
        QVERIFY(install.writePicture(QStringLiteral("Velmora.jpg")));
    SessionWindow window(install.environment());
    // As wide as the screen allows, so the band right of the buttons is wide.
    window.resize(790, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.header()->titlePicture->isVisible(), shown);
    if (shown) {
        QCOMPARE(window.header()->titlePicture->geometry(),
                 HeaderBand::titlePictureArea(window.header()->width()));
        QVERIFY(window.header()->titlePicture->width() > 60);
    }
}

void TestMainWindow::helpFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("viewer");
    // Whether the desktop registers a program for the manual's kind of file.
    QTest::addColumn<QString>("registered");
    QTest::addColumn<QString>("told");
    const QString html = QStringLiteral("text/html");
    QTest::newRow("missing") << QString() << true << html << "Das Handbuch wurde nicht gefunden.";
    QTest::newRow("html manual") << "Velmora.html" << true << html << QString();
    QTest::newRow("compiled help")
        << "Velmora.chm" << true << "application/vnd.ms-htmlhelp" << QString();
    QTest::newRow("no viewer") << "Velmora.html" << false << html << "Das Handbuch liegt unter ";
    // The opener would start and fail on its own, unseen: nothing is handed to it.
    QTest::newRow("no browser") << "Velmora.html" << true << "application/pdf"
                                << "Das Handbuch liegt unter ";
    QTest::newRow("compiled help, no viewer for it")
        << "Velmora.chm" << true << html << "Das Handbuch liegt unter ";
}

void TestMainWindow::helpFile() {
    QFETCH(QString, file);
    QFETCH(bool, viewer);
    QFETCH(QString, registered);
    QFETCH(QString, told);
    InstallationFixture install;
    if (!file.isEmpty())
        QVERIFY(install.writeFile(file));
    std::optional<UrlRecorder> opened;
    if (viewer)
        opened.emplace(QStringList{QStringLiteral("file")});
    TestEnvironment environment = install.environment();
    environment.setApplicationLookup(
        [registered](const char* kind) { return registered == QLatin1String(kind); });
    SessionWindow window(environment);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::keyClick(&window, Qt::Key_F1);
    // The answer never holds up the window, whatever it is.
    QVERIFY(elapsed.elapsed() < 1000);
    auto* box = window.findChild<QMessageBox*>(ManualOpener::messageBoxName());
    if (told.isEmpty()) {
        QVERIFY(!box);
        QCOMPARE(opened->urls.size(), 1);
        QCOMPARE(opened->urls.first(), QUrl::fromLocalFile(install.filePath(file)));
        return;
    }
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), QStringLiteral("Velmora"));
    QVERIFY2(box->text().contains(told), qPrintable(box->text()));
    // It names the place of the manual, where it is or where it belongs.
    const QString place = QDir::toNativeSeparators(
        install.filePath(file.isEmpty() ? QStringLiteral("Velmora.html") : file));
    QVERIFY2(box->text().contains(place), qPrintable(box->text()));
    if (opened)
        QVERIFY(opened->urls.isEmpty());
    // A second F1 tells again in the same box.
    QTest::keyClick(&window, Qt::Key_F1);
    QCOMPARE(window.findChildren<QMessageBox*>().size(), 1);
}

void TestMainWindow::wordMarkOpensMakerPage() {
    InstallationFixture install;
    UrlRecorder opened({QStringLiteral("http")});
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.header()->findChild<QWidget*>(QStringLiteral("LabelQuarnek")),
                      Qt::LeftButton);
    QCOMPARE(opened.urls.size(), 1);
    QCOMPARE(opened.urls.first().scheme(), QStringLiteral("http"));
}

void TestMainWindow::infoWindowOnF3() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    InfoDialog info(&window);
    window.setInfoWindow(&info);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    bool shown = false;
    QTimer::singleShot(0, &info, [&] {
        shown = info.isVisible() && info.isModal();
        info.accept();
    });
    QTimer::singleShot(3000, &info, &QDialog::reject);
    QTest::keyClick(&window, Qt::Key_F3);
    QVERIFY(shown);
}

void TestMainWindow::beendenClosesWhenNothingIsAtStake() {
    InstallationFixture install;
    ScriptedAnswers answers;
    SessionWindow window(install.environment(&answers));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.session().competition().heatStartList().setModified(true);
    window.actions().quit->trigger();
    QVERIFY(window.isVisible());
    QCOMPARE(answers.questions.size(), 1);
    window.session().competition().heatStartList().setModified(false);
    window.actions().quit->trigger();
    QVERIFY(!window.isVisible());
    QCOMPARE(answers.questions.size(), 1);
}

void TestMainWindow::tvButtonOpensModePopup() {
    InstallationFixture install;
    SessionWindow window(install.environment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QToolButton* tv = window.header()->tvButton;
    QTest::mouseClick(tv, Qt::LeftButton);
    QMenu* popup = window.actions().tvMenu;
    QTRY_VERIFY(popup->isVisible());
    const QPoint corner = tv->mapToGlobal(QPoint(8, 8));
    QCOMPARE(popup->pos().y(), corner.y());
    // Moved left only as far as the screen's edge demands.
    const int screenRight = tv->screen()->geometry().right();
    QCOMPARE(popup->pos().x(), qMin(corner.x(), screenRight - popup->width() + 1));
    QCOMPARE(popup->actions().size(), 5);
    popup->hide();
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
