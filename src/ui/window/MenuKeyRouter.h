#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QPointer>

class QAction;
class QKeyEvent;
class QMainWindow;

// The main window's menu keys act whatever has the focus in it: a field that would keep a menu
// key for itself (the title's line edit takes Ctrl+E as "end of line") does not get it, except
// the editing keys of a text field (undo, redo, copy, paste, cut, select all), which change
// the field and never the start list. And a
// keypad key is a key of its own: X11 reports Ctrl+Numpad1 to the shortcut matching as Ctrl+1,
// so the hidden keypad entries are triggered here, where the keypad is still told apart.
class MenuKeyRouter : public QObject {
    Q_OBJECT
public:
    // Watches the keys of the whole application from now on, and acts on those of the window.
    explicit MenuKeyRouter(QMainWindow& window);

    // The window's menu entry whose key this is exactly, keypad included; nullptr for none.
    QAction* entryFor(const QKeyEvent& key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(const QObject* watched) const;
    QList<QAction*> entries() const;

    QMainWindow& m_window;
    // A keypad entry whose press is on its way.
    QPointer<QAction> m_pending;
    QKeyCombination m_pendingKey;
};
