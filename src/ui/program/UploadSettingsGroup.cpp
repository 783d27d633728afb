#include "ui/program/UploadSettingsGroup.h"

#include "publish/UploadProbe.h"
#include "session/UploadSetup.h"
#include "settings/Settings.h"
#include "widgets/FileDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

UploadSettingsGroup::UploadSettingsGroup(FileDialogs& fileDialogs, QWidget* parent)
    : QGroupBox(QStringLiteral("Webspace"), parent), m_fileDialogs(fileDialogs),
      m_probe(new UploadProbe(this)) {
    setObjectName(QStringLiteral("GroupUpload"));
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(4);
    enabledBox = new QCheckBox(QStringLiteral("Live-Seiten auf einen Webspace hochladen"), this);
    enabledBox->setObjectName(QStringLiteral("cbUpload"));
    grid->addWidget(enabledBox, 0, 0, 1, 3);

    int row = 1;
    const auto addRow = [&](const QString& label, QWidget* field, QPushButton* button = nullptr) {
        auto* caption = new QLabel(label, this);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setBuddy(field);
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row, 1, 1, button ? 1 : 2);
        m_fields << caption << field;
        if (button) {
            button->setAutoDefault(false);
            button->setMaximumWidth(button->fontMetrics().horizontalAdvance(u'M') * 3);
            grid->addWidget(button, row, 2);
            m_fields << button;
        }
        ++row;
    };
    const auto edit = [this](const char* name) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QLatin1String(name));
        return field;
    };
    const auto dots = [this](const char* name) {
        auto* button = new QPushButton(QStringLiteral("..."), this);
        button->setObjectName(QLatin1String(name));
        return button;
    };
    urlEdit = edit("edUploadUrl");
    urlEdit->setPlaceholderText(QStringLiteral("sftp://server.verein.de/~/www/live/"));
    urlEdit->setToolTip(QStringLiteral("Der Ordner auf dem Webspace: sftp://, ftps:// (FTP mit "
                                       "TLS) oder https:// (WebDAV)"));
    // Room for a whole address of the usual length.
    urlEdit->setMinimumWidth(urlEdit->fontMetrics().horizontalAdvance(u'x') * 34);
    addRow(QStringLiteral("Adresse:"), urlEdit);
    userEdit = edit("edUploadUser");
    addRow(QStringLiteral("Benutzer:"), userEdit);
    passwordEdit = edit("edUploadPassword");
    passwordEdit->setEchoMode(QLineEdit::Password);
    addRow(QStringLiteral("Passwort:"), passwordEdit);
    keyFileEdit = edit("edUploadKeyFile");
    keyFileEdit->setToolTip(QStringLiteral("SFTP: privater Schlüssel; leer: nur das Passwort"));
    keyFileButton = dots("ButtonUploadKeyFile");
    addRow(QStringLiteral("Schlüssel (SFTP):"), keyFileEdit, keyFileButton);
    knownHostsEdit = edit("edUploadKnownHosts");
    knownHostsEdit->setPlaceholderText(UploadSetup::defaultKnownHosts());
    knownHostsEdit->setToolTip(
        QStringLiteral("SFTP: die bekannten Host-Schlüssel; ein unbekannter Server wird "
                       "abgelehnt"));
    knownHostsButton = dots("ButtonUploadKnownHosts");
    addRow(QStringLiteral("known_hosts:"), knownHostsEdit, knownHostsButton);
    caFileEdit = edit("edUploadCaFile");
    caFileEdit->setToolTip(QStringLiteral("Leer: die Zertifikate des Systems"));
    caFileButton = dots("ButtonUploadCaFile");
    addRow(QStringLiteral("CA-Datei:"), caFileEdit, caFileButton);
    intervalEdit = new QSpinBox(this);
    intervalEdit->setObjectName(QStringLiteral("seUploadInterval"));
    intervalEdit->setRange(1, 300);
    intervalEdit->setSuffix(QStringLiteral(" s"));
    intervalEdit->setToolTip(QStringLiteral("Höchstens ein Hochladen in diesem Abstand"));
    addRow(QStringLiteral("Abstand:"), intervalEdit);

    testButton = new QPushButton(QStringLiteral("Verbindung testen"), this);
    testButton->setObjectName(QStringLiteral("ButtonUploadTest"));
    testButton->setAutoDefault(false);
    testResult = new QLabel(this);
    testResult->setObjectName(QStringLiteral("lbUploadTest"));
    testResult->setWordWrap(true);
    testResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(testButton);
    testRow->addWidget(testResult, 1);
    grid->addLayout(testRow, row, 0, 1, 3);
    m_fields << testButton;
    grid->setColumnStretch(1, 1);

    connect(enabledBox, &QCheckBox::toggled, this, &UploadSettingsGroup::enableFields);
    connect(keyFileButton, &QPushButton::clicked, this,
            [this] { choose(keyFileEdit, {QStringLiteral("Alle Dateien (*)")}); });
    connect(knownHostsButton, &QPushButton::clicked, this,
            [this] { choose(knownHostsEdit, {QStringLiteral("Alle Dateien (*)")}); });
    connect(caFileButton, &QPushButton::clicked, this, [this] {
        choose(caFileEdit,
               {QStringLiteral("Zertifikate (*.pem *.crt)"), QStringLiteral("Alle Dateien (*)")});
    });
    connect(testButton, &QPushButton::clicked, this, &UploadSettingsGroup::testConnection);
    connect(m_probe, &UploadProbe::finished, this, &UploadSettingsGroup::tested);
    fill(Settings{});
}

