#include "ui/program/TimerSettingsPage.h"

#include "settings/Settings.h"
#include "timing/ScoreboardFrames.h"
#include "timing/TimerLineProfile.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QList<int> Rates{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

QComboBox* deviceBox(const QString& name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    // A device not plugged in now, or a pty, can be typed.
    box->setEditable(true);
    box->addItem(TimerSettingsPage::noDevice());
    box->setToolTip(QStringLiteral("Am besten den Namen unter /dev/serial/by-id: er folgt dem "
                                   "Adapter, wenn er an eine andere Buchse kommt"));
    return box;
}

QComboBox* baudBox(const QString& name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (int rate : Rates)
        box->addItem(QString::number(rate), rate);
    return box;
}

QLineEdit* channelEdit(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(4);
    edit->setToolTip(QStringLiteral("Kanal wie ihn das Gerät sendet, leer = keiner"));
    return edit;
}

} // namespace

TimerSettingsPage::TimerSettingsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PageTimer"));
    auto* timerGroup = new QGroupBox(QStringLiteral("Zeitmessgerät (seriell)"), this);
    auto* form = new QFormLayout(timerGroup);
    form->setVerticalSpacing(4);
    timerDeviceBox = deviceBox(QStringLiteral("cbTimerDevice"), timerGroup);
    form->addRow(QStringLiteral("Anschluss:"), timerDeviceBox);
    timerBaudBox = baudBox(QStringLiteral("cbTimerBaud"), timerGroup);
    form->addRow(QStringLiteral("Baud:"), timerBaudBox);
    formatBox = new QComboBox(timerGroup);
    formatBox->setObjectName(QStringLiteral("cbTimerFormat"));
    for (const TimerLineProfile& profile : TimerLineProfile::builtIn())
        formatBox->addItem(profile.name, profile.id);
    form->addRow(QStringLiteral("Zeilenformat:"), formatBox);
    sampleLabel = new QLabel(timerGroup);
    sampleLabel->setObjectName(QStringLiteral("lbTimerSample"));
    sampleLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QStringLiteral("Beispiel:"), sampleLabel);
    auto* channels = new QHBoxLayout;
    startEdit = channelEdit(QStringLiteral("edTimerStart"), timerGroup);
    splitEdit = channelEdit(QStringLiteral("edTimerSplit"), timerGroup);
    stopEdit = channelEdit(QStringLiteral("edTimerStop"), timerGroup);
    backupEdit = channelEdit(QStringLiteral("edTimerB"), timerGroup);
    for (auto [label, edit] : {std::pair{"Start", startEdit}, std::pair{"Zwischen", splitEdit},
                               std::pair{"Stopp", stopEdit}, std::pair{"System B", backupEdit}}) {
        channels->addWidget(new QLabel(QString::fromUtf8(label), timerGroup));
        channels->addWidget(edit);
    }
    form->addRow(QStringLiteral("Kanäle:"), channels);
    driftEdit = new QSpinBox(timerGroup);
    driftEdit->setObjectName(QStringLiteral("seTimerDrift"));
    driftEdit->setRange(1, 60000);
    driftEdit->setSuffix(QStringLiteral(" ms"));
    driftEdit->setToolTip(QStringLiteral("Weicht die Uhr des Geräts mehr ab als die PC-Uhr, "
                                         "meldet es die Statuszeile"));
    form->addRow(QStringLiteral("Max. Abweichung:"), driftEdit);
    m_timerFields = {timerBaudBox, formatBox,  startEdit, splitEdit,
                     stopEdit,     backupEdit, driftEdit};

    auto* boardGroup = new QGroupBox(QStringLiteral("Anzeigetafel (seriell)"), this);
    auto* boardForm = new QFormLayout(boardGroup);
    boardForm->setVerticalSpacing(4);
    boardDeviceBox = deviceBox(QStringLiteral("cbBoardDevice"), boardGroup);
    boardForm->addRow(QStringLiteral("Anschluss:"), boardDeviceBox);
    boardBaudBox = baudBox(QStringLiteral("cbBoardBaud"), boardGroup);
    boardForm->addRow(QStringLiteral("Baud:"), boardBaudBox);
    protocolBox = new QComboBox(boardGroup);
    protocolBox->setObjectName(QStringLiteral("cbBoardProtocol"));
    protocolBox->addItem(ScoreboardFrames::protocolName(ScoreboardFrames::Protocol::Gaz),
                         QStringLiteral("gaz"));
    protocolBox->addItem(ScoreboardFrames::protocolName(ScoreboardFrames::Protocol::Unt4),
                         QStringLiteral("unt4"));
    boardForm->addRow(QStringLiteral("Protokoll:"), protocolBox);
    testButton = new QPushButton(QStringLiteral("Test"), boardGroup);
    testButton->setObjectName(QStringLiteral("ButtonBoardTest"));
    testButton->setAutoDefault(false);
    testResult = new QLabel(boardGroup);
    testResult->setObjectName(QStringLiteral("lbBoardTest"));
    testResult->setWordWrap(true);
    boardForm->addRow(testButton, testResult);
    m_boardFields = {boardBaudBox, protocolBox, testButton};

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(timerGroup);
    layout->addWidget(boardGroup);
    layout->addStretch(1);

    connect(formatBox, &QComboBox::currentIndexChanged, this, &TimerSettingsPage::formatChosen);
    connect(timerDeviceBox, &QComboBox::currentTextChanged, this, &TimerSettingsPage::enableFields);
    connect(boardDeviceBox, &QComboBox::currentTextChanged, this, &TimerSettingsPage::enableFields);
    connect(testButton, &QPushButton::clicked, this, [this] {
        testResult->clear();
        Q_EMIT testRequested(deviceOf(boardDeviceBox), boardBaudBox->currentData().toInt(),
                             protocolBox->currentData().toString());
    });
}

