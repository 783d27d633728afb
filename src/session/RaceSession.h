#pragma once

#include "competition/AudienceText.h"
#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "output/BackupStartup.h"
#include "session/ProgramEnvironment.h"
#include "settings/Settings.h"
#include "settings/SettingsLoad.h"
#include "timing/RunClock.h"
#include "timing/TimingSettings.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class BackupWriter;
class BarrierLogic;
class CompetitionInhibitor;
class LightBarrierPort;
class CupDocument;
class LivePublishing;
class MqttPublisher;
class ResultReleaseKeeper;
class WebUploader;
class RunBinding;
class SessionJournal;
class StageDerivation;
class ScoreboardSession;
class SubstituteMarksBackup;
class TimerSession;
class TickSource;
class TimeDisplay;

// One race as the program runs it, apart from any window: the competition and its derivation,
// the settings while the program runs, the backup file, the impulse journal, the run clock with
// its time display, light barriers and port, the live results, and what keeps the machine awake.
// start() brings it up from the files and the stored settings, shutdown() writes them back.
class RaceSession : public QObject {
    Q_OBJECT
public:
    explicit RaceSession(ProgramEnvironment environment, QObject* parent = nullptr);
    ~RaceSession() override;

    // The start-up steps that need no window, in the program's order: the timing, the office
    // programs, the stored settings, the derived headers, the port scan, the first times, the
    // backup with its journal, the light-barrier port the settings name, and the live results
    // when the settings have them on, and the MQTT publisher and the web upload when they have
    // them on.
    void start();
    // The backup, then the journal's end line, then the settings, then the port, then the
    // goodbye to the MQTT broker, then the upload (what it had not sent kept for the next run).
    void shutdown();

    const ProgramEnvironment& environment() const { return m_environment; }
    QString programTitle() const { return m_programTitle; }
    Competition& competition() { return m_competition; }
    const Competition& competition() const { return m_competition; }
    StageDerivation& derivation() { return *m_derivation; }
    RandomGenerator& random() { return m_random; }
    // The settings while the program runs; every part that changes one writes it here.
    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    // What start-up read, for the window's half of the settings and for the save at exit.
    SettingsLoad& settingsLoad() { return m_settingsLoad; }
    // Keeps the backup file in step with the heat start list; exists from start() on.
    BackupWriter* backup() const { return m_backup.get(); }
    const BackupStartup::Outcome& backupOutcome() const { return m_backupOutcome; }
    // Whether start-up's write of a backup carried on from another place, or of one whose times
    // it converted, succeeded; nullopt when start-up wrote none.
    std::optional<bool> startupWrite() const { return m_startupWrite; }
    // Every impulse and every change of the heat start list on disk; exists from start() on.
    SessionJournal* journal() const { return m_journal.get(); }
    // The substitute marks kept beside the backup; exists from start() on.
    SubstituteMarksBackup* substituteMarksBackup() const { return m_marksBackup; }
    // What start-up found wrong with the marks kept beside the backup; empty when nothing.
    QString substituteMarksNotice() const { return m_marksNotice; }
    // Which classes' results are official ("Ergebnisse freigeben"), kept with the backup;
    // exists from start() on. Releasing changes no time, so it is allowed while a run is open.
    ResultReleaseKeeper* release() const { return m_release; }
    // The classes whose certificates wait for their release: with "Urkunden erst nach
    // Freigabe" on, every class with results that is still preliminary; otherwise none.
    QStringList certificatesWithheld() const;

