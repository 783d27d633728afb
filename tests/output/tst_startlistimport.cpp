#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "output/registration/HeatStartListRows.h"
#include "output/registration/LateEntry.h"
#include "output/registration/StartListImport.h"

#include <QTest>

namespace {

// A file with the columns Nr, Name, Vorname, Verein, Klasse, Meister under a header row.
ImportWorkbook::Sheet fileOf(const QList<QStringList>& rows) {
    ImportWorkbook::Sheet sheet;
    sheet.columnCount = 6;
    sheet.rows.append({1, {"Nr", "Name", "Vorname", "Verein", "Klasse", "Meister"}});
    int line = 1;
    for (QStringList cells : rows) {
        cells.resize(6);
        sheet.rows.append({++line, cells});
    }
    return sheet;
}

ImportMapping standardMapping() {
    ImportMapping mapping;
    mapping.headerRow = 0;
    mapping.columns = {ImportField::Nr,     ImportField::Name, ImportField::Vorname,
                       ImportField::Verein, ImportField::Kl,   ImportField::Meister};
    mapping.classes = {{"damen", "2"}};
    return mapping;
}

QStringList row(const QStringList& first, const QStringList& times = {}) {
    QStringList cells = first + times;
    cells.resize(11);
    return cells;
}

QStringList notes(const QList<ImportPlan::Note>& list) {
    QStringList result;
    for (const ImportPlan::Note& note : list)
        result.append(QStringLiteral("%1: %2").arg(note.line).arg(note.text));
    return result;
}

} // namespace

// An import changes the heat start list only by rows that passed every check, and says for
// every other row of the file why it was not taken.
class TestStartListImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowsThatCannotBeTaken_data();
    void rowsThatCannotBeTaken();
    void mappingThatCannotWork_data();
    void mappingThatCannotWork();
    void appendSkipsOrUpdatesListedNumbers();
    void replaceDropsTheOldList();
    void missingNumbersAreGivenFreeOnes();
    void closingLinesRegisterNobody_data();
    void closingLinesRegisterNobody();
    void sameFileTwiceAddsNobody();
    void rowsWrittenIntoTheTable();
    void lateEntry_data();
    void lateEntry();
};

void TestStartListImport::rowsThatCannotBeTaken_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("reason");
    QTest::newRow("taken") << QStringList{"007", " Meier ", "Eva", "SV", "Damen", "X"} << "";
    QTest::newRow("no name") << QStringList{"7", "", "Eva"} << "2: kein Name";
    QTest::newRow("no number") << QStringList{"", "Meier"} << "2: keine Nr.";
    QTest::newRow("number with letters")
        << QStringList{"7a", "Meier"} << "2: Nr. „7a“ ist keine Zahl";
    QTest::newRow("class 5") << QStringList{"7", "Meier", "", "", "5"}
                             << "2: Klasse „5“ liegt nicht zwischen 1 und 4";
    QTest::newRow("class text not in the table")
        << QStringList{"7", "Meier", "", "", "Herren"}
        << "2: Klasse „Herren“ ist keiner Klasse zugeordnet";
    QTest::newRow("mark not understood")
        << QStringList{"7", "Meier", "", "", "", "vielleicht"}
        << "2: Meister „vielleicht“ nicht verstanden (+, x, ja oder 1)";
    QTest::newRow("line break in the club") << QStringList{"7", "Meier", "", "TV Nord\nAbteilung"}
                                            << "2: „Verein/Ort“ enthält einen Zeilenumbruch";
    QTest::newRow("character outside the code page")
        << QStringList{"7", "Łukasz", "", "", "", ""}
        << "2: „Name“ enthält „Ł“, das die Protokolldatei nicht speichern kann";
    QTest::newRow("emoji")
        << QStringList{"7", "Meier", "😀"}
        << "2: „Vorname“ enthält „😀“, das die Protokolldatei nicht speichern kann";
    QTest::newRow("every reason at once")
        << QStringList{"x", "", "", "", "9", "?"}
        << "2: Nr. „x“ ist keine Zahl; kein Name; Klasse „9“ liegt nicht zwischen 1 und 4; "
           "Meister „?“ nicht verstanden (+, x, ja oder 1)";
}

void TestStartListImport::rowsThatCannotBeTaken() {
    QFETCH(QStringList, cells);
    QFETCH(QString, reason);
    const ImportPlan plan = StartListImport::plan({}, fileOf({cells}), standardMapping());
    QCOMPARE(notes(plan.rejected).join(u'\n'), reason);
    QCOMPARE(plan.added, reason.isEmpty() ? 1 : 0);
    if (reason.isEmpty())
        QCOMPARE(plan.rows, QList<QStringList>{row({"7", "Meier", "Eva", "SV", "2", "+"})});
}

