#include "ui/stopwatch/TimingKeyFilter.h"

#include "platform/InputEventTime.h"
#include "timing/MonotonicTickSource.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

TimingKeyFilter::TimingKeyFilter(const std::array<Key, 9>& keys, QObject* parent)
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

bool TimingKeyFilter::isTimingKey(const QKeyEvent& event) const {
    if (event.modifiers() & ~Qt::KeypadModifier)
        return false;
    return std::any_of(m_keys.begin(), m_keys.end(),
                       [&event](const Key& entry) { return entry.key == event.key(); });
}

void TimingKeyFilter::remember(const QKeyEvent& event) {
    m_pressed.reset();
    if (!isTimingKey(event) || event.isAutoRepeat())
        return;
    if (const std::optional<qint64> age = InputEventTime::ageMicroseconds(event.timestamp()))
        m_pressed = Pressed{event.timestamp(), *age, MonotonicTickSource::rawMicroseconds()};
}

std::optional<qint64> TimingKeyFilter::takeKeyAge() {
    if (!m_pressed)
        return std::nullopt;
    const qint64 age =
        m_pressed->age + MonotonicTickSource::rawMicroseconds() - m_pressed->seenAtRaw;
    m_pressed.reset();
    return age;
}

bool TimingKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Sent with the press's own stamp before a shortcut fires: the menu entry's command
        // runs next, within the same press.
        remember(*static_cast<QKeyEvent*>(event));
        break;
    case QEvent::KeyPress: {
        // The same press passes here once more for each parent it is handed on to; the age it
        // had when it was first seen stays.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!m_pressed || m_pressed->eventStamp != key->timestamp() || !isTimingKey(*key))
            remember(*key);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        // A button or menu entry pressed with the mouse takes its time when it runs.
        m_pressed.reset();
        break;
    default:
        break;
    }
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
