#include "competition/CompetitionTable.h"
#include "mock/FakeFileDialogs.h"
#include "mock/MessageBoxCatcher.h"
#include "mock/PrintTableFixture.h"
#include "print/GridPrinter.h"
#include "print/PdfExport.h"
#include "print/PrintPreviewCommand.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// "Druckvorschau...", the preview window and its outputs on an image and in PDF files.
class TstPrintPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void preparation_data();
    void preparation();
    void cancelledDialogShowsNoPreview();
    void previewImage_data();
    void previewImage();
    void noPrinterSaysSoAndOffersThePdf();
    void printToFileWithoutPrinterWritesTheFile();
    void printsEveryPageIntoThePrinter();
    void savePdf_data();
    void savePdf();
};

namespace {

int pdfPages(const QByteArray& pdf) {
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                            pdf.count("/Type /Page/") + pdf.count("/Type /Page>"));
}

bool allWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

struct Dialog {
    bool accept = true;
    int offered = -1;
    bool operator()(QPrinter&, int pageCount, QWidget*) {
        offered = pageCount;
        return accept;
    }
};

} // namespace

void TstPrintPreview::preparation_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");
    QTest::newRow("one page") << 40 << 1;
    QTest::newRow("exactly one page") << 54 << 1;
    QTest::newRow("two pages") << 55 << 2;
    QTest::newRow("many pages") << 1000 << 19;
}

void TstPrintPreview::preparation() {
    QFETCH(int, rows);
    QFETCH(int, pages);
    PrintTableFixture f;
    f.fill(rows);
    Dialog dialog;
    PrintPreviewCommand command(*f.preview, QStringLiteral("Velmora"), nullptr, std::ref(dialog));
    QVERIFY(command.run(*f.view, QStringLiteral("      Vorlauf-Startliste")));
    QCOMPARE(dialog.offered, pages);
    QVERIFY(f.preview->isVisible());
    QVERIFY(!f.preview->isModal());
    QCOMPARE(f.preview->windowTitle(), QStringLiteral("Druckvorschau       Vorlauf-Startliste"));
    const PrintOptions& options = f.grid().printOptions();
    QCOMPARE(options.pageTitle, QStringLiteral("      Vorlauf-Startliste"));
    QCOMPARE(options.jobTitle, QStringLiteral("Velmora  PROTOKOLL"));
    QCOMPARE(options.copies, 1);
    QCOMPARE(options.previewPage, 1);
    QCOMPARE(options.fromRow, 1);
    QCOMPARE(options.toRow, rows);
    QCOMPARE(f.preview->pageCountLabel->text(), QStringLiteral(" von %1").arg(pages));
    QCOMPARE(f.preview->pageBox->maximum(), pages);
    QCOMPARE(f.preview->pageBox->value(), 1);
    QCOMPARE(f.preview->pageBox->isEnabled(), pages > 1);
    // The A4 page in screen pixels, with room for the scroll bar beside it.
    QCOMPARE(f.preview->pageImage().size(), QSize(748, 1091));
    QCOMPARE(f.preview->pagePicture->size(), QSize(748, 1091));
    QVERIFY(!allWhite(f.preview->pageImage()));
}

void TstPrintPreview::cancelledDialogShowsNoPreview() {
    PrintTableFixture f;
    f.fill(3);
    Dialog dialog{false};
    PrintPreviewCommand command(*f.preview, QStringLiteral("Velmora"), nullptr, std::ref(dialog));
    QVERIFY(!command.run(*f.view, QStringLiteral("x")));
    QVERIFY(!f.preview->isVisible());
    QCOMPARE(f.preview->windowTitle(), PrintPreviewWindow::initialCaption());
}

void TstPrintPreview::previewImage_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("white");
    QTest::newRow("first") << 1 << false;
    QTest::newRow("last") << 3 << false;
    QTest::newRow("beyond the last") << 4 << true;
    QTest::newRow("far beyond") << 99 << true;
}

void TstPrintPreview::previewImage() {
    QFETCH(int, page);
    QFETCH(bool, white);
    PrintTableFixture f;
    f.fill(120);
    Dialog dialog;
    PrintPreviewCommand(*f.preview, "Velmora", nullptr, std::ref(dialog)).run(*f.view, "T");
    QCOMPARE(f.preview->pageBox->maximum(), 3);
    // A stale page underneath must not shine through a white one.
    QImage image(f.preview->pageImage().size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    f.grid().printOptions().previewPage = page;
    f.preview->table()->drawPreview(image);
    QCOMPARE(allWhite(image), white);
    if (!white) {
        // The header row's grey inside the first cell, its border black.
        QCOMPARE(image.pixel(32, 22), qRgb(192, 192, 192));
        QCOMPARE(image.pixel(30, 25), qRgb(0, 0, 0));
    }
}

void TstPrintPreview::noPrinterSaysSoAndOffersThePdf() {
    PrintTableFixture f(false);
    f.fill(3);
    const auto& dialogs = f.dialogs;
    Dialog dialog;
    PrintPreviewCommand(*f.preview, "Velmora", nullptr, std::ref(dialog)).run(*f.view, "T");
    QString text, informative;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        informative = box->informativeText();
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->windowTitle(), QStringLiteral("Velmora"));
        auto* pdf = box->findChild<QAbstractButton*>(QStringLiteral("savePdfInstead"));
        QVERIFY(pdf);
        QCOMPARE(pdf->text(), QStringLiteral("PDF speichern..."));
        pdf->click();
    });
    f.preview->printButton->click();
    QCOMPARE(text, QStringLiteral("No Printer is installed"));
    QVERIFY(informative.contains(QStringLiteral("„PDF speichern...“")));
    // The button leads to the PDF file's dialog.
    QCOMPARE(dialogs->saveRequests.size(), 1);
    QVERIFY(!f.preview->jobs().busy());
}

