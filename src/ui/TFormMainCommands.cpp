// The command handlers of the main window: files, office documents, "Programm", the TV mode and
// the timing. Each is a short slot that hands the work to the class that does it.
#include "ui/TFormMain.h"

#include "competition/SelectedCompetitor.h"
#include "journal/widgets/JournalWiring.h"
#include "output/BackupStartup.h"
#include "output/BackupWriter.h"
#include "platform/CompetitionInhibitor.h"
#include "platform/DesktopApplications.h"
#include "print/ExportProgress.h"
#include "print/TFormPP.h"
#include "timing/BarrierLogic.h"
#include "timing/LightBarrierPort.h"
#include "timing/RunClock.h"
#include "tv/widgets/TvWindows.h"
#include "ui/BackupStatus.h"
#include "ui/CertificateCommand.h"
#include "ui/FileCommands.h"
#include "ui/HeaderBand.h"
#include "ui/HistoryCommands.h"
#include "ui/MainStatusBar.h"
#include "ui/ManualOpener.h"
#include "ui/OfficeExport.h"
#include "ui/RegistrationCommands.h"
#include "ui/SettingsBinding.h"
#include "ui/SettingsCommand.h"
#include "ui/StartupNotice.h"
#include "ui/TFormInfo.h"
#include "ui/TPageControl.h"
#include "ui/TimingWiring.h"
#include "ui/WaitingTimeGuard.h"
#include "ui/WordMark.h"
#include "widgets/TBitBtnWithColor.h"

#include <QAction>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QToolButton>
#include <QUrl>

// --- files and documents -----------------------------------------------------------------

void TFormMain::sbLoadClick() {
    if (!m_waitingTime->mayDiscard())
        return;
    const SelectedCompetitor selected = SelectedCompetitor::of(m_competition.heatStartList());
    if (!m_files->open())
        return;
    selected.restore(m_competition.heatStartList());
    refreshAfterLoad();
}

void TFormMain::sbSaveClick() {
    m_files->saveAs(activePage(), m_pages->tabText(activePage()), m_settings.filterInd);
}

void TFormMain::WebseiteClick() {
    m_files->saveWebPage(activePage(), m_pages->tabText(activePage()));
}

void TFormMain::loadSettingsHook() {
    m_settingsLoad =
        SettingsBinding(m_environment, m_settings).load(*this, *m_header->eZeile, m_competition);
    if (const QString notice = SettingsBinding::damagedNotice(m_settingsLoad); !notice.isEmpty())
        m_statusBar->showNotice(notice, StartupNotice::StatusMilliseconds);
}

void TFormMain::setupFileDialogsHook() {
    m_files = std::make_unique<FileCommands>(m_competition, m_environment, m_fileTypeNames, this);
    m_files->setQuestion([this](const QString& question) { return askQuestion(question); });
    m_files->setWordExport([this](const QString& fileName, int page) {
        return m_office->ExportToWord(OfficeExport::Saved, fileName, page);
    });
}

void TFormMain::loadBackupHook() {
    const BackupStartup::Outcome backup =
        BackupStartup::load(m_competition.heatStartList(), m_environment.paths().backupLocation());
    if (backup.loaded) {
        refreshAfterLoad();
        m_competition.heatStartList().setModified(false);
    }
    m_backupWriter =
        std::make_unique<BackupWriter>(m_competition.heatStartList(), backup.writePath);
    m_backupStatus = new BackupStatus(*m_backupWriter, *m_statusBar, this, m_programTitle, this);
    m_journal = std::make_unique<JournalWiring>(*this, *m_backupWriter);
    // The competition carried on from the other place is in the new one at once.
    if (backup.loaded && backup.relocated())
        m_backupWriter->saveNow();
    StartupNotice::tell(*this, *m_statusBar, *m_backupWriter, m_programTitle,
                        BackupStartup::statusText(backup), BackupStartup::messageText(backup));
}

void TFormMain::saveBackupHook() {
    m_backupWriter->saveAtExit();
}

void TFormMain::saveSettingsHook() {
    SettingsBinding(m_environment, m_settings).save(*this, *m_header->eZeile, m_settingsLoad);
}

void TFormMain::sbWordClick() {
    // Beside the web page, so an installed program started from "/" still has a folder.
    m_office->ExportToWord(OfficeExport::Shown,
                           m_environment.paths().pageFolder(QDir::currentPath()) +
                               OfficeExport::wordFileName(QDate::currentDate()),
                           activePage());
}

void TFormMain::sbExcelClick() {
    m_office->ExportToExcel(m_environment.paths().pageFolder(QDir::currentPath()) +
                            OfficeExport::excelFileName(QDate::currentDate()));
}

void TFormMain::detectOfficeHook() {
    m_wordInstalled = m_environment.hasApplicationFor(DesktopApplications::kWordDocument);
    m_excelInstalled = m_environment.hasApplicationFor(DesktopApplications::kExcelWorkbook);
    m_office = std::make_unique<OfficeExport>(
        m_competition, m_environment,
        OfficeExport::Sources{[this] { return m_header->eZeile->text(); },
                              [this](int page) { return m_pages->tabText(page); },
                              [this] {
                                  return windowTitle();
                              }},
        OfficeExport::messageBoxOn(*this, m_programTitle), &QDesktopServices::openUrl);
    connect(m_office.get(), &OfficeExport::templatesChanged, this, &TFormMain::UpdateActionStates);
    m_statusBar->addPermanentWidget(new ExportProgress(m_office->jobs(), m_statusBar));
}

