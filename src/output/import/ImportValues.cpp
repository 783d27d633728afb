#include "output/import/ImportValues.h"

#include "output/import/ImportMapping.h"

namespace ImportValues {

std::optional<bool> masterMark(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value == u"+" || value == u"x" || value == u"ja" || value == u"1" || value == u"wahr")
        return true;
    if (value.isEmpty() || value == u"-" || value == u"0" || value == u"nein" || value == u"falsch")
        return false;
    return std::nullopt;
}

std::optional<QString> classOf(const QString& text, const QMap<QString, QString>& classes) {
    const QString value = text.trimmed();
    if (value.size() == 1 && value.front() >= u'1' && value.front() <= u'4')
        return value;
    const auto it = classes.constFind(ImportMapping::classKey(value));
    if (it != classes.constEnd() && !it.value().isEmpty())
        return it.value();
    return std::nullopt;
}

QString classByDigit(const QString& text) {
    QString digit;
    for (const QChar ch : text) {
        if (!ch.isDigit())
            continue;
        if (!digit.isEmpty())
            return QString(); // "U12", "2010": not a class
        digit = ch;
    }
    return digit.size() == 1 && digit.front() >= u'1' && digit.front() <= u'4' ? digit : QString();
}

bool isNumber(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    return true;
}

QString normalizedNumber(const QString& digits) {
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits.at(zeros) == u'0')
        ++zeros;
    return digits.mid(zeros);
}

} // namespace ImportValues
