#pragma once

class HeaderBand;
class MainActions;
class QObject;
class MainWindow;

// Which handler of the main window each menu entry and picture button runs. Every command is a
// menu entry; the picture buttons trigger the entries (or the same handlers), so keys, mouse and
// menus share one path and one set of guards.
class CommandRouting {
public:
    static void connectMenu(MainActions& actions, MainWindow& window);
    static void connectPictureButtons(HeaderBand& header, MainActions& actions, MainWindow& window);
    // F4 to F12 for the whole application, so an open menu or question never swallows them.
    static void installTimingKeys(MainActions& actions, QObject* owner);
};
