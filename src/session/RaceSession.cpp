#include "session/RaceSession.h"

#include "competition/ResultEntry.h"
#include "competition/RunStateEntry.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"
#include "competition/StartListCommands.h"
#include "competition/TimeNotation.h"
#include "cup/CupDocument.h"
#include "journal/JournalRecorder.h"
#include "live/LivePublishing.h"
#include "output/BackupWriter.h"
#include "platform/CompetitionInhibitor.h"
#include "platform/DesktopApplications.h"
#include "publish/MqttPublisher.h"
#include "publish/WebUploader.h"
#include "session/LiveCupTables.h"
#include "session/ResultReleaseKeeper.h"
#include "session/RunBinding.h"
#include "session/ScoreboardSession.h"
#include "session/SessionJournal.h"
#include "session/SubstituteMarksBackup.h"
#include "session/TimerSession.h"
#include "session/UploadSetup.h"
#include "settings/SettingsStore.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/MonotonicTickSource.h"
#include "timing/RunClock.h"
#include "timing/TimeDisplay.h"

#include <QCoreApplication>
#include <QSettings>

RaceSession::RaceSession(ProgramEnvironment environment, QObject* parent)
    : QObject(parent), m_environment(std::move(environment)),
      m_competition(TimeFormat(TimeFormat::Hundredths, m_environment.decimalSeparator())) {
    m_programTitle = m_environment.programTitle();
    m_derivation = new StageDerivation(m_competition, this);
    m_binding = new RunBinding(m_competition, this);
    m_cup = std::make_unique<CupDocument>();
    connect(m_binding, &RunBinding::competitorLost, this, [this](const QString& competitor) {
        Q_EMIT runNotice(competitor +
                         QStringLiteral(" steht nicht mehr in der Startliste; sein Lauf ist "
                                        "noch offen und wird nur für ihn eingetragen"));
    });
}

RaceSession::~RaceSession() {
    shutdown();
}

void RaceSession::start() {
    QCoreApplication::setApplicationName(m_programTitle);
    createTiming();
    createLive();
    m_wordInstalled = m_environment.hasApplicationFor(DesktopApplications::kWordDocument);
    m_excelInstalled = m_environment.hasApplicationFor(DesktopApplications::kExcelWorkbook);
    loadSettings();
    const TimingSettings timing = timingSettings(m_settings);
    m_barriers->applySettings(timing);
    m_clock->startUp(timing);
    m_competition.writeDerivedHeaders();
    m_presentPortMask = m_port->scanSerialPorts();
    m_clock->clearBestTime();
    m_display->showTime(DisplayRow::Upper, 0);
    m_competition.writeHeatStartListHeader();
    loadBackup();
    // A port that cannot be opened is forgotten, so 0 is saved and the barriers stay off.
    if (m_settings.port != 0 && !m_port->open(m_settings.port))
        m_settings.port = 0;
    // A timer that is not there yet is looked for; its setting is kept.
    if (m_journal)
        m_timer->setJournal(&m_journal->recorder());
    m_timer->apply(m_settings);
    m_scoreboard->apply(m_settings);
    m_live->startUp();
    createMqtt();
    createUpload();
}

void RaceSession::shutdown() {
    if (m_shutDown || !m_backup)
        return;
    m_shutDown = true;
    m_backup->saveAtExit();
    m_timer->close();
    m_timer->setJournal(nullptr);
    m_scoreboard->close();
    m_journal.reset();
    SettingsStore(m_environment.openSettings(), m_environment.keyring())
        .save(m_settings, m_settingsLoad);
    m_port->close();
    stopMqtt();
    stopUpload();
    MqttPublisher::waitForFarewells();
}

