#pragma once

#include "competition/Competition.h"
#include "competition/RandomGenerator.h"
#include "settings/Settings.h"
#include "settings/SettingsLoad.h"
#include "ui/MainActions.h"
#include "ui/ProgramEnvironment.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class BackupStatus;
class BackupWriter;
class CertificateCommand;
class CompetitionInhibitor;
class EditCommands;
class FileCommands;
class HeaderBand;
class JournalWiring;
class LiveResultsControl;
class MainStatusBar;
class MainWindowPlacer;
class OfficeExport;
class StageDerivation;
class TBitBtnWithColor;
class TFDlgYesNo;
class TFormInfo;
class TFormPP;
class PrintPreviewCommand;
class TPageControl;
class TSortGridView;
class TimingControls;
class TimingWiring;
class TvWindows;
class RegistrationCommands;
class RowPositionStatus;
class SettingsCommand;
class WaitingTimeGuard;

// The single working window of the program: it owns the competition tables, builds the header
// band, the menus, the four stage pages and the status bar, and keeps the handlers that the
// commands, keys and buttons run. The work itself happens in the classes it connects.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(ProgramEnvironment environment = ProgramEnvironment::fromApplication(),
                       QWidget* parent = nullptr);
    ~TFormMain() override;

    // --- identity and parts ------------------------------------------------------------------
    QString ProgramTitle() const { return m_programTitle; }
    const ProgramEnvironment& environment() const { return m_environment; }
    Competition& competition() { return m_competition; }
    StageDerivation& derivation() { return *m_derivation; }
    // Keeps the backup file in step with the heat start list from the end of start-up on;
    // created after the backup was read and a file in the way of its first write kept aside.
    BackupWriter* backupWriter() const { return m_backupWriter.get(); }
    BackupStatus* backupStatus() const { return m_backupStatus; }
    // Every impulse and every change of the heat start list on disk; created with the backup.
    JournalWiring* journal() const { return m_journal.get(); }
    MainActions& actions() { return m_actions; }
    EditCommands& editing() { return *m_editing; }
    HeaderBand* header() const { return m_header; }
    TPageControl* PageControl1() const { return m_pages; }
    // The run clock, the time display and the light barriers as the window uses them.
    TimingWiring& timingWiring() { return *m_timingWiring; }
    // No suspend and no blanking while a run is timed or a TV window is shown.
    CompetitionInhibitor& competitionInhibitor() { return *m_inhibitor; }
    // "Einstellungen..." with its dialog and the hook the TV windows are placed through.
    SettingsCommand& settingsCommand() { return *m_settingsCommand; }
    // The live results server and its entries in "Programm".
    LiveResultsControl& liveResults() { return *m_live; }
    TSortGridView* SortGridView(int page) const;
    QCheckBox* cdEdit() const { return m_cdEdit; }
    MainStatusBar* StatusBar1() const { return m_statusBar; }
    QString statusPanelText(int panel) const;

    // --- the other windows, created by the program entry after this one ------------------------
    void setQuestionDialog(TFDlgYesNo* dialog);
    void setInfoWindow(TFormInfo* window);
    // The audience windows and the TV mode; without them the mode entries only check.
    void setTvWindows(TvWindows* windows);
    void setPrintPreview(TFormPP* preview);
    // Asks through the question dialog (focus on "Nein"); true only for "Ja".
    bool askQuestion(const QString& question);

    // --- state other parts read or set ---------------------------------------------------------
    // The settings while the program runs: loaded at start-up, saved at shutdown; every part
    // that changes one writes it here.
    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    // Whether the run clock is running: closing then asks first, and a row selection then
    // leaves the current competitor alone.
    bool clockRunning() const { return m_clockRunning; }
    void setClockRunning(bool running) { m_clockRunning = running; }
    QString CurrentCompetitor() const { return m_currentCompetitor; }
    QString CurrentClub() const { return m_currentClub; }
    void setCurrentCompetitor(const QString& competitor, const QString& club);
    bool WordInstalled() const { return m_wordInstalled; }
    bool ExcelInstalled() const { return m_excelInstalled; }
    void setOfficeInstalled(bool word, bool excel);
    QString WordTemplatePath() const { return m_wordTemplatePath; }
    QString ExcelTemplatePath() const { return m_excelTemplatePath; }
    std::optional<QString> helpFile() const { return m_helpFile; }
    quint32 PresentPortMask() const { return m_presentPortMask; }
    // Labels of the open and save dialog filters: text, web page, Word, Excel.
    QStringList fileTypeNames() const { return m_fileTypeNames; }
    // A timing button and its menu command together, so the command is available exactly
    // when the button is enabled.
    void setTimingButtonState(TBitBtnWithColor* button, bool enabled, const QColor& colour);

