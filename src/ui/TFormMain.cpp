#include "ui/TFormMain.h"

#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "competition/StartListCommands.h"
#include "competition/widgets/TSortGridView.h"
#include "journal/widgets/JournalWiring.h"
#include "live/LivePublishing.h"
#include "live/widgets/LiveResultsControl.h"
#include "output/BackupWriter.h"
#include "platform/CompetitionInhibitor.h"
#include "print/PrintPreviewCommand.h"
#include "print/TFormPP.h"
#include "settings/TvPlacement.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "tv/widgets/TvWindows.h"
#include "ui/ActionStates.h"
#include "ui/BackupStatus.h"
#include "ui/CertificateCommand.h"
#include "ui/CommandRouting.h"
#include "ui/EditCommands.h"
#include "ui/EntryOwnerQuestion.h"
#include "ui/FileCommands.h"
#include "ui/HeaderBand.h"
#include "ui/MainStatusBar.h"
#include "ui/MainWindowPlacer.h"
#include "ui/MenuKeyRouter.h"
#include "ui/OfficeExportCommand.h"
#include "ui/RegistrationCommands.h"
#include "ui/RowPositionStatus.h"
#include "ui/RunOverrunWarning.h"
#include "ui/SettingsBinding.h"
#include "ui/SettingsCommand.h"
#include "ui/TFDlgYesNo.h"
#include "ui/TFormInfo.h"
#include "ui/TPageControl.h"
#include "ui/TimingControls.h"
#include "ui/TimingView.h"
#include "ui/TitlePicture.h"
#include "ui/TvEntries.h"
#include "ui/WaitingTimeGuard.h"
#include "ui/WindowPlacement.h"
#include "widgets/BandScrollArea.h"
#include "widgets/QtFileDialogs.h"
#include "widgets/TBitBtnWithColor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// How long the status bar shows that the port's monitor runs without realtime priority.
constexpr int RealtimeNoticeMs = 30000;
constexpr int RunNoticeMs = 30000;

} // namespace

