#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <utility>

// Which run times of the heat start list are substitute times (System B or a hand time,
// corrected by the runs around it), so that every table and page can mark them while the time
// text itself stays a plain time. A mark names the competitor's "Nr.", the run (0..4 for
// "Zeit1".."Zeit5") and the time text that was entered; it holds only while that run still
// shows that text, so a rerun or an edit of the cell ends it without bookkeeping.
class SubstituteMarks {
public:
    struct Mark {
        QString number;
        int run = 0;
        QString timeText;
        bool operator==(const Mark&) const = default;
    };

    // A new mark replaces the one of the same competitor and run.
    void add(const Mark& mark);
    // Whether the run's time text is the substitute it was entered as; blanks around the
    // number and the texts do not count.
    bool isSubstitute(const QString& number, int run, const QString& timeText) const;
    // Whether the competitor has a mark on any run.
    bool hasNumber(const QString& number) const { return m_numbers.contains(number.trimmed()); }
    // In the order they were first added.
    const QList<Mark>& marks() const { return m_marks; }
    bool isEmpty() const { return m_marks.isEmpty(); }
    void clear();
    bool operator==(const SubstituteMarks& other) const { return m_marks == other.m_marks; }

private:
    using Key = std::pair<QString, int>;

    QList<Mark> m_marks;
    // A file beside the backup may hold many thousands: looking a mark up never walks them all.
    QHash<Key, qsizetype> m_index;
    QSet<QString> m_numbers;
};
