#include "ui/startlist/HistoryCommands.h"

#include "journal/JournalRecorder.h"
#include "session/RaceSession.h"
#include "session/SessionJournal.h"
#include "session/StartListHistory.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>

namespace {

const QString UndoCaption = QStringLiteral("Rückgängig");
const QString RedoCaption = QStringLiteral("Wiederholen");

} // namespace

HistoryCommands::HistoryCommands(RaceSession& session, QMenu& menu, QWidget& window, Hooks hooks)
    : QObject(&window), m_session(session), m_hooks(std::move(hooks)) {
    m_history = new StartListHistory(session.competition(), this);
    menu.addSeparator();
    m_undo = menu.addAction(UndoCaption);
    m_undo->setObjectName(QStringLiteral("mUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = menu.addAction(RedoCaption);
    m_redo->setObjectName(QStringLiteral("mRedo"));
    m_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    // The second key of "Wiederholen" as an entry of the window, where the menu key router
    // finds every key by its entry.
    auto* redoAlias = new QAction(RedoCaption, &window);
    redoAlias->setObjectName(QStringLiteral("mRedoShift"));
    redoAlias->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    window.addAction(redoAlias);
    connect(m_redo, &QAction::enabledChanged, redoAlias, &QAction::setEnabled);
    connect(redoAlias, &QAction::triggered, this, &HistoryCommands::redo);

    connect(m_undo, &QAction::triggered, this, &HistoryCommands::undo);
    connect(m_redo, &QAction::triggered, this, &HistoryCommands::redo);
    connect(&menu, &QMenu::aboutToShow, this, &HistoryCommands::refresh);
    connect(m_history, &StartListHistory::stepsChanged, this, &HistoryCommands::refresh);
    // Journaled only when the step is taken (an open run may keep the list as it is), before
    // the changes it brings.
    connect(m_history, &StartListHistory::restoring, this, &HistoryCommands::journal);
    connect(m_history, &StartListHistory::restored, this, [this] {
        m_hooks.restored();
        refresh();
    });

    refresh();
}

void HistoryCommands::nameStepsOf(QAction& command) {
    connect(&command, &QAction::triggered, this,
            [this, entry = &command] { m_history->nameChangeUnderWay(entry->text()); });
}

void HistoryCommands::nameStepsOf(QAbstractButton& button, const QAction& namedAfter) {
    connect(&button, &QAbstractButton::clicked, this,
            [this, entry = &namedAfter] { m_history->nameChangeUnderWay(entry->text()); });
}

void HistoryCommands::nameStep(const QString& name) {
    m_history->nameChangeUnderWay(name);
}

void HistoryCommands::journal(const QString& name, bool undone) {
    const QString line = (undone ? UndoCaption : RedoCaption) + QStringLiteral(": ") + name;
    if (SessionJournal* journal = m_session.journal())
        journal->recorder().commandChosen(line);
    if (m_hooks.tell)
        m_hooks.tell(line);
}

void HistoryCommands::undo() {
    m_history->undo();
}

void HistoryCommands::redo() {
    m_history->redo();
}

void HistoryCommands::refresh() {
    const bool canUndo = m_history->canUndo();
    const bool canRedo = m_history->canRedo();
    m_undo->setEnabled(canUndo);
    m_redo->setEnabled(canRedo);
    m_undo->setText(canUndo ? UndoCaption + QStringLiteral(": ") + m_history->undoText()
                            : UndoCaption);
    m_redo->setText(canRedo ? RedoCaption + QStringLiteral(": ") + m_history->redoText()
                            : RedoCaption);
    m_undo->setToolTip(canUndo ? QString()
                               : QStringLiteral("Die Startliste wurde noch nicht geändert"));
    m_redo->setToolTip(canRedo ? QString() : QStringLiteral("Es wurde nichts rückgängig gemacht"));
}
