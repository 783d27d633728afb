#include "competition/CertificateRecipients.h"
#include "mock/CertificateSample.h"
#include "print/CertificateDocument.h"
#include "print/CertificateJob.h"
#include "print/CertificateTemplate.h"

#include <QFile>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(CertificateChoice)

// Certificates made into one PDF or onto a printer on the job's own thread, each page read
// back as text.
class TstCertificateDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyCertificateOnItsPage_data();
    void everyCertificateOnItsPage();
    void printedOnAPrinterOfItsOwn();
    void cancelledLeavesTheFileAsItWas();
    void failedWriteSaysSo();
    void pageTurnsWithTheDesign();

private:
    static QString design(const QString& name) {
        return QStringLiteral(VELMORA_SOURCE_DIR "/data/") + name + QStringLiteral(".svg");
    }
};

namespace {

CertificateChoice choiceOf(CertificateChoice::Recipients who, int places = 3) {
    CertificateChoice c;
    c.recipients = who;
    c.places = places;
    c.title = QStringLiteral("Rutschen-Cup am <See> & Strand");
    c.date = QStringLiteral("12.07.2025");
    return c;
}

bool waitFor(CertificateJob& job) {
    QSignalSpy done(&job, &CertificateJob::finished);
    return done.wait(60000);
}

} // namespace

void TstCertificateDocument::everyCertificateOnItsPage_data() {
    QTest::addColumn<QString>("designName");
    QTest::addColumn<CertificateChoice>("choice");
    QTest::addColumn<int>("pages");
    using R = CertificateChoice::Recipients;
    QTest::newRow("every starter") << "Urkunde-Teilnahme" << choiceOf(R::HeatResults) << 6;
    QTest::newRow("podium of the final") << "Urkunde-Podest" << choiceOf(R::BestPerClass, 1) << 3;
    QTest::newRow("best team") << "Urkunde-Podest" << choiceOf(R::BestTeams) << 1;
}

void TstCertificateDocument::everyCertificateOnItsPage() {
    QFETCH(QString, designName);
    QFETCH(CertificateChoice, choice);
    QFETCH(int, pages);
    Competition c(TimeFormat(1, u','));
    CertificateSample::fill(c);
    const auto certificates = CertificateRecipients::collect(c, choice);
    const auto template_ = CertificateTemplate::fromFile(design(designName));
    QVERIFY2(template_.isValid(), qPrintable(template_.error()));
    QTemporaryDir folder;
    const QString file = folder.filePath("Urkunden.pdf");
    CertificateJob job;
    QSignalSpy progress(&job, &CertificateJob::progress);
    QVERIFY(job.startPdf(template_, certificates, file, "Urkunden"));
    QVERIFY(job.running());
    QVERIFY(waitFor(job));
    QVERIFY(!job.running());
    QCOMPARE(job.outcome().result, CertificateJob::Result::Written);
    QCOMPARE(job.outcome().pages, pages);
    QCOMPARE(progress.size(), pages);
    QCOMPARE(progress.last(), QVariantList({pages, pages}));

    const auto texts = CertificateSample::pdfPageTexts(file);
    if (!texts)
        QSKIP("pdftotext (poppler-utils) is not installed; the PDF's text cannot be read back");
    QCOMPARE(texts->size(), pages);
    for (int page = 0; page < pages; ++page) {
        const QString text = texts->at(page).simplified();
        for (const QString& line : template_.lines(certificates.at(page)))
            QVERIFY2(text.contains(line.simplified()),
                     qPrintable(QString("page %1 lacks \"%2\": %3").arg(page + 1).arg(line, text)));
        QVERIFY(text.contains("Rutschen-Cup am <See> & Strand"));
    }
}

