#include "competition/CellEditRules.h"

#include "competition/StageTables.h"
#include "competition/Windows1252.h"

namespace Heat = StageTables::Heat;

namespace {

constexpr QChar Backspace = u'\b';
const QString MasterMark = QStringLiteral("+");

bool isDigit(QChar ch) {
    return ch >= u'0' && ch <= u'9';
}

bool isClassDigit(QChar ch) {
    return ch >= u'1' && ch <= u'4';
}

bool isLineBreakOrTab(QChar ch) {
    return ch == u'\t' || ch == u'\n' || ch == u'\r';
}

} // namespace

CellEditRules::KeyResult CellEditRules::keyPress(int column, QChar typed,
                                                 const QString& currentText) {
    const bool tableKey = typed != Backspace && typed.category() == QChar::Other_Control;
    if (tableKey)
        return {};
    switch (column) {
    case Heat::Nr:
        return {isDigit(typed) || typed == Backspace ? KeyAction::Pass : KeyAction::Ignore, {}};
    case Heat::Name:
    case Heat::Vorname:
    case Heat::Verein:
        return {isStorable(typed) || typed == Backspace ? KeyAction::Pass : KeyAction::Ignore, {}};
    case Heat::Kl:
        if (isClassDigit(typed))
            return {KeyAction::Replace, QString(typed)};
        return {KeyAction::Ignore, {}};
    case Heat::Meister:
        return {KeyAction::Replace, currentText == MasterMark ? QString() : MasterMark};
    default:
        return {KeyAction::Ignore, {}};
    }
}

bool CellEditRules::isSelectable(int column) {
    return column >= Heat::Nr && column <= Heat::Meister;
}

QString CellEditRules::validate(int column, const QString& text) {
    switch (column) {
    case Heat::Kl:
        if (text.isEmpty() || !isClassDigit(text.front()))
            return QStringLiteral("4");
        return text.left(1);
    case Heat::Meister:
        return text == MasterMark ? MasterMark : QString();
    default:
        return storableInput(column, text);
    }
}

QString CellEditRules::storableInput(int column, const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        if (column == Heat::Nr) {
            if (isDigit(ch))
                result.append(ch);
        } else if (isLineBreakOrTab(ch)) {
            result.append(u' ');
        } else if (isStorable(ch)) {
            result.append(ch);
        }
    }
    return result;
}

bool CellEditRules::isStorable(QChar ch) {
    // Control characters have bytes of their own, but 0x1A ends a protocol file and the others
    // split or hide a cell; none belongs in a name.
    if (ch.category() == QChar::Other_Control)
        return false;
    return Windows1252::isEncodable(ch);
}
