#pragma once

#include "settings/SettingsChoices.h"

#include <QDialog>
#include <QSize>
#include <QStringList>
#include <memory>

class BackupLineRows;
class ContactLogicBox;
class FileDialogs;
class MqttSettingsPage;
class QCheckBox;
class QTabWidget;
class TimerSettingsPage;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class DecimalSpinBox;
struct Settings;

// "Einstellungen": the settings an operator changes during an event, the light-barrier port
// and its contact logic, the countdown, the stop lock, the last section, the TV screen, the
// logo and the time format; beside them, "Veröffentlichen", the MQTT broker. Created once with the
// port list of the start and shown again and again; it edits copies, and only "OK" hands its
// choices on.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize DesignedSize{184, 223};
    static constexpr int DesignedLabelRight = 77;
    static constexpr QRgb Background = 0xACCBE0;

    // The port list is the one of the start and does not change while the program runs.
    SettingsDialog(const QStringList& portEntries, QChar decimalSeparator, FileDialogs& fileDialogs,
                   QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // The filling before every showing: the fields from the settings as they are now.
    void fill(const Settings& settings);
    // What "OK" hands on.
    SettingsChoices choices() const;

    // "Kontakten:" and "Stopp-Sperren:" are for a chosen port only.
    void portChosen();
    // The picture chooser; a chosen picture is taken at once.
    void chooseLogo();

    QComboBox* portBox = nullptr;
    ContactLogicBox* contactLogicBox = nullptr;
    DecimalSpinBox* lockTimeEdit = nullptr;
    DecimalSpinBox* waitEdit = nullptr;
    DecimalSpinBox* countdownEdit = nullptr;
    DecimalSpinBox* maxRunEdit = nullptr;             // "Max. Laufzeit:", 0 = no warning
    QCheckBox* certificatesAfterReleaseBox = nullptr; // "Urkunden erst nach Freigabe"
    QComboBox* monitorBox = nullptr;
    QLabel* monitorLabel = nullptr;
    QLabel* contactLogicLabel = nullptr;
    QLabel* waitLabel = nullptr;
    QPushButton* logoButton = nullptr;
    QRadioButton* hundredthsNotation = nullptr;
    QRadioButton* decimalNotation = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* okButton = nullptr;
    BackupLineRows* backupRows = nullptr;
    MqttSettingsPage* publishPage = nullptr;
    TimerSettingsPage* timerPage = nullptr;
    QTabWidget* pageTabs = nullptr;

Q_SIGNALS:
    // A picture was chosen: its path when it could be read, empty when it could not.
    void logoChosen(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildRows();
    void placeWhenShown();
    void fillScreens();
    void fitSize();

    FileDialogs& m_fileDialogs;
    QChar m_separator;
    QString m_logoPath;
    int m_lockTimeMs = 5000;
    int m_screenIndex = 0;
};
