#include "competition/TimeFormat.h"

#include "competition/DecimalText.h"

#include <limits>
#include <optional>

namespace {

// The common time texts read without building an intermediate number: blanks, sign, up to 15
// whole digits and, for seconds, one separator with decimals beyond the second truncated.
// Nothing for the rare forms left to the general reader (exponents, very long numbers).
std::optional<qint32> quickParse(QStringView text, bool seconds, QChar separator) {
    const SignedText parts = splitSign(text);
    text = parts.digits;
    const bool negative = parts.negative;
    qsizetype i = 0;
    const qsizetype end = text.size();
    qint64 whole = 0;
    int wholeDigits = 0;
    qint64 fraction = 0;
    int fractionDigits = 0;
    bool inFraction = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            const int digit = c.unicode() - u'0';
            if (!inFraction) {
                if (++wholeDigits > 15)
                    return std::nullopt;
                whole = whole * 10 + digit;
            } else if (fractionDigits++ < 2) {
                fraction = fraction * 10 + digit;
            }
        } else if (seconds && c == separator && !inFraction) {
            inFraction = true;
        } else if (seconds && (c == u'e' || c == u'E')) {
            return std::nullopt;
        } else {
            return 0;
        }
    }
    if (wholeDigits + fractionDigits == 0)
        return 0;
    qint64 value = whole;
    if (seconds)
        value = whole * 100 + (fractionDigits == 1 ? fraction * 10 : fraction);
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return 0;
    return static_cast<qint32>(value);
}

} // namespace

QString TimeFormat::formatTime(qint32 hundredths) const {
    // Written back to front into a buffer: derivations format tens of thousands of times.
    char16_t buffer[16];
    char16_t* const stop = buffer + 16;
    char16_t* p = stop;
    const qint64 value = hundredths;
    qint64 magnitude = value < 0 ? -value : value;
    if (m_setting == Seconds) {
        *--p = static_cast<char16_t>(u'0' + magnitude % 10);
        *--p = static_cast<char16_t>(u'0' + magnitude / 10 % 10);
        *--p = m_separator.unicode();
        magnitude /= 100;
    }
    do {
        *--p = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (value < 0)
        *--p = u'-';
    return QString::fromUtf16(p, stop - p);
}

qint32 TimeFormat::ParseTime(const QString& text) const {
    if (const auto quick = quickParse(text, m_setting == Seconds, m_separator))
        return *quick;
    if (m_setting != Seconds) {
        const auto value = DecimalText::parseInteger(text);
        if (!value || *value < std::numeric_limits<qint32>::min() ||
            *value > std::numeric_limits<qint32>::max())
            return 0;
        return static_cast<qint32>(*value);
    }
    const auto parsed = DecimalText::parse(text, m_separator);
    if (!parsed)
        return 0;
    return parsed->scaledTruncated(2).value_or(0);
}

bool TimeFormat::isFreeTimeCell(const QString& text) {
    return text.isEmpty() || text == QStringLiteral("-") || text == QStringLiteral(" ");
}