void TestStartListImport::mappingThatCannotWork_data() {
    QTest::addColumn<QList<ImportField>>("columns");
    QTest::addColumn<QString>("blocker");
    QTest::newRow("no name column")
        << QList<ImportField>{ImportField::Nr} << "Keine Spalte ist „Name“ zugeordnet.";
    QTest::newRow("two number columns")
        << QList<ImportField>{ImportField::Nr, ImportField::Name, ImportField::Nr}
        << "„Nr.“ ist mehreren Spalten zugeordnet.";
}

void TestStartListImport::mappingThatCannotWork() {
    QFETCH(QList<ImportField>, columns);
    QFETCH(QString, blocker);
    ImportMapping mapping = standardMapping();
    mapping.columns = columns;
    const QList<QStringList> current{row({"1", "Alt"})};
    const ImportPlan plan = StartListImport::plan(current, fileOf({{"7", "Meier"}}), mapping);
    QCOMPARE(plan.blocker, blocker);
    QCOMPARE(plan.rows, current);
    QVERIFY(!plan.changesList());
}

void TestStartListImport::appendSkipsOrUpdatesListedNumbers() {
    const QList<QStringList> current{row({"7", "Alt", "Eva", "SV", "1", ""}, {"10,00", "11,00"}),
                                     row({}), row({})};
    const auto file = fileOf({{"7", "Neu", "Eva", "TV", "2"}, {"8", "Kunz"}, {"8", "Doppelt"}});
    ImportMapping mapping = standardMapping();

    ImportPlan plan = StartListImport::plan(current, file, mapping);
    QCOMPARE(plan.rows, QList<QStringList>({current.first(), row({"8", "Kunz", "", "", "4", ""})}));
    QCOMPARE(notes(plan.alreadyListed),
             QStringList{"2: Nr. 7 (Alt) ist schon in der Startliste: übersprungen"});
    QCOMPARE(notes(plan.rejected), QStringList{"4: Nr. 8 steht schon in Zeile 3"});
    QCOMPARE(plan.firstAddedRow, 2);

    mapping.existing = ImportMapping::Existing::Update;
    plan = StartListImport::plan(current, file, mapping);
    QCOMPARE(plan.rows.first(), row({"7", "Neu", "Eva", "TV", "2", ""}, {"10,00", "11,00"}));
    QCOMPARE(plan.updated, 1);
    QCOMPARE(notes(plan.alreadyListed),
             QStringList{"2: Nr. 7 (Alt) ist schon in der Startliste: aktualisiert, die Zeiten "
                         "bleiben"});
}

void TestStartListImport::replaceDropsTheOldList() {
    ImportMapping mapping = standardMapping();
    mapping.mode = ImportMapping::Mode::Replace;
    const ImportPlan plan =
        StartListImport::plan({row({"7", "Alt"}, {"10,00"})}, fileOf({{"7", "Neu"}}), mapping);
    QCOMPARE(plan.rows, QList<QStringList>{row({"7", "Neu", "", "", "4", ""})});
    QVERIFY(plan.alreadyListed.isEmpty());
    QVERIFY(plan.changesList());
}

void TestStartListImport::missingNumbersAreGivenFreeOnes() {
    ImportMapping mapping = standardMapping();
    mapping.numberMissing = true;
    mapping.firstNumber = 10;
    const ImportPlan plan = StartListImport::plan(
        {row({"10", "Liste"})}, fileOf({{"", "A"}, {"11", "B"}, {"", "C"}, {"", "D"}}), mapping);
    QStringList numbers;
    for (const QStringList& cells : plan.rows)
        numbers.append(cells.first() + u' ' + cells.at(1));
    QCOMPARE(numbers, QStringList({"10 Liste", "12 A", "11 B", "13 C", "14 D"}));
    QCOMPARE(StartListImport::nextFreeNumber(plan.rows), 15);
}

void TestStartListImport::closingLinesRegisterNobody_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("reason");
    QTest::newRow("label in a column left out")
        << QStringList{"Summe Meldungen:", "19"}
        << "nur Beschriftung und Zahl („Summe Meldungen:“, „19“), keine Meldung";
    QTest::newRow("label as the name")
        << QStringList{"", "Gesamt", "", "", "19"}
        << "nur Beschriftung und Zahl („Gesamt“, „19“), keine Meldung";
    QTest::newRow("label and number in one cell")
        << QStringList{"", "Anzahl: 19"}
        << "nur Beschriftung und Zahl („Anzahl: 19“), keine Meldung";
    QTest::newRow("name only a number")
        << QStringList{"", "1.234"} << "Name „1.234“ ist nur eine Zahl";
    QTest::newRow("first name only a number")
        << QStringList{"", "Meier", "19"} << "Vorname „19“ ist nur eine Zahl";
    QTest::newRow("a name and a class is someone") << QStringList{"", "Meier", "", "", "3"} << "";
}

