#include "competition/Competition.h"
#include "competition/widgets/CompetitionTableView.h"
#include "journal/JournalWriter.h"
#include "journal/widgets/JournalWiring.h"
#include "mock/CertificateSample.h"
#include "mock/MessageBoxCatcher.h"
#include "mock/TimingWindowFixture.h"
#include "mock/WhenShown.h"
#include "output/BackupWriter.h"
#include "output/registration/HeatStartListRows.h"
#include "print/CertificateJob.h"
#include "session/RaceSession.h"
#include "ui/startlist/CertificateDialog.h"
#include "ui/startlist/ImportClassTable.h"
#include "ui/startlist/ImportMappingDialog.h"
#include "ui/startlist/LateEntryDialog.h"
#include "ui/window/HeaderBand.h"
#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTest>
#include <QTimer>
#include <functional>

// The registrations and the certificates as an operator reaches them in the window, by their
// keys with the focus in the title line (whose X11 bindings know Ctrl+U): a club's workbook
// imported, a late entry timed, the podium's certificates as a PDF. Setting
// VELMORA_SCREENSHOT_DIR keeps a picture of each dialog for a look by eye.
class TestRegistrationXvfb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void importListsThenTimeALateEntry();
    void refusedFileLeavesTheList();
    void podiumCertificatesAsPdf();

private:
    static void pressInTitle(TimingWindowFixture& f, Qt::Key key);
};

namespace {

void keepScreenshot(QWidget& widget, const QString& name) {
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        widget.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

QString fileText(const QString& path, const char* encoding = "UTF-8") {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QStringDecoder decode(encoding);
    return decode(file.readAll());
}

} // namespace

void TestRegistrationXvfb::pressInTitle(TimingWindowFixture& f, Qt::Key key) {
    QLineEdit* title = f.window().header()->titleEdit;
    f.window().activateWindow();
    title->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), title);
    QTest::keyClick(title, key, Qt::ControlModifier);
}

void TestRegistrationXvfb::importListsThenTimeALateEntry() {
    TimingWindowFixture f;
    CompetitionTable& heat = f.window().session().competition().heatStartList();
    f.window().header()->titleEdit->setText(QStringLiteral("Rutschen-Cup"));

    // A club's Excel list: the operator says which class each class text means.
    f.install().dialogs().answer(QStringLiteral(VELMORA_TEST_DATA "/import/anmeldung.xlsx"));
    ImportPlan taken;
    whenShown<ImportMappingDialog>([&taken](ImportMappingDialog& dialog) {
        auto* classes = dialog.findChild<ImportClassTable*>();
        for (int row = 0; row < classes->texts().size(); ++row)
            classes->classBox(row)->setCurrentText(QString::number(row + 1));
        keepScreenshot(dialog, QStringLiteral("import-mapping"));
        taken = dialog.plan();
        dialog.acceptButton()->click();
    });
    pressInTitle(f, Qt::Key_I);
    QTRY_VERIFY(taken.added > 0);
    QCOMPARE(HeatStartListRows::read(heat), taken.rows);
    QCOMPARE(f.window().header()->titleEdit->text(), QStringLiteral("Rutschen-Cup"));

    // A late entry at the slide, selected and timed at once.
    whenShown<LateEntryDialog>([](LateEntryDialog& dialog) {
        dialog.findChild<QLineEdit*>("LateName")->setText(QStringLiteral("Spät"));
        keepScreenshot(dialog, QStringLiteral("late-entry"));
        dialog.acceptButton()->click();
    });
    pressInTitle(f, Qt::Key_L);
    QTRY_VERIFY(heat.findRow(1, QStringLiteral("Spät")) > 0);
    const int late = heat.findRow(1, QStringLiteral("Spät"));
    QCOMPARE(late, heat.rowsWithHeader() - 1);
    QCOMPARE(heat.selectedRow(), late);
    QVERIFY(f.run({"F5", "+12340", "F8", "F9"}));
    QCOMPARE(f.heatRow(late), heat.cell(0, late) + QStringLiteral(" 1234 . . ."));
    keepScreenshot(f.window(), QStringLiteral("late-entry-timed"));

    // Everything is in the backup and the journal already.
    const QString backup = fileText(f.window().session().backup()->backupPath(), "windows-1252");
    QVERIFY(backup.contains(QStringLiteral("Müller")));
    QVERIFY(backup.contains(QStringLiteral("Spät")));
    f.window().journal()->writer().flush();
    const QString journal = fileText(f.window().journal()->writer().pathFor(QDate::currentDate()));
    // The command comes first, then the rows it brought.
    const qsizetype import = journal.indexOf(QStringLiteral("Teilnehmer importieren..."));
    QVERIFY(import >= 0 && import < journal.indexOf(QStringLiteral("Müller")));
    QVERIFY(journal.indexOf(QStringLiteral("Nachmeldung...")) <
            journal.indexOf(QStringLiteral("Spät")));
}

