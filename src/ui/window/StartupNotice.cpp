#include "ui/window/StartupNotice.h"

#include "output/BackupWriter.h"

#include <QEvent>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

void StartupNotice::tell(QWidget& window, QStatusBar& statusBar, const BackupWriter& writer,
                         const QString& title, const QString& statusText,
                         const QString& messageText) {
    if (!statusText.isEmpty() || !messageText.isEmpty())
        new StartupNotice(window, statusBar, writer, title, statusText, messageText);
}

StartupNotice::StartupNotice(QWidget& window, QStatusBar& statusBar, const BackupWriter& writer,
                             const QString& title, const QString& statusText,
                             const QString& messageText)
    : QObject(&window), m_window(window), m_statusBar(&statusBar), m_title(title),
      m_status(statusText), m_message(messageText) {
    if (!m_status.isEmpty())
        statusBar.showMessage(m_status, StatusMilliseconds);
    connect(&writer, &BackupWriter::saved, this, &StartupNotice::backupWritten);
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

bool StartupNotice::statusShowing() const {
    return m_statusBar && !m_status.isEmpty() && m_statusBar->currentMessage() == m_status;
}

void StartupNotice::windowShown() {
    // The status bar hides its panels for the text only while it is visible: shown again now.
    if (statusShowing()) {
        m_statusBar->clearMessage();
        m_statusBar->showMessage(m_status, StatusMilliseconds);
    }
    // Lives as long as the text, to make way for a failing backup.
    QTimer::singleShot(StatusMilliseconds, this, &QObject::deleteLater);
    if (!m_message.isEmpty())
        QMessageBox::critical(&m_window, m_title, m_message);
}

void StartupNotice::backupWritten(bool ok) {
    if (!ok && statusShowing())
        m_statusBar->clearMessage();
}