void UploadSettingsGroup::enableFields() {
    for (QWidget* field : std::as_const(m_fields))
        field->setEnabled(enabledBox->isChecked());
    if (m_probe->isRunning())
        testButton->setEnabled(false);
}

void UploadSettingsGroup::fill(const Settings& settings) {
    enabledBox->setChecked(settings.uploadEnabled);
    urlEdit->setText(settings.uploadUrl);
    userEdit->setText(settings.uploadUser);
    passwordEdit->setText(settings.uploadPassword);
    keyFileEdit->setText(settings.uploadKeyFile);
    knownHostsEdit->setText(settings.uploadKnownHosts);
    caFileEdit->setText(settings.uploadCaFile);
    intervalEdit->setValue(settings.uploadInterval);
    testResult->clear();
    enableFields();
}

void UploadSettingsGroup::readInto(Settings& settings) const {
    settings.uploadEnabled = enabledBox->isChecked();
    settings.uploadUrl = urlEdit->text().trimmed();
    settings.uploadUser = userEdit->text();
    settings.uploadPassword = passwordEdit->text();
    settings.uploadKeyFile = keyFileEdit->text().trimmed();
    settings.uploadKnownHosts = knownHostsEdit->text().trimmed();
    settings.uploadCaFile = caFileEdit->text().trimmed();
    settings.uploadInterval = intervalEdit->value();
}

UploadTarget UploadSettingsGroup::target() const {
    Settings typed;
    readInto(typed);
    return UploadSetup::target(typed);
}

void UploadSettingsGroup::choose(QLineEdit* edit, const QStringList& filters) {
    FileDialogs::Request request;
    request.filters = filters;
    request.fileName = edit->text();
    if (const auto choice = m_fileDialogs.openFile(this, request))
        edit->setText(choice->fileName);
}

void UploadSettingsGroup::testConnection() {
    const UploadTarget target = this->target();
    if (target.url.isEmpty()) {
        testResult->setText(QStringLiteral("Erst eine Adresse eintragen"));
        return;
    }
    testResult->setStyleSheet(QString());
    testResult->setText(QStringLiteral("Teste %1 ...").arg(target.url));
    testButton->setEnabled(false);
    m_probe->test(target);
}

void UploadSettingsGroup::tested(const QString& text, bool ok) {
    testResult->setStyleSheet(ok ? QString() : QStringLiteral("color: #b00000"));
    testResult->setText(text);
    testButton->setEnabled(enabledBox->isChecked());
}
