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
    QMenu* startListMenu = nullptr;
    QAction* open = nullptr;
    QAction* newProtocol = nullptr;
    QAction* save = nullptr;
    QAction* print = nullptr;
    QAction* word = nullptr;
    QAction* excel = nullptr;
    QAction* webPage = nullptr;
    QAction* randomResults = nullptr;
    QAction* deleteResults = nullptr;
    QAction* importCompetitors = nullptr; // "Teilnehmer importieren...", Ctrl+I
    QAction* lateEntry = nullptr;         // "Nachmeldung...", Ctrl+L
    QAction* certificates = nullptr;      // "Urkunden...", Ctrl+U
    QAction* releaseResults = nullptr;    // "Ergebnisse freigeben..."

    // "Stoppuhr"
    QMenu* stopwatchMenu = nullptr;
    QAction* countdown = nullptr;
    QAction* start = nullptr;
    QAction* intermediate = nullptr;
    QAction* stop = nullptr;
    QAction* notFinished = nullptr; // F7: the run ends without a time, "DNF"
    QAction* rerun = nullptr;       // Ctrl+R: the last run of the selected competitor
    QAction* enter = nullptr;
    QAction* reset = nullptr;
    QAction* lockStartBarrier = nullptr;
    QAction* lockStopBarrier = nullptr;
    QAction* journal = nullptr;        // "Zeitprotokoll...", Ctrl+J
    QAction* substituteTime = nullptr; // "Ersatzzeit berechnen...", Ctrl+B
    QAction* handTime = nullptr;       // "Handzeit eintragen...", Ctrl+Shift+B

    // "Programm"
    QMenu* programMenu = nullptr;
    QAction* manual = nullptr;
    QAction* settings = nullptr;
    QAction* info = nullptr;
    QAction* cup = nullptr; // "Cupwertung...", Ctrl+G
    // Live results on the local network: on and off, their port, the address as a QR code.
    QAction* live = nullptr;
    QAction* livePort = nullptr;
    QAction* liveAddress = nullptr;
    QAction* quit = nullptr;

    // TV modes: the popup of the TV button, also shown as the "TV-Modus" submenu.
    QMenu* tvMenu = nullptr;
    QActionGroup* tvModeGroup = nullptr;
    std::array<QAction*, 5> tvModes{};    // "TV Modus Aus", "Zeit", "Best Team", "TOP3", "Video"
    std::array<QAction*, 5> tvModeKeys{}; // hidden, Ctrl+Numpad0..4
    QAction* toggleTv = nullptr;          // hidden, Ctrl+T
    // Hidden: Ctrl+Tab and Ctrl+Shift+Tab show the next and the previous page.
    QAction* nextPage = nullptr;
    QAction* previousPage = nullptr;

private:
    QMainWindow* m_window = nullptr;
    QAction* m_tvSubmenuEntry = nullptr;
};
