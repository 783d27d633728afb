#pragma once

#include "publish/UploadTarget.h"

#include <QGroupBox>

class FileDialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class UploadProbe;
struct Settings;

// "Webspace" beside the MQTT broker in "Veröffentlichen": the web host the live pages are
// uploaded to, and a test that puts a small file there and removes it again. TLS certificates
// and host keys are always checked; there is no switch to skip that. Edits copies; the dialog's
// "OK" takes them.
class UploadSettingsGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit UploadSettingsGroup(FileDialogs& fileDialogs, QWidget* parent = nullptr);

    void fill(const Settings& settings);
    void readInto(Settings& settings) const;
    // The values as typed, as the uploader would take them.
    UploadTarget target() const;

    QCheckBox* enabledBox = nullptr;
    QLineEdit* urlEdit = nullptr;
    QLineEdit* userEdit = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QLineEdit* keyFileEdit = nullptr;
    QPushButton* keyFileButton = nullptr;
    QLineEdit* knownHostsEdit = nullptr;
    QPushButton* knownHostsButton = nullptr;
    QLineEdit* caFileEdit = nullptr;
    QPushButton* caFileButton = nullptr;
    QSpinBox* intervalEdit = nullptr;
    QPushButton* testButton = nullptr;
    QLabel* testResult = nullptr;

private:
    void enableFields();
    void choose(QLineEdit* edit, const QStringList& filters);
    void testConnection();
    void tested(const QString& text, bool ok);

    FileDialogs& m_fileDialogs;
    UploadProbe* m_probe = nullptr;
    QList<QWidget*> m_fields;
};
