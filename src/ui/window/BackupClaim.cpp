#include "ui/window/BackupClaim.h"

#include "platform/BackupInstanceLock.h"

#include <QDir>
#include <QMessageBox>
#include <QWidget>

bool BackupClaim::claim(BackupInstanceLock& lock, const Tell& tell) {
    if (lock.claim() != BackupInstanceLock::Claim::Held)
        return true;
    tell(heldMessage());
    // After the message, so the running program is the one left with the keyboard.
    lock.callHolder();
    return false;
}

BackupClaim::Tell BackupClaim::messageBox(const QString& programTitle, const QString& backupPath) {
    return [programTitle, backupPath](const QString& message) {
        QMessageBox box(QMessageBox::Information, programTitle, message, QMessageBox::Ok);
        box.setInformativeText(QDir::toNativeSeparators(backupPath));
        box.exec();
    };
}

void BackupClaim::bringToFrontOnCall(BackupInstanceLock& lock, QWidget& window) {
    QObject::connect(&lock, &BackupInstanceLock::called, &window,
                     [&window] { bringToFront(window); });
}

void BackupClaim::bringToFront(QWidget& window) {
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    window.raise();
    window.activateWindow();
}
