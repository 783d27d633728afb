#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class FileDialogs;
class SettingsApplier;
class SettingsDialog;
class MainWindow;
class TvPlacement;
class WindowSettingsTarget;

// "Einstellungen..." (F2): fills the settings dialog from the running settings, shows it and
// applies what "OK" hands on; a chosen logo is taken at once, whatever the dialog ends with.
class SettingsCommand : public QObject {
    Q_OBJECT
public:
    SettingsCommand(MainWindow& window, FileDialogs& dialogs);
    ~SettingsCommand() override;

    // The dialog of the whole run, with the port list of the start; made once.
    SettingsDialog& createDialog();
    SettingsDialog* dialog() const;
    TvPlacement& tvPlacement() { return *m_tv; }
    SettingsApplier& applier() { return *m_applier; }

    // openSettings: fill, show modally, apply on "OK".
    void run();

private:
    void takeLogo(const QString& path);

    MainWindow& m_window;
    FileDialogs& m_dialogs;
    std::unique_ptr<WindowSettingsTarget> m_target;
    SettingsApplier* m_applier = nullptr;
    TvPlacement* m_tv = nullptr;
    QPointer<SettingsDialog> m_dialog;
};
