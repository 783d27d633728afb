#pragma once

#include "FakeFileDialogs.h"
#include "SessionWindow.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

// Answers the window's yes/no questions from a script and remembers what was asked.
class ScriptedAnswers {
public:
    QStringList questions;
    bool answer = false;

    WindowSeams::AnswerProvider provider() {
        return [this](const QString& question) {
            questions.append(question);
            return answer;
        };
    }
};

// A program installation in a temporary folder: the executable's path names the program,
// files placed there are "next to the executable", the data folder is empty, the settings are
// INI files in the same folder, the file dialogs are answered by a script (Cancel unless told
// otherwise), and the serial system has no devices.
class InstallationFixture {
public:
    explicit InstallationFixture(const QString& programTitle = QStringLiteral("Velmora"));

    QString dir() const { return m_exeDir.path(); }
    QString filePath(const QString& name) const { return m_exeDir.filePath(name); }
    // Writes a file next to the executable.
    bool writeFile(const QString& name, const QByteArray& content = QByteArray("x")) const;
    bool writePicture(const QString& name) const;
    // A complete settings file whose "Len" is no number ("5O"): reading stops there, with the
    // title "Gespeichert", the logo "/bilder/logo.png" and the live port 9000 after it.
    void writeSettingsBrokenAtLen() const;

    TestEnvironment environment(ScriptedAnswers* answers = nullptr) const;
    // The same installation under another executable name: a renamed copy.
    TestEnvironment environmentAs(const QString& programTitle,
                                  ScriptedAnswers* answers = nullptr) const;

    FakeFileDialogs& dialogs() const { return *m_dialogs; }
    QString userDataDir() const { return m_dataDir.filePath(QStringLiteral("user")); }

private:
    QString m_title;
    QTemporaryDir m_exeDir;
    QTemporaryDir m_dataDir;
    std::shared_ptr<FakeFileDialogs> m_dialogs = std::make_shared<FakeFileDialogs>();
};

// Catches what the program asks the desktop to open, per URL scheme.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(QStringList schemes);
    ~UrlRecorder() override;
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }

private:
    QStringList m_schemes;
};
