#pragma once

#include "widgets/FileDialogs.h"

// The desktop's file dialogs. Each kind remembers the folder of its last answer while the
// program runs, as the operator expects when saving several outputs in a row.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<Choice> openFile(QWidget* parent, const Request& request) override;
    std::optional<Choice> saveFile(QWidget* parent, const Request& request) override;

private:
    QString m_openFolder;
    QString m_saveFolder;
};
