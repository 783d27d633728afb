#include "competition/SubstituteMarks.h"

void SubstituteMarks::add(const Mark& mark) {
    const Mark trimmed{mark.number.trimmed(), mark.run, mark.timeText.trimmed()};
    for (Mark& existing : m_marks) {
        if (existing.number == trimmed.number && existing.run == trimmed.run) {
            existing = trimmed;
            return;
        }
    }
    m_marks.push_back(trimmed);
}

bool SubstituteMarks::isSubstitute(const QString& number, int run, const QString& timeText) const {
    const QString text = timeText.trimmed();
    if (text.isEmpty())
        return false;
    const QString nr = number.trimmed();
    for (const Mark& mark : m_marks) {
        if (mark.number == nr && mark.run == run)
            return mark.timeText == text;
    }
    return false;
}
