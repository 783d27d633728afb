#pragma once

#include <QString>
#include <functional>
#include <memory>

class FileDialogs;

// What the window asks the desktop for besides the session's environment: the file dialogs and
// who answers the yes/no questions. Tests put scripts in their place.
struct WindowSeams {
    // Returns true for "Ja". Unset in production: the question dialog asks the operator.
    using AnswerProvider = std::function<bool(const QString& question)>;

    // The desktop's file dialogs; the question dialog asks.
    static WindowSeams forDesktop();

    std::shared_ptr<FileDialogs> fileDialogs;
    AnswerProvider answerProvider;
};
