#include "session/StartListChangeName.h"

#include "competition/RunState.h"
#include "competition/StageTables.h"
#include "competition/TimeFormat.h"
#include "session/StartListSnapshot.h"

#include <algorithm>

using namespace StageTables;

namespace {

bool isRunColumn(int col) {
    return col >= Heat::Zeit1 && col <= Heat::Zeit5;
}

QString forNumber(const QStringList& row) {
    const QString number = row.value(Heat::Nr).trimmed();
    return number.isEmpty() ? QString() : QStringLiteral(" für Nr. ") + number;
}

// A run's time entered says whose it is by number and name, so whoever takes it back sees
// which result goes: "Ergebnis 13,97 für Nr. 7 Meier".
QString result(const QString& time, const QStringList& row) {
    const QString number = row.value(Heat::Nr).trimmed();
    const QString name = row.value(Heat::Name).trimmed();
    QStringList who;
    if (!number.isEmpty())
        who.append(QStringLiteral("Nr. ") + number);
    if (!name.isEmpty())
        who.append(name);
    return QStringLiteral("Ergebnis ") + time.trimmed() +
           (who.isEmpty() ? QString() : QStringLiteral(" für ") + who.join(u' '));
}

bool isTime(const QString& text) {
    return !TimeFormat::isFreeTimeCell(text) && !RunState::isState(text);
}

QString oneCell(const QStringList& before, const QStringList& after, int col,
                const QString& caption) {
    const QString& text = after.value(col);
    if (!isRunColumn(col))
        return caption + QStringLiteral(" ändern") + forNumber(after);
    if (RunState::isState(text))
        return text.trimmed() + forNumber(after);
    if (TimeFormat::isFreeTimeCell(text) && !TimeFormat::isFreeTimeCell(before.value(col)))
        return QStringLiteral("Lauf wiederholen") + forNumber(after);
    if (TimeFormat::isFreeTimeCell(before.value(col)))
        return result(text, after);
    return QStringLiteral("Zeit ") + text + forNumber(after);
}

// A row added with a single time in it is a result entered in a row of its own.
QString rowAdded(const QStringList& row) {
    QList<int> times;
    for (int c = Heat::Zeit1; c <= Heat::Zeit5; ++c) {
        if (!row.value(c).trimmed().isEmpty())
            times.append(c);
    }
    if (times.size() == 1 && isTime(row.value(times.constFirst())))
        return result(row.value(times.constFirst()), row);
    return QStringLiteral("Zeile hinzufügen");
}

bool isEmptyRow(const QStringList& row) {
    return std::all_of(row.cbegin(), row.cend(), [](const QString& t) { return t.isEmpty(); });
}

QString oneRow(const QStringList& before, const QStringList& after, const QStringList& header) {
    if (isEmptyRow(before))
        return rowAdded(after);
    if (isEmptyRow(after))
        return QStringLiteral("Zeile entfernen") + forNumber(before);
    QList<int> changed;
    for (int c = 0; c < qMax(before.size(), after.size()); ++c) {
        if (before.value(c) != after.value(c))
            changed.append(c);
    }
    if (changed.size() == 1)
        return oneCell(before, after, changed.constFirst(), header.value(changed.constFirst()));
    bool eliminated = true;
    for (int c : changed)
        eliminated = eliminated && isRunColumn(c) && after.value(c) == QStringLiteral("-");
    if (eliminated)
        return QStringLiteral("Eliminieren") + forNumber(after);
    return QStringLiteral("Zeile ändern") + forNumber(after);
}

} // namespace

QString StartListChangeName::describe(const StartListSnapshot& before,
                                      const StartListSnapshot& after) {
    const QList<QStringList>& a = before.rows;
    const QList<QStringList>& b = after.rows;
    if (a.size() == b.size()) {
        int changedRow = -1;
        int changes = 0;
        for (int r = 0; r < a.size(); ++r) {
            if (a[r] != b[r]) {
                changedRow = r;
                ++changes;
            }
        }
        if (changes == 1 && changedRow > 0)
            return oneRow(a[changedRow], b[changedRow], b.constFirst());
        QList<QStringList> sortedA = a;
        QList<QStringList> sortedB = b;
        std::sort(sortedA.begin() + 1, sortedA.end());
        std::sort(sortedB.begin() + 1, sortedB.end());
        if (changes > 1 && sortedA == sortedB)
            return QStringLiteral("Sortieren");
    }
    // One row more or less, the others as they were.
    const QList<QStringList>& longer = a.size() > b.size() ? a : b;
    const QList<QStringList>& shorter = a.size() > b.size() ? b : a;
    if (longer.size() == shorter.size() + 1) {
        int r = 0;
        while (r < shorter.size() && shorter[r] == longer[r])
            ++r;
        if (longer.mid(r + 1) == shorter.mid(r)) {
            return a.size() < b.size() ? rowAdded(longer[r])
                                       : QStringLiteral("Zeile entfernen") + forNumber(longer[r]);
        }
    }
    return QStringLiteral("Startliste ändern");
}