TFormMain::TFormMain(RaceSession& session, WindowSeams seams, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_seams(std::move(seams)) {
    setObjectName(QStringLiteral("FormMain"));
    if (!m_seams.fileDialogs)
        m_seams.fileDialogs = std::make_shared<QtFileDialogs>();
    m_actions.setupUi(this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new HeaderBand(central);
    layout->addWidget(new BandScrollArea(m_header, WindowPlacement::DesignedMinimumWidth, central));
    m_pages = new TPageControl(m_session.competition(), central);
    layout->addWidget(m_pages, 1);
    setCentralWidget(central);
    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    m_rowPosition = new RowPositionStatus(m_session.competition(), *m_pages, *m_statusBar, this);
    connectPages();
    connectCommands();
    FormCreate();
    m_settingsCommand = new SettingsCommand(*this, *m_seams.fileDialogs);
}

TFormMain::~TFormMain() {
    FormDestroy();
}

void TFormMain::connectPages() {
    for (int page = 0; page < 4; ++page) {
        m_views[page] = m_pages->view(page);
        connect(&m_session.competition().stageTable(page), &TSortGrid::rowSelected, this,
                [this, page] { SortGridRowSelected(page); });
        connect(m_views[page], &TSortGridView::keyReleased, this,
                [this, page] { SortGridRowSelected(page); });
    }
    m_cdEdit = m_pages->editBox();
    m_editing = new EditCommands(
        m_session.competition().heatStartList(), m_views[0], [this] { UpdateActionStates(); },
        this);
    m_editing->setRowGuard([this](int row) {
        return m_session.admitsRowChange(m_session.competition().heatStartList(), row);
    });
}

void TFormMain::connectCommands() {
    CommandRouting::connectMenu(m_actions, *this);
    MainActions& a = m_actions;
    HeaderBand& h = *m_header;
    m_timing = std::make_unique<TimingControls>(std::array<TimingControls::Pair, 6>{{
        {h.bTimer, a.mTimer, true, true},
        {h.bSTART, a.mStart, true, true},
        {h.bLAP, a.mLap, true, false},
        {h.bSTOP, a.mStop, true, true},
        {h.bEintragen, a.mEintragen, false, true},
        {h.bRESET, a.mReset, true, true},
    }});
    CommandRouting::connectPictureButtons(*m_header, m_actions, *this);
    // The application's filters run newest first: the timing keys must see every press
    // (to keep its moment) before the menu key router takes it from the shortcut matching.
    new MenuKeyRouter(*this);
    CommandRouting::installTimingKeys(m_actions, this);
    connect(h.eZeile, &QLineEdit::returnPressed, this, &TFormMain::eZeileExit);
    // The session keeps the title for the audience windows and the live pages.
    connect(h.eZeile, &QLineEdit::textChanged, &m_session, &RaceSession::setTitle);
    h.eZeile->installEventFilter(this);

    connect(m_pages, &TPageControl::pageChanging, this, &TFormMain::PageControl1Changing);
    connect(m_pages, &TPageControl::pageChanged, this, &TFormMain::PageControl1Change);
    connect(m_cdEdit, &QCheckBox::clicked, this, &TFormMain::cdEditClick);
    connect(&m_session.derivation(), &StageDerivation::stageDerived, this,
            &TFormMain::StageDerived);
    connect(&m_session, &RaceSession::audienceChanged, this, &TFormMain::UpdateTvWindows);
    connect(&m_session, &RaceSession::commandAvailabilityChanged, this,
            &TFormMain::UpdateActionStates);
    // "Neue" and the random results wait while a run is timed.
    connect(&m_session.clock(), &RunClock::stateChanged, this, &TFormMain::UpdateActionStates);
    // An entry runs the selected-row steps even where the selection could not move on.
    connect(&m_session, &RaceSession::selectionKeptAfterEntry, this,
            &TFormMain::SortGridRowSelected);
    connect(&m_session, &RaceSession::newProtocolStarted, this, &TFormMain::newProtocolStarted);
    m_session.setActivePage([this] { return activePage(); });
    m_session.setAsk([this](const QString& question) { return askQuestion(question); });
    m_session.setOwnerQuestion(
        [this](const QString& bound, const QString& selected, const QString& time) {
            return askEntryOwner(bound, selected, time);
        });
    connect(&m_session, &RaceSession::runNotice, this,
            [this](const QString& text) { m_statusBar->showNotice(text, RunNoticeMs); });
}

void TFormMain::FormCreate() {
    // 1-3: the names of this installation.
    m_programTitle = m_session.programTitle();
    m_wordTemplatePath = m_session.environment().wordTemplatePath();
    m_excelTemplatePath = m_session.environment().excelTemplatePath();
    setWindowTitle(m_programTitle + QStringLiteral(" 1.7"));
    m_helpFile = m_session.environment().helpFile();
    // 4: the title picture is optional; a missing or unreadable one leaves the image hidden.
    if (const auto picture = m_session.environment().titlePicture())
        m_header->ImageTitle->load(*picture);
    // 5: default placement on the work area; the frame is counted once it is known.
    m_placer = new MainWindowPlacer(*this);
    m_placer->placeDefault();
    // 6
    createTimingViews();
    // 7, 8: the built-in names stand in for the platform's file type names.
    createOfficeExport();
    m_fileTypeNames = {QStringLiteral("Textdatei"), QStringLiteral("Webseite"),
                       QStringLiteral("MS Word"), QStringLiteral("MS Excel")};
    // 9, 10
    applySettings();
    m_session.setTitle(m_header->eZeile->text());
    m_placer->settingsLoaded();
    // 11
    TvEntries::enable(m_actions, m_header->bMon2);
    // 12, 14: the buttons have their designed states since step 6; the settings may show or
    // hide TIMER and "Zwischen".
    m_timingView->startUp();
    // 13: the umlaut captions are set where the entries are built. 15: M0..M4 likewise.
    // 16
    createFileCommands();
    // 21-23
    showBackupOutcome();
    m_timingView->showBarrierPictures();
    if (const QString notice = m_session.port().realtimeNotice(); !notice.isEmpty())
        m_statusBar->showMessage(notice, RealtimeNoticeMs);
    // 24
    for (int page = 0; page < m_pages->count(); ++page)
        m_pages->setTabEnabled(page, true);
    UpdateActionStates();
    FormResize();
    createLiveResults();
    // The history starts from the loaded backup.
    createStartListCommands();
    createSubstituteCommands();
    new RunOverrunWarning(
        m_session.clock(), *m_statusBar, [this] { return m_session.settings().maxRunTime; }, this);
}

void TFormMain::FormDestroy() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    SettingsBinding::collect(*this, *m_header->eZeile, m_session.settings());
    m_session.setActivePage({});
    m_session.setAsk({});
    m_session.setOwnerQuestion({});
}

BackupStatus* TFormMain::backupStatus() const {
    return m_backupStatus;
}

JournalWiring* TFormMain::journal() const {
    return m_journal.get();
}

LiveResultsControl& TFormMain::liveResults() {
    return *m_live;
}

TSortGridView* TFormMain::SortGridView(int page) const {
    return page >= 0 && page < 4 ? m_views[page] : nullptr;
}

QString TFormMain::statusPanelText(int panel) const {
    return m_statusBar->panelText(panel);
}

int TFormMain::activePage() const {
    return qMax(0, m_pages->currentIndex());
}

void TFormMain::refreshAfterLoad() {
    DeriveAll();
    UpdateTvWindows();
    UpdateActionStates();
    UpdateActionStates();
}

void TFormMain::setQuestionDialog(TFDlgYesNo* dialog) {
    m_questionDialog = dialog;
}

void TFormMain::setPrintPreview(TFormPP* preview) {
    m_printPreview = preview;
    m_printCommand = std::make_unique<PrintPreviewCommand>(*preview, m_programTitle, this);
}

void TFormMain::Druken1Click() {
    if (m_printPreview && m_actions.Druken1->isEnabled())
        m_printCommand->run(*m_views[activePage()], m_pages->tabText(activePage()));
}

void TFormMain::setInfoWindow(TFormInfo* window) {
    m_infoWindow = window;
}

TvWindows* TFormMain::createTvWindows() {
    Settings& stored = m_session.settings();
    auto* windows = new TvWindows(
        TvInputs{m_session.competition(), m_session.display(), m_session.clock(),
                 [this] { return m_session.audienceText(); }, stored.monitor, stored.logo},
        *this);
    connect(this, &TFormMain::tvContentChanged, windows, &TvWindows::UpdateTvWindows);
    connect(windows, &TvWindows::audienceWindowShown, this, [this](bool shown) {
        m_session.inhibitor().setBusy(QStringLiteral("audience"), shown);
    });
    connect(windows, &TvWindows::offRequested, m_actions.tvModes[0], &QAction::trigger);
    connect(windows, &TvWindows::notice, m_statusBar, &QStatusBar::showMessage);
    m_tvWindows = windows;
    // After "OK" in the settings the audience windows follow the chosen screen and logo.
    TvPlacement& placement = m_settingsCommand->tvPlacement();
    connect(&placement, &TvPlacement::placeTvWindows, windows, &TvWindows::placeTvWindows);
    connect(&placement, &TvPlacement::reloadLogo, windows, &TvWindows::reloadLogo);
    return windows;
}

void TFormMain::createLiveResults() {
    m_live = std::make_unique<LiveResultsControl>(
        m_session.live(),
        LiveResultsControl::Menu{m_actions.mLive, m_actions.mLivePort, m_actions.mLiveAddress,
                                 m_actions.Programm, m_actions.mBeenden},
        *this, *m_statusBar);
    // What the window shows the audience (the competitor of the selected row) goes out too.
    connect(this, &TFormMain::tvContentChanged, &m_session.live(), &LivePublishing::sourcesChanged);
}

RaceSession::EntryOwner TFormMain::askEntryOwner(const QString& bound, const QString& selected,
                                                 const QString& time) {
    using Owner = RaceSession::EntryOwner;
    if (m_seams.answerProvider) {
        if (m_seams.answerProvider(EntryOwnerQuestion::forBound(bound, selected, time)))
            return Owner::Bound;
        return m_seams.answerProvider(EntryOwnerQuestion::forSelected(selected, time))
                   ? Owner::Selected
                   : Owner::Nobody;
    }
    return EntryOwnerQuestion::ask(this, m_programTitle, bound, selected, time);
}

bool TFormMain::askQuestion(const QString& question) {
    if (const auto& provider = m_seams.answerProvider)
        return provider(question);
    if (m_questionDialog)
        return m_questionDialog->ask(question);
    // Started without the shared dialog (the program entry creates it): ask all the same.
    TFDlgYesNo dialog(m_programTitle, this);
    return dialog.ask(question);
}

void TFormMain::setTimingButtonState(TBitBtnWithColor* button, bool enabled, const QColor& colour) {
    m_timing->setState(button, enabled, colour);
}

// --- window events ------------------------------------------------------------------------

bool TFormMain::FormCloseQuery() {
    if (!m_session.clockRunning() && !m_waitingTime->timeWaiting() &&
        !m_session.competition().heatStartList().modified())
        return true;
    return askQuestion(QStringLiteral("Beenden?"));
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    // The program ends with this window, whatever else is still shown: an audience window left
    // on the other screen would keep it running without its shutdown, and a program forgotten
    // that way would later write its old list over the backup.
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != this)
            other->setAttribute(Qt::WA_QuitOnClose, false);
    }
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_header->eZeile && event->type() == QEvent::FocusOut)
        eZeileExit();
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::FormResize() {
    for (TSortGridView* view : m_views)
        view->applyColumnWidths();
    const QRect outer = frameGeometry();
    m_statusBar->setPanelText(MainStatusBar::WindowSize,
                              QStringLiteral("%1x%2     ").arg(outer.width()).arg(outer.height()));
}