// --- registrations and certificates --------------------------------------------------------

RegistrationCommands& TFormMain::registration() {
    if (!m_registration) {
        const auto underway = [this] {
            return m_timingWiring->clock().state() != RunClock::State::Ready;
        };
        const auto changed = [this] {
            SortGridRowSelected(0);
            UpdateActionStates();
            FormResize();
        };
        m_registration = std::make_unique<RegistrationCommands>(
            m_competition, *m_derivation, m_environment, this,
            RegistrationCommands::Hooks{underway, [this] { return m_waitingTime->mayDiscard(); },
                                        changed});
    }
    return *m_registration;
}

void TFormMain::mImportClick() {
    registration().importFile();
    if (auto* history = findChild<HistoryCommands*>())
        history->nameStep(m_actions.mImport->text());
}

void TFormMain::mLateEntryClick() {
    registration().lateEntry();
    if (auto* history = findChild<HistoryCommands*>())
        history->nameStep(m_actions.mLateEntry->text());
}

void TFormMain::mCertificatesClick() {
    if (!m_certificates)
        m_certificates =
            std::make_unique<CertificateCommand>(m_competition, *m_derivation, m_environment, this);
    m_certificates->show(m_header->eZeile->text(),
                         m_printPreview ? &m_printPreview->printers() : nullptr);
}

// --- "Programm" and TV mode ------------------------------------------------------------------

void TFormMain::mHilfeClick() {
    ManualOpener(m_helpFile, ManualOpener::placesFor(m_environment),
                 ManualOpener::desktopViewer(m_environment),
                 ManualOpener::messageBoxOn(*this, m_programTitle))
        .open();
}

void TFormMain::mInfoClick() {
    const QString notice = m_timingWiring->port().realtimeNotice();
    if (m_infoWindow) {
        m_infoWindow->setNotice(notice);
        m_infoWindow->exec();
        return;
    }
    TFormInfo info(this);
    info.setNotice(notice);
    info.exec();
}

void TFormMain::mCFGClick() {
    m_settingsCommand->run();
}

void TFormMain::mBeendenClick() {
    close();
}

void TFormMain::LabelQuarnekClick() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + WordMark::makerAddress()));
}

void TFormMain::mModusClick(QAction* entry) {
    entry->setChecked(true);
    if (m_tvWindows)
        m_tvWindows->showMode(entry->data().toInt(), entry);
}

void TFormMain::CtrlT1Click() {
    TvWindows::ctrlTEntry(m_actions)->trigger();
}

void TFormMain::bMon2Click() {
    TvWindows::openPopup(m_actions, m_header->bMon2);
}

// --- timing ------------------------------------------------------------------------------

void TFormMain::mTimerClick() {
    m_timingWiring->clock().beginCountdown();
}

void TFormMain::mStartClick() {
    m_timingWiring->clock().start();
}

void TFormMain::mLapClick() {
    m_timingWiring->clock().lap();
}

void TFormMain::mStopClick() {
    m_timingWiring->clock().stop();
}

void TFormMain::bEintragenClick() {
    m_timingWiring->clock().enter();
}

void TFormMain::bRESETClick() {
    m_timingWiring->clock().reset();
}

void TFormMain::LockLSClick(int tag) {
    m_timingWiring->barriers().LockLSClick(tag);
}

void TFormMain::initTimingStateHook() {
    m_timingWiring = std::make_unique<TimingWiring>(*this, m_environment.tickSource(),
                                                    m_environment.serialSystem());
    connect(m_timingWiring.get(), &TimingWiring::selectedRowStepsRequested, this,
            &TFormMain::SortGridRowSelected);
    m_waitingTime = std::make_unique<WaitingTimeGuard>(
        m_timingWiring->clock(), [this](const QString& question) { return askQuestion(question); });
    m_inhibitor = new CompetitionInhibitor(m_programTitle, m_environment.inhibitorBus(), this);
    connect(&m_timingWiring->clock(), &RunClock::stateChanged, m_inhibitor,
            [inhibitor = m_inhibitor](RunClock::State state) {
                inhibitor->setBusy(QStringLiteral("timing"), state != RunClock::State::Ready);
            });
}

void TFormMain::applyTimingSettingsHook() {
    m_timingWiring->startUp(m_settings);
}

void TFormMain::showInitialTimesHook() {
    m_timingWiring->showInitialTimes();
}

void TFormMain::initBarrierImagesHook() {
    m_timingWiring->showBarrierPictures();
}

void TFormMain::scanSerialPortsHook() {
    m_presentPortMask = m_timingWiring->port().ScanSerialPorts();
}

void TFormMain::openSerialPortHook() {
    // A port that cannot be opened is forgotten, so 0 is saved and the barriers stay off.
    if (m_settings.port != 0 && !m_timingWiring->port().open(m_settings.port))
        m_settings.port = 0;
}

void TFormMain::closeSerialPortHook() {
    m_timingWiring->port().close();
}
