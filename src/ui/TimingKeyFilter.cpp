#include "ui/TimingKeyFilter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

TimingKeyFilter::TimingKeyFilter(const std::array<Key, 8>& keys, QObject* parent)
    : QObject(parent), m_keys(keys) {}

QAction* TimingKeyFilter::commandFor(const QKeyEvent& event, bool modalDialogOpen) const {
    // Alt+F4 closes the window and is no timing key.
    if (event.modifiers() & ~Qt::KeypadModifier)
        return nullptr;
    for (const Key& entry : m_keys) {
        if (entry.key != event.key() || !entry.action)
            continue;
        if (!entry.action->isEnabled() || (modalDialogOpen && !entry.underModalDialog))
            return nullptr;
        if (event.isAutoRepeat() && !entry.action->autoRepeat())
            return nullptr;
        return entry.action;
    }
    return nullptr;
}

bool TimingKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // A key press arrives here only when no shortcut took it: the window's shortcuts fire
    // before any widget sees the press, but not while a menu or a modal dialog has the keys.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (QAction* action = commandFor(*key, QApplication::activeModalWidget() != nullptr)) {
            action->trigger();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