// --- derivation, pages and selection --------------------------------------------------------

void TFormMain::DeriveAll() {
    m_session.derivation().DeriveAll();
}

void TFormMain::StageDerived(int) {
    m_statusBar->setPanelText(MainStatusBar::StageMessage, m_session.competition().stageMessage(1));
    UpdateActionStates();
    FormResize();
}

void TFormMain::PageControl1Changing(int leavingPage) {
    m_leavingPage = leavingPage;
}

void TFormMain::PageControl1Change() {
    const int page = m_pages->currentIndex();
    if (!m_pages->isTabEnabled(page) || !m_pages->isEnabled()) {
        m_pages->setActivePageSilently(m_leavingPage);
        return;
    }
    DeriveAll();
    UpdateTvWindows();
    UpdateActionStates();
}

void TFormMain::SortGridRowSelected(int page) {
    // The row position panel follows the tables by itself.
    if (page == activePage())
        m_rowPosition->refresh();
    if (m_session.clockRunning())
        return;
    m_session.captureCompetitor();
    UpdateTvWindows();
}

void TFormMain::UpdateActionStates() {
    const int page = activePage();
    ActionStates::Inputs in;
    in.page = page;
    in.shownTableHasData = m_session.competition().stageTable(page).hasData();
    in.heatStartListHasData = m_session.competition().heatStartList().hasData();
    in.wordInstalled = m_session.wordInstalled();
    in.excelInstalled = m_session.excelInstalled();
    const RunClock::State state = m_session.clock().state();
    in.runUnderway = state == RunClock::State::Countdown || state == RunClock::State::Running;
    // Looked up each time: a template may come or go while the program runs.
    m_wordTemplatePath = m_office->documents().wordTemplatePath();
    m_excelTemplatePath = m_office->documents().excelTemplatePath();
    in.wordTemplateExists = m_office->documents().wordTemplatePresent();
    in.wordTemplatePath = m_wordTemplatePath;
    ActionStates::compute(in).applyTo(*m_header, m_actions, *m_cdEdit);
}

