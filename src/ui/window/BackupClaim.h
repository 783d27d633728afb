#pragma once

#include <QString>
#include <functional>

class BackupInstanceLock;
class QWidget;

// Start-up's claim on the backup file as the operator meets it: a second start with the same
// backup says so and brings the running program to the front instead of opening a second one.
class BackupClaim {
public:
    using Tell = std::function<void(const QString& message)>;

    static QString heldMessage() {
        return QStringLiteral("Velmora läuft bereits mit dieser Sicherungsdatei");
    }

    // True: this program goes on (with the backup its own, or unguarded where no lock can be
    // made). False: a running program has the backup; the operator has been told and that
    // program called to the front.
    static bool claim(BackupInstanceLock& lock, const Tell& tell);
    // An information box with the program's title as caption, naming the backup file.
    static Tell messageBox(const QString& programTitle, const QString& backupPath);
    // From now on a later start brings the window to the front.
    static void bringToFrontOnCall(BackupInstanceLock& lock, QWidget& window);
    static void bringToFront(QWidget& window);
};
