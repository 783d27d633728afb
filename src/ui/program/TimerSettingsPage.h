#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
struct Settings;

// "Zeitmessgerät" in the settings dialog: the professional timer's port, rate, line format and
// which of its channels start, split, stop and give System B, how far its clock may drift; and
// the scoreboard's port, rate and protocol with a "Test". Edits copies; "OK" takes them.
class TimerSettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit TimerSettingsPage(QWidget* parent = nullptr);

    static QString caption() { return QStringLiteral("Zeitmessgerät"); }
    static QString noDevice() { return QStringLiteral("(keins)"); }

    // The serial devices present, by their lasting names where they have one; before fill().
    void setDevices(const QStringList& devices);
    void fill(const Settings& settings);
    void readInto(Settings& settings) const;
    // What "Test" did, as the board's session answered.
    void showTestResult(const QString& text);

    QComboBox* timerDeviceBox = nullptr;
    QComboBox* timerBaudBox = nullptr;
    QComboBox* formatBox = nullptr;
    QLineEdit* startEdit = nullptr;
    QLineEdit* splitEdit = nullptr;
    QLineEdit* stopEdit = nullptr;
    QLineEdit* backupEdit = nullptr;
    QSpinBox* driftEdit = nullptr;
    QLabel* sampleLabel = nullptr;
    QComboBox* boardDeviceBox = nullptr;
    QComboBox* boardBaudBox = nullptr;
    QComboBox* protocolBox = nullptr;
    QPushButton* testButton = nullptr;
    QLabel* testResult = nullptr;

Q_SIGNALS:
    // "Test" with the board as chosen now (device, rate, protocol id).
    void testRequested(const QString& device, int baudRate, const QString& protocol);

private:
    void formatChosen();
    void enableFields();
    static QString deviceOf(const QComboBox* box);
    static void setDevice(QComboBox* box, const QString& device);
    static void setBaud(QComboBox* box, int baud);

    QList<QWidget*> m_timerFields;
    QList<QWidget*> m_boardFields;
};
