#include "ui/MainActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* addEntry(QMenu* menu, const char* name, const QString& caption,
                  const QKeySequence& shortcut = QKeySequence(), bool enabled = true) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setEnabled(enabled);
    return action;
}

QAction* addHidden(QMainWindow* window, const char* name, const QString& caption,
                   const QKeySequence& shortcut) {
    auto* action = new QAction(caption, window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    window->addAction(action);
    return action;
}

} // namespace

void MainActions::setupUi(QMainWindow* window) {
    m_window = window;
    QMenuBar* bar = window->menuBar();

    Startliste = bar->addMenu(QStringLiteral("&Startliste"));
    Startliste->setObjectName(QStringLiteral("Startliste"));
    mOpen = addEntry(Startliste, "mOpen", QStringLiteral("Öffnen..."),
                     QKeySequence(Qt::CTRL | Qt::Key_O));
    Neue1 =
        addEntry(Startliste, "Neue1", QStringLiteral("Neue"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mSave = addEntry(Startliste, "mSave", QStringLiteral("Speichern als…"),
                     QKeySequence(Qt::CTRL | Qt::Key_S));
    Druken1 = addEntry(Startliste, "Druken1", QStringLiteral("Druckvorschau..."),
                       QKeySequence(Qt::CTRL | Qt::Key_D), false);
    mWord = addEntry(Startliste, "mWord", QStringLiteral("Export in MS Word"),
                     QKeySequence(Qt::CTRL | Qt::Key_W));
    mExcel = addEntry(Startliste, "mExcel", QStringLiteral("Export in MS Excel"),
                      QKeySequence(Qt::CTRL | Qt::Key_E));
    Webseite = addEntry(Startliste, "Webseite", QStringLiteral("Als Webseite speichern"),
                        QKeySequence(Qt::CTRL | Qt::Key_H), false);
    Generate = addEntry(Startliste, "Generate", QStringLiteral("Zufallsergebnisse generieren"));
    Deleteresults1 = addEntry(Startliste, "Deleteresults1", QStringLiteral("Ergebnisse löschen"));
    Startliste->addSeparator();
    mImport = addEntry(Startliste, "mImport", QStringLiteral("Teilnehmer importieren..."),
                       QKeySequence(Qt::CTRL | Qt::Key_I));
    mLateEntry = addEntry(Startliste, "mLateEntry", QStringLiteral("Nachmeldung..."),
                          QKeySequence(Qt::CTRL | Qt::Key_L));
    mCertificates = addEntry(Startliste, "mCertificates", QStringLiteral("Urkunden..."),
                             QKeySequence(Qt::CTRL | Qt::Key_U));

    Stoppuhr = bar->addMenu(QStringLiteral("Stopp&uhr"));
    Stoppuhr->setObjectName(QStringLiteral("Stoppuhr"));
    mTimer = addEntry(Stoppuhr, "mTimer", QStringLiteral("Timer"), QKeySequence(Qt::Key_F4), false);
    mStart = addEntry(Stoppuhr, "mStart", QStringLiteral("Start"), QKeySequence(Qt::Key_F5));
    mLap = addEntry(Stoppuhr, "mLap", QStringLiteral("Zwischen"), QKeySequence(Qt::Key_F6), false);
    mNichtImZiel = addEntry(Stoppuhr, "mNichtImZiel", QStringLiteral("Nicht im Ziel"),
                            QKeySequence(Qt::Key_F7), false);
    mStop = addEntry(Stoppuhr, "mStop", QStringLiteral("Stopp"), QKeySequence(Qt::Key_F8), false);
    mEintragen = addEntry(Stoppuhr, "mEintragen", QStringLiteral("Eintragen"),
                          QKeySequence(Qt::Key_F9), false);
    mReset = addEntry(Stoppuhr, "mReset", QStringLiteral("0,00"), QKeySequence(Qt::Key_F10), false);
    LockLS1 = addEntry(Stoppuhr, "LockLS1", QStringLiteral("Start-LS frei/gesperrt"),
                       QKeySequence(Qt::Key_F11), false);
    LockLS1->setData(0);
    LockLS2 = addEntry(Stoppuhr, "LockLS2", QStringLiteral("Stopp-LS frei/gesperrt"),
                       QKeySequence(Qt::Key_F12), false);
    LockLS2->setData(1);
    mLaufWiederholen = addEntry(Stoppuhr, "mLaufWiederholen", QStringLiteral("Lauf wiederholen"),
                                QKeySequence(Qt::CTRL | Qt::Key_R));
    mJournal = addEntry(Stoppuhr, "mJournal", QStringLiteral("Zeitprotokoll..."),
                        QKeySequence(Qt::CTRL | Qt::Key_J));
    mErsatzzeit = addEntry(Stoppuhr, "mErsatzzeit", QStringLiteral("Ersatzzeit berechnen..."),
                           QKeySequence(Qt::CTRL | Qt::Key_B), false);
    mHandzeit = addEntry(Stoppuhr, "mHandzeit", QStringLiteral("Handzeit eintragen..."),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), false);

    Programm = bar->addMenu(QStringLiteral("&Programm"));
    Programm->setObjectName(QStringLiteral("Programm"));
    mHilfe = addEntry(Programm, "mHilfe", QStringLiteral("H&ilfe"), QKeySequence(Qt::Key_F1));
    mCFG = addEntry(Programm, "mCFG", QStringLiteral("Einstellungen..."), QKeySequence(Qt::Key_F2));
    mInfo = addEntry(Programm, "mInfo", QStringLiteral("Info..."), QKeySequence(Qt::Key_F3));
    mLive = addEntry(Programm, "mLive", QStringLiteral("Live-Ergebnisse im Netzwerk"));
    mLive->setCheckable(true);
    mLivePort = addEntry(Programm, "mLivePort", QStringLiteral("Port der Live-Ergebnisse..."));
    mLiveAddress = addEntry(Programm, "mLiveAddress", QStringLiteral("Live-Adresse als QR-Code"),
                            QKeySequence(), false);
    mBeenden = addEntry(Programm, "mBeenden", QStringLiteral("Beenden"),
                        QKeySequence(Qt::ALT | Qt::Key_F4));

    PopupMenu2Mon = new QMenu(QStringLiteral("TV-Modus"), window);
    PopupMenu2Mon->setObjectName(QStringLiteral("PopupMenu2Mon"));
    tvModeGroup = new QActionGroup(window);
    tvModeGroup->setExclusive(true);
    const char* names[5] = {"TVModusAus", "TVModusZeit", "TVModusBestTeam", "TVModusTop3",
                            "TVModusVideo"};
    const QString captions[5] = {
        QStringLiteral("TV Modus Aus"), QStringLiteral("TV-Modus \"Zeit\""),
        QStringLiteral("TV-Modus \"Best Team\""), QStringLiteral("TV-Modus \"TOP3 je Klasse\""),
        QStringLiteral("TV-Modus \"Video\"")};
    const Qt::Key digits[5] = {Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
    for (int i = 0; i < 5; ++i) {
        tvModes[i] =
            addEntry(PopupMenu2Mon, names[i], captions[i], QKeySequence(Qt::CTRL | digits[i]));
        tvModes[i]->setCheckable(true);
        tvModes[i]->setData(TvModeTags[i]);
        tvModeGroup->addAction(tvModes[i]);
        // Entries of a menu that is not in the menu bar only react to their keys when the
        // window itself carries them.
        window->addAction(tvModes[i]);
    }
    tvModes[0]->setChecked(true);
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "M" + QByteArray::number(i);
        M[i] = addHidden(
            window, name.constData(), captions[i],
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, digits[i])));
        M[i]->setCheckable(true);
        M[i]->setData(TvModeTags[i]);
    }
    CtrlT1 =
        addHidden(window, "CtrlT1", QStringLiteral("Ctrl+T"), QKeySequence(Qt::CTRL | Qt::Key_T));
    NextPage = addHidden(window, "NextPage", QStringLiteral("Ctrl+Tab"),
                         QKeySequence(Qt::CTRL | Qt::Key_Tab));
    PreviousPage = addHidden(window, "PreviousPage", QStringLiteral("Ctrl+Shift+Tab"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
}

void MainActions::insertTvSubmenu() {
    if (m_tvSubmenuEntry)
        return;
    const QList<QAction*> entries = Programm->actions();
    QAction* before = entries.size() > 3 ? entries[3] : nullptr;
    m_tvSubmenuEntry = PopupMenu2Mon->menuAction();
    m_tvSubmenuEntry->setObjectName(QStringLiteral("TVModus"));
    Programm->insertAction(before, m_tvSubmenuEntry);
}
