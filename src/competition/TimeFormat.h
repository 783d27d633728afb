#pragma once

#include <QChar>
#include <QString>

// The text form of table times: whole hundredths ("1024") or seconds with two decimals and
// the decimal separator of the system ("10,24"). One instance is shared by everything that
// reads or writes times so that a change of the setting applies everywhere at once.
class TimeFormat {
public:
    enum Setting { Hundredths = 0, Seconds = 1 };

    TimeFormat() = default;
    TimeFormat(int setting, QChar decimalSeparator)
        : m_setting(setting), m_separator(decimalSeparator) {}

    int setting() const { return m_setting; }
    QChar decimalSeparator() const { return m_separator; }
    void setDecimalSeparator(QChar separator) { m_separator = separator; }

    QString formatTime(qint32 hundredths) const;
    // 0 for anything that is not a time; 0 also means "no time".
    qint32 ParseTime(const QString& text) const;

    // Empty, "-" or a single blank: result entry may write there.
    static bool isFreeTimeCell(const QString& text);

private:
    int m_setting = Hundredths;
    QChar m_separator = u',';
};
