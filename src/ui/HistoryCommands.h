#pragma once

#include <QObject>
#include <functional>

class Competition;
class MainActions;
class QAction;
class QToolButton;
class QWidget;
class StartListHistory;

// "Rückgängig" and "Wiederholen" in "Startliste": the entries name the step they take back or
// make again, the file commands name their steps, and after every step the derived tables, the
// TV windows and the journal follow the restored list (the backup follows the table itself).
class HistoryCommands : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // After a step was taken back or made again: the derived tables, the TV windows and the
        // entries follow the restored list.
        std::function<void()> restored;
        // The journal's line for a command chosen.
        std::function<void(const QString& command)> journal;
        // Tells the operator what a step took back or made again ("Rückgängig: Ergebnis 13,97
        // für Nr. 7 Meier"): a key pressed in the wrong place must not go unnoticed.
        std::function<void(const QString& text)> tell;
    };

    // Starts from the list as it stands, so create it once the backup has been loaded. The
    // entries go into "Startliste"; the second key of "Wiederholen" and this object go to the
    // window; "sbCLS" empties the list as "Neue" does. The steps keep the heat start list and
    // its substitute marks.
    HistoryCommands(Competition& competition, MainActions& actions, QToolButton& clearButton,
                    QWidget& window, Hooks hooks);

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

    Hooks m_hooks;
    QAction* m_newEntry = nullptr;
    StartListHistory* m_history = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
};
