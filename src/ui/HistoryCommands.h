#pragma once

#include <QObject>

class QAction;
class StartListHistory;
class TFormMain;

// "Rückgängig" and "Wiederholen" in "Startliste": the entries name the step they take back or
// make again, the file commands name their steps, and after every step the derived tables, the
// TV windows and the journal follow the restored list (the backup follows the table itself).
class HistoryCommands : public QObject {
    Q_OBJECT
public:
    // Starts from the list as it stands, so create it once the backup has been loaded.
    explicit HistoryCommands(TFormMain& window);

    StartListHistory& history() { return *m_history; }
    // Names the step a command has just made (an import, a late entry), unless it made none.
    void nameStep(const QString& name);
    QAction* mUndo() const { return m_undo; }
    QAction* mRedo() const { return m_redo; }

public Q_SLOTS:
    void mUndoClick();
    void mRedoClick();
    // The entries' texts and availability from the history.
    void refresh();

private:
    void nameStepOf(QAction* command);
    void journal(const QString& name, bool undone);

    TFormMain& m_window;
    StartListHistory* m_history = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
};
