#include "competition/SubstituteMarks.h"

void SubstituteMarks::add(const Mark& mark) {
    Mark trimmed{mark.number.trimmed(), mark.run, mark.timeText.trimmed()};
    const Key key{trimmed.number, trimmed.run};
    if (const auto found = m_index.constFind(key); found != m_index.cend()) {
        m_marks[*found] = std::move(trimmed);
        return;
    }
    m_index.insert(key, m_marks.size());
    m_numbers.insert(trimmed.number);
    m_marks.push_back(std::move(trimmed));
}

bool SubstituteMarks::isSubstitute(const QString& number, int run, const QString& timeText) const {
    const QString text = timeText.trimmed();
    if (text.isEmpty())
        return false;
    const auto found = m_index.constFind(Key{number.trimmed(), run});
    return found != m_index.cend() && m_marks[*found].timeText == text;
}

void SubstituteMarks::clear() {
    m_marks.clear();
    m_index.clear();
    m_numbers.clear();
}