void TestStartListImport::closingLinesRegisterNobody() {
    QFETCH(QStringList, cells);
    QFETCH(QString, reason);
    ImportMapping mapping = standardMapping();
    mapping.columns.first() = ImportField::Ignore;
    mapping.numberMissing = true;
    mapping.firstNumber = 94;
    const ImportPlan plan = StartListImport::plan({}, fileOf({cells}), mapping);
    QCOMPARE(notes(plan.rejected), reason.isEmpty() ? QStringList() : QStringList{"2: " + reason});
    QCOMPARE(plan.added, reason.isEmpty() ? 1 : 0);
}

void TestStartListImport::sameFileTwiceAddsNobody() {
    const auto file = fileOf({{"", "Meier", "Eva", "SV", "Damen"}, {"", "Kunz", "", "TV"}});
    ImportMapping mapping = standardMapping();
    mapping.numberMissing = true;
    const ImportPlan first = StartListImport::plan({}, file, mapping);
    QCOMPARE(first.added, 2);

    // Told apart by name, first name, club and class, whatever the case and blanks.
    const auto again = fileOf({{"", "meier", "Eva", " SV ", "Damen"},
                               {"", "Kunz", "", "TV"},
                               {"", "Kunz", "", "TV", "1"},
                               {"", "Kunz", "", "TV", "1"}});
    for (const bool numberMissing : {true, false}) {
        mapping.numberMissing = numberMissing;
        const ImportPlan plan = StartListImport::plan(first.rows, again, mapping);
        QCOMPARE(notes(plan.alreadyListed),
                 QStringList({"2: Nr. 1 (Meier) ist schon in der Startliste: übersprungen",
                              "3: Nr. 2 (Kunz) ist schon in der Startliste: übersprungen"}));
        QCOMPARE(plan.added, numberMissing ? 1 : 0);
        QCOMPARE(notes(plan.rejected), numberMissing
                                           ? QStringList{"5: „Kunz“ steht schon in Zeile 4"}
                                           : QStringList({"4: keine Nr.", "5: keine Nr."}));
    }
}

void TestStartListImport::rowsWrittenIntoTheTable() {
    CompetitionTable grid(11);
    grid.setRowCells(0, StageTables::defaultCaptions(StageTables::HeatStartList));
    grid.setRowsWithHeader(4);
    grid.setModified(false);
    const QList<QStringList> rows{row({"1", "A"}), row({"2", "B"})};
    HeatStartListRows::write(grid, rows, 2);
    QCOMPARE(HeatStartListRows::read(grid), rows);
    QCOMPARE(grid.cell(0, 0), QStringLiteral("Nr."));
    QCOMPARE(grid.selectedRow(), 2);
    QVERIFY(grid.modified());
    HeatStartListRows::write(grid, {});
    QCOMPARE(grid.rowsWithHeader(), 2);
    QVERIFY(grid.isRowEmpty(1));
}

void TestStartListImport::lateEntry_data() {
    QTest::addColumn<QString>("nr");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem");
    QTest::newRow("proposal taken") << ""
                                    << "Neu"
                                    << "";
    QTest::newRow("number in use") << "07"
                                   << "Neu"
                                   << "Die Nr. 7 ist schon vergeben (Meier).";
    QTest::newRow("no number") << " "
                               << "Neu"
                               << "Die Nr. muss eine Zahl sein.";
    QTest::newRow("no name") << "12"
                             << "  "
                             << "Bitte einen Namen eingeben.";
    QTest::newRow("unstorable name")
        << "12"
        << "Dvořák"
        << "„Name“ enthält „ř“, das die Protokolldatei nicht speichern kann.";
}

void TestStartListImport::lateEntry() {
    QFETCH(QString, nr);
    QFETCH(QString, name);
    QFETCH(QString, problem);
    const QList<QStringList> rows{row({"7", "Meier", "", "SV Süd"}), row({"9", "Ott", "", "tv"}),
                                  row({"3", "Kunz", "", "sv süd"})};
    LateEntry entry = LateEntry::proposal(rows);
    QCOMPARE(entry.nr, QStringLiteral("10"));
    QCOMPARE(LateEntry::clubs(rows), QStringList({"SV Süd", "tv"}));
    if (!nr.isEmpty())
        entry.nr = nr;
    entry.name = name;
    entry.verein = " SV Süd ";
    entry.kl = "2";
    entry.meister = true;
    QCOMPARE(entry.problem(rows), problem);
    if (problem.isEmpty())
        QCOMPARE(entry.cells(), row({"10", "Neu", "", "SV Süd", "2", "+"}));
}

QTEST_MAIN(TestStartListImport)
#include "tst_startlistimport.moc"
