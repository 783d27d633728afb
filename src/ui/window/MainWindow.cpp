#include "ui/window/MainWindow.h"

#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "competition/StartListCommands.h"
#include "competition/widgets/CompetitionTableView.h"
#include "journal/widgets/JournalWiring.h"
#include "live/LivePublishing.h"
#include "live/widgets/LiveResultsControl.h"
#include "output/BackupWriter.h"
#include "platform/CompetitionInhibitor.h"
#include "print/PrintPreviewCommand.h"
#include "print/PrintPreviewWindow.h"
#include "settings/TvPlacement.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "tv/widgets/TvWindows.h"
#include "ui/program/CupWindow.h"
#include "ui/program/InfoDialog.h"
#include "ui/program/SettingsBinding.h"
#include "ui/program/SettingsCommand.h"
#include "ui/program/TvEntries.h"
#include "ui/startlist/CertificateCommand.h"
#include "ui/startlist/EditCommands.h"
#include "ui/startlist/FileCommands.h"
#include "ui/startlist/OfficeExportCommand.h"
#include "ui/startlist/RegistrationCommands.h"
#include "ui/stopwatch/EntryOwnerQuestion.h"
#include "ui/stopwatch/RunOverrunWarning.h"
#include "ui/stopwatch/TimingControls.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/stopwatch/WaitingTimeGuard.h"
#include "ui/window/ActionStates.h"
#include "ui/window/BackupStatus.h"
#include "ui/window/CommandRouting.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MainWindowPlacer.h"
#include "ui/window/MenuKeyRouter.h"
#include "ui/window/QuestionDialog.h"
#include "ui/window/RowPositionStatus.h"
#include "ui/window/StagePages.h"
#include "ui/window/TitlePicture.h"
#include "ui/window/WindowPlacement.h"
#include "widgets/BandScrollArea.h"
#include "widgets/ColorButton.h"
#include "widgets/QtFileDialogs.h"

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

MainWindow::MainWindow(RaceSession& session, WindowSeams seams, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_seams(std::move(seams)) {
    setObjectName(QStringLiteral("MainWindow"));
    if (!m_seams.fileDialogs)
        m_seams.fileDialogs = std::make_shared<QtFileDialogs>();
    m_actions.setupUi(this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new HeaderBand(central);
    layout->addWidget(new BandScrollArea(m_header, WindowPlacement::DesignedMinimumWidth, central));
    m_pages = new StagePages(m_session.competition(), central);
    layout->addWidget(m_pages, 1);
    setCentralWidget(central);
    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);
    m_rowPosition = new RowPositionStatus(m_session.competition(), *m_pages, *m_statusBar, this);
    connectPages();
    connectCommands();
    buildWindow();
    m_settingsCommand = new SettingsCommand(*this, *m_seams.fileDialogs);
}

MainWindow::~MainWindow() {
    tearDown();
}

void MainWindow::connectPages() {
    for (int page = 0; page < 4; ++page) {
        m_views[page] = m_pages->view(page);
        connect(&m_session.competition().stageTable(page), &CompetitionTable::rowSelected, this,
                [this, page] { rowSelected(page); });
        connect(m_views[page], &CompetitionTableView::keyReleased, this,
                [this, page] { rowSelected(page); });
    }
    m_cdEdit = m_pages->editBox();
    m_editing = new EditCommands(
        m_session.competition().heatStartList(), m_views[0], [this] { updateActionStates(); },
        this);
    m_editing->setRowGuard([this](int row) {
        return m_session.admitsRowChange(m_session.competition().heatStartList(), row);
    });
}

void MainWindow::connectCommands() {
    CommandRouting::connectMenu(m_actions, *this);
    MainActions& a = m_actions;
    HeaderBand& h = *m_header;
    m_timing = std::make_unique<TimingControls>(std::array<TimingControls::Pair, 6>{{
        {h.countdownButton, a.countdown, true, true},
        {h.startButton, a.start, true, true},
        {h.intermediateButton, a.intermediate, true, false},
        {h.stopButton, a.stop, true, true},
        {h.enterButton, a.enter, false, true},
        {h.resetButton, a.reset, true, true},
    }});
    CommandRouting::connectPictureButtons(*m_header, m_actions, *this);
    // The application's filters run newest first: the timing keys must see every press
    // (to keep its moment) before the menu key router takes it from the shortcut matching.
    new MenuKeyRouter(*this);
    CommandRouting::installTimingKeys(m_actions, this);
    connect(h.titleEdit, &QLineEdit::returnPressed, this, &MainWindow::titleConfirmed);
    // The session keeps the title for the audience windows and the live pages.
    connect(h.titleEdit, &QLineEdit::textChanged, &m_session, &RaceSession::setTitle);
    h.titleEdit->installEventFilter(this);

    connect(m_pages, &StagePages::pageChanging, this, &MainWindow::leavingPage);
    connect(m_pages, &StagePages::pageChanged, this, &MainWindow::pageShown);
    connect(m_cdEdit, &QCheckBox::clicked, this, &MainWindow::cellEditingToggled);
    connect(&m_session.derivation(), &StageDerivation::stageDerived, this,
            &MainWindow::stageDerived);
    connect(&m_session, &RaceSession::audienceChanged, this, &MainWindow::updateTvWindows);
    connect(&m_session, &RaceSession::commandAvailabilityChanged, this,
            &MainWindow::updateActionStates);
    // "Neue" and the random results wait while a run is timed.
    connect(&m_session.clock(), &RunClock::stateChanged, this, &MainWindow::updateActionStates);
    // An entry runs the selected-row steps even where the selection could not move on.
    connect(&m_session, &RaceSession::selectionKeptAfterEntry, this, &MainWindow::rowSelected);
    connect(&m_session, &RaceSession::newProtocolStarted, this, &MainWindow::newProtocolStarted);
    m_session.setActivePage([this] { return activePage(); });
    m_session.setAsk([this](const QString& question) { return askQuestion(question); });
    m_session.setOwnerQuestion(
        [this](const QString& bound, const QString& selected, const QString& time) {
            return askEntryOwner(bound, selected, time);
        });
    connect(&m_session, &RaceSession::runNotice, this,
            [this](const QString& text) { m_statusBar->showNotice(text, RunNoticeMs); });
}

void MainWindow::buildWindow() {
    // 1-3: the names of this installation.
    m_programTitle = m_session.programTitle();
    m_wordTemplatePath = m_session.environment().wordTemplatePath();
    m_excelTemplatePath = m_session.environment().excelTemplatePath();
    setWindowTitle(m_programTitle + QStringLiteral(" 1.7"));
    m_helpFile = m_session.environment().helpFile();
    // 4: the title picture is optional; a missing or unreadable one leaves the image hidden.
    if (const auto picture = m_session.environment().titlePicture())
        m_header->titlePicture->load(*picture);
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
    m_session.setTitle(m_header->titleEdit->text());
    m_placer->settingsLoaded();
    // 11
    TvEntries::enable(m_actions, m_header->tvButton);
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
    updateActionStates();
    layoutForSize();
    createLiveResults();
    // The history starts from the loaded backup.
    createStartListCommands();
    createSubstituteCommands();
    new RunOverrunWarning(
        m_session.clock(), *m_statusBar, [this] { return m_session.settings().maxRunTime; }, this);
}

void MainWindow::tearDown() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    SettingsBinding::collect(*this, *m_header->titleEdit, m_session.settings());
    m_session.setActivePage({});
    m_session.setAsk({});
    m_session.setOwnerQuestion({});
}