public Q_SLOTS:
    void UpdateActionStates();
    void UpdateTvWindows();
    void FormResize();
    void DeriveAll();

    // "Startliste"
    void sbLoadClick();
    void Neue1Click();
    void sbSaveClick();
    void Druken1Click();
    void sbWordClick();
    void sbExcelClick();
    void WebseiteClick();
    void GenerateClick();
    void Deleteresults1Click();
    void StartlisteMenuShow();
    void mImportClick();
    void mLateEntryClick();
    void mCertificatesClick();
    // "Stoppuhr"
    void mTimerClick();
    void mStartClick();
    void mLapClick();
    void mStopClick();
    void bEintragenClick();
    void bRESETClick();
    void LockLSClick(int tag);
    // "Programm"
    void mHilfeClick();
    void mCFGClick();
    void mInfoClick();
    void mBeendenClick();
    // TV mode
    void mModusClick(QAction* entry);
    void CtrlT1Click();
    void bMon2Click();
    // Pages and tables
    void PageControl1Changing(int leavingPage);
    void PageControl1Change();
    void cdEditClick();
    void eZeileExit();
    void LabelQuarnekClick();

Q_SIGNALS:
    // Emitted by UpdateTvWindows: the title, current competitor or tables may have changed.
    void tvContentChanged();
    // "Neue" has emptied the tables; the best time and the lower display row start over.
    void newProtocolStarted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectPages();
    void connectCommands();
    void FormCreate();
    void FormDestroy();
    bool FormCloseQuery();
    void StageDerived(int stage);
    void SortGridRowSelected(int page);
    int activePage() const;
    void refreshAfterLoad();
    RegistrationCommands& registration();

    // Parts that come with their own subsystems; each does nothing until that subsystem exists.
    void initTimingStateHook();     // the run clock, LapStamp := -1 (start-up step 6)
    void detectOfficeHook();        // WordInstalled, ExcelInstalled (step 7)
    void loadSettingsHook();        // the settings store (step 9)
    void applyTimingSettingsHook(); // TIMER and "Zwischen" by the settings (steps 12, 14)
    void setupFileDialogsHook();    // open/save filters and filter index (step 16)
    void scanSerialPortsHook();     // ScanSerialPorts into PresentPortMask (step 18)
    void showInitialTimesHook();    // BestTime and the first ShowTime calls (step 19)
    void loadBackupHook();          // the backup file into the heat start list (step 21)
    void initBarrierImagesHook();   // first picture on the barrier images (step 22)
    void openSerialPortHook();      // the light-barrier port when one is set (step 23)
    void saveBackupHook();          // shutdown, first
    void saveSettingsHook();        // shutdown, second
    void closeSerialPortHook();     // shutdown, last

    ProgramEnvironment m_environment;
    QString m_programTitle;
    QString m_wordTemplatePath;
    QString m_excelTemplatePath;
    std::optional<QString> m_helpFile;
    QStringList m_fileTypeNames;
    bool m_wordInstalled = false;
    bool m_excelInstalled = false;
    quint32 m_presentPortMask = 0;
    Settings m_settings;
    SettingsLoad m_settingsLoad; // what start-up read, for the save at exit
    bool m_clockRunning = false;
    QString m_currentCompetitor;
    QString m_currentClub;
    int m_leavingPage = 0;
    bool m_destroyed = false;

    Competition m_competition;
    // Both refer to the competition, so they are declared after it and go first.
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<BackupWriter> m_backupWriter;
    BackupStatus* m_backupStatus = nullptr;
    StageDerivation* m_derivation = nullptr;
    EditCommands* m_editing = nullptr;
    RandomGenerator m_random;
    MainActions m_actions;
    std::unique_ptr<TimingControls> m_timing;
    HeaderBand* m_header = nullptr;
    TPageControl* m_pages = nullptr;
    std::array<TSortGridView*, 4> m_views{};
    QCheckBox* m_cdEdit = nullptr;
    MainStatusBar* m_statusBar = nullptr;
    MainWindowPlacer* m_placer = nullptr;
    CompetitionInhibitor* m_inhibitor = nullptr;
    QPointer<TFDlgYesNo> m_questionDialog;
    QPointer<TFormInfo> m_infoWindow;
    TvWindows* m_tvWindows = nullptr; // a child of this window
    QPointer<TFormPP> m_printPreview;
    std::unique_ptr<PrintPreviewCommand> m_printCommand;
    RowPositionStatus* m_rowPosition = nullptr;
    SettingsCommand* m_settingsCommand = nullptr;
    // Last, so it goes before the tables and the environment whose clock it reads.
    std::unique_ptr<TimingWiring> m_timingWiring;
    std::unique_ptr<WaitingTimeGuard> m_waitingTime;
    std::unique_ptr<OfficeExport> m_office;
    std::unique_ptr<RegistrationCommands> m_registration; // made on first use
    std::unique_ptr<CertificateCommand> m_certificates;
    // After the timing, so its server stops before the clock and the tables go.
    std::unique_ptr<LiveResultsControl> m_live;
    // The impulse journal; goes first, with the program's end line.
    std::unique_ptr<JournalWiring> m_journal;
};
