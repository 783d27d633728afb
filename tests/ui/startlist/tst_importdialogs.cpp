#include "output/registration/RegistrationFileReader.h"
#include "ui/startlist/ImportClassTable.h"
#include "ui/startlist/ImportColumnTable.h"
#include "ui/startlist/ImportMappingDialog.h"
#include "ui/startlist/LateEntryDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTest>
#include <QTreeWidget>

namespace {

ImportWorkbook clubList() {
    return *RegistrationFileReader::readFile(
                QStringLiteral(VELMORA_TEST_DATA "/import/anmeldung.xlsx"))
                .workbook;
}

QStringList fieldCaptions(const ImportColumnTable& table) {
    QStringList captions;
    for (int column = 0; column < table.columnCount(); ++column)
        captions.append(table.fieldBox(column)->currentText());
    return captions;
}

QStringList reportLines(const QTreeWidget& report) {
    QStringList lines;
    for (int i = 0; i < report.topLevelItemCount(); ++i)
        lines.append(report.topLevelItem(i)->text(0) + u' ' + report.topLevelItem(i)->text(1));
    return lines;
}

QStringList row(const QStringList& first) {
    QStringList cells = first;
    cells.resize(11);
    return cells;
}

} // namespace

// The two forms an operator fills: the import's mapping and the late entry. What they show is
// what "Übernehmen" would do, and they offer it only when it does something sound.
class TestImportDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mappingOfAClubList();
    void anotherSheetIsGuessedAfresh();
    void lateEntry();
    void lateEntryMessageIsNotCut();
};

void TestImportDialogs::mappingOfAClubList() {
    const QList<QStringList> current{row({"13", "Vorhanden", "", "TV"})};
    ImportMappingDialog dialog(clubList(), current, ImportMemory(), "/tmp/anmeldung.xlsx");
    auto* columns = dialog.findChild<ImportColumnTable*>();
    auto* classes = dialog.findChild<ImportClassTable*>();
    auto* report = dialog.findChild<QTreeWidget*>("ImportReport");
    QCOMPARE(dialog.findChild<QComboBox*>("ImportHeaderRow")->currentText(),
             QStringLiteral("Zeile 3: Startnummer, Nachname, Vorname, Verein,…"));
    QCOMPARE(fieldCaptions(*columns),
             QStringList({"Nr.", "Name", "Vorname", "Verein/Ort", "Kl.", "nicht übernehmen",
                          "Meister", "nicht übernehmen", "nicht übernehmen"}));
    QCOMPARE(classes->texts(), QStringList({"Damen", "Herren", "Kinder"}));
    QVERIFY(!dialog.acceptButton()->isEnabled());

    classes->classBox(0)->setCurrentText("2");
    classes->classBox(2)->setCurrentText("4");
    dialog.findChild<QCheckBox*>("ImportNumber")->setChecked(true);
    QCOMPARE(reportLines(*report),
             QStringList({"5 „Verein/Ort“ enthält einen Zeilenumbruch; Klasse „Herren“ ist keiner "
                          "Klasse zugeordnet",
                          "6 Nr. 13 (Vorhanden) ist schon in der Startliste: übersprungen"}));
    QVERIFY(dialog.acceptButton()->isEnabled());
    QCOMPARE(dialog.plan().rows,
             QList<QStringList>({current.first(), row({"7", "Müller", "Anna", "SV Süd", "2", "+"}),
                                 row({"14", "Ohne", "Nummer", "Gast", "2", ""})}));
    QCOMPARE(dialog.plan().firstAddedRow, 2);

    // A column left out takes its problems with it.
    columns->fieldBox(3)->setCurrentText("nicht übernehmen");
    dialog.findChild<QRadioButton*>("ImportReplace")->setChecked(true);
    QCOMPARE(reportLines(*report), QStringList{"5 Klasse „Herren“ ist keiner Klasse zugeordnet"});
    QCOMPARE(dialog.findChild<QLabel*>("ImportSummary")->text(),
             QStringLiteral("3 Teilnehmer ersetzen die Startliste, 1 Zeile wird nicht "
                            "übernommen (Gründe unten), die bisherige Startliste mit allen "
                            "Zeiten geht verloren."));
    const ImportMemory memory = dialog.learnedMemory();
    QCOMPARE(memory.classes().value("damen"), QStringLiteral("2"));
    QCOMPARE(memory.fieldForHeader("Verein"), std::optional(ImportField::Ignore));

    columns->fieldBox(6)->setCurrentText("Nr.");
    QCOMPARE(dialog.findChild<QLabel*>("ImportSummary")->text(),
             QStringLiteral("„Nr.“ ist mehreren Spalten zugeordnet."));
}

