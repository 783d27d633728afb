#include "ui/StartupNotice.h"

#include <QEvent>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

void StartupNotice::tell(QWidget& window, QStatusBar& statusBar, const QString& title,
                         const QString& statusText, const QString& messageText) {
    if (!statusText.isEmpty() || !messageText.isEmpty())
        new StartupNotice(window, statusBar, title, statusText, messageText);
}

StartupNotice::StartupNotice(QWidget& window, QStatusBar& statusBar, const QString& title,
                             const QString& statusText, const QString& messageText)
    : QObject(&window), m_window(window), m_statusBar(&statusBar), m_title(title),
      m_status(statusText), m_message(messageText) {
    if (!m_status.isEmpty())
        statusBar.showMessage(m_status, StatusMilliseconds);
    if (window.isVisible())
        QTimer::singleShot(0, this, &StartupNotice::windowShown);
    else
        window.installEventFilter(this);
}

bool StartupNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::Show) {
        m_window.removeEventFilter(this);
        // After the show has been handled, not from inside it.
        QTimer::singleShot(0, this, &StartupNotice::windowShown);
    }
    return QObject::eventFilter(watched, event);
}

void StartupNotice::windowShown() {
    // The status bar hides its panels for the text only while it is visible: shown again now.
    if (m_statusBar && !m_status.isEmpty() && m_statusBar->currentMessage() == m_status) {
        m_statusBar->clearMessage();
        m_statusBar->showMessage(m_status, StatusMilliseconds);
    }
    if (!m_message.isEmpty())
        QMessageBox::critical(&m_window, m_title, m_message);
    deleteLater();
}
