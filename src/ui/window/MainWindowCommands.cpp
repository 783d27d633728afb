// The command handlers of the main window: files, office documents, "Programm", the TV mode and
// the timing. Each is a short slot that hands the work to the class that does it.
#include "ui/window/MainWindow.h"

#include "competition/SelectedCompetitor.h"
#include "competition/widgets/CompetitionTableView.h"
#include "journal/JournalRecorder.h"
#include "journal/JournalRunIndex.h"
#include "journal/widgets/JournalWiring.h"
#include "output/BackupStartup.h"
#include "output/BackupWriter.h"
#include "print/ExportProgress.h"
#include "print/PrintPreviewWindow.h"
#include "session/ResultReleaseKeeper.h"
#include "session/SessionJournal.h"
#include "session/StartListHistory.h"
#include "session/SubstituteMarksBackup.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "tv/widgets/TvWindows.h"
#include "ui/program/CupWindow.h"
#include "ui/program/InfoDialog.h"
#include "ui/program/ManualOpener.h"
#include "ui/program/SettingsBinding.h"
#include "ui/program/SettingsCommand.h"
#include "ui/program/TvEntries.h"
#include "ui/startlist/CertificateCommand.h"
#include "ui/startlist/EditCommands.h"
#include "ui/startlist/FileCommands.h"
#include "ui/startlist/HistoryCommands.h"
#include "ui/startlist/OfficeExportCommand.h"
#include "ui/startlist/RegistrationCommands.h"
#include "ui/startlist/ResultReleaseCommand.h"
#include "ui/startlist/RunStateCommands.h"
#include "ui/stopwatch/SubstituteTimeCommand.h"
#include "ui/stopwatch/TimingView.h"
#include "ui/stopwatch/WaitingTimeGuard.h"
#include "ui/window/BackupStatus.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainStatusBar.h"
#include "ui/window/MqttStatusNotices.h"
#include "ui/window/RowPositionStatus.h"
#include "ui/window/StagePages.h"
#include "ui/window/StartupNotice.h"
#include "ui/window/UploadStatusNotices.h"
#include "ui/window/WordMark.h"
#include "widgets/ColorButton.h"

#include <QAction>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QUrl>

namespace {

// How long the status bar shows what the journal has to say.
constexpr int JournalNoticeMs = 30000;
// How long the status bar says what "Rückgängig" or "Wiederholen" changed.
constexpr int UndoNoticeMs = 15000;
// A class preliminary again stays in sight as long as a run's notice.
constexpr int ReleaseNoticeMs = 30000;

} // namespace

// --- files and documents -----------------------------------------------------------------

void MainWindow::openProtocol() {
    const SelectedCompetitor selected =
        SelectedCompetitor::of(m_session.competition().heatStartList());
    if (!m_files->open())
        return;
    selected.restore(m_session.competition().heatStartList());
    refreshAfterLoad();
}

void MainWindow::saveProtocol() {
    m_files->saveAs(activePage(), m_pages->tabText(activePage()), m_session.settings().filterInd);
}

void MainWindow::writeWebPage() {
    m_files->saveWebPage(activePage(), m_pages->tabText(activePage()));
}

void MainWindow::applySettings() {
    SettingsBinding::apply(*this, *m_header->titleEdit, m_session.settings(),
                           m_session.settingsLoad());
    if (const QString notice = SettingsBinding::damagedNotice(m_session.settingsLoad());
        !notice.isEmpty())
        m_statusBar->showNotice(notice, StartupNotice::StatusMilliseconds);
}

void MainWindow::createFileCommands() {
    m_files = std::make_unique<FileCommands>(m_session.competition(), m_session.environment(),
                                             *m_seams.fileDialogs, m_fileTypeNames, this);
    m_files->setQuestion([this](const QString& question) { return askQuestion(question); });
    m_files->setAdmission(
        [this](const QList<QStringList>& rows) { return m_session.admitsStartList(rows); });
    m_files->setJournalNote([this](const QString& name, const QString& remark) {
        if (SessionJournal* journal = m_session.journal())
            journal->recorder().note(name, remark);
    });
    m_files->setWordExport([this](const QString& fileName, int page) {
        return m_office->exportToWord(OfficeExportCommand::Saved, fileName, page);
    });
    m_files->setReleaseLoaded([this](const QByteArray& trailer) {
        if (ResultReleaseKeeper* release = m_session.release())
            release->restore(trailer);
    });
}

