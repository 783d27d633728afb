#include "competition/TimeFormat.h"
#include "competition/TimeNotation.h"

#include <QTest>
#include <limits>

// Time text in both formats and with both decimal separators.
class TstTimeFormat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void format_data();
    void format();
    void roundTrip_data();
    void roundTrip();
    void keepsTextAcrossSettings();
    void freeTimeCell_data();
    void freeTimeCell();
    void otherNotationRewritten_data();
    void otherNotationRewritten();
};

void TstTimeFormat::parse_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    const QChar comma(u',');
    const QChar point(u'.');
    QTest::newRow("seconds 8,11") << 1 << comma << "8,11" << 811;
    QTest::newRow("seconds 8,119 truncated") << 1 << comma << "8,119" << 811;
    QTest::newRow("seconds -0,5") << 1 << comma << "-0,5" << -50;
    QTest::newRow("seconds -8,119 toward zero") << 1 << comma << "-8,119" << -811;
    QTest::newRow("seconds 10,24") << 1 << comma << "10,24" << 1024;
    QTest::newRow("seconds whole") << 1 << comma << "12" << 1200;
    QTest::newRow("seconds 0,29") << 1 << comma << "0,29" << 29;
    QTest::newRow("seconds 0,57") << 1 << comma << "0,57" << 57;
    QTest::newRow("seconds 1,15") << 1 << comma << "1,15" << 115;
    QTest::newRow("seconds 4,35") << 1 << comma << "4,35" << 435;
    QTest::newRow("seconds below a hundredth") << 1 << comma << "0,009" << 0;
    QTest::newRow("seconds point under comma") << 1 << comma << "10.24" << 0;
    QTest::newRow("seconds abc") << 1 << comma << "abc" << 0;
    QTest::newRow("seconds empty") << 1 << comma << "" << 0;
    QTest::newRow("seconds dash") << 1 << comma << "-" << 0;
    QTest::newRow("seconds AUS") << 1 << comma << "AUS" << 0;
    QTest::newRow("seconds blank") << 1 << comma << " " << 0;
    QTest::newRow("seconds two separators") << 1 << comma << "1,2,3" << 0;
    QTest::newRow("seconds trailing garbage") << 1 << comma << "12,00s" << 0;
    QTest::newRow("seconds max") << 1 << comma << "21474836,47" << std::numeric_limits<int>::max();
    QTest::newRow("seconds min") << 1 << comma << "-21474836,48" << std::numeric_limits<int>::min();
    QTest::newRow("seconds just above max") << 1 << comma << "21474836,48" << 0;
    QTest::newRow("seconds huge") << 1 << comma << "99999999999999999999,5" << 0;
    QTest::newRow("seconds huge exponent") << 1 << comma << "1e400" << 0;
    QTest::newRow("seconds point 10.24") << 1 << point << "10.24" << 1024;
    QTest::newRow("seconds comma under point") << 1 << point << "10,24" << 0;
    QTest::newRow("seconds point 8.119") << 1 << point << "8.119" << 811;

    QTest::newRow("hundredths 1024") << 0 << comma << "1024" << 1024;
    QTest::newRow("hundredths negative") << 0 << comma << "-1024" << -1024;
    QTest::newRow("hundredths comma text") << 0 << comma << "10,24" << 0;
    QTest::newRow("hundredths point text") << 0 << point << "10.24" << 0;
    QTest::newRow("hundredths abc") << 0 << comma << "abc" << 0;
    QTest::newRow("hundredths empty") << 0 << comma << "" << 0;
    QTest::newRow("hundredths max")
        << 0 << comma << "2147483647" << std::numeric_limits<int>::max();
    QTest::newRow("hundredths min")
        << 0 << comma << "-2147483648" << std::numeric_limits<int>::min();
    QTest::newRow("hundredths above max") << 0 << comma << "2147483648" << 0;
    QTest::newRow("hundredths huge") << 0 << comma << "123456789012345678901234567890" << 0;
    QTest::newRow("hundredths sign only") << 0 << comma << "-" << 0;
}

void TstTimeFormat::parse() {
    QFETCH(int, setting);
    QFETCH(QChar, separator);
    QFETCH(QString, text);
    QFETCH(int, expected);
    const TimeFormat format(setting, separator);
    QCOMPARE(format.ParseTime(text), expected);
}

