#pragma once

#include "competition/ResultEntry.h"
#include "journal/JournalRuns.h"

#include <QObject>
#include <functional>
#include <optional>

class FileDialogs;
class PrinterSetup;
class QAction;
class QWidget;
class RaceSession;

// "Ersatzzeit berechnen..." and "Handzeit eintragen...": a substitute for a run whose stop
// barrier gave no usable time, from System B (or a hand time) and the runs around it as the
// journal tells of them, so that runs before and after it count and a restart loses none. For
// the stopped run waiting for its entry ("Stoppuhr"), for the selected competitor's last run
// (the start lists' popup menus, a "DNF" of F7 included) and for a run chosen in
// "Zeitprotokoll...". Entered only once the operator confirms, as one undoable change of the
// heat start list, journaled with its calculation and marked as a substitute.
class SubstituteTimeCommand : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Names the step of the heat start list's history the entry has just made.
        std::function<void(const QString& name)> nameStep;
        // After a run's cell was replaced: the derived tables and the audience follow.
        std::function<void()> changed;
        // A short notice for the status bar.
        std::function<void(const QString& text)> tell;
        // The printer the protocol is printed on, null while there is none.
        std::function<PrinterSetup*()> printers;
    };

    // substitute and hand are the entries of "Stoppuhr" for the waiting run; the dialog opens
    // over dialogParent unless a caller names another widget.
    SubstituteTimeCommand(RaceSession& session, FileDialogs& fileDialogs, QAction& substitute,
                          QAction& hand, QWidget* dialogParent, Hooks hooks,
                          QObject* parent = nullptr);

    static QString needsStoppedRunHint() {
        return QStringLiteral("Erst den Lauf stoppen: die Ersatzzeit gilt dem gestoppten Lauf "
                              "(frühere Läufe: Kontextmenü der Startliste, Zeitprotokoll)");
    }

    // The same two for the selected competitor's last run, for the start lists' popup menus.
    QAction* competitorSubstitute() const { return m_competitorSubstitute; }
    QAction* competitorHand() const { return m_competitorHand; }
    // Why the run begun at startStamp can have no substitute yet; empty when it can.
    QString journalRunRefusal(qint64 startStamp) const;

public Q_SLOTS:
    void waitingRun(bool handTime);
    void competitorRun(bool handTime);
    // The run begun at startStamp, as chosen in "Zeitprotokoll"; the dialog opens over `over`.
    void journalRun(qint64 startStamp, bool handTime, QWidget* over = nullptr);
    // Which of the competitor entries the selected row of the shown page allows, and why not.
    void refreshCompetitorEntries();

private:
    enum class Destination { Waiting, Cell, Selected };
    struct Target {
        JournalRuns runs;
        int index = 0;
        Destination destination = Destination::Selected;
        // For Destination::Cell: the competitor's row and run 0..4.
        QString number;
        int run = 0;
        // The row and run that receive the time, as the operator is told.
        QString competitor;
        // For Waiting and Selected: where result entry puts the time, and why a new row, if so.
        ResultEntry::Target entry;
        QString newRowReason;
        // The stage page whose start list receives it: the active one, or for the waiting run
        // the one its competitor was selected on.
        int page = 0;
    };
    // The waiting run's competitor selected on his start list, so that result entry puts its
    // time there; false when he is no longer in the list.
    bool selectWaitingRunOwner(Target& target) const;

    void updateWaitingEntries();
    // The selected competitor's last run as the journal tells of it; nothing, and why, where
    // there is none.
    std::optional<Target> competitorTarget(QString& why) const;
    // The runs known so far, never read here; null, and why, while the journal of earlier
    // sessions is still being read.
    const JournalRuns* knownRuns(QString& why) const;
    QString competitorText(const QString& number, int run) const;
    // Where result entry would put a time now, described in competitor and newRowReason; false,
    // and why, when it puts it nowhere.
    bool entryTarget(Target& target, QString& why) const;
    void calculate(const Target& target, bool handTime, QWidget* over);
    void enter(const Target& target, qint32 hundredths, const QString& calculation);

    RaceSession& m_session;
    FileDialogs& m_fileDialogs;
    QAction& m_substitute;
    QAction& m_hand;
    QWidget* m_dialogParent;
    Hooks m_hooks;
    // What knownRuns() answers without a journal.
    const JournalRuns m_noRuns;
    QAction* m_competitorSubstitute = nullptr;
    QAction* m_competitorHand = nullptr;
};
