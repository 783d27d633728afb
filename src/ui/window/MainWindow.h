#pragma once

#include "session/RaceSession.h"
#include "ui/window/MainActions.h"
#include "ui/window/WindowSeams.h"

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
class ResultReleaseCommand;
class CupWindow;
class EditCommands;
class FileCommands;
class HeaderBand;
class JournalWiring;
class LiveResultsControl;
class MainStatusBar;
class MainWindowPlacer;
class OfficeExportCommand;
class StageDerivation;
class ColorButton;
class QuestionDialog;
class InfoDialog;
class PrintPreviewWindow;
class PrintPreviewCommand;
class StagePages;
class CompetitionTableView;
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
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(RaceSession& session, WindowSeams seams = WindowSeams::forDesktop(),
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- identity and parts ------------------------------------------------------------------
    // The race the window shows and drives.
    RaceSession& session() { return m_session; }
    BackupStatus* backupStatus() const;
    // Every impulse and every change of the heat start list on disk; created with the backup.
    JournalWiring* journal() const;
    MainActions& actions() { return m_actions; }
    EditCommands& editing() { return *m_editing; }
    HeaderBand* header() const { return m_header; }
    StagePages* stagePages() const { return m_pages; }
    // The timing buttons, the time panel and the barrier pictures on the session's clock.
    TimingView& timingView() { return *m_timingView; }
    // "Einstellungen..." with its dialog and the hook the TV windows are placed through.
    SettingsCommand& settingsCommand() { return *m_settingsCommand; }
    // The entries of the live results in "Programm", the status-bar text and the address window.
    LiveResultsControl& liveResults();
    CompetitionTableView* tableView(int page) const;
    QCheckBox* cellEditBox() const { return m_cdEdit; }
    MainStatusBar* mainStatusBar() const { return m_statusBar; }
    QString statusPanelText(int panel) const;

    // --- the other windows, created by the program entry after this one ------------------------
    void setQuestionDialog(QuestionDialog* dialog);
    void setInfoWindow(InfoDialog* window);
    // The audience windows and the TV mode, children of this window; without them the mode
    // entries only check.
    TvWindows* createTvWindows();
    void setPrintPreview(PrintPreviewWindow* preview);
    // Asks through the question dialog (focus on "Nein"); true only for "Ja".
    bool askQuestion(const QString& question);
    // "Eintragen" with another competitor selected than the one the run belongs to.
    RaceSession::EntryOwner askEntryOwner(const QString& bound, const QString& selected,
                                          const QString& time);

    // --- state other parts read or set ---------------------------------------------------------
    // A timing button and its menu command together, so the command is available exactly
    // when the button is enabled.
    void setTimingButtonState(ColorButton* button, bool enabled, const QColor& colour);

public Q_SLOTS:
    void updateActionStates();
    void updateTvWindows();
    void layoutForSize();
    void deriveAll();

    // "Startliste"
    void openProtocol();
    void newProtocol();
    void saveProtocol();
    void printTable();
    void exportWord();
    void exportExcel();
    void writeWebPage();
    void generateRandomResults();
    void deleteResults();
    void startListMenuShown();
    void importCompetitors();
    void lateEntry();
    void certificates();
    // "Stoppuhr"
    void countdown();
    void startRun();
    void takeIntermediate();
    void stopRun();
    void enterResult();
    void resetClock();
    void toggleBarrierLock(int tag);
    // "Programm"
    void openManual();
    void openSettings();
    void showInfo();
    // "Cupwertung...": the cup window, one for the program.
    void showCup();
    void quitProgram();
    // TV mode
    void chooseTvMode(QAction* entry);
    void toggleTvMode();
    void showTvMenu();
    // Pages and tables
    void leavingPage(int leavingPage);
    void pageShown();
    void cellEditingToggled();
    void titleConfirmed();
    void wordMarkClicked();

Q_SIGNALS:
    // Emitted by updateTvWindows: the title, current competitor or tables may have changed.
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
    void buildWindow();
    void tearDown();
    bool mayClose();
    void stageDerived(int stage);
    void rowSelected(int page);
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
    StagePages* m_pages = nullptr;
    std::array<CompetitionTableView*, 4> m_views{};
    QCheckBox* m_cdEdit = nullptr;
    MainStatusBar* m_statusBar = nullptr;
    MainWindowPlacer* m_placer = nullptr;
    QPointer<QuestionDialog> m_questionDialog;
    QPointer<InfoDialog> m_infoWindow;
    TvWindows* m_tvWindows = nullptr; // a child of this window
    QPointer<PrintPreviewWindow> m_printPreview;
    std::unique_ptr<PrintPreviewCommand> m_printCommand;
    RowPositionStatus* m_rowPosition = nullptr;
    SettingsCommand* m_settingsCommand = nullptr;
    // Last, so it goes before the tables and the environment whose clock it reads.
    std::unique_ptr<TimingView> m_timingView;
    std::unique_ptr<WaitingTimeGuard> m_waitingTime;
    std::unique_ptr<OfficeExportCommand> m_office;
    std::unique_ptr<RegistrationCommands> m_registration; // made on first use
    std::unique_ptr<CertificateCommand> m_certificates;
    ResultReleaseCommand* m_release = nullptr; // "Ergebnisse freigeben...", from the backup on
    CupWindow* m_cupWindow = nullptr;          // made on first use, lives with the window
    std::unique_ptr<LiveResultsControl> m_live;
    // "Zeitprotokoll..." and the commands the journal names.
    std::unique_ptr<JournalWiring> m_journal;
};