void TestImportDialogs::anotherSheetIsGuessedAfresh() {
    ImportMappingDialog dialog(clubList(), {}, ImportMemory(), "anmeldung.xlsx");
    dialog.findChild<QComboBox*>("ImportSheet")->setCurrentIndex(1);
    QCOMPARE(fieldCaptions(*dialog.findChild<ImportColumnTable*>()),
             QStringList({"Nr.", "Name", "Vorname", "Verein/Ort", "Kl."}));
    QVERIFY(dialog.acceptButton()->isEnabled());
    QCOMPARE(dialog.plan().rows, QList<QStringList>{row({"40", "Spät", "Paul", "Gästehaus", "3"})});
}

void TestImportDialogs::lateEntry() {
    const QList<QStringList> current{row({"7", "Meier", "", "SV Süd"}),
                                     row({"9", "Ott", "", "TV"})};
    LateEntryDialog dialog(current);
    auto* nr = dialog.findChild<QLineEdit*>("LateNr");
    auto* name = dialog.findChild<QLineEdit*>("LateName");
    auto* problem = dialog.findChild<QLabel*>("LateProblem");
    QCOMPARE(nr->text(), QStringLiteral("10"));
    QVERIFY(!dialog.acceptButton()->isEnabled());
    QCOMPARE(problem->text(), QString());

    QTest::keyClicks(name, "Neu");
    QVERIFY(dialog.acceptButton()->isEnabled());
    nr->setText("7");
    QCOMPARE(problem->text(), QStringLiteral("Die Nr. 7 ist schon vergeben (Meier)."));
    QVERIFY(!dialog.acceptButton()->isEnabled());
    nr->clear();
    QTest::keyClicks(nr, "1x1");
    QCOMPARE(nr->text(), QStringLiteral("11"));

    auto* clubs = qobject_cast<QStringListModel*>(
        dialog.findChild<QLineEdit*>("LateVerein")->completer()->model());
    QCOMPARE(clubs->stringList(), QStringList({"SV Süd", "TV"}));
    dialog.findChild<QLineEdit*>("LateVerein")->setText("TV");
    dialog.findChild<QComboBox*>("LateKl")->setCurrentText("1");
    dialog.findChild<QCheckBox*>("LateMeister")->setChecked(true);
    QCOMPARE(dialog.entry().cells(), row({"11", "Neu", "", "TV", "1", "+"}));
}

void TestImportDialogs::lateEntryMessageIsNotCut() {
    LateEntryDialog dialog({row({"8", "Müller-Lüdenscheidt von und zu Oberammergau-Unterammergau "
                                      "und Garmisch-Partenkirchen an der Zugspitze"})});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.findChild<QLineEdit*>("LateNr")->setText("8");
    dialog.findChild<QLineEdit*>("LateName")->setText("Neu");
    auto* problem = dialog.findChild<QLabel*>("LateProblem");
    QVERIFY(!problem->text().isEmpty());
    QTRY_VERIFY(problem->height() >= problem->heightForWidth(problem->width()));
    QVERIFY(problem->heightForWidth(problem->width()) > 2 * problem->fontMetrics().lineSpacing());
    QVERIFY(problem->geometry().bottom() < dialog.acceptButton()->mapTo(&dialog, QPoint()).y());
}

QTEST_MAIN(TestImportDialogs)
#include "tst_importdialogs.moc"
