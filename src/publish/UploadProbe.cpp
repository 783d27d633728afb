#include "publish/UploadProbe.h"

#include "publish/UploadErrorText.h"
#include "publish/WebTransfer.h"

#include <QTimer>
#include <mutex>
#include <thread>

// Where the thread hands its outcome; the probe going away leaves a null receiver.
struct UploadProbe::Answer {
    std::mutex mutex;
    UploadProbe* receiver = nullptr;
};

namespace {

struct Result {
    QString text;
    bool ok = false;
};

Result attempt(const UploadTarget& target) {
    WebTransfer transfer(target, nullptr);
    if (!transfer.unusable().isEmpty())
        return {transfer.unusable(), false};
    const QByteArray content = "Velmora: Test der Verbindung, wird gleich wieder entfernt\n";
    const WebTransfer::Outcome put = transfer.put(UploadProbe::testFileName(), content);
    if (!put.ok())
        return {UploadErrorText::describe(put, transfer), false};
    const WebTransfer::Outcome removed = transfer.remove(UploadProbe::testFileName());
    if (!removed.ok())
        return {QStringLiteral("Hochladen in Ordnung, aber die Testdatei %1 blieb liegen: %2")
                    .arg(UploadProbe::testFileName(), UploadErrorText::describe(removed, transfer)),
                true};
    return {QStringLiteral("Verbindung in Ordnung: %1 nimmt Dateien in %2 an")
                .arg(transfer.host(), transfer.folderPath()),
            true};
}

} // namespace

UploadProbe::UploadProbe(QObject* parent) : QObject(parent) {}

UploadProbe::~UploadProbe() {
    if (m_answer) {
        const std::lock_guard lock(m_answer->mutex);
        m_answer->receiver = nullptr;
    }
}

void UploadProbe::test(const UploadTarget& target) {
    const quint64 number = ++m_attempt;
    m_running = true;
    if (!m_answer) {
        m_answer = std::make_shared<Answer>();
        m_answer->receiver = this;
    }
    QTimer::singleShot(timeoutMs, this, [this, number] {
        answered(number,
                 QStringLiteral("Zeitüberschreitung: keine Antwort in %1 s").arg(timeoutMs / 1000),
                 false);
    });
    std::thread([answer = m_answer, target, number] {
        const Result result = attempt(target);
        const std::lock_guard lock(answer->mutex);
        if (UploadProbe* probe = answer->receiver)
            QMetaObject::invokeMethod(
                probe, [probe, number, result] { probe->answered(number, result.text, result.ok); },
                Qt::QueuedConnection);
    }).detach();
}

void UploadProbe::answered(quint64 attempt, const QString& text, bool ok) {
    if (attempt != m_attempt || !m_running)
        return;
    m_running = false;
    Q_EMIT finished(text, ok);
}
