#include "ui/program/BackupLineRows.h"

#include "settings/Settings.h"
#include "settings/SettingsChoices.h"
#include "widgets/DecimalSpinBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace {

QLabel* rowLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

DecimalSpinBox* secondsEdit(QChar separator, double min, QWidget* parent) {
    auto* edit = new DecimalSpinBox(separator, parent);
    edit->setDigits(1);
    edit->setMax(600);
    edit->setMin(min);
    edit->setStep(0.1);
    return edit;
}

} // namespace

BackupLineRows::BackupLineRows(QGridLayout& grid, int firstRow, QChar separator, QWidget* dialog)
    : QObject(dialog) {
    cbBackup = new QCheckBox(QStringLiteral("Ein"), dialog);
    cbBackup->setObjectName(QStringLiteral("cbBackup"));
    m_backupLabel = rowLabel(QStringLiteral("System B:"), dialog);
    grid.addWidget(m_backupLabel, firstRow, 0);
    grid.addWidget(cbBackup, firstRow, 1, 1, 2);
    connect(cbBackup, &QCheckBox::toggled, this, &BackupLineRows::updateEnabled);

    seBackupLock = secondsEdit(separator, 0.1, dialog);
    seBackupLock->setObjectName(QStringLiteral("seBackupLock"));
    m_lockLabel = rowLabel(QStringLiteral("Sperre B:"), dialog);
    grid.addWidget(m_lockLabel, firstRow + 1, 0);
    grid.addWidget(seBackupLock, firstRow + 1, 1);
    grid.addWidget(new QLabel(QStringLiteral("Sek."), dialog), firstRow + 1, 2);

    seStuckLimit = secondsEdit(separator, 0.5, dialog);
    seStuckLimit->setObjectName(QStringLiteral("seStuckLimit"));
    seStuckLimit->setToolTip(QStringLiteral(
        "Eine Lichtschranke, die länger ausgelöst bleibt, wird in der Statusleiste gemeldet"));
    m_stuckLabel = rowLabel(QStringLiteral("Dauer-aktiv:"), dialog);
    grid.addWidget(m_stuckLabel, firstRow + 2, 0);
    grid.addWidget(seStuckLimit, firstRow + 2, 1);
    grid.addWidget(new QLabel(QStringLiteral("Sek."), dialog), firstRow + 2, 2);
}

void BackupLineRows::fill(const Settings& settings) {
    cbBackup->setChecked(settings.backupLine);
    seBackupLock->setValue(settings.backupLockTime / 1000.0);
    seStuckLimit->setValue(settings.stuckLimit / 1000.0);
    updateEnabled();
}

void BackupLineRows::readInto(SettingsChoices& choices) const {
    choices.backupLine = cbBackup->isChecked();
    choices.backupLockSeconds = seBackupLock->value();
    choices.stuckLimitSeconds = seStuckLimit->value();
}

void BackupLineRows::setPortChosen(bool chosen, const QString& needsPortHint) {
    m_portChosen = chosen;
    cbBackup->setToolTip(chosen ? wiringHint() : needsPortHint);
    seBackupLock->setToolTip(chosen ? QString() : needsPortHint);
    updateEnabled();
}

void BackupLineRows::updateEnabled() {
    cbBackup->setEnabled(m_portChosen);
    m_backupLabel->setEnabled(m_portChosen);
    seStuckLimit->setEnabled(m_portChosen);
    m_stuckLabel->setEnabled(m_portChosen);
    // The lock means something only with System B on.
    const bool lock = m_portChosen && cbBackup->isChecked();
    seBackupLock->setEnabled(lock);
    m_lockLabel->setEnabled(lock);
}