void RaceSession::createTiming() {
    m_ticks = m_environment.tickSource() ? m_environment.tickSource()
                                         : std::make_shared<MonotonicTickSource>();
    m_clock = new RunClock(*m_ticks, this);
    m_display = new TimeDisplay(*m_clock, this);
    m_barriers = new BarrierLogic(*m_clock, this);
    m_port = std::make_unique<LightBarrierPort>(*m_barriers, m_environment.serialSystem(), m_ticks);
    m_timer = new TimerSession(*m_clock, m_barriers->backupStop(), m_environment.dataLineSystem(),
                               m_ticks, this);
    m_clockRunning = m_clock->controlStates().clockRunning;
    connect(m_clock, &RunClock::controlStatesChanged, this,
            [this](const ControlStates& states) { m_clockRunning = states.clockRunning; });
    connect(m_clock, &RunClock::runProgressed, this, &RaceSession::audienceChanged);
    // Commands beside the clock that wait for it to settle (a stopped run, a clock ready
    // again) may have become available.
    connect(m_clock, &RunClock::runStopped, this, &RaceSession::commandAvailabilityChanged);
    connect(m_clock, &RunClock::readyForNextRun, this, &RaceSession::commandAvailabilityChanged);
    // The run belongs to the competitor selected when it starts.
    connect(m_clock, &RunClock::runStarted, this, [this] {
        if (!m_binding->isBound())
            bindRun();
        captureCompetitor();
    });
    connect(m_clock, &RunClock::runEntered, this, &RaceSession::enterClockRun);
    connect(m_clock, &RunClock::runNotFinished, this, &RaceSession::enterNotFinished);
    m_clock->setEntryGate([this](RunClock::Origin origin) { return admitEntry(origin); });
    // A countdown already belongs to the competitor who then slides; the run ends with its
    // entry, its DNF or its reset.
    connect(m_clock, &RunClock::stateChanged, this, [this](RunClock::State state) {
        if (state == RunClock::State::Countdown && !m_binding->isBound())
            bindRun();
        else if (state == RunClock::State::Ready)
            m_binding->release();
    });
    // A new protocol has no best time yet; the lower display row goes back to zero.
    connect(this, &RaceSession::newProtocolStarted, m_clock, &RunClock::clearBestTime);
    m_inhibitor = new CompetitionInhibitor(m_programTitle, m_environment.inhibitorBus(), this);
    connect(m_clock, &RunClock::stateChanged, m_inhibitor,
            [inhibitor = m_inhibitor](RunClock::State state) {
                inhibitor->setBusy(QStringLiteral("timing"), state != RunClock::State::Ready);
            });
    // After the run's binding, so it knows whose run it shows.
    m_scoreboard = new ScoreboardSession(*m_clock, m_competition, *m_binding,
                                         m_environment.dataLineSystem(), this);
}

void RaceSession::createLive() {
    m_live = std::make_unique<LivePublishing>(LiveInputs{
        m_competition, *m_clock, m_ticks, [this] { return audienceText(); }, m_settings.liveResults,
        m_settings.livePort, m_settings.liveAddress, m_settings.liveAddressOnly});
    connect(this, &RaceSession::newProtocolStarted, m_live.get(),
            &LivePublishing::protocolRestarted);
    connect(m_derivation, &StageDerivation::stageDerived, m_live.get(),
            &LivePublishing::sourcesChanged);
    // The pages show the open cup's standings as they are recomputed, and no cup once it closed.
    connect(m_cup.get(), &CupDocument::standingsChanged, m_live.get(), [this] {
        if (!m_cup->isOpen()) {
            m_live->setCup(std::nullopt);
            return;
        }
        m_live->setCup(LiveCupTables::build(m_cup->standings(), m_cup->definition().name,
                                            m_cup->definition().rules.scoring));
    });
}

namespace {

MqttConnection mqttConnection(const Settings& settings) {
    MqttConnection connection;
    connection.host = settings.mqttHost;
    connection.port = settings.mqttPort;
    connection.user = settings.mqttUser;
    connection.password = settings.mqttPassword;
    connection.tls = settings.mqttTls;
    connection.caFile = settings.mqttCaFile;
    connection.clientId = settings.mqttClientId;
    connection.prefix = settings.mqttPrefix;
    return connection;
}

bool sameBroker(const MqttConnection& a, const MqttConnection& b) {
    return a.host == b.host && a.port == b.port && a.user == b.user && a.password == b.password &&
           a.tls == b.tls && a.caFile == b.caFile && a.clientId == b.clientId &&
           a.prefix == b.prefix;
}

} // namespace