void TstTimeFormat::format_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("seconds 811") << 1 << QChar(u',') << 811 << "8,11";
    QTest::newRow("seconds 1024 point") << 1 << QChar(u'.') << 1024 << "10.24";
    QTest::newRow("seconds zero") << 1 << QChar(u',') << 0 << "0,00";
    QTest::newRow("seconds 5") << 1 << QChar(u',') << 5 << "0,05";
    QTest::newRow("seconds -50") << 1 << QChar(u',') << -50 << "-0,50";
    QTest::newRow("seconds -1024") << 1 << QChar(u',') << -1024 << "-10,24";
    QTest::newRow("seconds min") << 1 << QChar(u',') << std::numeric_limits<int>::min()
                                 << "-21474836,48";
    QTest::newRow("hundredths 1024") << 0 << QChar(u',') << 1024 << "1024";
    QTest::newRow("hundredths -7") << 0 << QChar(u',') << -7 << "-7";
}

void TstTimeFormat::format() {
    QFETCH(int, setting);
    QFETCH(QChar, separator);
    QFETCH(int, value);
    QFETCH(QString, expected);
    QCOMPARE(TimeFormat(setting, separator).formatTime(value), expected);
}

void TstTimeFormat::roundTrip_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QChar>("separator");
    for (int setting : {0, 1}) {
        for (QChar separator : {QChar(u','), QChar(u'.')}) {
            QTest::addRow("setting %d separator %c", setting, separator.toLatin1())
                << setting << separator;
        }
    }
}

void TstTimeFormat::roundTrip() {
    QFETCH(int, setting);
    QFETCH(QChar, separator);
    const TimeFormat format(setting, separator);
    QList<qint32> values{0,
                         1,
                         -1,
                         9,
                         10,
                         99,
                         100,
                         811,
                         1024,
                         -50,
                         std::numeric_limits<qint32>::max(),
                         std::numeric_limits<qint32>::min(),
                         std::numeric_limits<qint32>::max() - 1,
                         std::numeric_limits<qint32>::min() + 1};
    // Every hundredth of the first 20 seconds, where floating point products go wrong most.
    for (qint32 v = 0; v < 2000; ++v)
        values.append(v);
    for (qint32 v = 1; v < std::numeric_limits<qint32>::max() / 7; v *= 7) {
        values.append(v);
        values.append(-v);
    }
    for (qint32 v : values)
        QCOMPARE(format.ParseTime(format.formatTime(v)), v);
}

void TstTimeFormat::keepsTextAcrossSettings() {
    const TimeFormat hundredths(0, u',');
    const TimeFormat seconds(1, u',');
    QCOMPARE(seconds.ParseTime(hundredths.formatTime(1024)), 102400);
    QCOMPARE(hundredths.ParseTime(seconds.formatTime(1024)), 0);
}

void TstTimeFormat::freeTimeCell_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("free");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("dash") << "-" << true;
    QTest::newRow("one blank") << " " << true;
    QTest::newRow("two blanks") << "  " << false;
    QTest::newRow("AUS") << "AUS" << false;
    QTest::newRow("time") << "10,24" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("blank dash") << " -" << false;
}

void TstTimeFormat::freeTimeCell() {
    QFETCH(QString, text);
    QFETCH(bool, free);
    QCOMPARE(TimeFormat::isFreeTimeCell(text), free);
}

void TstTimeFormat::otherNotationRewritten_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // empty: stays as it is
    QTest::newRow("1024 under 10,24") << 1 << "1024"
                                      << "10,24";
    QTest::newRow("negative") << 1 << "-5"
                              << "-0,05";
    QTest::newRow("9,5 under 1024") << 0 << " 9,5"
                                    << "950";
    QTest::newRow("another computer's point") << 1 << "10.24"
                                              << "10,24";
    for (int setting : {0, 1}) {
        for (const char* kept : {"", " ", "-", "DNF", "AUS", "12,3x", ",5", "1,2,3", "0", "0,00"})
            QTest::addRow("%d keeps '%s'", setting, kept) << setting << kept << QString();
        QTest::addRow("own %d", setting)
            << setting << TimeFormat(setting, u',').formatTime(1024) << QString();
    }
}

void TstTimeFormat::otherNotationRewritten() {
    QFETCH(int, setting);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const auto rewritten = TimeNotation::rewritten(text, TimeFormat(setting, u','));
    QCOMPARE(rewritten.value_or(QString()), expected);
}

QTEST_GUILESS_MAIN(TstTimeFormat)
#include "tst_timeformat.moc"
