#pragma once

#include <QObject>
#include <functional>

class QAbstractButton;
class QAction;
class QMenu;
class QWidget;
class RaceSession;
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
        // Tells the operator what a step took back or made again ("Rückgängig: Ergebnis 13,97
        // für Nr. 7 Meier"): a key pressed in the wrong place must not go unnoticed.
        std::function<void(const QString& text)> tell;
    };

    // Starts from the session's list as it stands, so create it once the backup has been
    // loaded. The entries go at the end of menu ("Startliste"); the second key of
    // "Wiederholen" is an entry of window, which also owns this object. The steps keep the heat
    // start list and its substitute marks, and the session's journal tells of them.
    HistoryCommands(RaceSession& session, QMenu& menu, QWidget& window, Hooks hooks);

    // The step a command makes is named after its entry once it has run: connect after the
    // command's own handler. A button names its step after the entry it does the work of
    // ("sbCLS" empties the list as "Neue" does).
    void nameStepsOf(QAction& command);
    void nameStepsOf(QAbstractButton& button, const QAction& namedAfter);

    StartListHistory& history() { return *m_history; }
    // Names the step a command has just made (an import, a late entry), unless it made none.
    void nameStep(const QString& name);
    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }

public Q_SLOTS:
    void undo();
    void redo();
    // The entries' texts and availability from the history.
    void refresh();

private:
    void journal(const QString& name, bool undone);

    RaceSession& m_session;
    Hooks m_hooks;
    StartListHistory* m_history = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
};
