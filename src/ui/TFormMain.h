#pragma once

#include "session/RaceSession.h"
#include "ui/MainActions.h"
#include "ui/WindowSeams.h"

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
class EditCommands;
class FileCommands;
class HeaderBand;
class JournalWiring;
class LiveResultsControl;
class MainStatusBar;
class MainWindowPlacer;
class OfficeExportCommand;
class StageDerivation;
class TBitBtnWithColor;
class TFDlgYesNo;
class TFormInfo;
class TFormPP;
class PrintPreviewCommand;
class TPageControl;
class TSortGridView;
class TimingControls;
class TimingView;
class TvWindows;
class RegistrationCommands;
class RowPositionStatus;
class SettingsCommand;
class WaitingTimeGuard;

// The single working window of the program on a started race session: it builds the header
// band, the menus, the four stage pages and the status bar, and keeps the handlers that the
// commands, keys and buttons run. The work itself happens in the session and the classes it
// connects.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(RaceSession& session, WindowSeams seams = WindowSeams::forDesktop(),
                       QWidget* parent = nullptr);
    ~TFormMain() override;

    // --- identity and parts ------------------------------------------------------------------
    // The race the window shows and drives.
    RaceSession& session() { return m_session; }
    BackupStatus* backupStatus() const;
    // Every impulse and every change of the heat start list on disk; created with the backup.
    JournalWiring* journal() const;
    MainActions& actions() { return m_actions; }
    EditCommands& editing() { return *m_editing; }
    HeaderBand* header() const { return m_header; }
    TPageControl* PageControl1() const { return m_pages; }
    // The timing buttons, the time panel and the barrier pictures on the session's clock.
    TimingView& timingView() { return *m_timingView; }
    // "Einstellungen..." with its dialog and the hook the TV windows are placed through.
    SettingsCommand& settingsCommand() { return *m_settingsCommand; }
    // The entries of the live results in "Programm", the status-bar text and the address window.
    LiveResultsControl& liveResults();
    TSortGridView* SortGridView(int page) const;
    QCheckBox* cdEdit() const { return m_cdEdit; }
    MainStatusBar* StatusBar1() const { return m_statusBar; }
    QString statusPanelText(int panel) const;

    // --- the other windows, created by the program entry after this one ------------------------
    void setQuestionDialog(TFDlgYesNo* dialog);
    void setInfoWindow(TFormInfo* window);
    // The audience windows and the TV mode, children of this window; without them the mode
    // entries only check.
    TvWindows* createTvWindows();
    void setPrintPreview(TFormPP* preview);
    // Asks through the question dialog (focus on "Nein"); true only for "Ja".
    bool askQuestion(const QString& question);
    // "Eintragen" with another competitor selected than the one the run belongs to.
    RaceSession::EntryOwner askEntryOwner(const QString& bound, const QString& selected,
                                          const QString& time);

    // --- state other parts read or set ---------------------------------------------------------
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

    // The window's halves of the start-up steps; the session has done its own before.
    void createTimingViews();  // the run clock on the buttons and the time panel (step 6)
    void createOfficeExport(); // Word and Excel (step 7)
    void applySettings();      // placement and title from the settings (step 9)
    void createFileCommands(); // open/save filters and filter index (step 16)
    void showBackupOutcome();  // the backup's status and journal notices (step 21)
    void connectJournalCommands();
    // "Ersatzzeit berechnen..." and "Handzeit eintragen..." in "Stoppuhr", the start lists'
    // popup menus and "Zeitprotokoll...".
    void createSubstituteCommands();
    void createLiveResults();
    void createStartListCommands(); // undo and redo, run states and the rerun

    RaceSession& m_session;
    WindowSeams m_seams;
    QString m_programTitle;
    QString m_wordTemplatePath;
    QString m_excelTemplatePath;
    std::optional<QString> m_helpFile;
    // Labels of the open and save dialog filters: text, web page, Word, Excel.
    QStringList m_fileTypeNames;
    int m_leavingPage = 0;
    bool m_destroyed = false;

    std::unique_ptr<FileCommands> m_files;
    BackupStatus* m_backupStatus = nullptr;
    EditCommands* m_editing = nullptr;
    MainActions m_actions;
    std::unique_ptr<TimingControls> m_timing;
    HeaderBand* m_header = nullptr;
    TPageControl* m_pages = nullptr;
    std::array<TSortGridView*, 4> m_views{};
    QCheckBox* m_cdEdit = nullptr;
    MainStatusBar* m_statusBar = nullptr;
    MainWindowPlacer* m_placer = nullptr;
    QPointer<TFDlgYesNo> m_questionDialog;
    QPointer<TFormInfo> m_infoWindow;
    TvWindows* m_tvWindows = nullptr; // a child of this window
    QPointer<TFormPP> m_printPreview;
    std::unique_ptr<PrintPreviewCommand> m_printCommand;
    RowPositionStatus* m_rowPosition = nullptr;
    SettingsCommand* m_settingsCommand = nullptr;
    // Last, so it goes before the tables and the environment whose clock it reads.
    std::unique_ptr<TimingView> m_timingView;
    std::unique_ptr<WaitingTimeGuard> m_waitingTime;
    std::unique_ptr<OfficeExportCommand> m_office;
    std::unique_ptr<RegistrationCommands> m_registration; // made on first use
    std::unique_ptr<CertificateCommand> m_certificates;
    std::unique_ptr<LiveResultsControl> m_live;
    // "Zeitprotokoll..." and the commands the journal names.
    std::unique_ptr<JournalWiring> m_journal;
};
