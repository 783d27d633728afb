#include "competition/RandomGenerator.h"
#include "competition/RandomProtocol.h"
#include "competition/StageDerivation.h"
#include "mock/CertificateSample.h"
#include "mock/FakeFileDialogs.h"
#include "print/CertificateJob.h"
#include "print/PrinterSetup.h"
#include "ui/startlist/CertificateDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

// "Urkunden" on a real X server with a window manager, also at 200 %: the dialog fits the
// screen and reads whole, its choices reach the certificates, and a PDF is made while the
// dialog stays responsive and can be stopped.
class TestCertificateDialogXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fitsAndReadsWhole();
    void podiumOfTheFinalAsPdf();
    void stoppedWhileWorking();
    void withoutDesignsOrPrinterSaysWhy();
    void hugeDesignIsRefusedWhileTheWindowGoesOn();
};

namespace {

struct Fixture {
    Competition competition{TimeFormat(1, u',')};
    QTemporaryDir own;
    PrinterSetup printers{[] {
        return false;
    }};
    std::shared_ptr<FakeFileDialogs> files = std::make_shared<FakeFileDialogs>();

    CertificateDialog::Setup setup(bool designs = true) {
        CertificateDialog::Setup s;
        s.title = QStringLiteral("Rutschen-Cup & Sommerfest");
        s.date = QDate(2025, 7, 12);
        s.templateFolders = {own.path()};
        if (designs)
            s.templateFolders.append(QStringLiteral(VELMORA_SOURCE_DIR "/data"));
        s.printers = &printers;
        s.fileDialogs = files;
        s.messageTitle = QStringLiteral("Velmora");
        return s;
    }
};

// Texts a widget cuts short, or widgets that stick out of the dialog.
QStringList clipped(const QWidget& dialog) {
    QStringList found;
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (!child->isVisible())
            continue;
        const QRect place(child->mapTo(&dialog, QPoint()), child->size());
        if (!dialog.rect().contains(place))
            found.append(child->objectName() + QStringLiteral(" outside"));
        if (auto* label = qobject_cast<QLabel*>(child);
            label && !label->wordWrap() && child->width() < child->sizeHint().width())
            found.append(QStringLiteral("narrow ") + label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(child);
            button && child->width() < child->sizeHint().width())
            found.append(QStringLiteral("narrow ") + button->text());
    }
    return found;
}

void saveScreenshot(const QWidget& dialog, const QString& name) {
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    QTest::qWait(300); // the screen shows what was painted, not what is due
    dialog.screen()->grabWindow(0).save(folder + u'/' + name + u'-' + scale +
                                        QStringLiteral(".png"));
}

} // namespace

void TestCertificateDialogXvfb::fitsAndReadsWhole() {
    Fixture f;
    CertificateSample::fill(f.competition);
    CertificateDialog dialog(f.competition, f.setup());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QVERIFY(dialog.screen()->availableGeometry().contains(dialog.frameGeometry()));
    QVERIFY2(clipped(dialog).isEmpty(), qPrintable(clipped(dialog).join(", ")));
    QCOMPARE(dialog.leTitle->text(), "Rutschen-Cup & Sommerfest");
    QCOMPARE(dialog.leDate->text(), "12.07.2025");
    QCOMPARE(dialog.cbTemplate->count(), 3); // the three shipped designs
    QCOMPARE(dialog.lblCount->text(), "6 Urkunden");
    QTRY_VERIFY(!dialog.imgPreview->pixmap().isNull());
    saveScreenshot(dialog, QStringLiteral("urkunden-dialog"));
    qInfo("dialog %dx%d", dialog.width(), dialog.height());
}

void TestCertificateDialogXvfb::podiumOfTheFinalAsPdf() {
    Fixture f;
    CertificateSample::fill(f.competition);
    CertificateDialog dialog(f.competition, f.setup());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.cbRecipients->setCurrentIndex(2);
    QVERIFY(dialog.sePlaces->isEnabled());
    QVERIFY(!dialog.cbWithoutPlace->isEnabled());
    QCOMPARE(dialog.cbTime->currentText(), "Endzeit");
    dialog.sePlaces->setValue(1);
    QCOMPARE(dialog.lblCount->text(), "3 Urkunden");
    dialog.cbTemplate->setCurrentIndex(dialog.cbTemplate->findText("Urkunde-Podest"));
    QCOMPARE(dialog.sePreview->maximum(), 3);
    QCOMPARE(dialog.lblPreviewOf->text(), " von 3");
    QTRY_VERIFY(dialog.bPdf->isEnabled());

    const QString file = f.own.filePath("Sieger");
    f.files->answer(file);
    QSignalSpy finished(&dialog.job(), &CertificateJob::finished);
    QTest::mouseClick(dialog.bPdf, Qt::LeftButton);
    QCOMPARE(f.files->saveRequests.value(0).fileName, "Velmora_Urkunden.pdf");
    QVERIFY(finished.wait(60000));
    QCOMPARE(dialog.lblStatus->text(), "3 Urkunden gespeichert: " + file + ".pdf");
    QVERIFY(dialog.bPdf->isEnabled());
    QVERIFY(!dialog.pbProgress->isVisible());
    saveScreenshot(dialog, QStringLiteral("urkunden-gespeichert"));
    const auto pages = CertificateSample::pdfPageTexts(file + ".pdf");
    if (!pages)
        QSKIP("pdftotext (poppler-utils) is not installed; the PDF's text cannot be read back");
    QCOMPARE(pages->size(), 3);
    QVERIFY(pages->at(0).simplified().contains("Ömer Groß"));
    QVERIFY(pages->at(1).simplified().contains("Jürgen Müller"));
    QVERIFY(pages->at(2).simplified().contains("Karl Klein"));
    QVERIFY(pages->at(2).contains("52,00"));
}

