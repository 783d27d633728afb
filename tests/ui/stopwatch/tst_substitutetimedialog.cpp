#include "mock/FakeFileDialogs.h"
#include "print/PrinterSetup.h"
#include "ui/stopwatch/SubstituteTimeDialog.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

using Run = SubstituteTime::Run;

// Eleven runs as in the worked example; the sixth has no A stop and the given B.
SubstituteEvidence::Input worked(std::optional<qint64> bOfTheSixth, bool neighbours = true) {
    const qint64 differences[] = {12000, 15000, 9000,  14000, 11000, 0,
                                  13000, 10000, 16000, 12000, 15000};
    SubstituteEvidence::Input input;
    for (int i = 0; i < 11; ++i) {
        const qint64 a = 30'000'000 + i * 100'000;
        input.runs.push_back(neighbours ? Run{a, a - differences[i]} : Run{a, std::nullopt});
    }
    input.runs[5] = Run{std::nullopt, bOfTheSixth};
    input.target = 5;
    input.event = QStringLiteral("Kreismeisterschaft <Süd>");
    input.competitor = QStringLiteral("11 Berg Anna (SV Nord)");
    input.when = QDateTime(QDate(2026, 6, 13), QTime(14, 5));
    return input;
}

} // namespace

// "Ersatzzeit berechnen": what the dialog offers to enter and the evidence page it keeps.
class TestSubstituteTimeDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offersASubstitute_data();
    void offersASubstitute();
    void evidenceAsPdf();
    void evidencePrinted_data();
    void evidencePrinted();
};

void TestSubstituteTimeDialog::offersASubstitute_data() {
    QTest::addColumn<qint64>("b"); // 0: System B has no time
    QTest::addColumn<bool>("neighbours");
    QTest::addColumn<bool>("askHand"); // "Handzeit eintragen..."
    QTest::addColumn<QString>("hand");
    QTest::addColumn<int>("result"); // -1: nothing to enter
    QTest::addColumn<QString>("shown");

    QTest::newRow("System B") << qint64(31'455'000) << true << false << "" << 3146
                              << "31,4550 s +0,0127 s = 31,4677 s, auf Hundertstel abgeschnitten";
    QTest::newRow("hand time typed") << qint64(0) << true << false << "31,48" << 3149
                                     << "Grundlage ist die Handzeit: <b>31,4800 s";
    QTest::newRow("no hand time yet")
        << qint64(0) << true << false << "" << -1 << "Bitte die Handzeit";
    QTest::newRow("unreadable hand time")
        << qint64(0) << true << false << "abc" << -1 << "Handzeit";
    QTest::newRow("no run to compare with")
        << qint64(31'455'000) << false << false << "" << -1 << "Kein Lauf mit Zeiten von System A";
    QTest::newRow("hand time chosen although B has one")
        << qint64(31'455'000) << true << true << "31,48" << 3149 << "Handzeit: <b>31,4800 s";
}

void TestSubstituteTimeDialog::offersASubstitute() {
    QFETCH(qint64, b);
    QFETCH(bool, neighbours);
    QFETCH(bool, askHand);
    QFETCH(QString, hand);
    QFETCH(int, result);
    QFETCH(QString, shown);
    FakeFileDialogs files;
    SubstituteTimeDialog dialog(worked(b ? std::optional(b) : std::nullopt, neighbours),
                                TimeFormat(1, u','), files, askHand);
    QCOMPARE(dialog.handTime != nullptr, b == 0 || askHand);
    if (dialog.handTime)
        dialog.handTime->setText(hand);
    QCOMPARE(dialog.resultHundredths(), result < 0 ? std::nullopt : std::optional<qint32>(result));
    QCOMPARE(dialog.enterButton->isEnabled(), result >= 0);
    QCOMPARE(dialog.pdfButton->isEnabled(), result >= 0);
    // The calculation when there is one, else why not.
    const QString text =
        result >= 0 ? SubstituteEvidence::html(dialog.evidence()) : dialog.enterButton->toolTip();
    QVERIFY2(text.contains(shown), qPrintable(text));
    QCOMPARE(dialog.page->toPlainText().isEmpty(), result < 0);
}

