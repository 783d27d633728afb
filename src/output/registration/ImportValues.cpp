#include "output/registration/ImportValues.h"

#include "output/registration/ImportMapping.h"

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

bool isNumeral(const QString& text) {
    const QString value = text.trimmed();
    bool digit = false;
    for (const QChar ch : value) {
        if (ch.isDigit())
            digit = true;
        else if (!(ch == u'+' || ch == u'-' || ch == u'.' || ch == u',' || ch == u'\'' ||
                   ch.isSpace()))
            return false;
    }
    return digit;
}

bool isLabel(const QString& text) {
    const QString value = text.trimmed();
    if (value.size() > 1 && value.endsWith(u':'))
        return true;
    qsizetype end = 0;
    while (end < value.size() && !value.at(end).isSpace() && value.at(end) != u':')
        ++end;
    const QString first = value.left(end).toLower();
    return first == u"summe" || first == u"gesamt" || first == u"insgesamt" || first == u"anzahl" ||
           first == u"total";
}

QStringList labelAndNumbers(const QStringList& cells) {
    QStringList texts, labels;
    int numbers = 0;
    for (const QString& cell : cells) {
        const QString text = cell.trimmed();
        if (text.isEmpty())
            continue;
        texts.append(text);
        // "Summe: 19" in one cell is a label and its number.
        const qsizetype colon = text.lastIndexOf(u':');
        if (isNumeral(text)) {
            ++numbers;
        } else if (colon > 0 && isNumeral(text.mid(colon + 1))) {
            labels.append(text.left(colon + 1));
            ++numbers;
        } else {
            labels.append(text);
        }
    }
    if (numbers == 0 || labels.size() != 1 || !isLabel(labels.constFirst()))
        return {};
    return texts;
}

QString normalizedNumber(const QString& digits) {
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits.at(zeros) == u'0')
        ++zeros;
    return digits.mid(zeros);
}

} // namespace ImportValues
