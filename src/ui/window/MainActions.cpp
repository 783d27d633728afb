#include "ui/window/MainActions.h"

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

    startListMenu = bar->addMenu(QStringLiteral("&Startliste"));
    startListMenu->setObjectName(QStringLiteral("Startliste"));
    open = addEntry(startListMenu, "mOpen", QStringLiteral("Öffnen..."),
                    QKeySequence(Qt::CTRL | Qt::Key_O));
    newProtocol = addEntry(startListMenu, "Neue1", QStringLiteral("Neue"),
                           QKeySequence(Qt::CTRL | Qt::Key_N));
    save = addEntry(startListMenu, "mSave", QStringLiteral("Speichern als…"),
                    QKeySequence(Qt::CTRL | Qt::Key_S));
    print = addEntry(startListMenu, "Druken1", QStringLiteral("Druckvorschau..."),
                     QKeySequence(Qt::CTRL | Qt::Key_D), false);
    word = addEntry(startListMenu, "mWord", QStringLiteral("Export in MS Word"),
                    QKeySequence(Qt::CTRL | Qt::Key_W));
    excel = addEntry(startListMenu, "mExcel", QStringLiteral("Export in MS Excel"),
                     QKeySequence(Qt::CTRL | Qt::Key_E));
    webPage = addEntry(startListMenu, "Webseite", QStringLiteral("Als Webseite speichern"),
                       QKeySequence(Qt::CTRL | Qt::Key_H), false);
    randomResults =
        addEntry(startListMenu, "Generate", QStringLiteral("Zufallsergebnisse generieren"));
    deleteResults = addEntry(startListMenu, "Deleteresults1", QStringLiteral("Ergebnisse löschen"));
    startListMenu->addSeparator();
    importCompetitors =
        addEntry(startListMenu, "mImport", QStringLiteral("Teilnehmer importieren..."),
                 QKeySequence(Qt::CTRL | Qt::Key_I));
    lateEntry = addEntry(startListMenu, "mLateEntry", QStringLiteral("Nachmeldung..."),
                         QKeySequence(Qt::CTRL | Qt::Key_L));
    certificates = addEntry(startListMenu, "mCertificates", QStringLiteral("Urkunden..."),
                            QKeySequence(Qt::CTRL | Qt::Key_U));
    releaseResults =
        addEntry(startListMenu, "mFreigabe", QStringLiteral("Ergebnisse freigeben..."));
    // The hint of a disabled entry is shown in the menu itself.
    startListMenu->setToolTipsVisible(true);

    stopwatchMenu = bar->addMenu(QStringLiteral("Stopp&uhr"));
    stopwatchMenu->setObjectName(QStringLiteral("Stoppuhr"));
    countdown =
        addEntry(stopwatchMenu, "mTimer", QStringLiteral("Timer"), QKeySequence(Qt::Key_F4), false);
    start = addEntry(stopwatchMenu, "mStart", QStringLiteral("Start"), QKeySequence(Qt::Key_F5));
    intermediate = addEntry(stopwatchMenu, "mLap", QStringLiteral("Zwischen"),
                            QKeySequence(Qt::Key_F6), false);
    notFinished = addEntry(stopwatchMenu, "mNichtImZiel", QStringLiteral("Nicht im Ziel"),
                           QKeySequence(Qt::Key_F7), false);
    stop =
        addEntry(stopwatchMenu, "mStop", QStringLiteral("Stopp"), QKeySequence(Qt::Key_F8), false);
    enter = addEntry(stopwatchMenu, "mEintragen", QStringLiteral("Eintragen"),
                     QKeySequence(Qt::Key_F9), false);
    reset =
        addEntry(stopwatchMenu, "mReset", QStringLiteral("0,00"), QKeySequence(Qt::Key_F10), false);
    lockStartBarrier = addEntry(stopwatchMenu, "LockLS1", QStringLiteral("Start-LS frei/gesperrt"),
                                QKeySequence(Qt::Key_F11), false);
    lockStartBarrier->setData(0);
    lockStopBarrier = addEntry(stopwatchMenu, "LockLS2", QStringLiteral("Stopp-LS frei/gesperrt"),
                               QKeySequence(Qt::Key_F12), false);
    lockStopBarrier->setData(1);
    rerun = addEntry(stopwatchMenu, "mLaufWiederholen", QStringLiteral("Lauf wiederholen"),
                     QKeySequence(Qt::CTRL | Qt::Key_R));
    journal = addEntry(stopwatchMenu, "mJournal", QStringLiteral("Zeitprotokoll..."),
                       QKeySequence(Qt::CTRL | Qt::Key_J));
    substituteTime =
        addEntry(stopwatchMenu, "mErsatzzeit", QStringLiteral("Ersatzzeit berechnen..."),
                 QKeySequence(Qt::CTRL | Qt::Key_B), false);
    handTime = addEntry(stopwatchMenu, "mHandzeit", QStringLiteral("Handzeit eintragen..."),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), false);

    programMenu = bar->addMenu(QStringLiteral("&Programm"));
    programMenu->setObjectName(QStringLiteral("Programm"));
    manual = addEntry(programMenu, "mHilfe", QStringLiteral("H&ilfe"), QKeySequence(Qt::Key_F1));
    settings =
        addEntry(programMenu, "mCFG", QStringLiteral("Einstellungen..."), QKeySequence(Qt::Key_F2));
    info = addEntry(programMenu, "mInfo", QStringLiteral("Info..."), QKeySequence(Qt::Key_F3));
    live = addEntry(programMenu, "mLive", QStringLiteral("Live-Ergebnisse im Netzwerk"));
    live->setCheckable(true);
    livePort = addEntry(programMenu, "mLivePort", QStringLiteral("Port der Live-Ergebnisse..."));
    liveAddress = addEntry(programMenu, "mLiveAddress", QStringLiteral("Live-Adresse als QR-Code"),
                           QKeySequence(), false);
    cup = addEntry(programMenu, "mCup", QStringLiteral("Cupwertung..."),
                   QKeySequence(Qt::CTRL | Qt::Key_G));
    quit = addEntry(programMenu, "mBeenden", QStringLiteral("Beenden"),
                    QKeySequence(Qt::ALT | Qt::Key_F4));

    tvMenu = new QMenu(QStringLiteral("TV-Modus"), window);
    tvMenu->setObjectName(QStringLiteral("PopupMenu2Mon"));
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
        tvModes[i] = addEntry(tvMenu, names[i], captions[i], QKeySequence(Qt::CTRL | digits[i]));
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
        tvModeKeys[i] = addHidden(
            window, name.constData(), captions[i],
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, digits[i])));
        tvModeKeys[i]->setCheckable(true);
        tvModeKeys[i]->setData(TvModeTags[i]);
    }
    toggleTv =
        addHidden(window, "CtrlT1", QStringLiteral("Ctrl+T"), QKeySequence(Qt::CTRL | Qt::Key_T));
    nextPage = addHidden(window, "NextPage", QStringLiteral("Ctrl+Tab"),
                         QKeySequence(Qt::CTRL | Qt::Key_Tab));
    previousPage = addHidden(window, "PreviousPage", QStringLiteral("Ctrl+Shift+Tab"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
}

void MainActions::insertTvSubmenu() {
    if (m_tvSubmenuEntry)
        return;
    const QList<QAction*> entries = programMenu->actions();
    QAction* before = entries.size() > 3 ? entries[3] : nullptr;
    m_tvSubmenuEntry = tvMenu->menuAction();
    m_tvSubmenuEntry->setObjectName(QStringLiteral("TVModus"));
    programMenu->insertAction(before, m_tvSubmenuEntry);
}
