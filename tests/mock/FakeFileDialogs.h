#pragma once

#include "widgets/FileDialogs.h"

#include <QList>
#include <deque>

// Answers the file dialogs from a script in place of the operator and keeps every request.
// With nothing scripted a dialog answers Cancel.
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<Choice> openFile(QWidget* parent, const Request& request) override;
    std::optional<Choice> saveFile(QWidget* parent, const Request& request) override;

    // The next dialog's answer.
    void answer(const QString& fileName, int filterIndex = 1) {
        m_answers.push_back({false, Choice{fileName, filterIndex}});
    }
    void cancel() { m_answers.push_back({true, Choice{}}); }

    QList<Request> openRequests;
    QList<Request> saveRequests;

private:
    std::optional<Choice> next();
    struct Scripted {
        bool cancel = true;
        Choice choice;
    };
    std::deque<Scripted> m_answers;
};