void TestSubstituteTimeDialog::evidenceAsPdf() {
    FakeFileDialogs files;
    SubstituteTimeDialog dialog(worked(31'455'000), TimeFormat(1, u','), files);
    const QString html = SubstituteEvidence::html(dialog.evidence());
    // Every run used, with its A, B and A-B, and the event's name escaped.
    for (const char* row : {"<td>1</td>", "<td>5</td>", "<td>7</td>", "<td>11</td>"})
        QVERIFY2(html.contains(QLatin1String(row)), row);
    QVERIFY(!html.contains(QStringLiteral("<td>6</td>")));
    QVERIFY(html.contains(QStringLiteral("+0,0160")));
    QVERIFY(html.contains(QStringLiteral("Kreismeisterschaft &lt;Süd&gt;")));
    QCOMPARE(SubstituteEvidence::summary(dialog.evidence()),
             QStringLiteral("31,4550 s (System B) +0,0127 s (Mittel A-B aus 10 Läufen: 5 davor, "
                            "5 danach) = 31,46 s; Läufe 1, 2, 3, 4, 5, 7, 8, 9, 10, 11"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ersatzzeit-Nachweis.pdf"));
    QFile stale(path);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("old");
    stale.close();
    QVERIFY(dialog.writePdf(path));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5).startsWith("%PDF"));
}

void TestSubstituteTimeDialog::evidencePrinted_data() {
    QTest::addColumn<bool>("printer");
    QTest::addColumn<bool>("neighbours");
    QTest::addColumn<bool>("confirmed"); // the print dialog's answer
    QTest::addColumn<QString>("why");    // the disabled button's tooltip, empty when enabled
    QTest::newRow("printed") << true << true << true << "";
    QTest::newRow("print dialog cancelled") << true << true << false << "";
    QTest::newRow("no printer") << false << true << true << "Es ist kein Drucker eingerichtet.";
    QTest::newRow("nothing calculated") << true << false << true << "Kein Lauf mit Zeiten";
}

void TestSubstituteTimeDialog::evidencePrinted() {
    QFETCH(bool, printer);
    QFETCH(bool, neighbours);
    QFETCH(bool, confirmed);
    QFETCH(QString, why);
    FakeFileDialogs files;
    PrinterSetup printers([printer] { return printer; });
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gedruckt.pdf"));
    int asked = 0;
    SubstituteTimeDialog dialog(worked(31'455'000, neighbours), TimeFormat(1, u','), files);
    // The printer chosen is a file here, so that the page can be seen to be printed.
    dialog.setPrinting(&printers, [&](QPrinter& chosen, int pages, QWidget*) {
        ++asked;
        chosen.setOutputFormat(QPrinter::PdfFormat);
        chosen.setOutputFileName(path);
        return confirmed && pages == 1;
    });
    QCOMPARE(dialog.printButton->isEnabled(), why.isEmpty());
    const QString tip = dialog.printButton->toolTip();
    QVERIFY2(why.isEmpty() ? tip.isEmpty() : tip.startsWith(why), qPrintable(tip));
    dialog.printButton->click();
    QCOMPARE(asked, why.isEmpty() ? 1 : 0);
    QFile pdf(path);
    QCOMPARE(pdf.open(QIODevice::ReadOnly), why.isEmpty() && confirmed);
    if (pdf.isOpen())
        QVERIFY(pdf.read(5).startsWith("%PDF"));
    QCOMPARE(printers.printer().docName(), why.isEmpty() ? SubstituteEvidence::title() : QString());
}

QTEST_MAIN(TestSubstituteTimeDialog)
#include "tst_substitutetimedialog.moc"
