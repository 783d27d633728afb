#pragma once

#include "journal/JournalEntry.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QPointer>

class BackupWriter;
class JournalDialog;
class JournalInputSource;
class JournalRecorder;
class JournalWriter;
class TFormMain;

// Puts the impulse journal into the main window: a writer for the day files next to the backup,
// a recorder on the run clock, the light barriers, the port and the heat start list, the file
// commands of the menu, the notice when the journal cannot be written, and "Zeitprotokoll...".
// The journal of the same change reaches the disk before the backup does.
class JournalWiring : public QObject {
    Q_OBJECT
public:
    JournalWiring(TFormMain& window, BackupWriter& backup);
    // Journals the program's end and waits for the last lines to reach the disk.
    ~JournalWiring() override;

    JournalRecorder& recorder() { return *m_recorder; }
    JournalWriter& writer() { return *m_writer; }
    // Today's events: what the file held at start-up and what came since.
    const QList<JournalEntry>& today() const { return m_today; }
    int skippedLines() const { return m_skipped; }
    // The open "Zeitprotokoll" dialog, if any.
    JournalDialog* dialog() const;

    // "Zeitprotokoll..."
    void showDialog();
    // The dialog's "Eintragen".
    void enterFromJournal(qint64 startStamp, qint64 stopStamp);

    static QString failureText(const QString& path, const QString& reason);

private:
    void loadToday();
    void connectCommands();
    void keep(const JournalEntry& entry);
    void describeTarget();

    TFormMain& m_window;
    BackupWriter& m_backup;
    JournalWriter* m_writer = nullptr;
    JournalRecorder* m_recorder = nullptr;
    JournalInputSource* m_input = nullptr;
    QList<JournalEntry> m_today;
    QDate m_day;
    int m_skipped = 0;
    QPointer<JournalDialog> m_dialog;
};
