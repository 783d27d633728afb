#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class Competition;

// Keeps the substitute marks beside the backup file, so they outlive a restart as the times
// do: the companion file follows every change of the marks and of the heat start list (an
// undone substitute is no longer one), and is rewritten only when what it holds would change.
class SubstituteMarksBackup : public QObject {
    Q_OBJECT
public:
    SubstituteMarksBackup(Competition& competition, const QString& backupPath,
                          QObject* parent = nullptr);

    QString path() const { return m_path; }
    // Reads the marks kept beside the backup that was read from backupReadPath into the
    // competition; what the operator must be told about the file, empty when nothing.
    QString load(const QString& backupReadPath);
    // Writes the file unless it already holds the marks; true when it does.
    bool sync();

Q_SIGNALS:
    // The file could not be written: the message and the system's reason.
    void writeFailed(const QString& message, const QString& reason);

private:
    Competition& m_competition;
    QString m_path;
    // What the file holds, as far as known.
    std::optional<QByteArray> m_written;
};
