#include "widgets/DecimalSpinBox.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <stdexcept>

namespace {

struct Range {
    double min;
    double max;
    int digits;
};

// The three fields of the settings dialog and one that allows negative numbers.
Range rangeNamed(const QString& name) {
    if (name == QStringLiteral("wait"))
        return {0.1, 600, 1};
    if (name == QStringLiteral("timer"))
        return {0, 100, 1};
    if (name == QStringLiteral("len"))
        return {0, 9999, 0};
    return {-10, 10, 1};
}

void setUp(DecimalSpinBox& field, const QString& name) {
    const Range range = rangeNamed(name);
    field.setDigits(range.digits);
    field.setMax(range.max);
    field.setMin(range.min);
    if (name == QStringLiteral("len"))
        field.setMaxLength(4);
}

QLineEdit* editOf(DecimalSpinBox& field) {
    return field.findChild<QLineEdit*>();
}

} // namespace

// The number field of the settings dialog: which keys it takes, how it reads and clamps its
// value, and what Escape and leaving it do.
class TestDecimalSpinBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typing_data();
    void typing();
    void readingAndClamping_data();
    void readingAndClamping();
    void loneBeginningsSelectTheZero_data();
    void loneBeginningsSelectTheZero();
    void arrowsStep_data();
    void arrowsStep();
    void escapeRestoresTheEnteredValue();
    void leavingOutOfRangeRestoresAndKeepsTheFocus();
    void turnedOverRangeIsAProgrammingError();
};

void TestDecimalSpinBox::typing_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor"); // -1: the whole text selected
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");

    QTest::newRow("7 0 0 gives 70, the third is above 600") << "wait"
                                                            << "5,0" << -1 << "700"
                                                            << "70";
    QTest::newRow("a first 0 is below 0.1") << "wait"
                                            << "5,0" << -1 << "0"
                                            << "5,0";
    QTest::newRow("timer above 100 refused") << "timer"
                                             << "10,0" << -1 << "101"
                                             << "10";
    QTest::newRow("second decimal refused") << "timer"
                                            << "1,2" << 3 << "3"
                                            << "1,2";
    QTest::newRow("decimal appended") << "timer"
                                      << "12" << 2 << ",5"
                                      << "12,5";
    QTest::newRow("no separator without decimals") << "len"
                                                   << "50" << 2 << ","
                                                   << "50";
    QTest::newRow("letters refused") << "len"
                                     << "50" << 2 << "ax "
                                     << "50";
    QTest::newRow("exponent inside a number") << "len"
                                              << "12" << 1 << "e"
                                              << "1e2";
    QTest::newRow("four characters at most") << "len"
                                             << "123" << 3 << "45"
                                             << "1234";
    QTest::newRow("negative below zero refused") << "timer"
                                                 << "5,0" << 0 << "-"
                                                 << "5,0";
    QTest::newRow("negative allowed by the range") << "signed"
                                                   << "5,0" << 0 << "-"
                                                   << "-5,0";
    QTest::newRow("dash then digit below 0 refused") << "timer"
                                                     << "3,0" << -1 << "-7"
                                                     << "-0";
    QTest::newRow("separator then digit") << "wait"
                                          << "5,0" << -1 << ",5"
                                          << "0,5";
}

void TestDecimalSpinBox::typing() {
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    DecimalSpinBox edit(u',');
    setUp(edit, field);
    editOf(edit)->setText(before);
    if (cursor < 0)
        editOf(edit)->selectAll();
    else
        editOf(edit)->setCursorPosition(cursor);
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), after);
}

void TestDecimalSpinBox::readingAndClamping_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text"); // "~": set the value instead
    QTest::addColumn<double>("set");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("set below min") << "wait"
                                   << "~" << 0.0 << 0.1 << "0,1";
    QTest::newRow("set above max") << "wait"
                                   << "~" << 1000.0 << 600.0 << "600,0";
    QTest::newRow("set shows the digits") << "timer"
                                          << "~" << 2.46 << 2.5 << "2,5";
    QTest::newRow("read above max") << "wait"
                                    << "700" << 0.0 << 600.0 << "700";
    QTest::newRow("read below min") << "wait"
                                    << "0" << 0.0 << 0.1 << "0";
    QTest::newRow("empty reads 0, clamped") << "wait"
                                            << "" << 0.0 << 0.1 << "";
    QTest::newRow("no number reads min") << "wait"
                                         << "-e" << 0.0 << 0.1 << "-e";
    QTest::newRow("lone dash reads 0") << "timer"
                                       << "-" << 0.0 << 0.0 << "-";
    QTest::newRow("lone separator reads 0") << "signed"
                                            << "," << 0.0 << 0.0 << ",";
    QTest::newRow("exponent") << "len"
                              << "1e3" << 0.0 << 1000.0 << "1e3";
}

