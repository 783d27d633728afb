#pragma once

#include "cup/CupRules.h"
#include "cup/CupStandings.h"
#include "output/FileWriteResult.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class BackgroundExport;
class CupCertificateCommand;
class CupClubModel;
class CupDocument;
class CupPrintCommand;
class FileDialogs;
class PrintPreviewWindow;
class ProgramEnvironment;
class QAction;
class QLabel;
class QTabWidget;
class QTableView;
class QTableWidget;

// "Cupwertung": the cup over several races beside the race being timed. Its races (each a
// protocol file read when it was added), its rules, the names matched across races, the
// standings class by class and of the clubs, and what is made of them: documents,
// certificates and the start list of the next race. Closing the window keeps the cup open,
// so that the live pages go on showing it.
class CupWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Inputs {
        CupDocument& cup;
        // Unset: the desktop's.
        std::shared_ptr<FileDialogs> fileDialogs;
        // Asks the operator; true for yes.
        std::function<bool(const QString& question)> ask;
        // Makes these rows (header first) the heat start list as one undoable step; false when
        // the session refused (a run is open) or the operator kept the list.
        std::function<bool(const QList<QStringList>& rows)> applyStartList;
        // The heat start list's header row, for a start list in its captions.
        std::function<QStringList()> startListHeader;
        // The program's print preview, shared with the race's tables; null without a printer
        // setup yet.
        std::function<PrintPreviewWindow*()> printPreview;
        const ProgramEnvironment& environment;
    };

    explicit CupWindow(Inputs inputs, QWidget* parent = nullptr);
    ~CupWindow() override;

    // The menus and commands, for the tests and the outputs wired from outside.
    QAction* command(const QString& objectName) const;
    QMenu* outputMenu() const { return m_outputMenu; }

    // Asks before a modified cup is given up; true when it may go.
    bool mayDiscard();

private:
    void createMenus();
    QAction* addCommand(QMenu* menu, const char* objectName, const QString& text,
                        std::function<void()> handler, const QKeySequence& shortcut = {});
    void refreshRaces();
    void refreshStandings();
    void updateCommands();
    int selectedRace() const;
    FileDialogs& dialogs();
    void showNotice(const QString& text);
    void showFailure(const QString& text);

    void newCup();
    void openCup();
    bool saveCup();
    bool saveCupAs();
    void closeCup();
    void undo();
    void redo();
    void addRaces();
    void removeRace();
    void moveRaceUp();
    void moveRaceDown();
    void renameRace();
    void weighRace();
    void voidClass();
    void restoreClass();
    void acceptChange();
    void checkFiles();
    void editRules();
    void matchNames();
    void nextStartList();
    // "Ausgabe": the documents are written off the window's thread.
    using Writer = FileWriteResult (*)(const QString& fileName, const CupStandings& standings,
                                       const QString& cupName, CupRules::Scoring scoring);
    void exportDocument(const QString& filter, const QString& suffix, const QString& what,
                        Writer write);
    CupPrintCommand* printCommand();
    void writeWebPage();
    void writeCsv();
    void writeWorkbook();
    void printPreview();
    void writePdf();
    void certificates();

    Inputs m_inputs;
    std::unique_ptr<FileDialogs> m_ownDialogs;
    QTableWidget* m_races = nullptr;
    QLabel* m_warnings = nullptr;
    QTabWidget* m_tabs = nullptr;
    QList<QTableView*> m_classViews;
    CupClubModel* m_clubModel = nullptr;
    QMenu* m_outputMenu = nullptr;
    QLabel* m_busy = nullptr;
    BackgroundExport* m_export = nullptr;
    std::unique_ptr<CupPrintCommand> m_print;
    std::unique_ptr<CupCertificateCommand> m_certificates;
};
