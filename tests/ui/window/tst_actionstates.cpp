#include "ui/window/ActionStates.h"

#include <QTest>

// The availability rules of the output commands and the Word/Excel hints.
class TestActionStates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rules_data();
    void rules();
    void hints_data();
    void hints();
    void nothingEmptiesTheListDuringARun();
};

void TestActionStates::rules_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("shownHasData");
    QTest::addColumn<bool>("heatHasData");
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("excel");
    QTest::addColumn<bool>("templateExists");
    // expected: html, excel, neu, print, word, save, edit box
    QTest::addColumn<QList<bool>>("expected");

    using L = QList<bool>;
    QTest::newRow("empty heat list") << 0 << false << false << true << true << true
                                     << L{false, false, false, false, false, false, true};
    QTest::newRow("heat list with data") << 0 << true << true << false << false << false
                                         << L{true, false, true, true, false, true, true};
    QTest::newRow("office installed, template")
        << 0 << true << true << true << true << true << L{true, true, true, true, true, true, true};
    QTest::newRow("word without template") << 0 << true << true << true << true << false
                                           << L{true, true, true, true, false, true, true};
    QTest::newRow("results page with data") << 1 << true << true << true << true << true
                                            << L{true, true, false, true, true, true, false};
    QTest::newRow("final start list empty") << 2 << false << true << true << true << true
                                            << L{false, false, false, false, false, false, false};
    QTest::newRow("final results, heat list empty")
        << 3 << true << false << false << true << true
        << L{true, true, false, true, false, true, false};
}

void TestActionStates::rules() {
    QFETCH(int, page);
    QFETCH(bool, shownHasData);
    QFETCH(bool, heatHasData);
    QFETCH(bool, word);
    QFETCH(bool, excel);
    QFETCH(bool, templateExists);
    QFETCH(QList<bool>, expected);
    ActionStates::Inputs in;
    in.page = page;
    in.shownTableHasData = shownHasData;
    in.heatStartListHasData = heatHasData;
    in.wordInstalled = word;
    in.excelInstalled = excel;
    in.wordTemplateExists = templateExists;
    const ActionStates s = ActionStates::compute(in);
    const QList<bool> actual{s.html, s.excel, s.neu, s.print, s.word, s.save, s.editBoxVisible};
    QCOMPARE(actual, expected);
}

void TestActionStates::hints_data() {
    QTest::addColumn<bool>("hasData");
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("excel");
    QTest::addColumn<bool>("templateExists");
    QTest::addColumn<QString>("wordHint");
    QTest::addColumn<QString>("excelHint");

    const QString wordMissing = QStringLiteral("MS Word ist nicht eingerichtet");
    const QString excelMissing = QStringLiteral("MS Excel ist nicht eingerichtet");
    const QString noWordTemplate = QStringLiteral("Keine Wordvorlage unter /opt/v/Vorlage.docx");
    const QString empty = ActionStates::emptyTableHint();
    QTest::newRow("nothing installed")
        << true << false << false << true << wordMissing << excelMissing;
    // An empty table is the reason, whether or not a template is there.
    QTest::newRow("installed but no data") << false << true << true << true << empty << empty;
    QTest::newRow("no data, no template") << false << true << true << false << empty << empty;
    QTest::newRow("word template missing")
        << true << true << true << false << noWordTemplate << ActionStates::designedExcelHint();
    QTest::newRow("all available")
        << true << true << true << true << ActionStates::designedWordHint()
        << ActionStates::designedExcelHint();
}

void TestActionStates::hints() {
    QFETCH(bool, hasData);
    QFETCH(bool, word);
    QFETCH(bool, excel);
    QFETCH(bool, templateExists);
    QFETCH(QString, wordHint);
    QFETCH(QString, excelHint);
    ActionStates::Inputs in;
    in.shownTableHasData = hasData;
    in.heatStartListHasData = hasData;
    in.wordInstalled = word;
    in.excelInstalled = excel;
    in.wordTemplateExists = templateExists;
    in.wordTemplatePath = QStringLiteral("/opt/v/Vorlage.docx");
    const ActionStates s = ActionStates::compute(in);
    QCOMPARE(s.wordHint, wordHint);
    QCOMPARE(s.excelHint, excelHint);
}

void TestActionStates::nothingEmptiesTheListDuringARun() {
    ActionStates::Inputs in;
    in.shownTableHasData = in.heatStartListHasData = true;
    in.runUnderway = true;
    const ActionStates during = ActionStates::compute(in);
    QCOMPARE(QList<bool>({during.neu, during.replaceList, during.save}),
             QList<bool>({false, false, true}));
    QCOMPARE(during.newHint, ActionStates::runUnderwayHint());
    in.runUnderway = false;
    const ActionStates after = ActionStates::compute(in);
    QCOMPARE(QList<bool>({after.neu, after.replaceList}), QList<bool>({true, true}));
    QCOMPARE(after.newHint, ActionStates::designedNewHint());
}

QTEST_GUILESS_MAIN(TestActionStates)
#include "tst_actionstates.moc"
