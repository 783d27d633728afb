#include "competition/CellEditRules.h"
#include "competition/StageTables.h"

#include <QTest>

namespace Heat = StageTables::Heat;
using Action = CellEditRules::KeyAction;

Q_DECLARE_METATYPE(CellEditRules::KeyAction)

// The heat start list's typing rules, validation and storable text, column by column.
class TestCellEditRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyPress_data();
    void keyPress();
    void selectable_data();
    void selectable();
    void validate_data();
    void validate();
    void storableInput_data();
    void storableInput();
};

void TestCellEditRules::keyPress_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<QString>("current");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("text");

    QTest::newRow("Nr. digit") << int(Heat::Nr) << QChar(u'7') << "1" << Action::Pass << "";
    QTest::newRow("Nr. letter") << int(Heat::Nr) << QChar(u'x') << "1" << Action::Ignore << "";
    QTest::newRow("Nr. minus") << int(Heat::Nr) << QChar(u'-') << "1" << Action::Ignore << "";
    QTest::newRow("Nr. backspace") << int(Heat::Nr) << QChar(u'\b') << "1" << Action::Pass << "";
    QTest::newRow("Nr. enter") << int(Heat::Nr) << QChar(u'\r') << "1" << Action::Pass << "";
    QTest::newRow("Name umlaut") << int(Heat::Name) << QChar(u'ü') << "M" << Action::Pass << "";
    QTest::newRow("Name euro") << int(Heat::Name) << QChar(u'€') << "" << Action::Pass << "";
    QTest::newRow("Name L stroke") << int(Heat::Name) << QChar(u'Ł') << "" << Action::Ignore << "";
    QTest::newRow("Verein control key left to the editor")
        << int(Heat::Verein) << QChar(u'\x1a') << "" << Action::Pass << "";
    QTest::newRow("Vorname escape")
        << int(Heat::Vorname) << QChar(u'\x1b') << "" << Action::Pass << "";
    QTest::newRow("Kl. 3") << int(Heat::Kl) << QChar(u'3') << "4" << Action::Replace << "3";
    QTest::newRow("Kl. 1") << int(Heat::Kl) << QChar(u'1') << "" << Action::Replace << "1";
    QTest::newRow("Kl. 7") << int(Heat::Kl) << QChar(u'7') << "4" << Action::Ignore << "";
    QTest::newRow("Kl. 0") << int(Heat::Kl) << QChar(u'0') << "4" << Action::Ignore << "";
    QTest::newRow("Kl. backspace") << int(Heat::Kl) << QChar(u'\b') << "4" << Action::Ignore << "";
    QTest::newRow("Kl. enter") << int(Heat::Kl) << QChar(u'\r') << "4" << Action::Pass << "";
    QTest::newRow("Meister set") << int(Heat::Meister) << QChar(u'x') << "" << Action::Replace
                                 << "+";
    QTest::newRow("Meister clear")
        << int(Heat::Meister) << QChar(u' ') << "+" << Action::Replace << "";
    QTest::newRow("Meister odd text")
        << int(Heat::Meister) << QChar(u'+') << "j" << Action::Replace << "+";
    QTest::newRow("Meister backspace")
        << int(Heat::Meister) << QChar(u'\b') << "+" << Action::Replace << "";
    QTest::newRow("Meister enter")
        << int(Heat::Meister) << QChar(u'\r') << "+" << Action::Pass << "";
    QTest::newRow("Zeit1 digit") << int(Heat::Zeit1) << QChar(u'1') << "" << Action::Ignore << "";
    QTest::newRow("Zeit5 digit") << int(Heat::Zeit5) << QChar(u'1') << "" << Action::Ignore << "";
}

void TestCellEditRules::keyPress() {
    QFETCH(int, column);
    QFETCH(QChar, typed);
    QFETCH(QString, current);
    QFETCH(Action, action);
    QFETCH(QString, text);
    const CellEditRules::KeyResult result = CellEditRules::keyPress(column, typed, current);
    QCOMPARE(result.action, action);
    if (action == Action::Replace)
        QCOMPARE(result.text, text);
}

