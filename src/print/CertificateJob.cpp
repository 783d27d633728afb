#include "print/CertificateJob.h"

#include "output/AtomicFile.h"
#include "print/CertificateTemplate.h"

#include <QPrinter>
#include <QThread>

CertificateJob::CertificateJob(QObject* parent) : QObject(parent) {}

CertificateJob::~CertificateJob() {
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
    }
}

bool CertificateJob::startPdf(const CertificateTemplate& design,
                              QList<CertificateFields::Values> certificates,
                              const QString& fileName, const QString& title) {
    return start([design, certificates = std::move(certificates), fileName,
                  title](const CertificateDocument::Progress& progress) {
        Outcome outcome;
        outcome.pages = static_cast<int>(certificates.size());
        const auto bytes = CertificateDocument::pdf(design, certificates, title, progress);
        if (!bytes)
            return outcome;
        if (const auto failure = AtomicFile::write(fileName, *bytes)) {
            outcome.result = Result::Failed;
            outcome.message = QStringLiteral("Der Schreibfehler der Datei: ") + fileName;
            outcome.reason = failure->text();
            return outcome;
        }
        outcome.result = Result::Written;
        return outcome;
    });
}

bool CertificateJob::startPrint(std::unique_ptr<QPrinter> printer,
                                const CertificateTemplate& design,
                                QList<CertificateFields::Values> certificates) {
    std::shared_ptr<QPrinter> owned(std::move(printer));
    return start([owned, design, certificates = std::move(certificates)](
                     const CertificateDocument::Progress& progress) {
        Outcome outcome;
        outcome.pages = static_cast<int>(certificates.size());
        switch (CertificateDocument::print(*owned, design, certificates, progress)) {
        case CertificateDocument::Printed::All:
            outcome.result = Result::Printed;
            break;
        case CertificateDocument::Printed::Stopped:
            break;
        case CertificateDocument::Printed::Refused:
            outcome.result = Result::Failed;
            outcome.message = QStringLiteral("Der Druck auf „%1“ konnte nicht beginnen.")
                                  .arg(owned->printerName());
            break;
        }
        return outcome;
    });
}

std::unique_ptr<QPrinter> CertificateJob::printerLike(const QPrinter& chosen) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(chosen.outputFormat());
    printer->setPrinterName(chosen.printerName());
    printer->setOutputFileName(chosen.outputFileName());
    printer->setPageLayout(chosen.pageLayout());
    printer->setCopyCount(chosen.copyCount());
    printer->setCollateCopies(chosen.collateCopies());
    printer->setDuplex(chosen.duplex());
    printer->setColorMode(chosen.colorMode());
    printer->setPageOrder(chosen.pageOrder());
    printer->setDocName(chosen.docName());
    return printer;
}

bool CertificateJob::start(Work work) {
    if (m_running)
        return false;
    if (m_thread) {
        m_thread->wait();
        m_thread.reset();
    }
    m_cancel = false;
    m_running = true;
    m_thread.reset(QThread::create([this, work = std::move(work)] {
        const CertificateDocument::Progress progress = [this](int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { Q_EMIT this->progress(done, total); },
                Qt::QueuedConnection);
            return !m_cancel.load();
        };
        const Outcome outcome = work(progress);
        QMetaObject::invokeMethod(
            this, [this, outcome] { end(outcome); }, Qt::QueuedConnection);
    }));
    m_thread->start();
    return true;
}

void CertificateJob::end(const Outcome& outcome) {
    m_thread->wait();
    m_outcome = outcome;
    m_running = false;
    Q_EMIT finished();
}
