#pragma once

#include <QObject>

class QCheckBox;
class QGridLayout;
class QLabel;
class QWidget;
class DecimalSpinBox;
struct Settings;
struct SettingsChoices;

// The settings dialog's rows for System B and the stuck-line limit: the backup stop contact on
// RI on or off, its lock after each start, and how long a barrier line may stay active before
// it is told. Like the contact logic they need a chosen port.
class BackupLineRows : public QObject {
    Q_OBJECT
public:
    // Adds its three rows to the dialog's grid from this row on.
    BackupLineRows(QGridLayout& grid, int firstRow, QChar decimalSeparator, QWidget* dialog);

    void fill(const Settings& settings);
    void readInto(SettingsChoices& choices) const;
    void setPortChosen(bool chosen, const QString& needsPortHint);

    // How System B is wired, for the operator at the connector.
    static QString wiringHint() {
        return QStringLiteral("LS-Stopp B oder Handtaster: RI (9) an DTR (4)");
    }

    QCheckBox* cbBackup = nullptr;
    DecimalSpinBox* seBackupLock = nullptr;
    DecimalSpinBox* seStuckLimit = nullptr;

private:
    void updateEnabled();

    QLabel* m_backupLabel = nullptr;
    QLabel* m_lockLabel = nullptr;
    QLabel* m_stuckLabel = nullptr;
    bool m_portChosen = false;
};
