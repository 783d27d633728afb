#include "journal/widgets/JournalInputSource.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QTimer>

JournalInputSource::JournalInputSource(QObject* parent) : QObject(parent) {
    // Installed after the timing keys' filter, so it sees a key before that filter acts on it.
    QCoreApplication::instance()->installEventFilter(this);
}

bool JournalInputSource::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    // A key that is a menu shortcut acts on its shortcut event and never arrives as a press.
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::KeyPress:
        noteInput(QStringLiteral("Taste"));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (qobject_cast<QMenu*>(watched))
            noteInput(QStringLiteral("Menü"));
        else if (qobject_cast<QAbstractButton*>(watched))
            noteInput(QStringLiteral("Knopf"));
        else if (watched->isWidgetType())
            noteInput(QStringLiteral("Maus"));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void JournalInputSource::noteInput(const QString& source) {
    m_current = source;
    if (m_clearPending)
        return;
    m_clearPending = true;
    // Runs once the event loop is done with this input; commands of timers after it have
    // no input source.
    QTimer::singleShot(0, this, [this] {
        m_current.clear();
        m_clearPending = false;
    });
}
