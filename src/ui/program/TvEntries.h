#pragma once

class MainActions;
class QAction;
class QWidget;

// The TV mode's entries in the main window: the TV button, its popup and Ctrl+T.
namespace TvEntries {

// Start-up: the TV button enabled, the entries of "Video", "Zeit" and "TOP3 je Klasse" and the
// "TV-Modus" submenu of "Programm" enabled like it.
void enable(MainActions& actions, QWidget* button);
// The entry Ctrl+T selects: "TV Modus Aus" while a mode is on, else "Zeit".
QAction* ctrlTEntry(const MainActions& actions);
// The TV popup at the button's top-left corner moved 8 pixels right and down.
void openPopup(const MainActions& actions, QWidget* button);

} // namespace TvEntries