void RaceSession::applyMqtt() {
    if (m_shutDown)
        return;
    if (m_mqtt && m_settings.mqttEnabled &&
        sameBroker(m_mqtt->connection(), mqttConnection(m_settings)))
        return;
    stopMqtt();
    createMqtt();
}

void RaceSession::stopMqtt() {
    if (!m_mqtt)
        return;
    m_mqtt->shutdown();
    m_mqtt.reset();
}

void RaceSession::createMqtt() {
    if (!m_settings.mqttEnabled)
        return;
    const MqttConnection connection = mqttConnection(m_settings);
    // The same state the pages get, stamped with the clock the pages run the time from.
    m_mqtt = std::make_unique<MqttPublisher>(
        connection, [this] { return m_live->snapshot(); },
        [ticks = m_ticks] { return static_cast<double>(ticks->nowMicroseconds()) / 1000.0; });
    connect(m_live.get(), &LivePublishing::contentChanged, m_mqtt.get(),
            &MqttPublisher::sourceChanged);
    connect(m_mqtt.get(), &MqttPublisher::statusChanged, this, &RaceSession::mqttStatusChanged);
    m_mqtt->start();
}

void RaceSession::applyUpload() {
    if (m_shutDown)
        return;
    if (m_upload && m_settings.uploadEnabled &&
        m_upload->target() == UploadSetup::target(m_settings)) {
        // Another source for the pages' reader goes up with the next round.
        m_upload->sourceChanged();
        return;
    }
    stopUpload();
    createUpload();
}

void RaceSession::stopUpload() {
    if (!m_upload)
        return;
    m_upload->shutdown();
    m_upload.reset();
}

void RaceSession::createUpload() {
    if (!m_settings.uploadEnabled)
        return;
    const UploadTarget target = UploadSetup::target(m_settings);
    m_upload = std::make_unique<WebUploader>(
        target, UploadSetup::queueFolder(m_environment.paths(), target.url), [this] {
            return UploadSetup::round(m_live->snapshot(),
                                      static_cast<double>(m_ticks->nowMicroseconds()) / 1000.0,
                                      m_settings, *m_cup);
        });
    connect(m_live.get(), &LivePublishing::contentChanged, m_upload.get(),
            &WebUploader::sourceChanged);
    connect(m_upload.get(), &WebUploader::statusChanged, this, &RaceSession::uploadStatusChanged);
    m_upload->start();
    // The state as it is now goes up, newer than whatever an earlier run left queued.
    m_upload->sourceChanged();
}

void RaceSession::loadSettings() {
    const SettingsStore store(m_environment.openSettings(), m_environment.keyring());
    m_settingsLoad = SettingsLoad{};
    m_settingsLoad.stoppedAt = store.load(m_settings);
    if (m_settingsLoad.stoppedAt)
        m_settingsLoad.damagedText = store.storedText(*m_settingsLoad.stoppedAt);
    m_settingsLoad.asLoaded = m_settings;
    m_competition.setTimeFormat(TimeFormat(m_settings.vidResult, m_environment.decimalSeparator()));
    m_title = m_settings.title.isEmpty() ? Settings().title : m_settings.title;
}

