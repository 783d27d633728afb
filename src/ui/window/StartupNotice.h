#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class BackupWriter;
class QStatusBar;
class QWidget;

// Tells the operator what start-up found wrong with the backup file: a text in the status bar
// and a message box once the window is on the screen (a box before that would hold up the start
// and appear without the window it belongs to). The text covers the status panels, so it gives
// way as soon as a backup write fails and the panels have that to say.
class StartupNotice : public QObject {
    Q_OBJECT
public:
    // How long the status bar text stays.
    static constexpr int StatusMilliseconds = 60000;

    // Either text may be empty. The notice belongs to the window.
    static void tell(QWidget& window, QStatusBar& statusBar, const BackupWriter& writer,
                     const QString& title, const QString& statusText, const QString& messageText);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StartupNotice(QWidget& window, QStatusBar& statusBar, const BackupWriter& writer,
                  const QString& title, const QString& statusText, const QString& messageText);
    void windowShown();
    bool statusShowing() const;
    void backupWritten(bool ok);

    QWidget& m_window;
    QPointer<QStatusBar> m_statusBar;
    QString m_title;
    QString m_status;
    QString m_message;
};
