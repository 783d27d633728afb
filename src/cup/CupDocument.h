#pragma once

#include "cup/CupDefinition.h"
#include "cup/CupStandings.h"
#include "cup/MatchProposals.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <functional>

// The cup open in the program: its definition, the file it belongs to, its standings and the
// organiser's steps back and forth. Reading race files, loading and saving the cup and
// computing the standings run on a thread of their own, one after the other, so a cup of
// thirty large races never holds up the window and its clock; results come back on the
// thread that owns the document, and only the latest computation is shown.
class CupDocument : public QObject {
    Q_OBJECT
public:
    // What the last check of a race's file found.
    enum class RaceFileState { Unchecked, Unchanged, Changed, Missing };

    explicit CupDocument(QObject* parent = nullptr);
    ~CupDocument() override; // waits for the work under way

    bool isOpen() const { return m_open; }
    const CupDefinition& definition() const { return m_cup; }
    QString fileName() const { return m_fileName; }
    bool isModified() const { return m_modified; }
    const CupStandings& standings() const { return m_standings; }
    // Competitors who may be one person spelt differently, found with the standings.
    const QList<MatchProposals::Proposal>& proposals() const { return m_proposals; }
    bool busy() const { return m_pending > 0; }
    RaceFileState raceFileState(int race) const;
    // Every class of the cup's races, in class order.
    QStringList classes() const;

    void create(const QString& name);
    void open(const QString& fileName);
    void close();
    // An empty name saves under the cup's own file.
    void save(const QString& fileName = QString());
    // Reads the races' results off the window's thread and appends them in the given order.
    void addRaces(const QStringList& files);
    // Compares every race file with what was read from it.
    void checkRaces();
    // Reads a changed race file again: the organiser accepts the change.
    void acceptRaceChange(int race);

    // Changes the organiser makes; each is one step back.
    void setName(const QString& name);
    void setRules(const CupRules& rules);
    void removeRace(int race);
    void moveRace(int race, int to);
    void setRaceTitle(int race, const QString& title);
    void setRaceWeight(int race, int weightPercent);
    void voidClass(int race, const QString& cls, const QString& reason);
    void restoreClass(int race, const QString& cls);
    void confirmMatch(const CupIdentity& a, const CupIdentity& b);
    void rejectMatch(const CupIdentity& a, const CupIdentity& b);
    void forgetMatch(const CupIdentity& a, const CupIdentity& b);

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();

    // Waits until the work under way is done and its results are applied (tests, shutdown).
    bool waitForIdle(int timeoutMs);

Q_SIGNALS:
    // The definition or the file it belongs to changed (not yet the standings).
    void changed();
    void standingsChanged();
    // Something could not be done; the cup is as it was.
    void failed(const QString& message);
    // Something was done that the organiser should know of ("Cup gespeichert: …").
    void notice(const QString& message);
    void busyChanged(bool busy);

private:
    struct Step {
        QString name;
        CupDefinition cup;
    };
    void change(const QString& name, const std::function<void(CupDefinition&)>& edit);
    void replace(const CupDefinition& cup, bool modified);
    void recompute();
    void write(const QString& target);
    void run(std::function<std::function<void()>()> job);
    void finished();
    struct Computed {
        CupStandings standings;
        QList<MatchProposals::Proposal> proposals;
    };
    void applyStandings(quint64 generation, const Computed& computed);
    void applyRaceStates(const QList<RaceFileState>& states, const QList<QString>& files,
                         const QStringList& warnings);

    QThreadPool m_pool;
    bool m_open = false;
    CupDefinition m_cup;
    QString m_fileName;
    bool m_modified = false;
    CupStandings m_standings;
    QList<MatchProposals::Proposal> m_proposals;
    QStringList m_fileWarnings;
    QList<RaceFileState> m_raceStates;
    QList<QString> m_checkedFiles; // the file each state belongs to
    QList<Step> m_undo;
    QList<Step> m_redo;
    quint64 m_generation = 0;
    quint64 m_revision = 0; // counts the definitions the document has held
    int m_pending = 0;
};