void TestDecimalSpinBox::readingAndClamping() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(double, set);
    QFETCH(double, value);
    QFETCH(QString, shown);
    DecimalSpinBox edit(u',');
    setUp(edit, field);
    if (text == QStringLiteral("~"))
        edit.setValue(set);
    else
        editOf(edit)->setText(text);
    QCOMPARE(edit.value(), value);
    QCOMPARE(edit.text(), shown);
}

void TestDecimalSpinBox::loneBeginningsSelectTheZero_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("selectionStart");

    QTest::newRow("dash") << QChar(u',') << "-"
                          << "-0" << 1;
    QTest::newRow("comma") << QChar(u',') << ","
                           << "0,0" << 2;
    QTest::newRow("point where the system has a point") << QChar(u'.') << "."
                                                        << "0.0" << 2;
}

void TestDecimalSpinBox::loneBeginningsSelectTheZero() {
    QFETCH(QChar, separator);
    QFETCH(QString, key);
    QFETCH(QString, shown);
    QFETCH(int, selectionStart);
    DecimalSpinBox edit(separator);
    setUp(edit, QStringLiteral("signed"));
    edit.setValue(3);
    editOf(edit)->selectAll();
    QTest::keyClicks(&edit, key);
    QCOMPARE(edit.text(), shown);
    QCOMPARE(editOf(edit)->selectionStart(), selectionStart);
    QCOMPARE(editOf(edit)->selectedText(), QStringLiteral("0"));
}

void TestDecimalSpinBox::arrowsStep_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("shown");

    QTest::newRow("up a tenth") << "wait" << 5.0 << int(Qt::Key_Up) << 1 << "5,1";
    QTest::newRow("not below min") << "wait" << 0.2 << int(Qt::Key_Down) << 3 << "0,1";
    QTest::newRow("not above max") << "len" << 9998.0 << int(Qt::Key_Up) << 4 << "9999";
}

void TestDecimalSpinBox::arrowsStep() {
    QFETCH(QString, field);
    QFETCH(double, start);
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, shown);
    DecimalSpinBox edit(u',');
    setUp(edit, field);
    edit.setStep(rangeNamed(field).digits == 0 ? 1 : 0.1);
    edit.setValue(start);
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(&edit, Qt::Key(key));
    QCOMPARE(edit.text(), shown);
}

void TestDecimalSpinBox::escapeRestoresTheEnteredValue() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new DecimalSpinBox(u',', &window);
    layout->addWidget(edit);
    setUp(*edit, QStringLiteral("wait"));
    edit->setValue(5);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus(Qt::TabFocusReason);
    QVERIFY(edit->hasFocus());
    editOf(*edit)->selectAll();
    QTest::keyClicks(edit, QStringLiteral("70"));
    QCOMPARE(edit->text(), QStringLiteral("70"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(edit->text(), QStringLiteral("5,0"));
    QCOMPARE(edit->value(), 5.0);
}

void TestDecimalSpinBox::leavingOutOfRangeRestoresAndKeepsTheFocus() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new DecimalSpinBox(u',', &window);
    auto* next = new DecimalSpinBox(u',', &window);
    layout->addWidget(edit);
    layout->addWidget(next);
    setUp(*edit, QStringLiteral("wait"));
    edit->setValue(5);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus(Qt::TabFocusReason);
    editOf(*edit)->selectAll();
    // Backspace is not filtered: the field may hold an empty text, which reads as 0.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QTest::keyClick(&window, Qt::Key_Tab);
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->text(), QStringLiteral("5,0"));
    QCOMPARE(editOf(*edit)->selectedText(), QStringLiteral("5,0"));
}

void TestDecimalSpinBox::turnedOverRangeIsAProgrammingError() {
    DecimalSpinBox edit(u',');
    setUp(edit, QStringLiteral("wait"));
    edit.setValue(7);
    QString told;
    try {
        edit.setMin(601);
    } catch (const std::invalid_argument& error) {
        told = QString::fromLatin1(error.what());
    }
    QCOMPARE(told, QStringLiteral("Minimum value must not be greater than maximum value !"));
    told.clear();
    try {
        edit.setMax(0);
    } catch (const std::invalid_argument& error) {
        told = QString::fromLatin1(error.what());
    }
    QCOMPARE(told, QStringLiteral("Maximum value must not be less than minimum value !"));
    // Neither changed the field.
    QCOMPARE(edit.minimum(), 0.1);
    QCOMPARE(edit.maximum(), 600.0);
    QCOMPARE(edit.value(), 7.0);
    // A narrower range takes the value along.
    edit.setMax(6);
    QCOMPARE(edit.text(), QStringLiteral("6,0"));
}

QTEST_MAIN(TestDecimalSpinBox)
#include "tst_decimalspinbox.moc"