void TestCellEditRules::selectable_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("selectable");
    for (int c = Heat::Nr; c <= Heat::Zeit5; ++c)
        QTest::addRow("column %d", c) << c << (c <= Heat::Meister);
}

void TestCellEditRules::selectable() {
    QFETCH(int, column);
    QFETCH(bool, selectable);
    QCOMPARE(CellEditRules::isSelectable(column), selectable);
}

void TestCellEditRules::validate_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");

    QTest::newRow("Kl. 3") << int(Heat::Kl) << "3"
                           << "3";
    QTest::newRow("Kl. 25") << int(Heat::Kl) << "25"
                            << "2";
    QTest::newRow("Kl. 4x") << int(Heat::Kl) << "4x"
                            << "4";
    QTest::newRow("Kl. x") << int(Heat::Kl) << "x"
                           << "4";
    QTest::newRow("Kl. 52") << int(Heat::Kl) << "52"
                            << "4";
    QTest::newRow("Kl. 0") << int(Heat::Kl) << "0"
                           << "4";
    QTest::newRow("Kl. empty") << int(Heat::Kl) << ""
                               << "4";
    QTest::newRow("Kl. blank 1") << int(Heat::Kl) << " 1"
                                 << "4";
    QTest::newRow("Meister +") << int(Heat::Meister) << "+"
                               << "+";
    QTest::newRow("Meister ++") << int(Heat::Meister) << "++"
                                << "";
    QTest::newRow("Meister x") << int(Heat::Meister) << "x"
                               << "";
    QTest::newRow("Meister empty") << int(Heat::Meister) << ""
                                   << "";
    QTest::newRow("Nr. kept") << int(Heat::Nr) << "012"
                              << "012";
    QTest::newRow("Name kept") << int(Heat::Name) << "Müller-Lüdenscheidt"
                               << "Müller-Lüdenscheidt";
    QTest::newRow("Name tab") << int(Heat::Name) << "A\tB"
                              << "A B";
}

void TestCellEditRules::validate() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, kept);
    QCOMPARE(CellEditRules::validate(column, text), kept);
}

void TestCellEditRules::storableInput_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");

    QTest::newRow("plain") << int(Heat::Name) << "Müller"
                           << "Müller";
    QTest::newRow("code page extras") << int(Heat::Verein) << "€ „Öl“ œ"
                                      << "€ „Öl“ œ";
    QTest::newRow("tab") << int(Heat::Name) << "Mül\tler"
                         << "Mül ler";
    QTest::newRow("line breaks") << int(Heat::Vorname) << "Anna\r\nLena\n"
                                 << "Anna  Lena ";
    QTest::newRow("end of file byte") << int(Heat::Name)
                                      << "A\x1a"
                                         "B"
                                      << "AB";
    QTest::newRow("other controls") << int(Heat::Name)
                                    << QString("A\x01\x7f"
                                               "B")
                                    << "AB";
    QTest::newRow("C1 control") << int(Heat::Name) << QString::fromUtf16(u"A\u0081B") << "AB";
    QTest::newRow("outside code page") << int(Heat::Name) << "Łódź"
                                       << "ód";
    QTest::newRow("emoji") << int(Heat::Name) << QString::fromUtf16(u"Ski\U0001F3BFer") << "Skier";
    QTest::newRow("Nr. digits only") << int(Heat::Nr) << "1a2 3\t"
                                     << "123";
    QTest::newRow("Kl. left to validation") << int(Heat::Kl) << "25x"
                                            << "25x";
}

void TestCellEditRules::storableInput() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QCOMPARE(CellEditRules::storableInput(column, text), stored);
    for (const QChar ch : stored) {
        if (ch != u' ')
            QVERIFY(CellEditRules::isStorable(ch));
    }
}

QTEST_GUILESS_MAIN(TestCellEditRules)
#include "tst_celleditrules.moc"
