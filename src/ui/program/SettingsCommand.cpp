#include "ui/program/SettingsCommand.h"

#include "platform/PosixSerialSystem.h"
#include "platform/SerialPortMap.h"
#include "session/RaceSession.h"
#include "session/ScoreboardSession.h"
#include "session/TimerSession.h"
#include "settings/PortListBuilder.h"
#include "settings/Settings.h"
#include "settings/SettingsApplier.h"
#include "settings/TvPlacement.h"
#include "ui/program/MqttSettingsPage.h"
#include "ui/program/SettingsDialog.h"
#include "ui/program/TimerSettingsPage.h"
#include "ui/window/MainWindow.h"
#include "ui/window/WindowSettingsTarget.h"

SettingsCommand::SettingsCommand(MainWindow& window, FileDialogs& dialogs)
    : QObject(&window), m_window(window), m_dialogs(dialogs),
      m_target(std::make_unique<WindowSettingsTarget>(window)) {
    m_tv = new TvPlacement(this);
    m_applier = new SettingsApplier(window.session().settings(), *m_target, this);
    m_applier->setTvPlacement(m_tv);
}

SettingsCommand::~SettingsCommand() = default;

SettingsDialog& SettingsCommand::createDialog() {
    if (m_dialog)
        return *m_dialog;
    const ProgramEnvironment& environment = m_window.session().environment();
    std::shared_ptr<SerialSystem> system = environment.serialSystem();
    if (!system)
        system = PosixSerialSystem::instance();
    const QStringList ports = PortListBuilder::entries(m_window.session().presentPortMask(),
                                                       SerialPortMap(*system).entries());
    m_dialog = new SettingsDialog(ports, environment.decimalSeparator(), m_dialogs, &m_window);
    connect(m_dialog, &SettingsDialog::logoChosen, this, &SettingsCommand::takeLogo);
    QStringList devices;
    const SerialPortMap map(*system);
    for (const SerialPortMap::Entry& entry : map.entries())
        devices << (entry.stableName.isEmpty()
                        ? entry.devicePath
                        : SerialPortMap::byIdDirectory() + u'/' + entry.stableName);
    m_dialog->timerPage->setDevices(devices);
    connect(m_dialog->timerPage, &TimerSettingsPage::testRequested, this,
            [this](const QString& device, int baudRate, const QString& protocol) {
                m_dialog->timerPage->showTestResult(
                    m_window.session().scoreboard().test(device, baudRate, protocol));
            });
    return *m_dialog;
}

void SettingsCommand::run() {
    SettingsDialog& dialog = createDialog();
    dialog.fill(m_window.session().settings());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_applier->apply(dialog.choices());
    dialog.publishPage->readInto(m_window.session().settings());
    m_window.session().applyMqtt();
    dialog.timerPage->readInto(m_window.session().settings());
    m_window.session().timer().apply(m_window.session().settings());
    m_window.session().scoreboard().apply(m_window.session().settings());
    m_window.session().applyUpload();
}

void SettingsCommand::takeLogo(const QString& path) {
    m_window.session().settings().logo = path;
    Q_EMIT m_tv->reloadLogo();
}

SettingsDialog* SettingsCommand::dialog() const {
    return m_dialog;
}
