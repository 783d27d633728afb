#include "competition/ResultRelease.h"

#include "competition/ClassKey.h"
#include "competition/CompetitionTable.h"
#include "competition/DecimalText.h"
#include "competition/StageTables.h"
#include "competition/TimeFormat.h"
#include "competition/TimeNotation.h"

#include <QCryptographicHash>
#include <algorithm>

namespace {

using namespace StageTables;

bool rowHasResult(const CompetitionTable& table, int row) {
    for (int col = Heat::Zeit1; col <= Heat::Zeit5 && col < table.columns(); ++col) {
        if (!table.cell(col, row).trimmed().isEmpty())
            return true;
    }
    return false;
}

// The data rows of each class, in the list's order.
QMap<QString, QList<int>> rowsByClass(const CompetitionTable& table) {
    QMap<QString, QList<int>> rows;
    for (int r = 1; r < table.rowsWithHeader(); ++r) {
        if (!table.cell(Heat::Nr, r).trimmed().isEmpty())
            rows[ResultRelease::classOf(table.cell(Heat::Kl, r))].append(r);
    }
    return rows;
}

} // namespace

QString ResultRelease::classOf(const QString& cell) {
    if (const auto number = DecimalText::parseInteger(cell))
        return QString::number(*number);
    return cell.trimmed();
}

QString ResultRelease::caption(const QString& klass) {
    return QStringLiteral("Klasse ") + klass;
}

QMap<QString, QByteArray> ResultRelease::fingerprints(const CompetitionTable& table) {
    QMap<QString, QByteArray> prints;
    const QMap<QString, QList<int>> classes = rowsByClass(table);
    for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
        // Sorting the list or moving a row changes nothing of the results.
        QStringList lines;
        // A time is taken in whole hundredths: switching "Ergebnis:" between "1024" and
        // "10,24" rewrites every time cell but changes no result.
        const TimeFormat hundredths(TimeFormat::Hundredths, u',');
        for (int r : it.value()) {
            QStringList cells = table.rowCells(r);
            for (qsizetype c = 0; c < cells.size(); ++c) {
                cells[c] = cells[c].trimmed();
                if (c >= Heat::Zeit1 && c <= Heat::Zeit5)
                    cells[c] = TimeNotation::rewritten(cells[c], hundredths).value_or(cells[c]);
            }
            lines.append(cells.join(u'\t'));
        }
        lines.sort();
        const QByteArray hash =
            QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256);
        prints.insert(it.key(), hash.left(16).toHex());
    }
    return prints;
}

bool ResultRelease::hasResults(const CompetitionTable& table) {
    for (int r = 1; r < table.rowsWithHeader(); ++r) {
        if (!table.cell(Heat::Nr, r).trimmed().isEmpty() && rowHasResult(table, r))
            return true;
    }
    return false;
}

QList<ResultRelease::ClassState> ResultRelease::classes(const CompetitionTable& table) const {
    QList<ClassState> states;
    const QMap<QString, QList<int>> classes = rowsByClass(table);
    for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
        ClassState state{it.key(), false, isReleased(it.key())};
        for (int r : it.value())
            state.hasResults = state.hasResults || rowHasResult(table, r);
        states.append(state);
    }
    std::stable_sort(states.begin(), states.end(), [](const ClassState& a, const ClassState& b) {
        return ClassKey::fromText(a.klass) < ClassKey::fromText(b.klass);
    });
    return states;
}

QStringList ResultRelease::release(const CompetitionTable& table, const QStringList& wanted) {
    const QMap<QString, QByteArray> prints = fingerprints(table);
    QStringList released;
    for (const ClassState& state : classes(table)) {
        if (!state.hasResults || state.released || !wanted.contains(state.klass))
            continue;
        m_released.insert(state.klass, prints.value(state.klass));
        released.append(state.klass);
    }
    return released;
}

QStringList ResultRelease::releaseAll(const CompetitionTable& table) {
    QStringList all;
    for (const ClassState& state : classes(table))
        all.append(state.klass);
    return release(table, all);
}

QStringList ResultRelease::withdraw(const QStringList& wanted) {
    QStringList taken;
    for (const QString& klass : wanted) {
        if (m_released.remove(klass) > 0)
            taken.append(klass);
    }
    return taken;
}

QStringList ResultRelease::reopenChanged(const CompetitionTable& table) {
    if (m_released.isEmpty())
        return {};
    const QMap<QString, QByteArray> prints = fingerprints(table);
    QStringList reopened;
    for (auto it = m_released.begin(); it != m_released.end();) {
        if (prints.value(it.key()) == it.value()) {
            ++it;
            continue;
        }
        reopened.append(it.key());
        it = m_released.erase(it);
    }
    return reopened;
}

QString ResultRelease::stateText(const CompetitionTable& table) const {
    QStringList official;
    bool preliminary = false;
    for (const ClassState& state : classes(table)) {
        if (state.released)
            official.append(state.klass);
        else if (state.hasResults)
            preliminary = true;
    }
    if (official.isEmpty() && !preliminary)
        return QString();
    if (official.isEmpty())
        return QStringLiteral("Ergebnisse vorläufig");
    if (!preliminary)
        return QStringLiteral("Ergebnisse offiziell");
    return QStringLiteral("Ergebnisse vorläufig (offiziell: Klasse ") +
           official.join(QStringLiteral(", ")) + u')';
}

QString ResultRelease::stateWord(const CompetitionTable& table) const {
    bool results = false;
    bool preliminary = false;
    for (const ClassState& state : classes(table)) {
        results = results || state.hasResults;
        preliminary = preliminary || (state.hasResults && !state.released);
    }
    return results ? word(!preliminary) : QString();
}