void TstCertificateDocument::printedOnAPrinterOfItsOwn() {
    Competition c(TimeFormat(1, u','));
    CertificateSample::fill(c);
    const auto certificates =
        CertificateRecipients::collect(c, choiceOf(CertificateChoice::Recipients::HeatResults));
    QTemporaryDir folder;
    QPrinter chosen(QPrinter::HighResolution);
    chosen.setOutputFormat(QPrinter::PdfFormat);
    chosen.setOutputFileName(folder.filePath("Drucker.pdf"));
    chosen.setPageSize(QPageSize(QPageSize::A5));
    const auto own = CertificateJob::printerLike(chosen);
    QCOMPARE(own->outputFileName(), chosen.outputFileName());
    QCOMPARE(own->pageLayout().pageSize().id(), QPageSize::A5);
    CertificateJob job;
    QVERIFY(job.startPrint(CertificateJob::printerLike(chosen),
                           CertificateTemplate::fromFile(design("Urkunde-Teilnahme")),
                           certificates));
    QVERIFY(waitFor(job));
    QCOMPARE(job.outcome().result, CertificateJob::Result::Printed);
    const auto texts = CertificateSample::pdfPageTexts(folder.filePath("Drucker.pdf"));
    if (!texts)
        QSKIP("pdftotext (poppler-utils) is not installed; the printout cannot be read back");
    QCOMPARE(texts->size(), certificates.size());
    QVERIFY(texts->at(4).contains("Teilnahme"));

    // Stopped halfway, the job is aborted rather than ended, so the printer gets nothing more.
    // Enough pages that the job cannot end before the first progress reaches the cancel.
    auto many = certificates;
    while (many.size() < 2000)
        many += certificates;
    connect(&job, &CertificateJob::progress, &job, &CertificateJob::cancel);
    QVERIFY(job.startPrint(CertificateJob::printerLike(chosen),
                           CertificateTemplate::fromFile(design("Urkunde-Teilnahme")), many));
    QVERIFY(waitFor(job));
    QCOMPARE(job.outcome().result, CertificateJob::Result::Cancelled);
}

void TstCertificateDocument::cancelledLeavesTheFileAsItWas() {
    QTemporaryDir folder;
    const QString file = folder.filePath("Urkunden.pdf");
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the certificates of last year");
    }
    const QList<CertificateFields::Values> many(2000, {{"Name", "Weber"}});
    CertificateJob job;
    QSignalSpy finished(&job, &CertificateJob::finished);
    connect(&job, &CertificateJob::progress, &job, &CertificateJob::cancel);
    QVERIFY(job.startPdf(CertificateTemplate::fromFile(design("Urkunde-Podest")), many, file, "x"));
    QVERIFY(
        !job.startPdf(CertificateTemplate::fromFile(design("Urkunde-Podest")), many, file, "x"));
    QVERIFY(finished.wait(60000));
    QCOMPARE(job.outcome().result, CertificateJob::Result::Cancelled);
    QFile after(file);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), QByteArray("the certificates of last year"));
}

void TstCertificateDocument::failedWriteSaysSo() {
    CertificateJob job;
    const QString file = "/nonexistent/folder/Urkunden.pdf";
    QVERIFY(job.startPdf(CertificateTemplate::fromFile(design("Urkunde-Podest")),
                         {{{"Name", "Weber"}}}, file, "x"));
    QVERIFY(waitFor(job));
    QCOMPARE(job.outcome().result, CertificateJob::Result::Failed);
    QCOMPARE(job.outcome().message, "Der Schreibfehler der Datei: " + file);
    QVERIFY(!job.outcome().reason.isEmpty());
}

void TstCertificateDocument::pageTurnsWithTheDesign() {
    const auto wide = CertificateTemplate::fromData(
        "<svg xmlns='http://www.w3.org/2000/svg' width='297mm' height='210mm' "
        "viewBox='0 0 297 210'><text x='10' y='20'>{Name}</text></svg>");
    const QPageLayout layout = CertificateDocument::pdfLayout(wide);
    QCOMPARE(layout.orientation(), QPageLayout::Landscape);
    QCOMPARE(layout.pageSize().id(), QPageSize::A4);
    QCOMPARE(layout.margins(), QMarginsF());
    const auto bytes =
        CertificateDocument::pdf(wide, {{{"Name", "Weber"}}, {{"Name", "Groß"}}}, "x");
    QVERIFY(bytes && bytes->startsWith("%PDF"));
    const auto stopped = CertificateDocument::pdf(wide, {{{"Name", "Weber"}}, {{"Name", "Groß"}}},
                                                  "x", [](int, int) { return false; });
    QVERIFY(!stopped);
}

QTEST_MAIN(TstCertificateDocument)
#include "tst_certificatedocument.moc"
