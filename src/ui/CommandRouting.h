#pragma once

class HeaderBand;
class MainActions;
class TFormMain;

// Which handler of the main window each menu entry and picture button runs. Every command is a
// menu entry; the picture buttons trigger the entries (or the same handlers), so keys, mouse and
// menus share one path and one set of guards.
class CommandRouting {
public:
    static void connectMenu(MainActions& actions, TFormMain& window);
    static void connectPictureButtons(HeaderBand& header, MainActions& actions, TFormMain& window);
};
