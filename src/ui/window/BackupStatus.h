#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

class BackupWriter;
class MainStatusBar;
class QWidget;

// Tells the operator at once when the backup file cannot be written: a red note in the status
// bar's fixed-text panel that stays until a write succeeds again, and a message box when
// writing starts to fail. The box is not modal and does not take the focus, so the timing keys
// and the light barriers go on working while it is open; the next successful write brings the
// whole list to disk, as every write is a full rewrite.
class BackupStatus : public QObject {
    Q_OBJECT
public:
    // The box belongs to window and carries the program title.
    BackupStatus(BackupWriter& writer, MainStatusBar& statusBar, QWidget* window,
                 const QString& programTitle, QObject* parent = nullptr);

    // "Die Sicherungsdatei kann nicht geschrieben werden: " path " (" reason ")".
    static QString message(const QString& path, const QString& reason);
    // The panel's short note while writing fails.
    static QString panelNote() { return QStringLiteral("Sicherung fehlgeschlagen!"); }

    bool failing() const { return m_failing; }
    // The box of the current failure while it is open.
    QMessageBox* messageBox() const { return m_box; }

    // A write's outcome; the window also hands on the one start-up made before it existed.
    void writeDone(bool ok);

private:
    void showFailure();
    void clearFailure();

    BackupWriter& m_writer;
    MainStatusBar& m_statusBar;
    QWidget* m_window;
    QString m_title;
    QPointer<QMessageBox> m_box;
    bool m_failing = false;
};
