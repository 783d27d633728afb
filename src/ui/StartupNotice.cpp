#include "ui/StartupNotice.h"

#include <QEvent>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

void StartupNotice::tell(QWidget& window, QStatusBar& statusBar, const QString& title,
                         const QString& statusText, const QString& messageText) {
    if (!statusText.isEmpty())
        statusBar.showMessage(statusText, StatusMilliseconds);
    if (!messageText.isEmpty())
        new StartupNotice(window, title, messageText);
}

StartupNotice::StartupNotice(QWidget& window, const QString& title, const QString& messageText)
    : QObject(&window), m_window(window), m_title(title), m_message(messageText) {
    if (window.isVisible())
        QTimer::singleShot(0, this, &StartupNotice::showMessage);
    else
        window.installEventFilter(this);
}

bool StartupNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::Show) {
        m_window.removeEventFilter(this);
        // After the show has been painted, not from inside it.
        QTimer::singleShot(0, this, &StartupNotice::showMessage);
    }
    return QObject::eventFilter(watched, event);
}

void StartupNotice::showMessage() {
    QMessageBox::critical(&m_window, m_title, m_message);
    deleteLater();
}