    RunClock& clock() { return *m_clock; }
    const RunClock& clock() const { return *m_clock; }
    TimeDisplay& display() { return *m_display; }
    BarrierLogic& barriers() { return *m_barriers; }
    LightBarrierPort& port() { return *m_port; }
    // The professional timer on its serial port, beside the light barriers.
    TimerSession& timer() { return *m_timer; }
    // The scoreboard on its serial port: running time, stopped time, last result.
    ScoreboardSession& scoreboard() { return *m_scoreboard; }
    const TickSource& tickSource() const { return *m_ticks; }
    std::shared_ptr<const TickSource> sharedTickSource() const { return m_ticks; }
    // No suspend and no blanking while a run is timed or an audience window is shown.
    CompetitionInhibitor& inhibitor() { return *m_inhibitor; }
    // The live results server and what it is sent.
    LivePublishing& live() { return *m_live; }
    // The cup open beside the race ("Cupwertung"); the live pages show its standings.
    CupDocument& cup() { return *m_cup; }
    // The race on the MQTT broker of the settings; none while they have it off.
    MqttPublisher* mqtt() const { return m_mqtt.get(); }
    // The MQTT settings as they are now, while the program runs: the publisher is started,
    // stopped with its "offline", or connected anew when where or as whom it sends changed.
    void applyMqtt();
    // The live pages on the web host of the settings; none while they have it off.
    WebUploader* upload() const { return m_upload.get(); }
    // The upload settings as they are now: the uploader is started, stopped (what it had not
    // sent kept for later), or started anew when where, as whom or how often it uploads changed.
    void applyUpload();

    // The stored values the clock and the barriers work with.
    static TimingSettings timingSettings(const Settings& settings);

    quint32 presentPortMask() const { return m_presentPortMask; }
    bool wordInstalled() const { return m_wordInstalled; }
    bool excelInstalled() const { return m_excelInstalled; }
    void setOfficeInstalled(bool word, bool excel);

    // Whether the run clock is running: closing then asks first, and a row selection then
    // leaves the current competitor alone.
    bool clockRunning() const { return m_clockRunning; }
    // Until the clock reports its next control states.
    void setClockRunning(bool running) { m_clockRunning = running; }
    QString currentCompetitor() const { return m_currentCompetitor; }
    QString currentClub() const { return m_currentClub; }
    void setCurrentCompetitor(const QString& competitor, const QString& club);
    // The title of the competition as the operator types it, kept in step with every edit.
    void setTitle(const QString& title);
    // What the audience sees besides the tables: the title and who is on the slide.
    AudienceText audienceText() const;

    // The stage page shown, which the clock's results and captures go to; page 0 until set.
    void setActivePage(std::function<int()> page) { m_activePage = std::move(page); }
    int activePage() const;
    // The current competitor and club from the selected row of the shown start list, or from
    // the row of the open run's competitor; on the results pages both stay.
    void captureCompetitor();
    // Writes a run time into the selected row of the active stage and moves the selection on,
    // as "Eintragen" of a time from the journal does. The clock's own runs go to their
    // competitor instead (enterClockRun).
    void enterResult(qint32 runTimeMs);
    // Where the open run's time belongs: the page (0 heat, 2 final) and row of its competitor;
    // nothing when no run is open or its competitor is not in the list.
    struct RunOwner {
        int page = 0;
        int row = 1;
    };
    std::optional<RunOwner> openRunOwner() const;
    // Writes a time into that row and moves the selection on (a substitute for the open run).
    void enterResultFor(const RunOwner& owner, qint32 runTimeMs);
    // F7: "DNF" for the competitor the run is bound to.
    void enterNotFinished();

    // The competitor the open run belongs to, from its start or countdown until it is entered
    // or dropped.
    RunBinding& runBinding() { return *m_binding; }
    bool runOpen() const;
    // Who gets a stopped run's time when "Eintragen" is given with another competitor selected.
    enum class EntryOwner { Bound, Selected, Nobody };
    using OwnerQuestion = std::function<EntryOwner(const QString& bound, const QString& selected,
                                                   const QString& time)>;
    void setOwnerQuestion(OwnerQuestion question) { m_ownerQuestion = std::move(question); }
    // A yes/no question to the operator; without one, every question is answered "Nein".
    using Ask = std::function<bool(const QString& question)>;
    void setAsk(Ask ask) { m_ask = std::move(ask); }
    static QString discardQuestion() {
        return QStringLiteral("Die gestoppte Zeit ist noch nicht eingetragen. Verwerfen?");
    }

