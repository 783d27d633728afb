#include "session/RaceSession.h"

#include "competition/ResultEntry.h"
#include "competition/StageDerivation.h"
#include "competition/StageTables.h"
#include "competition/StartListCommands.h"
#include "competition/TimeNotation.h"
#include "journal/JournalRecorder.h"
#include "live/LivePublishing.h"
#include "output/BackupWriter.h"
#include "platform/CompetitionInhibitor.h"
#include "platform/DesktopApplications.h"
#include "session/SessionJournal.h"
#include "session/SubstituteMarksBackup.h"
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
    m_presentPortMask = m_port->ScanSerialPorts();
    m_clock->clearBestTime();
    m_display->ShowTime(DisplayRow::Upper, 0);
    m_competition.writeHeatStartListHeader();
    loadBackup();
    // A port that cannot be opened is forgotten, so 0 is saved and the barriers stay off.
    if (m_settings.port != 0 && !m_port->open(m_settings.port))
        m_settings.port = 0;
    m_live->startUp();
}

void RaceSession::shutdown() {
    if (m_shutDown || !m_backup)
        return;
    m_shutDown = true;
    m_backup->saveAtExit();
    m_journal.reset();
    SettingsStore(m_environment.openSettings()).save(m_settings, m_settingsLoad);
    m_port->close();
}

void RaceSession::createTiming() {
    m_ticks = m_environment.tickSource() ? m_environment.tickSource()
                                         : std::make_shared<MonotonicTickSource>();
    m_clock = new RunClock(*m_ticks, this);
    m_display = new TimeDisplay(*m_clock, this);
    m_barriers = new BarrierLogic(*m_clock, this);
    m_port = std::make_unique<LightBarrierPort>(*m_barriers, m_environment.serialSystem(), m_ticks);
    m_clockRunning = m_clock->controlStates().clockRunning;
    connect(m_clock, &RunClock::controlStatesChanged, this,
            [this](const ControlStates& states) { m_clockRunning = states.clockRunning; });
    connect(m_clock, &RunClock::runProgressed, this, &RaceSession::audienceChanged);
    connect(m_clock, &RunClock::commandAvailabilityChanged, this,
            &RaceSession::commandAvailabilityChanged);
    connect(m_clock, &RunClock::competitorCaptureRequested, this, &RaceSession::captureCompetitor);
    connect(m_clock, &RunClock::enterResultRequested, this, &RaceSession::enterResult);
    // A new protocol has no best time yet; the lower display row goes back to zero.
    connect(this, &RaceSession::newProtocolStarted, m_clock, &RunClock::clearBestTime);
    m_inhibitor = new CompetitionInhibitor(m_programTitle, m_environment.inhibitorBus(), this);
    connect(m_clock, &RunClock::stateChanged, m_inhibitor,
            [inhibitor = m_inhibitor](RunClock::State state) {
                inhibitor->setBusy(QStringLiteral("timing"), state != RunClock::State::Ready);
            });
}

void RaceSession::createLive() {
    m_live = std::make_unique<LivePublishing>(LiveInputs{
        m_competition, *m_clock, m_ticks, [this] { return audienceText(); }, m_settings.liveResults,
        m_settings.livePort, m_settings.liveAddress, m_settings.liveAddressOnly});
    connect(this, &RaceSession::newProtocolStarted, m_live.get(),
            &LivePublishing::protocolRestarted);
    connect(m_derivation, &StageDerivation::stageDerived, m_live.get(),
            &LivePublishing::sourcesChanged);
}

void RaceSession::loadSettings() {
    const SettingsStore store(m_environment.openSettings());
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
        m_derivation->DeriveAll();
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
    const bool converted = m_backupOutcome.loaded && m_backupOutcome.converted.cells > 0;
    if (converted) {
        m_journal->recorder().note(QStringLiteral("Ergebnis: ") + notation.FormatTime(1024),
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
    // list gives empty texts; the run starts all the same.
    const TSortGrid& list = m_competition.stageTable(page);
    const int row = list.Row();
    setCurrentCompetitor(list.cell(0, row) + u' ' + list.cell(1, row) + u' ' + list.cell(2, row),
                         list.cell(3, row));
}

void RaceSession::enterResult(qint32 runTimeMs) {
    const int page = activePage();
    ResultEntry::EnterRunTime(m_competition, page, runTimeMs);
    const int before = ResultEntry::targetTable(m_competition, page).Row();
    // A changed selection runs the selected-row steps through the table's own signal.
    if (ResultEntry::selectNextRow(m_competition, page) == before)
        Q_EMIT selectedRowStepsRequested(page < 2 ? 0 : 2);
}

void RaceSession::startNewProtocol() {
    StartListCommands::ClearCompetition(m_competition);
    m_competition.substituteMarks().clear();
    Q_EMIT m_competition.substituteMarksChanged();
    Q_EMIT newProtocolStarted();
}