void TestCertificateDialogXvfb::stoppedWhileWorking() {
    Fixture f;
    RandomGenerator rng;
    RandomProtocol::fillRandomStartList(f.competition, rng, 400);
    StageDerivation(f.competition).deriveAll();
    CertificateDialog dialog(f.competition, f.setup());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.lblCount->text(), "400 Urkunden");
    QTRY_VERIFY(dialog.bPdf->isEnabled());
    f.files->answer(f.own.filePath("Alle.pdf"));
    QSignalSpy finished(&dialog.job(), &CertificateJob::finished);
    bool working = false;
    // The dialog answers while the pages are drawn: its progress moves and "Abbrechen" works.
    connect(&dialog.job(), &CertificateJob::progress, &dialog, [&] {
        if (working)
            return;
        working = dialog.pbProgress->isVisible() && dialog.bCancel->isVisible() &&
                  !dialog.bPdf->isEnabled() && !dialog.cbRecipients->isEnabled();
        QTest::mouseClick(dialog.bCancel, Qt::LeftButton);
    });
    QTest::mouseClick(dialog.bPdf, Qt::LeftButton);
    QVERIFY(finished.wait(60000));
    QVERIFY(working);
    QCOMPARE(dialog.job().outcome().result, CertificateJob::Result::Cancelled);
    QCOMPARE(dialog.lblStatus->text(), "Abgebrochen; es wurde nichts gespeichert.");
    QVERIFY(!QFile::exists(f.own.filePath("Alle.pdf")));
    QVERIFY(dialog.cbRecipients->isEnabled());
}

void TestCertificateDialogXvfb::withoutDesignsOrPrinterSaysWhy() {
    Fixture f;
    CertificateSample::fill(f.competition);
    CertificateDialog bare(f.competition, f.setup(false));
    bare.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bare));
    QVERIFY(!bare.bPdf->isEnabled());
    QCOMPARE(bare.bPdf->toolTip(), "Keine Vorlage gefunden (Urkunde*.svg).");
    QVERIFY(!bare.bPrint->isEnabled());

    CertificateDialog dialog(f.competition, f.setup());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_VERIFY(dialog.bPdf->isEnabled());
    QVERIFY(!dialog.bPrint->isEnabled());
    QCOMPARE(dialog.bPrint->toolTip(), "Es ist kein Drucker eingerichtet.");
    dialog.cbRecipients->setCurrentIndex(1);
    dialog.cbWithoutPlace->setCurrentIndex(1);
    QCOMPARE(dialog.lblCount->text(), "4 Urkunden");
    // A change of the tables while the dialog is open counts again.
    f.competition.finalResults().clearTable();
    f.competition.finalStartList().clearTable();
    QTRY_COMPARE(dialog.lblCount->text(), "Keine Urkunde für diese Auswahl.");
    QVERIFY(!dialog.bPdf->isEnabled());
    QCOMPARE(dialog.bPdf->toolTip(), "Für diese Auswahl gibt es keine Urkunde.");
}

void TestCertificateDialogXvfb::hugeDesignIsRefusedWhileTheWindowGoesOn() {
    Fixture f;
    CertificateSample::fill(f.competition);
    QFile huge(f.own.filePath("Urkunde-Riesig.svg"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(10LL * 1024 * 1024 * 1024));
    huge.close();
    CertificateDialog dialog(f.competition, f.setup());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.cbTemplate->setCurrentIndex(dialog.cbTemplate->findText("Urkunde-Riesig"));
    QTRY_VERIFY(!dialog.readingTemplate());
    QVERIFY2(dialog.lblStatus->text().contains("Urkunde-Riesig.svg") &&
                 dialog.lblStatus->text().contains("größer als 5 MB"),
             qPrintable(dialog.lblStatus->text()));
    QVERIFY(!dialog.bPdf->isEnabled());
    QCOMPARE(dialog.bPdf->toolTip(), dialog.lblStatus->text());
    dialog.cbTemplate->setCurrentIndex(dialog.cbTemplate->findText("Urkunde-Teilnahme"));
    QTRY_VERIFY(dialog.bPdf->isEnabled());
    QTRY_VERIFY(!dialog.imgPreview->pixmap().isNull());
}

QTEST_MAIN(TestCertificateDialogXvfb)
#include "tst_certificatedialog_xvfb.moc"