void TFormMain::StartlisteMenuShow() {
    UpdateActionStates();
    const int page = activePage();
    m_actions.Deleteresults1->setEnabled(page == 0 || page == 2);
}

void TFormMain::GenerateClick() {
    if (!m_waitingTime->confirm(
            QStringLiteral("Neues Protokoll mit Zufallsergebnissen generieren?")))
        return;
    m_pages->setEnabled(true);
    for (int page = 0; page < m_pages->count(); ++page)
        m_pages->setTabEnabled(page, true);
    m_pages->setActivePageSilently(0);
    FormResize();
    const BackupWriter::Batch oneBackupWrite(*m_session.backup());
    RandomProtocol::GenerateRandomProtocol(m_session.competition(), m_session.random(),
                                           m_session.derivation());
    m_pages->update();
    UpdateActionStates();
    FormResize();
    m_views[0]->setFocus();
}

void TFormMain::cdEditClick() {
    m_editing->setEditMode(m_cdEdit->isChecked());
}

void TFormMain::Deleteresults1Click() {
    if (!askQuestion(QStringLiteral("Die Ergebnisse zu löschen?")))
        return;
    const BackupWriter::Batch oneBackupWrite(*m_session.backup());
    StartListCommands::DeleteResults(m_session.competition(), activePage());
}

void TFormMain::Neue1Click() {
    if (!m_waitingTime->confirm(QStringLiteral(
            "Haben Sie das Protokoll gespeichert und/oder wollen Sie ein Neues öffnen?")))
        return;
    m_session.startNewProtocol();
    // The emptied messages must not stay on screen until the next derivation.
    m_statusBar->setPanelText(MainStatusBar::StageMessage, QString());
    // The heat start list comes to the front without a page change: nothing is derived.
    m_pages->setActivePageSilently(0);
    m_pages->update();
    FormResize();
    UpdateTvWindows();
    UpdateActionStates();
}

void TFormMain::eZeileExit() {
    UpdateTvWindows();
}

void TFormMain::UpdateTvWindows() {
    // The TV windows listen, once they exist.
    Q_EMIT tvContentChanged();
}
