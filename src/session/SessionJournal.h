#pragma once

#include <QObject>
#include <QString>

class BackupWriter;
class BarrierLogic;
class JournalRecorder;
class JournalRunIndex;
class JournalWriter;
class LightBarrierPort;
class RunClock;
class CompetitionTable;
class TickSource;

// The impulse journal of one race session: a writer for the day files next to the backup and a
// recorder on the run clock, the light barriers, the port and the heat start list. The journal
// of the same change reaches the disk before the backup does. Start-up reads only the end of
// today's journal; the runs of earlier sessions are read on a thread of their own.
class SessionJournal : public QObject {
    Q_OBJECT
public:
    SessionJournal(const TickSource& ticks, RunClock& clock, BarrierLogic& barriers,
                   LightBarrierPort& port, CompetitionTable& heatStartList,
                   const QString& heatCaption, BackupWriter& backup, const QString& programTitle,
                   QObject* parent = nullptr);
    // Journals the program's end and waits for the last lines to reach the disk.
    ~SessionJournal() override;

    JournalRecorder& recorder() { return *m_recorder; }
    JournalWriter& writer() { return *m_writer; }
    // The runs of today's and yesterday's journal, earlier sessions' read in the background.
    JournalRunIndex& runIndex() { return *m_runIndex; }
    // Damaged lines at the end of today's journal, as start-up found them.
    int skippedLines() const { return m_skipped; }
    // What start-up found wrong with today's journal; empty when nothing.
    QString startupNotice() const { return m_startupNotice; }

    static QString failureText(const QString& path, const QString& reason);
    static QString recoveredText() {
        return QStringLiteral("Das Zeitprotokoll wird wieder geschrieben.");
    }
    static QString damagedLinesText(int lines);

Q_SIGNALS:
    // Writing failed (the text of failureText) or works again; delivered from the event loop.
    void failed(const QString& text);
    void recovered();

private:
    void checkTodaysEnd();

    BackupWriter& m_backup;
    JournalWriter* m_writer = nullptr;
    JournalRecorder* m_recorder = nullptr;
    JournalRunIndex* m_runIndex = nullptr;
    int m_skipped = 0;
    QString m_startupNotice;
};
