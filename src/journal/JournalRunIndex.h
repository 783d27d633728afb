#pragma once

#include "journal/JournalRuns.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

// The runs the journal tells of, kept while the program runs, so that a menu or a dialog asking
// for them never waits on a file: the journal files of earlier sessions are read once on a
// thread of their own, and every event recorded since is seen as it comes. Until those files
// are read the runs are not known, and whoever asks says so rather than guess from part of
// them.
class JournalRunIndex : public QObject {
    Q_OBJECT
public:
    // Reads the earlier runs; called on the index's own thread, it gives up early once `stop`
    // is set.
    using Reader = std::function<JournalRuns(const std::atomic<bool>& stop)>;

    explicit JournalRunIndex(Reader reader, QObject* parent = nullptr);
    // Waits for the reading thread, stopping it first.
    ~JournalRunIndex() override;

    // The files (newest first) up to the size they have now: what is appended to them later is
    // this session's and comes through see().
    static Reader fileReader(const QStringList& paths, int maxLines = JournalRuns::defaultLines);
    static QString readingText() { return QStringLiteral("Zeitprotokoll wird noch gelesen ..."); }

    // Every run known, earlier sessions' first; null while their files are still being read.
    const JournalRuns* runs() const { return m_ready ? &m_runs : nullptr; }

public Q_SLOTS:
    // An event as it is recorded.
    void see(const JournalEntry& entry);

Q_SIGNALS:
    // The earlier runs are read: runs() answers from now on.
    void ready();

private:
    void takeEarlier(JournalRuns earlier);

    bool m_ready = false;
    JournalRuns m_runs;
    // This session's events telling of runs, kept until the earlier runs they may refer to
    // (a substitute for yesterday's last run) are there.
    std::vector<JournalEntry> m_recent;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
