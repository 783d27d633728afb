#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class CompetitionTable;

// Which classes' results the operator has released as official ("Ergebnisse freigeben"). A
// release keeps a fingerprint of the class's rows in the heat start list as they were released,
// so that any later change of them (a time entered or corrected, a run state, a row deleted or
// added, an undo) is found and the class is preliminary again. Classes are named by the text of
// their "Kl." cells: a whole number as its digits ("01" is "1"), any other text trimmed.
class ResultRelease {
public:
    struct ClassState {
        QString klass;
        bool hasResults = false; // at least one run of the class has an entry
        bool released = false;
        bool operator==(const ClassState&) const = default;
    };

    // The name of the class a "Kl." cell puts a competitor in.
    static QString classOf(const QString& cell);
    // "Klasse 1", as messages and headings name it.
    static QString caption(const QString& klass);
    static QString word(bool released) {
        return released ? QStringLiteral("offiziell") : QStringLiteral("vorläufig");
    }

    // The classes of the list's competitors in the order of their classes, with their state.
    QList<ClassState> classes(const CompetitionTable& heatStartList) const;
    // The fingerprint of each class's rows, independent of their order in the list.
    static QMap<QString, QByteArray> fingerprints(const CompetitionTable& heatStartList);
    static bool hasResults(const CompetitionTable& heatStartList);

    bool isReleased(const QString& klass) const { return m_released.contains(klass); }
    bool isEmpty() const { return m_released.isEmpty(); }
    // Releases those of the classes that have results, as the list holds them now; returns the
    // classes newly released.
    QStringList release(const CompetitionTable& heatStartList, const QStringList& classes);
    // Every class that has results.
    QStringList releaseAll(const CompetitionTable& heatStartList);
    // Takes the release of the classes back; returns those that were released.
    QStringList withdraw(const QStringList& classes);
    // Drops the release of every class whose rows changed since; returns them.
    QStringList reopenChanged(const CompetitionTable& heatStartList);

    // The released classes with their fingerprints, as the backup keeps them.
    const QMap<QString, QByteArray>& entries() const { return m_released; }
    void setEntries(const QMap<QString, QByteArray>& entries) { m_released = entries; }
    void clear() { m_released.clear(); }

    // The heading every output carries: "Ergebnisse vorläufig", "Ergebnisse offiziell" once
    // every class with results is released, or "Ergebnisse vorläufig (offiziell: Klasse 1, 3)";
    // empty while no run has an entry, as there is nothing to release.
    QString stateText(const CompetitionTable& heatStartList) const;
    // The word for the whole race, as stateText decides it: "vorläufig" or "offiziell"; empty
    // while no run has an entry.
    QString stateWord(const CompetitionTable& heatStartList) const;

    bool operator==(const ResultRelease&) const = default;

private:
    QMap<QString, QByteArray> m_released;
};
