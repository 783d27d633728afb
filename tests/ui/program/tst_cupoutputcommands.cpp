#include "competition/CompetitionTable.h"
#include "cup/CupSample.h"
#include "mock/CertificateSample.h"
#include "mock/FakeFileDialogs.h"
#include "print/GridPrinter.h"
#include "print/PrintPreviewWindow.h"
#include "session/ProgramEnvironment.h"
#include "ui/program/CupCertificateCommand.h"
#include "ui/program/CupPrintCommand.h"
#include "ui/startlist/CertificateDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

// What the cup window's print, PDF and certificate entries open: the program's print preview
// with the standings, a PDF of them, and the certificate dialog with the cup's podium.
class TestCupOutputCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void previewShowsTheStandings();
    void pdfOfTheStandings();
    void podiumCertificates();
};

namespace {

struct Fixture {
    std::shared_ptr<FakeFileDialogs> dialogs = std::make_shared<FakeFileDialogs>();
    PrintPreviewWindow preview{dialogs, nullptr, [] {
                                   return false;
                               }};
    QTemporaryDir dir;
};

} // namespace

void TestCupOutputCommands::previewShowsTheStandings() {
    Fixture f;
    CupPrintCommand command(f.preview, QStringLiteral("Velmora"),
                            [](QPrinter&, int, QWidget*) { return true; });
    QVERIFY(command.preview(nullptr, CupSample::standings(), QStringLiteral("Winter-Cup"),
                            CupRules::Scoring::PointsTable));
    QVERIFY(f.preview.isVisible());
    QCOMPARE(f.preview.windowTitle(), QStringLiteral("Druckvorschau Winter-Cup"));
    const CompetitionTable& grid = f.preview.table()->grid();
    QCOMPARE(grid.printOptions().pageTitle, QStringLiteral("Winter-Cup"));
    QCOMPARE(grid.cell(1, 1), QStringLiteral("Klasse 3"));
    QCOMPARE(grid.cell(6, 2), QStringLiteral("(60)"));
    // A second printout takes the place of the first.
    QVERIFY(command.preview(nullptr, CupSample::standings(), QStringLiteral("Sommer-Cup"),
                            CupRules::Scoring::PointsTable));
    QCOMPARE(f.preview.table()->grid().printOptions().pageTitle, QStringLiteral("Sommer-Cup"));
    QCOMPARE(f.preview.findChildren<QObject*>(QStringLiteral("cupPrintout")).size(), 1);
}

void TestCupOutputCommands::pdfOfTheStandings() {
    Fixture f;
    CupPrintCommand command(f.preview, QStringLiteral("Velmora"));
    const QString file = f.dir.filePath(QStringLiteral("cup.pdf"));
    f.dialogs->answer(file);
    command.exportPdf(CupSample::standings(), QStringLiteral("Winter-Cup"),
                      CupRules::Scoring::PointsTable);
    QCOMPARE(f.dialogs->saveRequests.value(0).fileName, QStringLiteral("Velmora_Winter-Cup.pdf"));
    QVERIFY(f.preview.jobs().waitForIdle(20000));
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(5) == "%PDF-");
    const auto pages = CertificateSample::pdfPageTexts(file);
    if (!pages)
        QSKIP("pdftotext (poppler-utils) is not installed; the PDF's text cannot be read back");
    const QString text = pages->join(u'\n').simplified();
    for (const char* expected :
         {"Winter-Cup", "Klasse 3", "Müller", "(60)", "annulliert", "Lauf 2 annulliert: Sturm",
          "Vereine", "Huber Max (160)", "zu wenige Starts (1 von 2)", "Lauf 3 <Süd>"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
}

void TestCupOutputCommands::podiumCertificates() {
    QTemporaryDir dir;
    ProgramEnvironment environment(dir.filePath(QStringLiteral("Velmora")));
    environment.setDataDir(QStringLiteral(VELMORA_SOURCE_DIR "/data"));
    auto dialogs = std::make_shared<FakeFileDialogs>();
    QWidget window;
    CupCertificateCommand command(environment, dialogs, &window);
    command.show(CupSample::standings(), QStringLiteral("Winter-Cup"),
                 CupRules::Scoring::PointsTable, nullptr);
    CertificateDialog* dialog = command.dialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->leTitle->text(), QStringLiteral("Winter-Cup"));
    QVERIFY(!dialog->cbRecipients->isEnabled());
    QVERIFY(dialog->sePlaces->isEnabled());
    QCOMPARE(dialog->certificates().size(), 3);
    QCOMPARE(dialog->certificates().at(0).value(QStringLiteral("Punkte")), QStringLiteral("180"));
    dialog->sePlaces->setValue(1);
    QCOMPARE(dialog->certificates().size(), 2);
    dialog->leTitle->setText(QStringLiteral("Siegerehrung"));
    QCOMPARE(dialog->certificates().at(1).value(QStringLiteral("Titel")),
             QStringLiteral("Siegerehrung"));
    QCOMPARE(dialog->certificates().at(1).value(QStringLiteral("Cup")),
             QStringLiteral("Winter-Cup"));
    QCOMPARE(dialog->certificates().at(1).value(QStringLiteral("Name")), QStringLiteral("Lang"));
    // Shown again with new standings: the open dialog reads them.
    CupStandings fewer = CupSample::standings();
    fewer.classes.removeLast();
    command.show(fewer, QStringLiteral("Winter-Cup"), CupRules::Scoring::PointsTable, nullptr);
    QCOMPARE(command.dialog(), dialog);
    QCOMPARE(dialog->certificates().size(), 1);
}

QTEST_MAIN(TestCupOutputCommands)
#include "tst_cupoutputcommands.moc"
