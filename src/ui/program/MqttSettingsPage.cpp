#include "ui/program/MqttSettingsPage.h"

#include "publish/MqttProbe.h"
#include "settings/Settings.h"
#include "ui/program/UploadSettingsGroup.h"
#include "widgets/FileDialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLabel* rowLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

MqttSettingsPage::MqttSettingsPage(FileDialogs& fileDialogs, QWidget* parent)
    : QWidget(parent), m_fileDialogs(fileDialogs), m_probe(new MqttProbe(this)),
      m_defaultPrefix(Settings{}.mqttPrefix) {
    setObjectName(QStringLiteral("PagePublish"));
    brokerGroup = new QGroupBox(QStringLiteral("MQTT-Broker"), this);
    auto* grid = new QGridLayout(brokerGroup);
    grid->setVerticalSpacing(4);
    enabledBox = new QCheckBox(QStringLiteral("Ergebnisse an einen MQTT-Broker senden"), this);
    enabledBox->setObjectName(QStringLiteral("cbMqtt"));
    grid->addWidget(enabledBox, 0, 0, 1, 3);

    const auto addRow = [&](int row, const QString& label, QWidget* field) {
        QLabel* caption = rowLabel(label, brokerGroup);
        caption->setBuddy(field);
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row, 1);
        m_fields << caption << field;
    };
    hostEdit = new QLineEdit(brokerGroup);
    hostEdit->setObjectName(QStringLiteral("edMqttHost"));
    addRow(1, QStringLiteral("Server:"), hostEdit);
    portEdit = new QSpinBox(brokerGroup);
    portEdit->setObjectName(QStringLiteral("seMqttPort"));
    portEdit->setRange(1, 65535);
    portEdit->setValue(1883);
    addRow(2, QStringLiteral("Port:"), portEdit);
    userEdit = new QLineEdit(brokerGroup);
    userEdit->setObjectName(QStringLiteral("edMqttUser"));
    addRow(3, QStringLiteral("Benutzer:"), userEdit);
    passwordEdit = new QLineEdit(brokerGroup);
    passwordEdit->setObjectName(QStringLiteral("edMqttPassword"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    addRow(4, QStringLiteral("Passwort:"), passwordEdit);
    tlsBox = new QCheckBox(QStringLiteral("TLS verwenden"), brokerGroup);
    tlsBox->setObjectName(QStringLiteral("cbMqttTls"));
    grid->addWidget(tlsBox, 5, 1);
    m_fields << tlsBox;
    caFileEdit = new QLineEdit(brokerGroup);
    caFileEdit->setObjectName(QStringLiteral("edMqttCaFile"));
    caFileEdit->setToolTip(QStringLiteral("Leer: die Zertifikate des Systems"));
    addRow(6, QStringLiteral("CA-Datei:"), caFileEdit);
    caFileButton = new QPushButton(QStringLiteral("..."), brokerGroup);
    caFileButton->setObjectName(QStringLiteral("ButtonMqttCaFile"));
    caFileButton->setAutoDefault(false);
    caFileButton->setMaximumWidth(caFileButton->fontMetrics().horizontalAdvance(u'M') * 3);
    grid->addWidget(caFileButton, 6, 2);
    m_fields << caFileButton;
    prefixEdit = new QLineEdit(brokerGroup);
    prefixEdit->setObjectName(QStringLiteral("edMqttPrefix"));
    addRow(7, QStringLiteral("Themen-Präfix:"), prefixEdit);
    clientIdEdit = new QLineEdit(brokerGroup);
    clientIdEdit->setObjectName(QStringLiteral("edMqttClientId"));
    clientIdEdit->setToolTip(QStringLiteral("Leer: ein Name, den die Bibliothek wählt"));
    addRow(8, QStringLiteral("Client-ID:"), clientIdEdit);
    readerUrlEdit = new QLineEdit(brokerGroup);
    readerUrlEdit->setObjectName(QStringLiteral("edMqttReaderUrl"));
    readerUrlEdit->setPlaceholderText(QStringLiteral("wss://broker.verein.de:8081/mqtt"));
    readerUrlEdit->setToolTip(QStringLiteral("Für die hochgeladenen Seiten: der Broker über "
                                             "WebSockets; leer: sie lesen state.json"));
    addRow(9, QStringLiteral("Leser-Adresse:"), readerUrlEdit);

    testButton = new QPushButton(QStringLiteral("Verbindung testen"), brokerGroup);
    testButton->setObjectName(QStringLiteral("ButtonMqttTest"));
    testButton->setAutoDefault(false);
    testResult = new QLabel(brokerGroup);
    testResult->setObjectName(QStringLiteral("lbMqttTest"));
    testResult->setWordWrap(true);
    testResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(testButton);
    testRow->addWidget(testResult, 1);
    grid->addLayout(testRow, 10, 0, 1, 3);
    m_fields << testButton;
    grid->setColumnStretch(1, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    uploadGroup = new UploadSettingsGroup(fileDialogs, this);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("TabsPublish"));
    tabs->addTab(brokerGroup, QStringLiteral("MQTT"));
    tabs->addTab(uploadGroup, QStringLiteral("Webspace"));
    outer->addWidget(tabs);
    outer->addStretch(1);

    connect(enabledBox, &QCheckBox::toggled, this, &MqttSettingsPage::enableFields);
    connect(caFileButton, &QPushButton::clicked, this, &MqttSettingsPage::chooseCaFile);
    connect(testButton, &QPushButton::clicked, this, &MqttSettingsPage::testConnection);
    connect(m_probe, &MqttProbe::finished, this, &MqttSettingsPage::tested);
    enableFields();
}

void MqttSettingsPage::enableFields() {
    for (QWidget* field : std::as_const(m_fields))
        field->setEnabled(enabledBox->isChecked());
    if (m_probe->isRunning())
        testButton->setEnabled(false);
}

void MqttSettingsPage::fill(const Settings& settings) {
    enabledBox->setChecked(settings.mqttEnabled);
    hostEdit->setText(settings.mqttHost);
    portEdit->setValue(settings.mqttPort);
    userEdit->setText(settings.mqttUser);
    passwordEdit->setText(settings.mqttPassword);
    tlsBox->setChecked(settings.mqttTls);
    caFileEdit->setText(settings.mqttCaFile);
    prefixEdit->setText(settings.mqttPrefix);
    clientIdEdit->setText(settings.mqttClientId);
    readerUrlEdit->setText(settings.mqttReaderUrl);
    uploadGroup->fill(settings);
    testResult->clear();
    enableFields();
}

MqttConnection MqttSettingsPage::connection() const {
    MqttConnection c;
    c.host = hostEdit->text().trimmed();
    c.port = portEdit->value();
    c.user = userEdit->text();
    c.password = passwordEdit->text();
    c.tls = tlsBox->isChecked();
    c.caFile = caFileEdit->text().trimmed();
    c.clientId = clientIdEdit->text().trimmed();
    // Every topic needs a prefix; an emptied field means the usual one.
    const QString prefix = prefixEdit->text().trimmed();
    c.prefix = prefix.isEmpty() ? m_defaultPrefix : prefix;
    return c;
}

void MqttSettingsPage::readInto(Settings& settings) const {
    const MqttConnection c = connection();
    settings.mqttEnabled = enabledBox->isChecked();
    settings.mqttHost = c.host;
    settings.mqttPort = c.port;
    settings.mqttUser = c.user;
    settings.mqttPassword = c.password;
    settings.mqttTls = c.tls;
    settings.mqttCaFile = c.caFile;
    settings.mqttClientId = c.clientId;
    settings.mqttPrefix = c.prefix;
    settings.mqttReaderUrl = readerUrlEdit->text().trimmed();
    uploadGroup->readInto(settings);
}

void MqttSettingsPage::chooseCaFile() {
    FileDialogs::Request request;
    request.filters = {QStringLiteral("Zertifikate (*.pem *.crt)"),
                       QStringLiteral("Alle Dateien (*)")};
    request.fileName = caFileEdit->text();
    if (const auto choice = m_fileDialogs.openFile(this, request))
        caFileEdit->setText(choice->fileName);
}

void MqttSettingsPage::testConnection() {
    const MqttConnection c = connection();
    if (c.host.isEmpty()) {
        testResult->setText(QStringLiteral("Erst einen Server eintragen"));
        return;
    }
    testResult->setText(QStringLiteral("Teste %1:%2 ...").arg(c.host).arg(c.port));
    testButton->setEnabled(false);
    m_probe->test(c);
}

void MqttSettingsPage::tested(const QString& text) {
    testResult->setText(text);
    testButton->setEnabled(enabledBox->isChecked());
}
