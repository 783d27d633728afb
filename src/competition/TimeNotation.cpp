#include "competition/TimeNotation.h"

#include "competition/StageTables.h"
#include "competition/SubstituteMarks.h"
#include "competition/TimeFormat.h"

namespace Heat = StageTables::Heat;

namespace TimeNotation {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The format a time text is written in: digits with an optional sign are hundredths, digits
// around one decimal point are seconds. Nothing for any other text.
std::optional<TimeFormat> writtenIn(QStringView text, QChar currentSeparator) {
    text = text.trimmed();
    if (text.startsWith(u'-'))
        text = text.mid(1);
    qsizetype point = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isDigit(c))
            continue;
        const bool separator = c == u',' || c == u'.' || c == currentSeparator;
        if (!separator || point >= 0)
            return std::nullopt;
        point = i;
    }
    if (text.isEmpty())
        return std::nullopt;
    if (point < 0)
        return TimeFormat(TimeFormat::Hundredths, currentSeparator);
    if (point == 0 || point == text.size() - 1)
        return std::nullopt;
    return TimeFormat(TimeFormat::Seconds, text[point]);
}

} // namespace

std::optional<QString> rewritten(const QString& text, const TimeFormat& current) {
    if (TimeFormat::isFreeTimeCell(text))
        return std::nullopt;
    const auto from = writtenIn(text, current.decimalSeparator());
    if (!from)
        return std::nullopt;
    const bool same = from->setting() == current.setting() &&
                      (current.setting() == TimeFormat::Hundredths ||
                       from->decimalSeparator() == current.decimalSeparator());
    if (same)
        return std::nullopt;
    const qint32 time = from->ParseTime(text);
    if (time == 0)
        return std::nullopt;
    return current.formatTime(time);
}

StartListCommands::TimeConversion plan(const QList<QStringList>& rows, const TimeFormat& current) {
    StartListCommands::TimeConversion result;
    for (qsizetype row = 1; row < rows.size(); ++row) {
        const QStringList& cells = rows[row];
        for (int col = Heat::Zeit1; col <= Heat::Zeit5 && col < cells.size(); ++col) {
            const auto text = rewritten(cells[col], current);
            if (!text)
                continue;
            if (result.cells++ == 0) {
                result.before = cells[col];
                result.after = *text;
            }
        }
    }
    return result;
}

void convert(QList<QStringList>& rows, const TimeFormat& current) {
    for (qsizetype row = 1; row < rows.size(); ++row) {
        QStringList& cells = rows[row];
        for (int col = Heat::Zeit1; col <= Heat::Zeit5 && col < cells.size(); ++col) {
            if (const auto text = rewritten(cells[col], current))
                cells[col] = *text;
        }
    }
}

bool convertMarks(SubstituteMarks& marks, const TimeFormat& current) {
    SubstituteMarks result;
    bool changed = false;
    for (SubstituteMarks::Mark mark : marks.marks()) {
        if (const auto text = rewritten(mark.timeText, current)) {
            mark.timeText = *text;
            changed = true;
        }
        result.add(mark);
    }
    if (changed)
        marks = result;
    return changed;
}

QString summary(const StartListCommands::TimeConversion& plan) {
    const QString count = plan.cells == 1 ? QStringLiteral("1 Zeit")
                                          : QString::number(plan.cells) + QStringLiteral(" Zeiten");
    return count + QStringLiteral(" umgerechnet („%1“ wird „%2“)").arg(plan.before, plan.after);
}

} // namespace TimeNotation
