#include "ui/window/MenuKeyRouter.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

namespace {

void collect(const QList<QAction*>& actions, QList<QAction*>& into) {
    for (QAction* action : actions) {
        if (QMenu* menu = action->menu())
            collect(menu->actions(), into);
        else if (!action->shortcut().isEmpty())
            into.append(action);
    }
}

// The keys a text field keeps for its own text, whatever menu entry has them too: undo, redo,
// copy, paste, cut and select all. Ctrl+Y is redo in a field on every platform here, as the
// list's "Wiederholen" has it.
bool isEditingKey(const QKeyEvent& key) {
    const QKeyCombination ctrlY(Qt::ControlModifier, Qt::Key_Y);
    return key.keyCombination() == ctrlY || key.matches(QKeySequence::Undo) ||
           key.matches(QKeySequence::Redo) || key.matches(QKeySequence::Copy) ||
           key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut) ||
           key.matches(QKeySequence::SelectAll);
}

bool isRedoByCtrlY(const QKeyEvent& key) {
    return key.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) &&
           !key.matches(QKeySequence::Redo);
}

// A platform's key reaches the window first and then its focus widget; the field is the one
// that will get the press either way.
QLineEdit* textFieldOf(QObject* watched) {
    QObject* target = watched->isWindowType() ? QApplication::focusWidget() : watched;
    auto* field = qobject_cast<QLineEdit*>(target);
    return field && !field->isReadOnly() ? field : nullptr;
}

} // namespace

MenuKeyRouter::MenuKeyRouter(QMainWindow& window) : QObject(&window), m_window(window) {
    QCoreApplication::instance()->installEventFilter(this);
}

QList<QAction*> MenuKeyRouter::entries() const {
    // Asked at every key, so entries that other parts add later count as well.
    QList<QAction*> found;
    collect(m_window.menuBar()->actions(), found);
    collect(m_window.actions(), found);
    return found;
}

QAction* MenuKeyRouter::entryFor(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (QAction* entry : entries()) {
        if (entry->shortcut() == pressed)
            return entry;
    }
    return nullptr;
}

bool MenuKeyRouter::belongsToWindow(const QObject* watched) const {
    if (watched->isWindowType())
        return watched == m_window.windowHandle();
    if (watched->isWidgetType())
        return static_cast<const QWidget*>(watched)->window() == &m_window;
    return false;
}

bool MenuKeyRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && belongsToWindow(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Editing keys inside a text field (the cell editor, the title) are the field's own:
        // the list's "Rückgängig" there would take back a result instead of the typing.
        if (textFieldOf(watched) && isEditingKey(*key)) {
            event->accept();
            return true;
        }
        QAction* entry = entryFor(*key);
        // A disabled entry leaves its key to the field, where it may mean something.
        if (!entry || !entry->isEnabled())
            return false;
        // Keypad keys, and the page keys with Tab, which a text field's own focus handling
        // would otherwise keep: taken from the shortcut matching, the press that follows
        // triggers the entry.
        if ((key->modifiers() & Qt::KeypadModifier) || key->key() == Qt::Key_Tab ||
            key->key() == Qt::Key_Backtab) {
            event->accept();
            m_pending = entry;
            m_pendingKey = key->keyCombination();
            return true;
        }
        // Not overridden by the field: the window's shortcut takes the key.
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && belongsToWindow(watched) &&
        isRedoByCtrlY(*static_cast<QKeyEvent*>(event))) {
        // A line edit knows only the platform's redo key.
        if (QLineEdit* field = textFieldOf(watched)) {
            field->redo();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && m_pending) {
        const auto* key = static_cast<QKeyEvent*>(event);
        QPointer<QAction> entry = m_pending;
        m_pending = nullptr;
        if (key->keyCombination() == m_pendingKey && entry) {
            if (entry->isEnabled() && (!key->isAutoRepeat() || entry->autoRepeat()))
                entry->trigger();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