void TestRegistrationXvfb::refusedFileLeavesTheList() {
    TimingWindowFixture f;
    f.addCompetitors(2);
    const QList<QStringList> before =
        HeatStartListRows::read(f.window().session().competition().heatStartList());
    f.install().dialogs().answer(QStringLiteral(VELMORA_TEST_DATA "/import/zipbomb.xlsx"));
    MessageBoxCatcher boxes;
    pressInTitle(f, Qt::Key_I);
    QTRY_COMPARE(boxes.seen.size(), 1);
    QVERIFY2(boxes.seen.first().text.startsWith(
                 QStringLiteral("Die Datei „zipbomb.xlsx“ kann nicht importiert werden.")),
             qPrintable(boxes.seen.first().text));
    QCOMPARE(HeatStartListRows::read(f.window().session().competition().heatStartList()), before);
}

void TestRegistrationXvfb::podiumCertificatesAsPdf() {
    TimingWindowFixture f;
    CertificateSample::fill(f.window().session().competition());
    for (const QString design : {"Urkunde-Podest.svg", "Urkunde-Teilnahme.svg"}) {
        QFile shipped(QStringLiteral(VELMORA_SOURCE_DIR "/data/") + design);
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QVERIFY(f.install().writeFile(design, shipped.readAll()));
    }
    f.window().header()->titleEdit->setText(QStringLiteral("Sommer & Sonne"));
    pressInTitle(f, Qt::Key_U);
    CertificateDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = f.window().findChild<CertificateDialog*>()) && dialog->isVisible());
    QCOMPARE(f.window().header()->titleEdit->text(), QStringLiteral("Sommer & Sonne"));
    QCOMPARE(dialog->leTitle->text(), QStringLiteral("Sommer & Sonne"));
    dialog->cbRecipients->setCurrentIndex(2); // the best of each class
    dialog->sePlaces->setValue(3);
    QCOMPARE(dialog->cbTemplate->currentText(), QStringLiteral("Urkunde-Podest"));
    QTRY_VERIFY(dialog->bPdf->isEnabled()); // once the design is read
    keepScreenshot(*dialog, QStringLiteral("certificates"));

    const QString pdf = f.install().filePath(QStringLiteral("Urkunden.pdf"));
    f.install().dialogs().answer(pdf);
    dialog->bPdf->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->job().running() && QFile::exists(pdf), 30000);
    const auto pages = CertificateSample::pdfPageTexts(pdf);
    if (!pages)
        QSKIP("pdftotext (poppler-utils) is not installed; the PDF's text cannot be read back");
    QCOMPARE(pages->size(), dialog->certificates().size());
    QVERIFY(pages->first().contains(QStringLiteral("Sommer & Sonne")));

    // A second Ctrl+U brings the same dialog back instead of another.
    pressInTitle(f, Qt::Key_U);
    QCOMPARE(f.window().findChildren<CertificateDialog*>().size(), 1);
}

QTEST_MAIN(TestRegistrationXvfb)
#include "tst_registration_xvfb.moc"
