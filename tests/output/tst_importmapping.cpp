#include "output/registration/ImportGuess.h"
#include "output/registration/ImportMemory.h"

#include <QTest>

namespace {

ImportWorkbook::Sheet sheetOf(const QList<QStringList>& rows) {
    ImportWorkbook::Sheet sheet;
    int line = 0;
    for (const QStringList& cells : rows) {
        sheet.rows.append({++line, cells});
        sheet.columnCount = qMax(sheet.columnCount, static_cast<int>(cells.size()));
    }
    return sheet;
}

ImportWorkbook workbookOf(const QList<QStringList>& rows) {
    ImportWorkbook workbook;
    workbook.sheets.append(sheetOf(rows));
    return workbook;
}

QStringList captions(const QList<ImportField>& fields) {
    QStringList result;
    for (ImportField field : fields)
        result.append(ImportFields::caption(field));
    return result;
}

} // namespace

// The dialog's first proposal: column names the operator used before or that clubs commonly
// use, the content of files without names, and what the last import taught.
class TestImportMapping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fieldsFromColumnNames_data();
    void fieldsFromColumnNames();
    void headerRowBelowATitle();
    void fieldsFromContentWithoutNames();
    void classTableFromDigitsAndMemory();
    void memoryRoundTrip();
    void unreadableMemoryIsForgotten();
};

void TestImportMapping::fieldsFromColumnNames_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("the program's own captions")
        << QStringList{"Nr.", "Name", "Vorname", "Verein/Ort", "Kl.", "Meister", "Zeit1"}
        << QStringList{"Nr.", "Name",    "Vorname",         "Verein/Ort",
                       "Kl.", "Meister", "nicht übernehmen"};
    QTest::newRow("a club's list")
        << QStringList{"Start-Nr.", "Nachname", "Rufname", "Klasse", "Geburtsdatum", "Verein"}
        << QStringList{"Nr.", "Name", "Vorname", "Kl.", "nicht übernehmen", "Verein/Ort"};
    QTest::newRow("club beats town, whatever comes first")
        << QStringList{"Name", "Ort", "Verein"}
        << QStringList{"Name", "nicht übernehmen", "Verein/Ort"};
    QTest::newRow("the first of two equal names") << QStringList{"Name", "Name", "Startnummer"}
                                                  << QStringList{"Name", "nicht übernehmen", "Nr."};
    QTest::newRow("English names") << QStringList{"Bib", "Last name", "First name", "Club"}
                                   << QStringList{"Nr.", "Name", "Vorname", "Verein/Ort"};
}

void TestImportMapping::fieldsFromColumnNames() {
    QFETCH(QStringList, names);
    QFETCH(QStringList, fields);
    const ImportWorkbook::Sheet sheet = sheetOf({names, QStringList(names.size(), "x")});
    QCOMPARE(captions(ImportGuess::columnFields(sheet, 0, ImportMemory())), fields);
}

void TestImportMapping::headerRowBelowATitle() {
    const ImportWorkbook workbook =
        workbookOf({{"Meldeliste Cup 2024", ""}, {"Nachname", "Verein"}, {"Meier", "SV Süd"}});
    const ImportMapping mapping = ImportGuess::initialMapping(workbook, 0, ImportMemory());
    QCOMPARE(mapping.headerRow, 1);
    QCOMPARE(captions(mapping.columns), QStringList({"Name", "Verein/Ort"}));
    QCOMPARE(ImportGuess::headerRow(sheetOf({{"Meier", "Hans"}}), ImportMemory()), -1);
}

void TestImportMapping::fieldsFromContentWithoutNames() {
    const ImportWorkbook workbook = workbookOf({{"12", "Meier", "Hans", "SV", "Damen", "x"},
                                                {"13", "Kunz", "Eva", "TV", "2", ""},
                                                {"14", "Ott", "", "SV", "Damen", "ja"}});
    ImportMemory memory;
    ImportMapping taught;
    taught.headerRow = 0;
    taught.columns = {ImportField::Kl};
    taught.classes.insert("damen", "2");
    memory.learn(sheetOf({{"Klasse"}, {"Damen"}}), taught);
    const ImportMapping mapping = ImportGuess::initialMapping(workbook, 0, memory);
    QCOMPARE(mapping.headerRow, -1);
    QCOMPARE(captions(mapping.columns),
             QStringList({"Nr.", "Name", "Vorname", "Verein/Ort", "Kl.", "Meister"}));
}

