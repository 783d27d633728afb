#pragma once

#include "publish/MqttConnection.h"

#include <QWidget>

class FileDialogs;
class MqttProbe;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class UploadSettingsGroup;
struct Settings;

// "Veröffentlichen" in the settings dialog: the MQTT broker the race is sent to, and a test
// of the connection with the values as typed; beside it on a tab of its own the web host the
// live pages are uploaded to. Edits copies; the dialog's "OK" takes them.
class MqttSettingsPage : public QWidget {
    Q_OBJECT
public:
    MqttSettingsPage(FileDialogs& fileDialogs, QWidget* parent = nullptr);

    static QString caption() { return QStringLiteral("Veröffentlichen"); }

    void fill(const Settings& settings);
    void readInto(Settings& settings) const;
    // The values as typed, as the publisher would take them.
    MqttConnection connection() const;

    QGroupBox* brokerGroup = nullptr;
    QCheckBox* enabledBox = nullptr;
    QLineEdit* hostEdit = nullptr;
    QSpinBox* portEdit = nullptr;
    QLineEdit* userEdit = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QCheckBox* tlsBox = nullptr;
    QLineEdit* caFileEdit = nullptr;
    QPushButton* caFileButton = nullptr;
    QLineEdit* prefixEdit = nullptr;
    QLineEdit* clientIdEdit = nullptr;
    // Where the uploaded pages read the broker over websockets; empty: they poll the host.
    QLineEdit* readerUrlEdit = nullptr;
    QPushButton* testButton = nullptr;
    QLabel* testResult = nullptr;
    QTabWidget* tabs = nullptr;
    UploadSettingsGroup* uploadGroup = nullptr;

private:
    void enableFields();
    void chooseCaFile();
    void testConnection();
    void tested(const QString& text);

    FileDialogs& m_fileDialogs;
    MqttProbe* m_probe = nullptr;
    QList<QWidget*> m_fields;
    QString m_defaultPrefix;
};