    // The one rule for every command that changes the heat start list while a run is open:
    // true when the list may become these data rows. A list that still holds the competitor
    // is fine (the run stays with him wherever he stands); otherwise a stopped time is let go
    // only when the operator says so, and a running run refuses with its reason (runNotice).
    bool admitsStartList(const QList<QStringList>& rowsAfter);
    // The same rule for a command that removes a row or closes its free runs (delete,
    // eliminate, a run state): the competitor of the open run keeps his row and runs.
    bool admitsRowChange(const CompetitionTable& table, int row);
    // "Neue": empties the competition; the best time and the lower display row start over.
    void startNewProtocol();

Q_SIGNALS:
    // The clock changed what the audience sees.
    void audienceChanged();
    void newProtocolStarted();
    // Result entry found no row to move the selection of this start list (page 0 or 2) on to,
    // so it stays where it was; a selection moved on tells through the table's own signal.
    void selectionKeptAfterEntry(int page);
    // Which commands are available may have changed.
    void commandAvailabilityChanged();
    // What happened to an open run that the operator must know: a time not entered and why,
    // a command refused, the competitor gone from the list.
    void runNotice(const QString& text);
    // The MQTT publisher's status in plain words; empty once it is stopped.
    void mqttStatusChanged(const QString& text);
    // The uploader's status: the last upload, or a failure with its reason; empty once stopped.
    void uploadStatusChanged(const QString& text, bool failing);

private:
    void createTiming();
    void createLive();
    void createMqtt();
    void stopMqtt();
    void createUpload();
    void stopUpload();
    void loadSettings();
    void loadBackup();
    void bindRun();
    // "Eintragen" of the clock: into the row of the run's competitor.
    void enterClockRun(qint32 runTimeMs);
    void writeRun(int page, qint32 runTimeMs);
    bool admitEntry(RunClock::Origin origin);
    void journalNote(const QString& name, const QString& remark);
    // Tells the live pages which row received the time just entered: heatRow and its run 0..4.
    void publishEntered(int heatRow, int run);

    ProgramEnvironment m_environment;
    QString m_programTitle;
    Settings m_settings;
    SettingsLoad m_settingsLoad;
    bool m_wordInstalled = false;
    bool m_excelInstalled = false;
    quint32 m_presentPortMask = 0;
    bool m_clockRunning = false;
    QString m_currentCompetitor;
    QString m_currentClub;
    QString m_title;
    std::function<int()> m_activePage;
    OwnerQuestion m_ownerQuestion;
    Ask m_ask;
    bool m_shutDown = false;

    Competition m_competition;
    StageDerivation* m_derivation = nullptr;
    RunBinding* m_binding = nullptr;
    RandomGenerator m_random;
    BackupStartup::Outcome m_backupOutcome;
    std::optional<bool> m_startupWrite;
    std::shared_ptr<const TickSource> m_ticks;
    CompetitionInhibitor* m_inhibitor = nullptr;
    // Declared in the order they go backwards: the journal first with the program's end line,
    // then the backup, then the port while the barriers are still there to hear about it.
    RunClock* m_clock = nullptr;
    TimeDisplay* m_display = nullptr;
    BarrierLogic* m_barriers = nullptr;
    std::unique_ptr<LightBarrierPort> m_port;
    TimerSession* m_timer = nullptr;
    ScoreboardSession* m_scoreboard = nullptr;
    std::unique_ptr<BackupWriter> m_backup;
    SubstituteMarksBackup* m_marksBackup = nullptr;
    ResultReleaseKeeper* m_release = nullptr;
    QString m_marksNotice;
    std::unique_ptr<SessionJournal> m_journal;
    // Last, so its server stops before the clock and the tables go.
    std::unique_ptr<LivePublishing> m_live;
    std::unique_ptr<CupDocument> m_cup;
    // Fed from the live results; goes before them.
    std::unique_ptr<MqttPublisher> m_mqtt;
    std::unique_ptr<WebUploader> m_upload;
};