BackupStatus* MainWindow::backupStatus() const {
    return m_backupStatus;
}

JournalWiring* MainWindow::journal() const {
    return m_journal.get();
}

LiveResultsControl& MainWindow::liveResults() {
    return *m_live;
}

CompetitionTableView* MainWindow::tableView(int page) const {
    return page >= 0 && page < 4 ? m_views[page] : nullptr;
}

QString MainWindow::statusPanelText(int panel) const {
    return m_statusBar->panelText(panel);
}

int MainWindow::activePage() const {
    return qMax(0, m_pages->currentIndex());
}

void MainWindow::refreshAfterLoad() {
    deriveAll();
    updateTvWindows();
    updateActionStates();
    updateActionStates();
}

void MainWindow::setQuestionDialog(QuestionDialog* dialog) {
    m_questionDialog = dialog;
}

void MainWindow::setPrintPreview(PrintPreviewWindow* preview) {
    m_printPreview = preview;
    m_printCommand = std::make_unique<PrintPreviewCommand>(*preview, m_programTitle, this);
}

void MainWindow::printTable() {
    if (m_printPreview && m_actions.print->isEnabled())
        m_printCommand->run(*m_views[activePage()], m_pages->tabText(activePage()));
}

void MainWindow::setInfoWindow(InfoDialog* window) {
    m_infoWindow = window;
}

