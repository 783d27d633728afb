#pragma once

#include "competition/CertificateFields.h"
#include "print/CertificateDocument.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class CertificateTemplate;
class QPrinter;
class QThread;

// Makes certificates on a thread of its own, so that the window stays usable while a long
// document is drawn: every finished page is reported, and cancel() stops after the page in
// hand. One document at a time.
class CertificateJob : public QObject {
    Q_OBJECT
public:
    enum class Result { Written, Printed, Cancelled, Failed };
    struct Outcome {
        Result result = Result::Cancelled;
        int pages = 0;   // certificates in the document
        QString message; // what the operator is told when it failed
        QString reason;  // the system's explanation, if any
    };

    explicit CertificateJob(QObject* parent = nullptr);
    // Stops a running document and waits for its thread.
    ~CertificateJob() override;

    bool running() const { return m_running; }

    // One PDF with a page per certificate. The file is replaced only once the whole document
    // is made and written, so a cancelled or failed run leaves an existing file as it was.
    // False when a document is already being made.
    bool startPdf(const CertificateTemplate& design, QList<CertificateFields::Values> certificates,
                  const QString& fileName, const QString& title);
    // On a printer the job owns from now on (see printerLike).
    bool startPrint(std::unique_ptr<QPrinter> printer, const CertificateTemplate& design,
                    QList<CertificateFields::Values> certificates);

    // A printer set up like the chosen one, for the job's thread alone, so that the chosen one
    // stays free for the window's own printing meanwhile.
    static std::unique_ptr<QPrinter> printerLike(const QPrinter& chosen);

    void cancel() { m_cancel = true; }
    // Valid once finished() has been sent.
    const Outcome& outcome() const { return m_outcome; }

Q_SIGNALS:
    void progress(int done, int total);
    void finished();

private:
    using Work = std::function<Outcome(const CertificateDocument::Progress&)>;
    bool start(Work work);
    void end(const Outcome& outcome);

    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    Outcome m_outcome;
};
