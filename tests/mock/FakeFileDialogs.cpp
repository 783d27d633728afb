#include "FakeFileDialogs.h"

std::optional<FileDialogs::Choice> FakeFileDialogs::next() {
    if (m_answers.empty())
        return std::nullopt;
    const Scripted scripted = m_answers.front();
    m_answers.pop_front();
    if (scripted.cancel)
        return std::nullopt;
    return scripted.choice;
}

std::optional<FileDialogs::Choice> FakeFileDialogs::openFile(QWidget*, const Request& request) {
    openRequests.append(request);
    return next();
}

std::optional<FileDialogs::Choice> FakeFileDialogs::saveFile(QWidget*, const Request& request) {
    saveRequests.append(request);
    return next();
}
