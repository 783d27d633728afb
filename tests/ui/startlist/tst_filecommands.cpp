#include "ui/startlist/FileCommands.h"
#include "widgets/FileDialogs.h"

#include <QTest>

// The small rules behind the file dialogs: the filter lists, which output a filter index
// writes, the name of the web page and the suffix a typed name gets.
class TestFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filters();
    void saveType_data();
    void saveType();
    void webPageName_data();
    void webPageName();
    void typedNameGetsSuffix_data();
    void typedNameGetsSuffix();
};

namespace {

const QStringList kTypeNames{QStringLiteral("Textdatei"), QStringLiteral("Webseite"),
                             QStringLiteral("MS Word"), QStringLiteral("MS Excel")};

} // namespace

void TestFileCommands::filters() {
    QCOMPARE(FileCommands::openFilters(kTypeNames), QStringList{"Textdatei (*.txt)"});
    QCOMPARE(FileCommands::saveFilters(kTypeNames),
             (QStringList{"Textdatei (*.txt)", "MS Excel (*.csv)", "MS Word (*.docx)",
                          "Webseite (*.html)"}));
}

void TestFileCommands::saveType_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("type");
    using T = FileCommands::SaveType;
    QTest::newRow("1 text") << 1 << int(T::Text);
    QTest::newRow("2 csv") << 2 << int(T::Csv);
    QTest::newRow("3 word") << 3 << int(T::Word);
    QTest::newRow("4 html") << 4 << int(T::WebPage);
    QTest::newRow("0 text") << 0 << int(T::Text);
    QTest::newRow("5 text") << 5 << int(T::Text);
    QTest::newRow("-1 text") << -1 << int(T::Text);
}

void TestFileCommands::saveType() {
    QFETCH(int, index);
    QFETCH(int, type);
    QCOMPARE(int(FileCommands::saveType(index)), type);
}

void TestFileCommands::webPageName_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("heat start list") << "Velmora"
                                     << "      Vorlauf-Startliste"
                                     << "Velmora_Vorlauf-Startliste.html";
    QTest::newRow("renamed, final results") << "Rutsche2"
                                            << "      Endlauf-Ergebnisse"
                                            << "Rutsche2_Endlauf-Ergebnisse.html";
    QTest::newRow("blanks at both ends") << "V"
                                         << "  a b  "
                                         << "V_a b.html";
}

void TestFileCommands::webPageName() {
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QCOMPARE(FileCommands::webPageName(title, caption), name);
}

void TestFileCommands::typedNameGetsSuffix_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("text") << "/d/lauf" << 1 << "/d/lauf.txt";
    QTest::newRow("csv") << "/d/lauf" << 2 << "/d/lauf.csv";
    QTest::newRow("word") << "/d/lauf" << 3 << "/d/lauf.docx";
    QTest::newRow("html") << "/d/lauf" << 4 << "/d/lauf.html";
    QTest::newRow("other index: default") << "/d/lauf" << 7 << "/d/lauf.txt";
    QTest::newRow("own suffix kept") << "/d/lauf.dat" << 2 << "/d/lauf.dat";
    QTest::newRow("dot in folder only") << "/d.x/lauf" << 2 << "/d.x/lauf.csv";
}

void TestFileCommands::typedNameGetsSuffix() {
    QFETCH(QString, typed);
    QFETCH(int, index);
    QFETCH(QString, name);
    FileDialogs::Request request{FileCommands::saveFilters(kTypeNames), 1, QString(),
                                 QStringLiteral("txt")};
    QCOMPARE(FileDialogs::withSuffix(typed, request, index), name);
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