void TstPrintPreview::printToFileWithoutPrinterWritesTheFile() {
    PrintTableFixture f(false);
    f.fill(120);
    f.setWidths({31, 400, 300, 300, 20, 51, 50, 50, 50, -1, -1});
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("printed.pdf"));
    Dialog dialog;
    PrintPreviewCommand(*f.preview, "Velmora", nullptr, std::ref(dialog)).run(*f.view, "T");
    // What the print dialog's "In PDF-Datei drucken" leaves on the printer.
    QPrinter& printer = f.preview->printers().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    MessageBoxCatcher boxes;
    f.preview->printButton->click();
    QVERIFY(f.preview->jobs().waitForIdle(20000));
    QVERIFY(boxes.seen.isEmpty());
    QFile printed(file);
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QCOMPARE(pdfPages(printed.readAll()), 6);
}

void TstPrintPreview::printsEveryPageIntoThePrinter() {
    PrintTableFixture f(true);
    f.fill(120);
    f.setWidths({31, 400, 300, 300, 20, 51, 50, 50, 50, -1, -1});
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("printed.pdf"));
    QPrinter& printer = f.preview->printers().printer();
    printer.setOutputFileName(file);
    printer.setPageLayout(PrinterSetup::defaultLayout());
    Dialog dialog;
    PrintPreviewCommand(*f.preview, "Velmora", nullptr, std::ref(dialog)).run(*f.view, "T");
    // The dialog's page range and copies are not used.
    printer.setFromTo(2, 2);
    MessageBoxCatcher boxes;
    f.preview->printButton->click();
    // The pages are drawn in the background; meanwhile the printer is the printout's own.
    QVERIFY(f.preview->jobs().busy());
    QVERIFY(!f.preview->printButton->isEnabled());
    QVERIFY(
        !PrintPreviewCommand(*f.preview, "Velmora", nullptr, std::ref(dialog)).run(*f.view, "T"));
    QVERIFY(f.preview->jobs().waitForIdle(20000));
    QVERIFY(f.preview->printButton->isEnabled());
    QVERIFY(boxes.seen.isEmpty());
    QFile printed(file);
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QCOMPARE(pdfPages(printed.readAll()), 6);
    QCOMPARE(printer.docName(), QStringLiteral("Velmora  PROTOKOLL"));
    QCOMPARE(f.preview->table()->pageCount(), 6);
}

void TstPrintPreview::savePdf_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("written");
    QTest::newRow("with suffix") << "out.pdf" << true;
    QTest::newRow("suffix added") << "out" << true;
    QTest::newRow("missing folder") << "nowhere/out.pdf" << false;
}

void TstPrintPreview::savePdf() {
    QFETCH(QString, name);
    QFETCH(bool, written);
    PrintTableFixture f(false);
    f.fill(120);
    const auto& dialogs = f.dialogs;
    Dialog dialog;
    PrintPreviewCommand(*f.preview, "Velmora", nullptr, std::ref(dialog))
        .run(*f.view, "      Endlauf-Ergebnisse");
    QTemporaryDir dir;
    const QString target = dir.filePath(name);
    dialogs->answer(target);
    MessageBoxCatcher boxes;
    f.preview->savePdfButton->click();
    QVERIFY(f.preview->jobs().waitForIdle(20000));
    QTRY_COMPARE(boxes.seen.size(), written ? 0 : 1);
    QCOMPARE(dialogs->saveRequests.size(), 1);
    QCOMPARE(dialogs->saveRequests[0].fileName, QStringLiteral("Velmora_Endlauf-Ergebnisse.pdf"));
    const QString file = target.endsWith(".pdf") ? target : target + ".pdf";
    QCOMPARE(QFile::exists(file), written);
    if (written) {
        QVERIFY(boxes.seen.isEmpty());
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(pdfPages(bytes), 3);
    } else {
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].text, QStringLiteral("Der Schreibfehler der Datei: ") + file);
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
    }
}

QTEST_MAIN(TstPrintPreview)
#include "tst_printpreview.moc"
