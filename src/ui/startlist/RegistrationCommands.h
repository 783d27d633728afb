#pragma once

#include "output/registration/ImportMemory.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

class Competition;
class FileDialogs;
class ProgramEnvironment;
class QWidget;
class StageDerivation;

// "Teilnehmer importieren..." and "Nachmeldung...": the file dialog, the registration list read
// (a refused file says why), the mapping or the late entry form, and then the change of the
// heat start list, made in one place so that the backup and the journal take it as one change.
class RegistrationCommands {
public:
    struct Hooks {
        // A run is being timed or its time waits for entry. An added row is then not selected,
        // so that the time still goes to the competitor who slid.
        std::function<bool()> runUnderway;
        // Asked before the heat start list becomes these data rows (an import or a late
        // entry); false keeps it: an open run's competitor would be gone and the operator did
        // not let the run go.
        std::function<bool(const QList<QStringList>& rows)> admits;
        // After the heat start list changed and the stages were derived again.
        std::function<void()> changed;
    };

    RegistrationCommands(Competition& competition, StageDerivation& derivation,
                         const ProgramEnvironment& environment,
                         std::shared_ptr<FileDialogs> fileDialogs, QWidget* window, Hooks hooks);
    ~RegistrationCommands();
    RegistrationCommands(const RegistrationCommands&) = delete;
    RegistrationCommands& operator=(const RegistrationCommands&) = delete;

    // The settings value that keeps the mapping for the next import.
    static QString memoryKey() { return QStringLiteral("Import"); }
    static QStringList fileFilters();

    void importFile();
    void lateEntry();

    // Every change these commands make to the heat start list: exactly these data rows, the
    // given row selected (unless a run is underway). One reset of the table, so one backup
    // write and one journal catch-up; the place an undo step wraps.
    bool admitted(const QList<QStringList>& rows) const;
    void writeHeatStartList(const QList<QStringList>& rows, int selectRow);

private:
    FileDialogs& dialogs();
    ImportMemory memory() const;
    void remember(const ImportMemory& memory) const;
    void refuse(const QString& message);

    Competition& m_competition;
    StageDerivation& m_derivation;
    const ProgramEnvironment& m_environment;
    // Unset: the desktop's, made on first use.
    std::shared_ptr<FileDialogs> m_fileDialogs;
    QWidget* m_window;
    Hooks m_hooks;
    std::unique_ptr<FileDialogs> m_ownDialogs;
};
