#pragma once

#include <QList>
#include <array>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

// Every command of the main window as a menu entry with its caption and shortcut, named like
// the window's components. The window connects the handlers; keys, buttons and light barriers
// all reach a command through these entries, so a disabled entry guards every path at once.
class MainActions {
public:
    // Builds the menu bar of the window and the entries that only have a shortcut.
    void setupUi(QMainWindow* window);

    // The "TV-Modus" submenu goes into the "Programm" menu after "Info..." (start-up step).
    void insertTvSubmenu();

    // Modes selected by the visible TV entries, in their menu order.
    static constexpr std::array<int, 5> TvModeTags{0, 2, 4, 3, 1};

    // "Startliste"
    QMenu* Startliste = nullptr;
    QAction* mOpen = nullptr;
    QAction* Neue1 = nullptr;
    QAction* mSave = nullptr;
    QAction* Druken1 = nullptr;
    QAction* mWord = nullptr;
    QAction* mExcel = nullptr;
    QAction* Webseite = nullptr;
    QAction* Generate = nullptr;
    QAction* Deleteresults1 = nullptr;
    QAction* mImport = nullptr;       // "Teilnehmer importieren...", Ctrl+I
    QAction* mLateEntry = nullptr;    // "Nachmeldung...", Ctrl+L
    QAction* mCertificates = nullptr; // "Urkunden...", Ctrl+U

    // "Stoppuhr"
    QMenu* Stoppuhr = nullptr;
    QAction* mTimer = nullptr;
    QAction* mStart = nullptr;
    QAction* mLap = nullptr;
    QAction* mStop = nullptr;
    QAction* mNichtImZiel = nullptr;     // F7: the run ends without a time, "DNF"
    QAction* mLaufWiederholen = nullptr; // Ctrl+R: the last run of the selected competitor
    QAction* mEintragen = nullptr;
    QAction* mReset = nullptr;
    QAction* LockLS1 = nullptr;
    QAction* LockLS2 = nullptr;
    QAction* mJournal = nullptr;    // "Zeitprotokoll...", Ctrl+J
    QAction* mErsatzzeit = nullptr; // "Ersatzzeit berechnen...", Ctrl+B
    QAction* mHandzeit = nullptr;   // "Handzeit eintragen...", Ctrl+Shift+B

    // "Programm"
    QMenu* Programm = nullptr;
    QAction* mHilfe = nullptr;
    QAction* mCFG = nullptr;
    QAction* mInfo = nullptr;
    // Live results on the local network: on and off, their port, the address as a QR code.
    QAction* mLive = nullptr;
    QAction* mLivePort = nullptr;
    QAction* mLiveAddress = nullptr;
    QAction* mBeenden = nullptr;

    // TV modes: the popup of the TV button, also shown as the "TV-Modus" submenu.
    QMenu* PopupMenu2Mon = nullptr;
    QActionGroup* tvModeGroup = nullptr;
    std::array<QAction*, 5> tvModes{}; // "TV Modus Aus", "Zeit", "Best Team", "TOP3", "Video"
    std::array<QAction*, 5> M{};       // hidden, Ctrl+Numpad0..4
    QAction* CtrlT1 = nullptr;         // hidden, Ctrl+T
    // Hidden: Ctrl+Tab and Ctrl+Shift+Tab show the next and the previous page.
    QAction* NextPage = nullptr;
    QAction* PreviousPage = nullptr;

private:
    QMainWindow* m_window = nullptr;
    QAction* m_tvSubmenuEntry = nullptr;
};
