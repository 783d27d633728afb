#include "widgets/QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

std::optional<FileDialogs::Choice> run(QFileDialog& dialog, const FileDialogs::Request& request,
                                       QString& folder) {
    const bool saving = dialog.acceptMode() == QFileDialog::AcceptSave;
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex - 1));
    // A typed name without a suffix gets the one of the type left selected, which is only
    // known once the dialog is closed; the open dialog takes the default suffix.
    dialog.setDefaultSuffix(saving ? QString() : request.defaultSuffix);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const qsizetype found = request.filters.indexOf(dialog.selectedNameFilter());
    const int index = found < 0 ? request.filterIndex : static_cast<int>(found) + 1;
    const QString selected = dialog.selectedFiles().constFirst();
    const QString fileName = saving ? FileDialogs::withSuffix(selected, request, index) : selected;
    folder = QFileInfo(fileName).absolutePath();
    return FileDialogs::Choice{fileName, index};
}

} // namespace

std::optional<FileDialogs::Choice> QtFileDialogs::openFile(QWidget* parent,
                                                           const Request& request) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    return run(dialog, request, m_openFolder);
}

std::optional<FileDialogs::Choice> QtFileDialogs::saveFile(QWidget* parent,
                                                           const Request& request) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setSizeGripEnabled(true);
    return run(dialog, request, m_saveFolder);
}
