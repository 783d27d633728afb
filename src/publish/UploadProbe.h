#pragma once

#include "publish/UploadTarget.h"

#include <QObject>
#include <memory>

// "Verbindung testen" for the web host: a small file put into the folder with the values as
// typed and removed again, on a thread of its own, answered in plain German. A host that does
// not answer within timeoutMs is told as such; the thread is left to end on its own.
class UploadProbe : public QObject {
    Q_OBJECT
public:
    static constexpr int timeoutMs = 40000;
    // The file that goes up and is taken away again.
    static QString testFileName() { return QStringLiteral("velmora-verbindungstest.txt"); }

    explicit UploadProbe(QObject* parent = nullptr);
    ~UploadProbe() override;

    // A test still running is forgotten; only the newest one answers.
    void test(const UploadTarget& target);
    bool isRunning() const { return m_running; }

Q_SIGNALS:
    // "Verbindung in Ordnung: ..." or what failed.
    void finished(const QString& text, bool ok);

private:
    struct Answer;
    void answered(quint64 attempt, const QString& text, bool ok);

    std::shared_ptr<Answer> m_answer;
    quint64 m_attempt = 0;
    bool m_running = false;
};
