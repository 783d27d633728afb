#pragma once

#include "timing/TimerInput.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class BackupStopLogic;
class JournalRecorder;
class RunClock;
class SerialSystem;
class TickSource;
class TimerPort;
struct JournalEntry;
struct Settings;

// The professional timer of the race: its port and its input on the run clock as the settings
// name them, every impulse and unreadable line in the journal, and what the operator must know
// of it (a lost connection, a drifting clock, impulses from its memory, unreadable lines).
class TimerSession : public QObject {
    Q_OBJECT
public:
    TimerSession(RunClock& clock, BackupStopLogic& backup, std::shared_ptr<SerialSystem> system,
                 std::shared_ptr<const TickSource> ticks, QObject* parent = nullptr);
    ~TimerSession() override;

    // Where the impulses are journaled from now on; nullptr: nowhere. The port's thread writes
    // to it: change it only while the port is closed.
    void setJournal(JournalRecorder* recorder) { m_journal = recorder; }
    // The timer settings as they are now. No device closes the port; a device that cannot be
    // opened now is looked for every second. False with lastError() when it is not open.
    bool apply(const Settings& settings);
    void close();

    TimerPort& port() { return *m_port; }
    TimerInput& input() { return *m_input; }
    bool isOpen() const;
    QString lastError() const;
    // What stays in the status bar while it holds (lost, drifting); empty when all is well.
    QString lastingNotice() const { return m_lasting; }

    static QString topic() { return QStringLiteral("Zeitmessgerät"); }
    static QString lostText(const QString& device) {
        return QStringLiteral("Zeitmessgerät getrennt: ") + device;
    }
    static QString restoredText() { return QStringLiteral("Zeitmessgerät wieder verbunden"); }
    static QString driftText(qint64 microseconds);
    static QString memoryText(int impulses);
    static QString unreadableText(int lines, const QString& reason);

Q_SIGNALS:
    void lastingNoticeChanged(const QString& text);
    void notice(const QString& text);

private:
    void setLasting(const QString& text);
    void journal(const JournalEntry& entry);
    void impulseRead(const TimerImpulse& impulse, TimerInput::Role role,
                     TimerInput::Arrival arrival, qint64 programStamp, qint64 arrivalStamp);

    TimerPort* m_port = nullptr;
    TimerInput* m_input = nullptr;
    JournalRecorder* m_journal = nullptr;
    QString m_lasting;
    QString m_device;
    quint32 m_baudRate = 0;
    QString m_profileId;
    bool m_lost = false;
    // Counted for the notices; the memory's on the port's thread.
    std::atomic<int> m_fromMemory{0};
    int m_unreadable = 0;
};