void MainWindow::showBackupOutcome() {
    const BackupStartup::Outcome& backup = m_session.backupOutcome();
    // The backup was read and derived before the window was there to hear of it.
    if (backup.loaded) {
        m_rowPosition->refresh();
        stageDerived(1);
    }
    BackupWriter& writer = *m_session.backup();
    m_backupStatus = new BackupStatus(writer, *m_statusBar, this, m_programTitle, this);
    SessionJournal& journal = *m_session.journal();
    m_journal = std::make_unique<JournalWiring>(
        journal.recorder(), journal.writer(), journal.skippedLines(), m_session.competition(),
        JournalWiring::Window{*this, [this] { return activePage(); },
                              [this](int page) { return m_pages->tabText(page); },
                              [this](const QString& question) { return askQuestion(question); },
                              [this](qint32 runTimeMs) {
                                  m_session.enterResult(runTimeMs);
                              }});
    connectJournalCommands();
    new MqttStatusNotices(m_session, *m_statusBar, this);
    new UploadStatusNotices(m_session, *m_statusBar, this);
    m_release = new ResultReleaseCommand(
        m_session, *m_actions.releaseResults,
        [this](const QString& question) { return askQuestion(question); },
        [this](const QString& message) { QMessageBox::warning(this, m_programTitle, message); },
        this);
    connect(m_session.release(), &ResultReleaseKeeper::notice, this,
            [this](const QString& text) { m_statusBar->showNotice(text, ReleaseNoticeMs); });
    // A class the backup held as released but whose rows differ was reopened before the window.
    if (const QString notice = m_session.release()->restoreNotice(); !notice.isEmpty())
        m_statusBar->showNotice(notice, ReleaseNoticeMs);
    // Stays in the status bar, beside the backup's panel, until the journal is written again.
    connect(&journal, &SessionJournal::failed, this,
            [this](const QString& text) { m_statusBar->setLastingNotice(text); });
    connect(&journal, &SessionJournal::recovered, this, [this] {
        m_statusBar->setLastingNotice(QString());
        m_statusBar->showNotice(SessionJournal::recoveredText(), JournalNoticeMs);
    });
    if (const QString notice = journal.startupNotice(); !notice.isEmpty())
        m_statusBar->showNotice(notice, JournalNoticeMs);
    // The competition carried on from another place was written there before the window was.
    if (const auto written = m_session.startupWrite())
        m_backupStatus->writeDone(*written);
    StartupNotice::tell(*this, *m_statusBar, writer, m_programTitle,
                        BackupStartup::statusText(backup), BackupStartup::messageText(backup));
}

void MainWindow::exportWord() {
    // Beside the web page, so an installed program started from "/" still has a folder.
    m_office->exportToWord(OfficeExportCommand::Shown,
                           m_session.environment().paths().pageFolder(QDir::currentPath()) +
                               OfficeDocumentExport::wordFileName(QDate::currentDate()),
                           activePage());
}

void MainWindow::exportExcel() {
    m_office->exportToExcel(m_session.environment().paths().pageFolder(QDir::currentPath()) +
                            OfficeDocumentExport::excelFileName(QDate::currentDate()));
}

void MainWindow::createOfficeExport() {
    m_office = std::make_unique<OfficeExportCommand>(
        m_session.competition(), m_session.environment(),
        OfficeExportCommand::Sources{[this] { return m_header->titleEdit->text(); },
                                     [this](int page) { return m_pages->tabText(page); },
                                     [this] {
                                         return windowTitle();
                                     }},
        OfficeExportCommand::messageBoxOn(*this, m_programTitle), &QDesktopServices::openUrl);
    connect(&m_office->documents(), &OfficeDocumentExport::templatesChanged, this,
            &MainWindow::updateActionStates);
    m_statusBar->addPermanentWidget(new ExportProgress(m_office->documents().jobs(), m_statusBar));
}

