#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

// A number read from cell text without going through floating point, so that a time like
// "8,11" is exactly 811 hundredths. Accepts surrounding blanks, a sign, digits with one
// decimal separator and an exponent, the forms the number conversions of the platform accept.
class DecimalText {
public:
    static std::optional<DecimalText> parse(QStringView text, QChar decimalSeparator);
    // Whole decimal integer only: blanks, sign, digits.
    static std::optional<qint64> parseInteger(QStringView text);

    // The value scaled by 10^decimals and truncated toward zero; nothing when it leaves int32.
    std::optional<qint32> scaledTruncated(int decimals) const;
    double toDouble() const;

private:
    bool m_negative = false;
    QString m_digits;   // significant digits without leading zeros
    int m_exponent = 0; // value = digits * 10^exponent
};

// A number text between its surrounding blanks, split into its sign and what follows it.
struct SignedText {
    QStringView digits;
    bool negative = false;
};
SignedText splitSign(QStringView text);

// Reads a decimal number the way numeric sorting and team totals do.
std::optional<double> parseDecimalNumber(QStringView text, QChar decimalSeparator);
// Shortest general form with up to 15 significant digits and the given separator (25.5 -> 25,5).
QString formatGeneralNumber(double value, QChar decimalSeparator);
