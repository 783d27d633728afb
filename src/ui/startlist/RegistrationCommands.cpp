#include "ui/startlist/RegistrationCommands.h"

#include "competition/Competition.h"
#include "competition/StageDerivation.h"
#include "output/registration/HeatStartListRows.h"
#include "output/registration/RegistrationFileReader.h"
#include "output/registration/StartListImport.h"
#include "session/ProgramEnvironment.h"
#include "ui/startlist/ImportMappingDialog.h"
#include "ui/startlist/LateEntryDialog.h"
#include "widgets/QtFileDialogs.h"

#include <QMessageBox>
#include <QSettings>

namespace {

bool isEmptyRow(const QStringList& cells) {
    return std::all_of(cells.cbegin(), cells.cend(),
                       [](const QString& cell) { return cell.trimmed().isEmpty(); });
}

} // namespace

RegistrationCommands::RegistrationCommands(Competition& competition, StageDerivation& derivation,
                                           const ProgramEnvironment& environment,
                                           std::shared_ptr<FileDialogs> fileDialogs,
                                           QWidget* window, Hooks hooks)
    : m_competition(competition), m_derivation(derivation), m_environment(environment),
      m_fileDialogs(std::move(fileDialogs)), m_window(window), m_hooks(std::move(hooks)) {}

RegistrationCommands::~RegistrationCommands() = default;

QStringList RegistrationCommands::fileFilters() {
    return {QStringLiteral("Meldelisten (*.csv *.txt *.xlsx *.ods)"),
            QStringLiteral("Alle Dateien (*)")};
}

FileDialogs& RegistrationCommands::dialogs() {
    if (m_fileDialogs)
        return *m_fileDialogs;
    if (!m_ownDialogs)
        m_ownDialogs = std::make_unique<QtFileDialogs>();
    return *m_ownDialogs;
}

ImportMemory RegistrationCommands::memory() const {
    const auto settings = m_environment.openSettings();
    return ImportMemory::fromText(settings->value(memoryKey()).toString());
}

void RegistrationCommands::remember(const ImportMemory& memory) const {
    // Written at once: the settings of the window are only saved at the end, and the mapping
    // should outlive a crash as the list does.
    const auto settings = m_environment.openSettings();
    settings->setValue(memoryKey(), memory.toText());
}

void RegistrationCommands::importFile() {
    const FileDialogs::Request request{fileFilters(), 1, QString(), QString()};
    const auto choice = dialogs().openFile(m_window, request);
    if (!choice)
        return;
    const ImportReadResult read = RegistrationFileReader::readFile(choice->fileName);
    if (!read.ok()) {
        refuse(read.error);
        return;
    }
    const QList<QStringList> current = HeatStartListRows::read(m_competition.heatStartList());
    ImportMappingDialog dialog(*read.workbook, current, memory(), choice->fileName, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    remember(dialog.learnedMemory());
    const ImportMapping mapping = dialog.mapping();
    // The timing goes on while the form and the questions are open: a time entered meanwhile
    // must not be lost to the rows planned before it, so the plan is made again then.
    for (;;) {
        const QList<QStringList> now = HeatStartListRows::read(m_competition.heatStartList());
        const ImportPlan plan =
            StartListImport::plan(now, read.workbook->sheets.at(mapping.sheet), mapping);
        if (!plan.changesList() || !admitted(plan.rows))
            return;
        if (HeatStartListRows::read(m_competition.heatStartList()) != now)
            continue;
        writeHeatStartList(plan.rows, plan.firstAddedRow);
        return;
    }
}

void RegistrationCommands::lateEntry() {
    LateEntryDialog dialog(HeatStartListRows::read(m_competition.heatStartList()), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Read again: a time may have been entered, or a row added, while the form or a question
    // was open.
    for (;;) {
        QList<QStringList> rows = HeatStartListRows::read(m_competition.heatStartList());
        const QList<QStringList> current = rows;
        if (const QString problem = dialog.entry().problem(rows); !problem.isEmpty()) {
            refuse(problem);
            return;
        }
        // The empty row of a new list is filled, as a row added by hand would.
        while (!rows.isEmpty() && isEmptyRow(rows.constLast()))
            rows.removeLast();
        rows.append(dialog.entry().cells());
        if (!admitted(rows))
            return;
        if (HeatStartListRows::read(m_competition.heatStartList()) != current)
            continue;
        writeHeatStartList(rows, static_cast<int>(rows.size()));
        return;
    }
}

bool RegistrationCommands::admitted(const QList<QStringList>& rows) const {
    return !m_hooks.admits || m_hooks.admits(rows);
}

void RegistrationCommands::writeHeatStartList(const QList<QStringList>& rows, int selectRow) {
    const bool keepSelection = m_hooks.runUnderway && m_hooks.runUnderway();
    HeatStartListRows::write(m_competition.heatStartList(), rows, keepSelection ? -1 : selectRow);
    m_derivation.deriveAll();
    if (m_hooks.changed)
        m_hooks.changed();
}

void RegistrationCommands::refuse(const QString& message) {
    QMessageBox::warning(m_window, m_environment.programTitle(), message);
}