void MainWindow::connectJournalCommands() {
    JournalWiring* journal = m_journal.get();
    const auto chosen = [journal](const QString& name) {
        return [journal, name] {
            journal->commandChosen(name);
        };
    };
    MainActions& a = m_actions;
    connect(a.newProtocol, &QAction::triggered, journal, chosen(a.newProtocol->text()));
    connect(m_header->clearButton, &QToolButton::clicked, journal, chosen(a.newProtocol->text()));
    connect(a.open, &QAction::triggered, journal, chosen(a.open->text()));
    connect(a.deleteResults, &QAction::triggered, journal, chosen(a.deleteResults->text()));
    connect(a.randomResults, &QAction::triggered, journal, chosen(a.randomResults->text()));
    connect(a.importCompetitors, &QAction::triggered, journal, chosen(a.importCompetitors->text()));
    connect(a.lateEntry, &QAction::triggered, journal, chosen(a.lateEntry->text()));
    connect(a.journal, &QAction::triggered, journal, &JournalWiring::showDialog);
}

void MainWindow::createSubstituteCommands() {
    auto* history = findChild<HistoryCommands*>();
    auto* command = new SubstituteTimeCommand(
        m_session, *m_seams.fileDialogs, *m_actions.substituteTime, *m_actions.handTime, this,
        SubstituteTimeCommand::Hooks{
            [history](const QString& name) {
                if (history)
                    history->nameStep(name);
            },
            [this] {
                deriveAll();
                updateTvWindows();
                updateActionStates();
            },
            [this](const QString& text) { m_statusBar->showNotice(text, JournalNoticeMs); },
            [this]() -> PrinterSetup* {
                return m_printPreview ? &m_printPreview->printers() : nullptr;
            }},
        this);
    for (QMenu* popup : {m_editing->popupMenu(), tableView(2)->popupMenu()}) {
        if (!popup)
            continue;
        // A disabled entry says why on its own, not only in the status bar.
        popup->setToolTipsVisible(true);
        popup->addSeparator();
        popup->addAction(command->competitorSubstitute());
        popup->addAction(command->competitorHand());
        connect(popup, &QMenu::aboutToShow, command,
                &SubstituteTimeCommand::refreshCompetitorEntries);
    }
    m_actions.stopwatchMenu->setToolTipsVisible(true);
    m_journal->setSubstitute(
        [command](qint64 startStamp, bool handTime, QWidget* over) {
            command->journalRun(startStamp, handTime, over);
        },
        [command](qint64 startStamp) { return command->journalRunRefusal(startStamp); });
    if (SessionJournal* journal = m_session.journal())
        connect(&journal->runIndex(), &JournalRunIndex::ready, m_journal.get(),
                &JournalWiring::refreshSubstitute);
    if (const QString notice = m_session.substituteMarksNotice(); !notice.isEmpty())
        m_statusBar->showNotice(notice, JournalNoticeMs);
    connect(m_session.substituteMarksBackup(), &SubstituteMarksBackup::writeFailed, this,
            [this](const QString& message, const QString& reason) {
                m_statusBar->showNotice(message + QStringLiteral(" (") + reason + u')',
                                        JournalNoticeMs);
            });
}

void MainWindow::createStartListCommands() {
    auto* history = new HistoryCommands(m_session, *m_actions.startListMenu, *this,
                                        {[this] {
                                             deriveAll();
                                             updateTvWindows();
                                             updateActionStates();
                                         },
                                         [this](const QString& text) {
                                             m_statusBar->showNotice(text, UndoNoticeMs);
                                         }});
    // Connected after the window's own handlers, so the step is collected by then.
    MainActions& a = m_actions;
    for (QAction* command : {a.open, a.newProtocol, a.randomResults, a.deleteResults})
        history->nameStepsOf(*command);
    history->nameStepsOf(*m_header->clearButton, *a.newProtocol);
    // An undo or a redo is one more command that changes the list under an open run.
    history->history().setGate(
        [this](const QList<QStringList>& rows) { return m_session.admitsStartList(rows); });
    new RunStateCommands({m_session, *a.stopwatchMenu, *a.rerun, *a.notFinished,
                          *m_editing->popupMenu(), *m_views[2], *m_pages,
                          [this](const QString& question) { return askQuestion(question); },
                          [this](const QString& text, int durationMs) {
                              m_statusBar->showNotice(text, durationMs);
                          }},
                         this);
}

// --- registrations and certificates --------------------------------------------------------

RegistrationCommands& MainWindow::registration() {
    if (!m_registration) {
        const auto underway = [this] {
            return m_session.clock().state() != RunClock::State::Ready;
        };
        const auto changed = [this] {
            rowSelected(0);
            updateActionStates();
            layoutForSize();
        };
        m_registration = std::make_unique<RegistrationCommands>(
            m_session.competition(), m_session.derivation(), m_session.environment(),
            m_seams.fileDialogs, this,
            RegistrationCommands::Hooks{
                underway,
                [this](const QList<QStringList>& rows) { return m_session.admitsStartList(rows); },
                changed});
    }
    return *m_registration;
}

