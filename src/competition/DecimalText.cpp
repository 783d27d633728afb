#include "competition/DecimalText.h"

#include <cmath>
#include <limits>

namespace {

// Plain numbers of at most 15 digits without exponent: the digits form an exact integer below
// 2^53 and one division by an exact power of ten rounds correctly, as a full conversion would.
// Nothing when the text needs the general path (exponent, long digit strings).
std::optional<std::optional<double>> quickNumber(QStringView text, QChar decimalSeparator) {
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const SignedText parts = splitSign(text);
    text = parts.digits;
    const bool negative = parts.negative;
    qsizetype i = 0;
    const qsizetype end = text.size();
    qint64 mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    bool inFraction = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            if (++digits > 15)
                return std::nullopt;
            mantissa = mantissa * 10 + (c.unicode() - u'0');
            if (inFraction)
                ++fractionDigits;
        } else if (c == decimalSeparator && !inFraction) {
            inFraction = true;
        } else if (c == u'e' || c == u'E') {
            return std::nullopt;
        } else {
            return std::optional<double>();
        }
    }
    if (digits == 0)
        return std::optional<double>();
    const double value = static_cast<double>(mantissa) / powersOfTen[fractionDigits];
    return std::optional<double>(negative ? -value : value);
}

} // namespace

SignedText splitSign(QStringView text) {
    auto isBlank = [](QChar c) {
        return c == u' ' || c == u'\t';
    };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    SignedText result;
    if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) {
        result.negative = text[begin] == u'-';
        ++begin;
    }
    result.digits = text.mid(begin, end - begin);
    return result;
}

std::optional<DecimalText> DecimalText::parse(QStringView text, QChar decimalSeparator) {
    const SignedText parts = splitSign(text);
    text = parts.digits;
    DecimalText result;
    result.m_negative = parts.negative;
    qsizetype i = 0;
    const qsizetype end = text.size();
    QString digits;
    int fractionDigits = 0;
    bool anyDigit = false;
    bool inFraction = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            anyDigit = true;
            digits.append(c);
            if (inFraction)
                ++fractionDigits;
        } else if (c == decimalSeparator && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    qint64 exponent = 0;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            ++i;
        }
        bool anyExponentDigit = false;
        for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            anyExponentDigit = true;
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i].unicode() - u'0');
        }
        if (!anyExponentDigit)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != end)
        return std::nullopt;
    qsizetype firstNonZero = 0;
    while (firstNonZero < digits.size() && digits[firstNonZero] == u'0')
        ++firstNonZero;
    result.m_digits = digits.mid(firstNonZero);
    result.m_exponent = static_cast<int>(exponent - fractionDigits);
    return result;
}

std::optional<qint64> DecimalText::parseInteger(QStringView text) {
    const SignedText parts = splitSign(text);
    text = parts.digits;
    const bool negative = parts.negative;
    qsizetype i = 0;
    const qsizetype end = text.size();
    if (i == end)
        return std::nullopt;
    qint64 value = 0;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > (qint64(1) << 40))
            return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<qint32> DecimalText::scaledTruncated(int decimals) const {
    const qint64 shift = qint64(m_exponent) + decimals;
    if (m_digits.isEmpty())
        return 0;
    // Digits that stay left of the point after shifting; everything right of it is dropped.
    const qint64 integerDigits = m_digits.size() + shift;
    if (integerDigits <= 0)
        return 0;
    if (integerDigits > 11)
        return std::nullopt;
    qint64 value = 0;
    for (qint64 k = 0; k < integerDigits; ++k) {
        const int digit = k < m_digits.size() ? m_digits[k].unicode() - u'0' : 0;
        value = value * 10 + digit;
    }
    if (m_negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

double DecimalText::toDouble() const {
    if (m_digits.isEmpty())
        return m_negative ? -0.0 : 0.0;
    const QString text = QString::fromLatin1("%1%2e%3")
                             .arg(m_negative ? QStringLiteral("-") : QString())
                             .arg(m_digits)
                             .arg(m_exponent);
    return text.toDouble();
}

std::optional<double> parseDecimalNumber(QStringView text, QChar decimalSeparator) {
    if (const auto quick = quickNumber(text, decimalSeparator))
        return *quick;
    const auto parsed = DecimalText::parse(text, decimalSeparator);
    if (!parsed)
        return std::nullopt;
    const double value = parsed->toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatGeneralNumber(double value, QChar decimalSeparator) {
    QString text = QString::number(value, 'g', 15);
    if (decimalSeparator != u'.')
        text.replace(u'.', decimalSeparator);
    return text;
}