void TestImportMapping::classTableFromDigitsAndMemory() {
    const ImportWorkbook::Sheet sheet =
        sheetOf({{"Klasse"}, {"Herren"}, {"Klasse 3"}, {"U12"}, {"2"}, {" herren "}, {"Damen"}});
    ImportMapping mapping;
    mapping.headerRow = 0;
    mapping.columns = {ImportField::Kl};
    QCOMPARE(ImportGuess::classTexts(sheet, mapping),
             QStringList({"Herren", "Klasse 3", "U12", "Damen"}));
    ImportMemory memory;
    ImportMapping last = mapping;
    last.classes = {{"herren", "1"}, {"damen", "2"}};
    memory.learn(sheet, last);
    mapping.classes = {{"damen", "3"}};
    const QMap<QString, QString> expected{{"herren", "1"}, {"klasse 3", "3"}, {"damen", "3"}};
    QCOMPARE(ImportGuess::completedClasses(sheet, mapping, memory), expected);
}

void TestImportMapping::memoryRoundTrip() {
    const ImportWorkbook::Sheet named =
        sheetOf({{"Startnr", "Familie", "Sparte"}, {"1", "A", "B"}});
    ImportMapping mapping;
    mapping.headerRow = 0;
    mapping.columns = {ImportField::Nr, ImportField::Name, ImportField::Verein};
    mapping.classes = {{"kinder", "4"}};
    mapping.existing = ImportMapping::Existing::Update;
    mapping.numberMissing = true;
    mapping.mode = ImportMapping::Mode::Replace;
    ImportMemory memory;
    memory.learn(named, mapping);
    const ImportWorkbook::Sheet unnamed = sheetOf({{"1", "A"}});
    ImportMapping byPosition = mapping;
    byPosition.headerRow = -1;
    byPosition.columns = {ImportField::Nr, ImportField::Vorname};
    memory.learn(unnamed, byPosition);

    const ImportMemory restored = ImportMemory::fromText(memory.toText());
    QCOMPARE(restored.fieldForHeader("SPARTE"), std::optional(ImportField::Verein));
    QCOMPARE(restored.fieldForHeader("Sonstiges"), std::nullopt);
    QCOMPARE(restored.fieldsByPosition(2),
             std::optional(QList<ImportField>{ImportField::Nr, ImportField::Vorname}));
    QCOMPARE(restored.fieldsByPosition(3), std::nullopt);
    QCOMPARE(restored.classes().value("kinder"), QStringLiteral("4"));
    QCOMPARE(restored.existing(), ImportMapping::Existing::Update);
    QVERIFY(restored.numberMissing());
    // The names the operator chose win over the common guesses next time.
    const ImportMapping next =
        ImportGuess::initialMapping(workbookOf({{"Familie", "Sparte", "Verein"}}), 0, restored);
    QCOMPARE(captions(next.columns), QStringList({"Name", "Verein/Ort", "nicht übernehmen"}));
    QCOMPARE(next.mode, ImportMapping::Mode::Append);
}

void TestImportMapping::unreadableMemoryIsForgotten() {
    const ImportMemory memory = ImportMemory::fromText("{\"headers\": [1, 2], \"classes\": "
                                                       "{\"herren\": \"9\"}, \"positions\": 3");
    QCOMPARE(memory.classes().size(), 0);
    QCOMPARE(memory.fieldsByPosition(0), std::nullopt);
    QCOMPARE(memory.existing(), ImportMapping::Existing::Skip);
}

QTEST_MAIN(TestImportMapping)
#include "tst_importmapping.moc"