TvWindows* MainWindow::createTvWindows() {
    Settings& stored = m_session.settings();
    auto* windows = new TvWindows(
        TvInputs{m_session.competition(), m_session.display(), m_session.clock(),
                 [this] { return m_session.audienceText(); }, stored.monitor, stored.logo},
        *this);
    connect(this, &MainWindow::tvContentChanged, windows, &TvWindows::updateTvWindows);
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

void MainWindow::createLiveResults() {
    m_live = std::make_unique<LiveResultsControl>(
        m_session.live(),
        LiveResultsControl::Menu{m_actions.live, m_actions.livePort, m_actions.liveAddress,
                                 m_actions.programMenu, m_actions.cup},
        *this, *m_statusBar);
    // What the window shows the audience (the competitor of the selected row) goes out too.
    connect(this, &MainWindow::tvContentChanged, &m_session.live(),
            &LivePublishing::sourcesChanged);
}

RaceSession::EntryOwner MainWindow::askEntryOwner(const QString& bound, const QString& selected,
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

bool MainWindow::askQuestion(const QString& question) {
    if (const auto& provider = m_seams.answerProvider)
        return provider(question);
    if (m_questionDialog)
        return m_questionDialog->ask(question);
    // Started without the shared dialog (the program entry creates it): ask all the same.
    QuestionDialog dialog(m_programTitle, this);
    return dialog.ask(question);
}

void MainWindow::setTimingButtonState(ColorButton* button, bool enabled, const QColor& colour) {
    m_timing->setState(button, enabled, colour);
}

// --- window events ------------------------------------------------------------------------

bool MainWindow::mayClose() {
    if (m_cupWindow && !m_cupWindow->mayDiscard())
        return false;
    if (!m_session.clockRunning() && !m_waitingTime->timeWaiting() &&
        !m_session.competition().heatStartList().modified())
        return true;
    return askQuestion(QStringLiteral("Beenden?"));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
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

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutForSize();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_header->titleEdit && event->type() == QEvent::FocusOut)
        titleConfirmed();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::layoutForSize() {
    for (CompetitionTableView* view : m_views)
        view->applyColumnWidths();
    const QRect outer = frameGeometry();
    m_statusBar->setPanelText(MainStatusBar::WindowSize,
                              QStringLiteral("%1x%2     ").arg(outer.width()).arg(outer.height()));
}

// --- derivation, pages and selection --------------------------------------------------------

void MainWindow::deriveAll() {
    m_session.derivation().deriveAll();
}

void MainWindow::stageDerived(int) {
    m_statusBar->setPanelText(MainStatusBar::StageMessage, m_session.competition().stageMessage(1));
    updateActionStates();
    layoutForSize();
}

void MainWindow::leavingPage(int leavingPage) {
    m_leavingPage = leavingPage;
}

void MainWindow::pageShown() {
    const int page = m_pages->currentIndex();
    if (!m_pages->isTabEnabled(page) || !m_pages->isEnabled()) {
        m_pages->setActivePageSilently(m_leavingPage);
        return;
    }
    deriveAll();
    updateTvWindows();
    updateActionStates();
}

void MainWindow::rowSelected(int page) {
    // The row position panel follows the tables by itself.
    if (page == activePage())
        m_rowPosition->refresh();
    if (m_session.clockRunning())
        return;
    m_session.captureCompetitor();
    updateTvWindows();
}

void MainWindow::updateActionStates() {
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

void MainWindow::startListMenuShown() {
    updateActionStates();
    const int page = activePage();
    m_actions.deleteResults->setEnabled(page == 0 || page == 2);
}

void MainWindow::generateRandomResults() {
    if (!m_waitingTime->confirm(
            QStringLiteral("Neues Protokoll mit Zufallsergebnissen generieren?")))
        return;
    m_pages->setEnabled(true);
    for (int page = 0; page < m_pages->count(); ++page)
        m_pages->setTabEnabled(page, true);
    m_pages->setActivePageSilently(0);
    layoutForSize();
    const BackupWriter::Batch oneBackupWrite(*m_session.backup());
    RandomProtocol::generateRandomProtocol(m_session.competition(), m_session.random(),
                                           m_session.derivation());
    m_pages->update();
    updateActionStates();
    layoutForSize();
    m_views[0]->setFocus();
}

void MainWindow::cellEditingToggled() {
    m_editing->setEditMode(m_cdEdit->isChecked());
}

void MainWindow::deleteResults() {
    if (!askQuestion(QStringLiteral("Die Ergebnisse zu löschen?")))
        return;
    const BackupWriter::Batch oneBackupWrite(*m_session.backup());
    StartListCommands::DeleteResults(m_session.competition(), activePage());
}

void MainWindow::newProtocol() {
    if (!m_waitingTime->confirm(QStringLiteral(
            "Haben Sie das Protokoll gespeichert und/oder wollen Sie ein Neues öffnen?")))
        return;
    m_session.startNewProtocol();
    // The emptied messages must not stay on screen until the next derivation.
    m_statusBar->setPanelText(MainStatusBar::StageMessage, QString());
    // The heat start list comes to the front without a page change: nothing is derived.
    m_pages->setActivePageSilently(0);
    m_pages->update();
    layoutForSize();
    updateTvWindows();
    updateActionStates();
}

void MainWindow::titleConfirmed() {
    updateTvWindows();
}

void MainWindow::updateTvWindows() {
    // The TV windows listen, once they exist.
    Q_EMIT tvContentChanged();
}
