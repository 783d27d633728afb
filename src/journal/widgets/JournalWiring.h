#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class BackupWriter;
class JournalDialog;
class JournalInputSource;
class JournalRecorder;
class JournalWriter;
class TFormMain;

// Puts the impulse journal into the main window: a writer for the day files next to the backup,
// a recorder on the run clock, the light barriers, the port and the heat start list, the file
// commands of the menu, the notices of a damaged or unwritable journal, and "Zeitprotokoll...".
// The journal of the same change reaches the disk before the backup does. Start-up reads only
// the end of the journal; the dialog reads back as far as it is scrolled.
class JournalWiring : public QObject {
    Q_OBJECT
public:
    JournalWiring(TFormMain& window, BackupWriter& backup);
    // Journals the program's end and waits for the last lines to reach the disk.
    ~JournalWiring() override;

    JournalRecorder& recorder() { return *m_recorder; }
    JournalWriter& writer() { return *m_writer; }
    // Damaged lines at the end of today's journal, as start-up found them.
    int skippedLines() const { return m_skipped; }
    // The open "Zeitprotokoll" dialog, if any.
    JournalDialog* dialog() const;

    // "Zeitprotokoll..."
    void showDialog();
    // The dialog's "Eintragen".
    void enterFromJournal(qint64 startStamp, qint64 stopStamp);

    static QString failureText(const QString& path, const QString& reason);
    static QString recoveredText() {
        return QStringLiteral("Das Zeitprotokoll wird wieder geschrieben.");
    }
    static QString damagedLinesText(int lines);

private:
    void checkTodaysEnd();
    void connectCommands();
    void describeTarget();

    TFormMain& m_window;
    BackupWriter& m_backup;
    JournalWriter* m_writer = nullptr;
    JournalRecorder* m_recorder = nullptr;
    JournalInputSource* m_input = nullptr;
    int m_skipped = 0;
    QString m_startupNotice;
    QPointer<JournalDialog> m_dialog;
};
