#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One program per backup file. Two programs writing one backup lose results: the one ended
// last writes its own old list over what the other entered. The first start holds a lock beside
// the backup and listens under a name made from the backup's path; a later start with the same
// backup finds the lock held and calls the running program to the front instead of opening a
// second one. A lock left behind by a program that died is taken over.
class BackupInstanceLock : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        Taken,     // this program has the backup
        Held,      // a running program has it
        Unguarded, // no lock could be made there (a folder that takes no files): go on without
    };

    explicit BackupInstanceLock(const QString& backupPath, QObject* parent = nullptr);
    ~BackupInstanceLock() override;

    // Tries once, without waiting. Taken: later starts can call this program from now on.
    Claim claim();
    // Asks the program holding the backup to come to the front; false when it cannot be reached.
    bool callHolder(int timeoutMs = 3000);

    static QString lockPath(const QString& backupPath);
    // The same for every spelling of the backup's path, and short enough for a socket.
    static QString serverName(const QString& backupPath);

Q_SIGNALS:
    // A later start with the same backup asked for this program.
    void called();

private:
    void listen();
    void answer(QLocalSocket* socket);

    QString m_backupPath;
    QLockFile m_lock;
    QLocalServer* m_server = nullptr;
};