void RaceSession::loadBackup() {
    const TimeFormat& notation = m_competition.timeFormat();
    m_backupOutcome =
        BackupStartup::load(m_competition.heatStartList(), m_environment.paths().backupLocation(),
                            QDateTime::currentDateTime(), notation);
    if (m_backupOutcome.loaded) {
        m_derivation->deriveAll();
        Q_EMIT audienceChanged();
        m_competition.heatStartList().setModified(false);
    }
    m_backup =
        std::make_unique<BackupWriter>(m_competition.heatStartList(), m_backupOutcome.writePath);
    m_journal = std::make_unique<SessionJournal>(
        *m_ticks, *m_clock, *m_barriers, *m_port, m_competition.heatStartList(),
        StageTables::pageCaptions().at(0).trimmed(), *m_backup, m_programTitle);
    m_marksBackup = new SubstituteMarksBackup(m_competition, m_backupOutcome.writePath, this);
    if (m_backupOutcome.loaded)
        m_marksNotice = m_marksBackup->load(m_backupOutcome.readPath);
    m_release = new ResultReleaseKeeper(m_competition, this);
    m_release->setJournal(
        [this](const QString& name, const QString& remark) { journalNote(name, remark); });
    m_release->setBackup(m_backup.get());
    if (m_backupOutcome.loaded)
        m_release->restore(m_backupOutcome.trailer);
    connect(&m_competition, &Competition::releaseChanged, this, [this] {
        if (m_live)
            m_live->sourcesChanged();
        Q_EMIT commandAvailabilityChanged();
    });
    const bool converted = m_backupOutcome.loaded && m_backupOutcome.converted.cells > 0;
    if (converted) {
        m_journal->recorder().note(QStringLiteral("Ergebnis: ") + notation.formatTime(1024),
                                   QStringLiteral("Sicherungsdatei: ") +
                                       TimeNotation::summary(m_backupOutcome.converted));
        if (TimeNotation::convertMarks(m_competition.substituteMarks(), notation))
            Q_EMIT m_competition.substituteMarksChanged();
    }
    // The competition carried on from the other place is in the new one at once, and times
    // converted on loading are in the file at once.
    if (m_backupOutcome.loaded && (m_backupOutcome.relocated() || converted)) {
        m_startupWrite = m_backup->saveNow();
        m_marksBackup->sync();
    }
}

TimingSettings RaceSession::timingSettings(const Settings& settings) {
    TimingSettings timing;
    timing.timerMs = settings.timer;
    timing.lengthMetres = settings.len;
    timing.lockTimeMs = settings.lockTime;
    timing.waitStartMs = settings.waitStart;
    timing.alg = settings.alg;
    timing.autoReset = settings.autoReset;
    timing.backupLine = settings.backupLine;
    timing.backupLockTimeMs = settings.backupLockTime;
    timing.stuckLimitMs = settings.stuckLimit;
    return timing;
}

void RaceSession::setOfficeInstalled(bool word, bool excel) {
    m_wordInstalled = word;
    m_excelInstalled = excel;
    Q_EMIT commandAvailabilityChanged();
}

void RaceSession::setCurrentCompetitor(const QString& competitor, const QString& club) {
    m_currentCompetitor = competitor;
    m_currentClub = club;
}

void RaceSession::setTitle(const QString& title) {
    if (title == m_title)
        return;
    m_title = title;
    if (m_live)
        m_live->sourcesChanged();
}

AudienceText RaceSession::audienceText() const {
    return AudienceText{m_title, m_currentCompetitor, m_currentClub};
}

int RaceSession::activePage() const {
    return m_activePage ? qMax(0, m_activePage()) : 0;
}

void RaceSession::captureCompetitor() {
    const int page = activePage();
    if (page != 0 && page != 2)
        return;
    // The final start list begins with the same four columns as the heat start list. An empty
    // list gives empty texts; the run starts all the same. While a run is open the audience
    // sees the competitor it belongs to.
    const CompetitionTable& list = m_competition.stageTable(page);
    const int row = m_binding->isBound() && m_binding->row() > 0 && &m_binding->table() == &list
                        ? m_binding->row()
                        : list.selectedRow();
    setCurrentCompetitor(list.cell(0, row) + u' ' + list.cell(1, row) + u' ' + list.cell(2, row),
                         list.cell(3, row));
}

bool RaceSession::runOpen() const {
    return m_binding->isBound() && m_clock->state() != RunClock::State::Ready;
}

