#include "ui/CommandRouting.h"

#include "ui/HeaderBand.h"
#include "ui/MainActions.h"
#include "ui/TFormMain.h"
#include "ui/TPageControl.h"
#include "ui/TimingKeyFilter.h"
#include "ui/WordMark.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QToolButton>

void CommandRouting::connectMenu(MainActions& a, TFormMain& w) {
    QObject::connect(a.mOpen, &QAction::triggered, &w, &TFormMain::sbLoadClick);
    QObject::connect(a.Neue1, &QAction::triggered, &w, &TFormMain::Neue1Click);
    QObject::connect(a.mSave, &QAction::triggered, &w, &TFormMain::sbSaveClick);
    QObject::connect(a.Druken1, &QAction::triggered, &w, &TFormMain::Druken1Click);
    QObject::connect(a.mWord, &QAction::triggered, &w, &TFormMain::sbWordClick);
    QObject::connect(a.mExcel, &QAction::triggered, &w, &TFormMain::sbExcelClick);
    QObject::connect(a.Webseite, &QAction::triggered, &w, &TFormMain::WebseiteClick);
    QObject::connect(a.Generate, &QAction::triggered, &w, &TFormMain::GenerateClick);
    QObject::connect(a.Deleteresults1, &QAction::triggered, &w, &TFormMain::Deleteresults1Click);
    // Queued, so the journal has the command before the rows it adds.
    QObject::connect(a.mImport, &QAction::triggered, &w, &TFormMain::mImportClick,
                     Qt::QueuedConnection);
    QObject::connect(a.mLateEntry, &QAction::triggered, &w, &TFormMain::mLateEntryClick,
                     Qt::QueuedConnection);
    QObject::connect(a.mCertificates, &QAction::triggered, &w, &TFormMain::mCertificatesClick);
    QObject::connect(a.Startliste, &QMenu::aboutToShow, &w, &TFormMain::StartlisteMenuShow);

    QObject::connect(a.mTimer, &QAction::triggered, &w, &TFormMain::mTimerClick);
    QObject::connect(a.mStart, &QAction::triggered, &w, &TFormMain::mStartClick);
    QObject::connect(a.mLap, &QAction::triggered, &w, &TFormMain::mLapClick);
    QObject::connect(a.mStop, &QAction::triggered, &w, &TFormMain::mStopClick);
    QObject::connect(a.mEintragen, &QAction::triggered, &w, &TFormMain::bEintragenClick);
    QObject::connect(a.mReset, &QAction::triggered, &w, &TFormMain::bRESETClick);
    QObject::connect(a.LockLS1, &QAction::triggered, &w, [&w] { w.LockLSClick(0); });
    QObject::connect(a.LockLS2, &QAction::triggered, &w, [&w] { w.LockLSClick(1); });

    QObject::connect(a.mHilfe, &QAction::triggered, &w, &TFormMain::mHilfeClick);
    QObject::connect(a.mCFG, &QAction::triggered, &w, &TFormMain::mCFGClick);
    QObject::connect(a.mInfo, &QAction::triggered, &w, &TFormMain::mInfoClick);
    QObject::connect(a.mBeenden, &QAction::triggered, &w, &TFormMain::mBeendenClick);
    for (QAction* entry : a.tvModes)
        QObject::connect(entry, &QAction::triggered, &w, [&w, entry] { w.mModusClick(entry); });
    for (QAction* entry : a.M)
        QObject::connect(entry, &QAction::triggered, &w, [&w, entry] { w.mModusClick(entry); });
    QObject::connect(a.CtrlT1, &QAction::triggered, &w, &TFormMain::CtrlT1Click);
    TPageControl* pages = w.PageControl1();
    QObject::connect(a.NextPage, &QAction::triggered, pages, [pages] { pages->stepPage(1); });
    QObject::connect(a.PreviousPage, &QAction::triggered, pages, [pages] { pages->stepPage(-1); });
}

void CommandRouting::installTimingKeys(MainActions& a, QObject* owner) {
    auto* filter = new TimingKeyFilter({{{Qt::Key_F4, a.mTimer, true},
                                         {Qt::Key_F5, a.mStart, true},
                                         {Qt::Key_F6, a.mLap, true},
                                         {Qt::Key_F7, a.mNichtImZiel, false},
                                         {Qt::Key_F8, a.mStop, true},
                                         {Qt::Key_F9, a.mEintragen, false},
                                         {Qt::Key_F10, a.mReset, false},
                                         {Qt::Key_F11, a.LockLS1, true},
                                         {Qt::Key_F12, a.LockLS2, true}}},
                                       owner);
    // Removed again by Qt when the owner and with it the filter goes.
    QCoreApplication::instance()->installEventFilter(filter);
}

void CommandRouting::connectPictureButtons(HeaderBand& header, MainActions& actions, TFormMain& w) {
    QObject::connect(header.sbLoad, &QToolButton::clicked, actions.mOpen, &QAction::trigger);
    QObject::connect(header.sbCLS, &QToolButton::clicked, &w, &TFormMain::Neue1Click);
    QObject::connect(header.sbSave, &QToolButton::clicked, &w, &TFormMain::sbSaveClick);
    QObject::connect(header.sbPrint, &QToolButton::clicked, &w, &TFormMain::Druken1Click);
    QObject::connect(header.sbWord, &QToolButton::clicked, actions.mWord, &QAction::trigger);
    QObject::connect(header.sbExcel, &QToolButton::clicked, actions.mExcel, &QAction::trigger);
    QObject::connect(header.sbHTML, &QToolButton::clicked, actions.Webseite, &QAction::trigger);
    QObject::connect(header.bMon2, &QToolButton::clicked, &w, &TFormMain::bMon2Click);
    QObject::connect(header.wordMark, &WordMark::clicked, &w, &TFormMain::LabelQuarnekClick);
}
