#include "ui/MenuKeyRouter.h"

#include <QAction>
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
        QAction* entry = entryFor(*key);
        // A disabled entry leaves its key to the field, where it may mean something.
        if (!entry || !entry->isEnabled())
            return false;
        // Undo and redo inside a text field (the cell editor, the title) are the field's own.
        if (qobject_cast<QLineEdit*>(watched) &&
            (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)))
            return false;
        if (key->modifiers() & Qt::KeypadModifier) {
            // Taken from the shortcut matching; the press that follows triggers the entry.
            event->accept();
            m_pending = entry;
            m_pendingKey = key->keyCombination();
            return true;
        }
        // Not overridden by the field: the window's shortcut takes the key.
        event->ignore();
        return true;
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
