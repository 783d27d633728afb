#pragma once

#include "timing/ScoreboardFrames.h"

#include <QObject>
#include <QTimer>
#include <memory>

class Competition;
class RunBinding;
class RunClock;
class ScoreboardPort;
class SerialSystem;
struct Settings;

// The scoreboard of the race: while a run goes on it shows the running time, a stopped run its
// time, an entered run the competitor's number, time and place in the heat results. The
// running time is sent only as often as the board's line can carry it.
class ScoreboardSession : public QObject {
    Q_OBJECT
public:
    ScoreboardSession(RunClock& clock, Competition& competition, RunBinding& binding,
                      std::shared_ptr<SerialSystem> system, QObject* parent = nullptr);
    ~ScoreboardSession() override;

    // The scoreboard settings as they are now: no device closes the port. False with
    // lastError() when it cannot be opened now; it is looked for every second.
    bool apply(const Settings& settings);
    void close();
    bool isOpen() const;
    QString lastError() const;
    ScoreboardPort& port() { return *m_port; }
    // Every segment lit on the board of these settings; the text tells how it went (German).
    QString test(const QString& device, int baudRate, const QString& protocol);
    // How often the running time goes out at this rate and protocol.
    static int runningIntervalMs(int baudRate, ScoreboardFrames::Protocol protocol);
    // What the status bar keeps showing while it holds: the board chosen but not reached
    // ("Anzeigetafel an ...: ..."); empty while it takes what is sent or none is chosen.
    QString lastingNotice() const { return m_lasting; }
    static QString topic() { return QStringLiteral("Anzeigetafel"); }

Q_SIGNALS:
    void lastingNoticeChanged(const QString& text);

private:
    void sendRunning();
    void sendFrame(ScoreboardFrames::Kind kind, qint32 ms, int place);
    int boundNumber() const;
    // The place of this run's time among the times of the same run in the competitor's class
    // of the heat start list; 0 when it is not found there.
    int placeOf(int number, qint32 ms) const;
    void watch();
    void tellState();

    RunClock& m_clock;
    Competition& m_competition;
    RunBinding& m_binding;
    std::unique_ptr<ScoreboardPort> m_port;
    ScoreboardFrames::Protocol m_protocol = ScoreboardFrames::Protocol::Gaz;
    QTimer m_running;
    QTimer m_watch;
    int m_number = 0;
    QString m_lasting;
};