void RaceSession::bindRun() {
    // Pages 0 and 1 write into the heat start list, 2 and 3 into the final start list.
    m_binding->bind(activePage());
    const CompetitionTable& list = m_binding->table();
    const int row = m_binding->row();
    journalNote(QStringLiteral("Lauf für"),
                RunBinding::describeRow(list, row) + QStringLiteral(", ") +
                    list.cell(3, row).trimmed() + QStringLiteral(" (") +
                    QString::fromLatin1(m_binding->page() == 2 ? "Endlauf" : "Vorlauf") +
                    QStringLiteral(")"));
}

void RaceSession::journalNote(const QString& name, const QString& remark) {
    if (m_journal)
        m_journal->recorder().note(name, remark);
}

bool RaceSession::admitEntry(RunClock::Origin origin) {
    if (!m_binding->isBound())
        return true;
    const int row = m_binding->row();
    CompetitionTable& list = m_binding->table();
    // Said as the clock shows it, whatever the notation of the tables.
    const qint32 hundredths = m_clock->runTime() / 10;
    const QString time = QStringLiteral("%1,%2 s")
                             .arg(hundredths / 100)
                             .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    if (row < 0) {
        Q_EMIT runNotice(QStringLiteral("Nicht eingetragen: ") + m_binding->describe() +
                         QStringLiteral(", dem die Zeit ") + time +
                         QStringLiteral(" gehört, steht nicht mehr in der Startliste. Die Zeit "
                                        "bleibt stehen; 00:00 verwirft sie."));
        return false;
    }
    if (list.selectedRow() == row)
        return true;
    const QString selected = RunBinding::describeRow(list, list.selectedRow());
    if (origin == RunClock::Origin::Automatic) {
        Q_EMIT runNotice(QStringLiteral("Nicht automatisch eingetragen: gewählt ist ") + selected +
                         QStringLiteral(", der Lauf gehört ") + m_binding->describe() +
                         QStringLiteral(". Eintragen fragt, wem die Zeit gehört."));
        return false;
    }
    const EntryOwner owner = m_ownerQuestion
                                 ? m_ownerQuestion(m_binding->describe(), selected, time)
                                 : EntryOwner::Bound;
    // The question may have been open while the list changed.
    if (owner == EntryOwner::Nobody || !m_binding->isBound() ||
        m_clock->state() != RunClock::State::Stopped)
        return false;
    if (owner == EntryOwner::Selected) {
        const QString before = m_binding->describe();
        m_binding->rebindToSelection();
        journalNote(QStringLiteral("Lauf umgebunden"),
                    before + QStringLiteral(" -> ") + m_binding->describe());
    }
    return m_binding->row() > 0;
}

void RaceSession::enterResult(qint32 runTimeMs) {
    writeRun(activePage(), runTimeMs);
}

std::optional<RaceSession::RunOwner> RaceSession::openRunOwner() const {
    if (!m_binding->isBound() || m_binding->row() < 0)
        return std::nullopt;
    return RunOwner{m_binding->page(), m_binding->row()};
}

void RaceSession::enterResultFor(const RunOwner& owner, qint32 runTimeMs) {
    ResultEntry::targetTable(m_competition, owner.page).setRow(owner.row);
    writeRun(owner.page, runTimeMs);
}

void RaceSession::enterClockRun(qint32 runTimeMs) {
    const std::optional<RunOwner> owner = openRunOwner();
    // The run is entered: the selection moves on from its competitor to the next one, whom
    // the audience then sees.
    m_binding->release();
    if (owner)
        enterResultFor(*owner, runTimeMs);
    else
        enterResult(runTimeMs);
}

