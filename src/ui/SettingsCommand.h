#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class FileDialogs;
class SettingsApplier;
class TCfgDialog;
class TFormMain;
class TvPlacement;
class WindowSettingsTarget;

// "Einstellungen..." (F2): fills the settings dialog from the running settings, shows it and
// applies what "OK" hands on; a chosen logo is taken at once, whatever the dialog ends with.
class SettingsCommand : public QObject {
    Q_OBJECT
public:
    SettingsCommand(TFormMain& window, FileDialogs& dialogs);
    ~SettingsCommand() override;

    // The dialog of the whole run, with the port list of the start; made once.
    TCfgDialog& createDialog();
    TCfgDialog* dialog() const;
    TvPlacement& tvPlacement() { return *m_tv; }
    SettingsApplier& applier() { return *m_applier; }

    // mCFGClick: fill, show modally, apply on "OK".
    void run();

private:
    void takeLogo(const QString& path);

    TFormMain& m_window;
    FileDialogs& m_dialogs;
    std::unique_ptr<WindowSettingsTarget> m_target;
    SettingsApplier* m_applier = nullptr;
    TvPlacement* m_tv = nullptr;
    QPointer<TCfgDialog> m_dialog;
};