void MainWindow::importCompetitors() {
    registration().importFile();
    if (auto* history = findChild<HistoryCommands*>())
        history->nameStep(m_actions.importCompetitors->text());
}

void MainWindow::lateEntry() {
    registration().lateEntry();
    if (auto* history = findChild<HistoryCommands*>())
        history->nameStep(m_actions.lateEntry->text());
}

void MainWindow::certificates() {
    // With "Urkunden erst nach Freigabe" the preliminary classes are released first, or none.
    if (m_release && !m_release->admitCertificates())
        return;
    if (!m_certificates)
        m_certificates = std::make_unique<CertificateCommand>(
            m_session.competition(), m_session.derivation(), m_session.environment(),
            m_seams.fileDialogs, this);
    m_certificates->show(m_header->titleEdit->text(),
                         m_printPreview ? &m_printPreview->printers() : nullptr);
}

// --- "Programm" and TV mode ------------------------------------------------------------------

void MainWindow::showCup() {
    if (!m_cupWindow) {
        CupWindow::Inputs inputs{
            m_session.cup(),
            m_seams.fileDialogs,
            [this](const QString& question) { return askQuestion(question); },
            [this](const QList<QStringList>& rows) {
                // The start list goes the way an import goes: asked of the
                // session, one undo step, one backup write.
                const QList<QStringList> data = rows.mid(1);
                if (!registration().admitted(data))
                    return false;
                registration().writeHeatStartList(data, 1);
                if (auto* history = findChild<HistoryCommands*>())
                    history->nameStep(QStringLiteral("Startliste aus der Cupwertung"));
                return true;
            },
            [this] { return m_session.competition().heatStartList().rowCells(0); },
            [this]() -> PrintPreviewWindow* { return m_printPreview; },
            m_session.environment()};
        // Its own top-level window: beside the race, on any screen, not above the main window.
        m_cupWindow = new CupWindow(std::move(inputs), nullptr);
        connect(this, &QObject::destroyed, m_cupWindow, &QObject::deleteLater);
    }
    m_cupWindow->show();
    m_cupWindow->raise();
    m_cupWindow->activateWindow();
}

void MainWindow::openManual() {
    ManualOpener(m_helpFile, ManualOpener::placesFor(m_session.environment()),
                 ManualOpener::desktopViewer(m_session.environment()),
                 ManualOpener::messageBoxOn(*this, m_programTitle))
        .open();
}

void MainWindow::showInfo() {
    const QString notice = m_session.port().realtimeNotice();
    if (m_infoWindow) {
        m_infoWindow->setNotice(notice);
        m_infoWindow->exec();
        return;
    }
    InfoDialog info(this);
    info.setNotice(notice);
    info.exec();
}

void MainWindow::openSettings() {
    m_settingsCommand->run();
}

void MainWindow::quitProgram() {
    close();
}

void MainWindow::wordMarkClicked() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + WordMark::makerAddress()));
}

void MainWindow::chooseTvMode(QAction* entry) {
    entry->setChecked(true);
    if (m_tvWindows)
        m_tvWindows->showMode(entry->data().toInt(), entry);
}

void MainWindow::toggleTvMode() {
    TvEntries::ctrlTEntry(m_actions)->trigger();
}

void MainWindow::showTvMenu() {
    TvEntries::openPopup(m_actions, m_header->tvButton);
}

// --- timing ------------------------------------------------------------------------------

void MainWindow::countdown() {
    m_session.clock().beginCountdown();
}

void MainWindow::startRun() {
    m_session.clock().start();
}

void MainWindow::takeIntermediate() {
    m_session.clock().lap();
}

void MainWindow::stopRun() {
    m_session.clock().stop();
}

void MainWindow::enterResult() {
    m_session.clock().enter();
}

void MainWindow::resetClock() {
    m_session.clock().reset();
}

void MainWindow::toggleBarrierLock(int tag) {
    m_session.barriers().toggleBarrierLock(tag);
}

void MainWindow::createTimingViews() {
    m_timingView = std::make_unique<TimingView>(*this, m_session);
    m_waitingTime = std::make_unique<WaitingTimeGuard>(
        m_session, [this](const QString& question) { return askQuestion(question); });
}