void RaceSession::writeRun(int page, qint32 runTimeMs) {
    const ResultEntry::Target target = ResultEntry::target(m_competition, page);
    const ResultEntry::Outcome outcome = ResultEntry::enterRunTime(m_competition, page, runTimeMs);
    if (outcome == ResultEntry::Outcome::NotInHeatList ||
        outcome == ResultEntry::Outcome::NoFreeFinalRun) {
        const CompetitionTable& list = ResultEntry::targetTable(m_competition, page);
        Q_EMIT runNotice(QStringLiteral("Nicht eingetragen: ") +
                         RunBinding::describeRow(list, list.selectedRow()) +
                         (outcome == ResultEntry::Outcome::NotInHeatList
                              ? QStringLiteral(" fehlt in der Startliste")
                              : QStringLiteral(" hat beide Endläufe")) +
                         QStringLiteral(". Die Zeit steht im Zeitprotokoll."));
    }
    publishEntered(target.heatRow, target.run);
    const int before = ResultEntry::targetTable(m_competition, page).selectedRow();
    // A changed selection runs the selected-row steps through the table's own signal.
    if (ResultEntry::selectNextRow(m_competition, page) == before)
        Q_EMIT selectionKeptAfterEntry(page < 2 ? 0 : 2);
}

void RaceSession::enterNotFinished() {
    int page = activePage();
    if (m_binding->isBound()) {
        if (m_binding->row() < 0) {
            Q_EMIT runNotice(QStringLiteral("DNF nicht eingetragen: ") + m_binding->describe() +
                             QStringLiteral(" steht nicht mehr in der Startliste"));
            return;
        }
        page = m_binding->page();
        m_binding->table().setRow(m_binding->row());
    }
    const CompetitionTable& list = ResultEntry::targetTable(m_competition, page);
    const QString competitor = RunBinding::describeRow(list, list.selectedRow());
    if (RunStateEntry::enterState(m_competition, page, RunState::DNF) ==
        RunStateEntry::Outcome::Written) {
        m_binding->release();
        ResultEntry::selectNextRow(m_competition, page);
        return;
    }
    Q_EMIT runNotice(QStringLiteral("DNF nicht eingetragen: ") + competitor +
                     QStringLiteral(" hat keinen freien Lauf"));
}

bool RaceSession::admitsStartList(const QList<QStringList>& rowsAfter) {
    if (m_clock->state() == RunClock::State::Ready ||
        (m_binding->isBound() && m_binding->heldBy(rowsAfter)))
        return true;
    if (m_clock->state() == RunClock::State::Stopped) {
        if (!(m_ask && m_ask(discardQuestion())))
            return false;
        // The automatic entry may have entered the time while the question was open.
        if (m_clock->state() == RunClock::State::Stopped)
            m_clock->reset();
        return true;
    }
    Q_EMIT runNotice(QStringLiteral("Nicht möglich, solange der Lauf von ") +
                     m_binding->describe() +
                     QStringLiteral(" offen ist: er stünde danach nicht mehr in der Startliste"));
    return false;
}

bool RaceSession::admitsRowChange(const CompetitionTable& table, int row) {
    if (!runOpen() || &table != &m_binding->table() || row != m_binding->row())
        return true;
    Q_EMIT runNotice(QStringLiteral("Nicht möglich: der Lauf von ") + m_binding->describe() +
                     QStringLiteral(" ist offen. Erst eintragen oder verwerfen."));
    return false;
}

void RaceSession::publishEntered(int row, int run) {
    using namespace StageTables;
    const CompetitionTable& heat = m_competition.heatStartList();
    if (!m_live || row <= 0 || row >= heat.rowsWithHeader() || run < 0)
        return;
    // The row that holds the time now, a new one included: not whoever was shown while it ran.
    m_live->resultEntered(heat.cell(Heat::Nr, row) + u' ' + heat.cell(Heat::Name, row) + u' ' +
                              heat.cell(Heat::Vorname, row),
                          heat.cell(Heat::Verein, row), heat.cell(Heat::Zeit1 + run, row));
}

QStringList RaceSession::certificatesWithheld() const {
    if (!m_settings.certificatesAfterRelease || !m_release)
        return {};
    return m_release->preliminaryClasses();
}

void RaceSession::startNewProtocol() {
    // The new competition has no release; its emptying is no change after a release.
    if (m_release)
        m_release->clear();
    StartListCommands::ClearCompetition(m_competition);
    m_competition.substituteMarks().clear();
    Q_EMIT m_competition.substituteMarksChanged();
    Q_EMIT newProtocolStarted();
}
