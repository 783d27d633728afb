#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class BackupWriter;
class Competition;

// Keeps the release of the results ("Ergebnisse freigeben") in step with the heat start list:
// releases and takes releases back as the operator asks, makes a class preliminary again as
// soon as its rows change after the release (whatever changed them: an entry, a correction, a
// run state, undo, a deleted row, a late entry), journals each of these, and keeps the state
// in the backup file behind the table. Every output reads it from the competition.
class ResultReleaseKeeper : public QObject {
    Q_OBJECT
public:
    explicit ResultReleaseKeeper(Competition& competition, QObject* parent = nullptr);

    using Note = std::function<void(const QString& name, const QString& remark)>;
    void setJournal(Note note) { m_note = std::move(note); }
    // The backup carries the release from now on; a change of it is written at once.
    void setBackup(BackupWriter* backup);

    // The release a backup or a protocol file carried behind its table (see ReleaseSection),
    // for the table as it has just been loaded: a class whose rows differ is preliminary.
    void restore(const QByteArray& trailer);
    // What the last restore found changed, for a window that was not there to hear it.
    QString restoreNotice() const { return m_restoreNotice; }
    // What a protocol file or the backup carries behind the table.
    QByteArray trailer() const;

    // Releases the classes that have results; returns those newly released.
    QStringList release(const QStringList& classes);
    QStringList releaseAll();
    // Takes the release back; returns the classes that were released.
    QStringList withdraw(const QStringList& classes);
    // A new competition starts without any release.
    void clear();

    // The classes with results that are not released.
    QStringList preliminaryClasses() const;
    // Why certificates are refused while these classes are preliminary.
    static QString certificateRefusal(const QStringList& classes);
    static QString releaseQuestion(const QStringList& classes);
    static QString withdrawQuestion(const QStringList& classes);

    static QString reopenedText(const QString& klass) {
        return QStringLiteral("Klasse ") + klass +
               QStringLiteral(" wieder vorläufig: Ergebnis geändert nach Freigabe");
    }

Q_SIGNALS:
    // What the operator should read in the status bar: a class preliminary again.
    void notice(const QString& text);

private:
    void tableChanged();
    void changed();
    // The heading the printouts of every table carry.
    void updateMarks();
    void journal(const QString& name, const QString& remark);

    Competition& m_competition;
    BackupWriter* m_backup = nullptr;
    Note m_note;
    QString m_restoreNotice;
};
