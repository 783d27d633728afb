#include "ui/window/CommandRouting.h"

#include "ui/stopwatch/TimingKeyFilter.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainActions.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StagePages.h"
#include "ui/window/WordMark.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QToolButton>

void CommandRouting::connectMenu(MainActions& a, MainWindow& w) {
    QObject::connect(a.open, &QAction::triggered, &w, &MainWindow::openProtocol);
    QObject::connect(a.newProtocol, &QAction::triggered, &w, &MainWindow::newProtocol);
    QObject::connect(a.save, &QAction::triggered, &w, &MainWindow::saveProtocol);
    QObject::connect(a.print, &QAction::triggered, &w, &MainWindow::printTable);
    QObject::connect(a.word, &QAction::triggered, &w, &MainWindow::exportWord);
    QObject::connect(a.excel, &QAction::triggered, &w, &MainWindow::exportExcel);
    QObject::connect(a.webPage, &QAction::triggered, &w, &MainWindow::writeWebPage);
    QObject::connect(a.randomResults, &QAction::triggered, &w, &MainWindow::generateRandomResults);
    QObject::connect(a.deleteResults, &QAction::triggered, &w, &MainWindow::deleteResults);
    // Queued, so the journal has the command before the rows it adds.
    QObject::connect(a.importCompetitors, &QAction::triggered, &w, &MainWindow::importCompetitors,
                     Qt::QueuedConnection);
    QObject::connect(a.lateEntry, &QAction::triggered, &w, &MainWindow::lateEntry,
                     Qt::QueuedConnection);
    QObject::connect(a.certificates, &QAction::triggered, &w, &MainWindow::certificates);
    QObject::connect(a.startListMenu, &QMenu::aboutToShow, &w, &MainWindow::startListMenuShown);

    QObject::connect(a.countdown, &QAction::triggered, &w, &MainWindow::countdown);
    QObject::connect(a.start, &QAction::triggered, &w, &MainWindow::startRun);
    QObject::connect(a.intermediate, &QAction::triggered, &w, &MainWindow::takeIntermediate);
    QObject::connect(a.stop, &QAction::triggered, &w, &MainWindow::stopRun);
    QObject::connect(a.enter, &QAction::triggered, &w, &MainWindow::enterResult);
    QObject::connect(a.reset, &QAction::triggered, &w, &MainWindow::resetClock);
    QObject::connect(a.lockStartBarrier, &QAction::triggered, &w, [&w] { w.toggleBarrierLock(0); });
    QObject::connect(a.lockStopBarrier, &QAction::triggered, &w, [&w] { w.toggleBarrierLock(1); });

    QObject::connect(a.manual, &QAction::triggered, &w, &MainWindow::openManual);
    QObject::connect(a.settings, &QAction::triggered, &w, &MainWindow::openSettings);
    QObject::connect(a.info, &QAction::triggered, &w, &MainWindow::showInfo);
    QObject::connect(a.cup, &QAction::triggered, &w, &MainWindow::showCup);
    QObject::connect(a.quit, &QAction::triggered, &w, &MainWindow::quitProgram);
    for (QAction* entry : a.tvModes)
        QObject::connect(entry, &QAction::triggered, &w, [&w, entry] { w.chooseTvMode(entry); });
    for (QAction* entry : a.tvModeKeys)
        QObject::connect(entry, &QAction::triggered, &w, [&w, entry] { w.chooseTvMode(entry); });
    QObject::connect(a.toggleTv, &QAction::triggered, &w, &MainWindow::toggleTvMode);
    StagePages* pages = w.stagePages();
    QObject::connect(a.nextPage, &QAction::triggered, pages, [pages] { pages->stepPage(1); });
    QObject::connect(a.previousPage, &QAction::triggered, pages, [pages] { pages->stepPage(-1); });
}

void CommandRouting::installTimingKeys(MainActions& a, QObject* owner) {
    auto* filter = new TimingKeyFilter({{{Qt::Key_F4, a.countdown, true},
                                         {Qt::Key_F5, a.start, true},
                                         {Qt::Key_F6, a.intermediate, true},
                                         {Qt::Key_F7, a.notFinished, false},
                                         {Qt::Key_F8, a.stop, true},
                                         {Qt::Key_F9, a.enter, false},
                                         {Qt::Key_F10, a.reset, false},
                                         {Qt::Key_F11, a.lockStartBarrier, true},
                                         {Qt::Key_F12, a.lockStopBarrier, true}}},
                                       owner);
    // Removed again by Qt when the owner and with it the filter goes.
    QCoreApplication::instance()->installEventFilter(filter);
}

void CommandRouting::connectPictureButtons(HeaderBand& header, MainActions& actions,
                                           MainWindow& w) {
    QObject::connect(header.openButton, &QToolButton::clicked, actions.open, &QAction::trigger);
    QObject::connect(header.clearButton, &QToolButton::clicked, &w, &MainWindow::newProtocol);
    QObject::connect(header.saveButton, &QToolButton::clicked, &w, &MainWindow::saveProtocol);
    QObject::connect(header.printButton, &QToolButton::clicked, &w, &MainWindow::printTable);
    QObject::connect(header.wordButton, &QToolButton::clicked, actions.word, &QAction::trigger);
    QObject::connect(header.excelButton, &QToolButton::clicked, actions.excel, &QAction::trigger);
    QObject::connect(header.webPageButton, &QToolButton::clicked, actions.webPage,
                     &QAction::trigger);
    QObject::connect(header.tvButton, &QToolButton::clicked, &w, &MainWindow::showTvMenu);
    QObject::connect(header.wordMark, &WordMark::clicked, &w, &MainWindow::wordMarkClicked);
}