void TimerSettingsPage::setDevices(const QStringList& devices) {
    for (QComboBox* box : {timerDeviceBox, boardDeviceBox}) {
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItem(noDevice());
        box->addItems(devices);
    }
}

void TimerSettingsPage::fill(const Settings& settings) {
    setDevice(timerDeviceBox, settings.timerDevice);
    setBaud(timerBaudBox, settings.timerBaud);
    {
        const QSignalBlocker quiet(formatBox);
        formatBox->setCurrentIndex(qMax(0, formatBox->findData(settings.timerProfile)));
    }
    sampleLabel->setText(
        QString::fromLatin1(TimerLineProfile::builtIn().at(formatBox->currentIndex()).sample));
    startEdit->setText(settings.timerStart);
    splitEdit->setText(settings.timerSplit);
    stopEdit->setText(settings.timerStop);
    backupEdit->setText(settings.timerBackup);
    driftEdit->setValue(settings.timerDriftLimit);
    setDevice(boardDeviceBox, settings.boardDevice);
    setBaud(boardBaudBox, settings.boardBaud);
    protocolBox->setCurrentIndex(qMax(0, protocolBox->findData(settings.boardProtocol)));
    testResult->clear();
    enableFields();
}

void TimerSettingsPage::readInto(Settings& settings) const {
    settings.timerDevice = deviceOf(timerDeviceBox);
    settings.timerBaud = timerBaudBox->currentData().toInt();
    settings.timerProfile = formatBox->currentData().toString();
    settings.timerStart = startEdit->text().trimmed();
    settings.timerSplit = splitEdit->text().trimmed();
    settings.timerStop = stopEdit->text().trimmed();
    settings.timerBackup = backupEdit->text().trimmed();
    settings.timerDriftLimit = driftEdit->value();
    settings.boardDevice = deviceOf(boardDeviceBox);
    settings.boardBaud = boardBaudBox->currentData().toInt();
    settings.boardProtocol = protocolBox->currentData().toString();
}

void TimerSettingsPage::showTestResult(const QString& text) {
    testResult->setText(text);
}

void TimerSettingsPage::formatChosen() {
    // Another timer: its usual channels and rate, which the operator may change.
    const TimerLineProfile& profile = TimerLineProfile::builtIn().at(formatBox->currentIndex());
    startEdit->setText(profile.startChannel);
    splitEdit->setText(profile.splitChannel);
    stopEdit->setText(profile.stopChannel);
    backupEdit->clear();
    setBaud(timerBaudBox, profile.baudRate);
    sampleLabel->setText(QString::fromLatin1(profile.sample));
}

void TimerSettingsPage::enableFields() {
    const QString hint = QStringLiteral("Erst einen Anschluss wählen");
    const bool timer = !deviceOf(timerDeviceBox).isEmpty();
    for (QWidget* field : m_timerFields) {
        field->setEnabled(timer);
        field->setToolTip(timer ? QString() : hint);
    }
    const bool board = !deviceOf(boardDeviceBox).isEmpty();
    for (QWidget* field : m_boardFields) {
        field->setEnabled(board);
        field->setToolTip(board ? QString() : hint);
    }
}

QString TimerSettingsPage::deviceOf(const QComboBox* box) {
    const QString text = box->currentText().trimmed();
    return text == noDevice() ? QString() : text;
}

void TimerSettingsPage::setDevice(QComboBox* box, const QString& device) {
    if (device.isEmpty()) {
        box->setCurrentIndex(0);
        return;
    }
    if (box->findText(device) < 0)
        box->addItem(device);
    box->setCurrentIndex(box->findText(device));
}

void TimerSettingsPage::setBaud(QComboBox* box, int baud) {
    const int index = box->findData(baud);
    box->setCurrentIndex(index >= 0 ? index : box->findData(9600));
}
