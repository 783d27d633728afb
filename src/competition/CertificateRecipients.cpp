#include "competition/CertificateRecipients.h"

#include "competition/Competition.h"
#include "competition/DecimalText.h"
#include "competition/RunState.h"
#include "competition/StageTables.h"

#include <algorithm>
#include <optional>

namespace {

using namespace StageTables;
using Values = CertificateFields::Values;

// One certificate while the list is gathered, with what it is ordered by.
struct Candidate {
    Values values;
    QString number;
    QString className;
    std::optional<int> place;
};

// Where one competitor's cells stand in a table that has "Pl." in front or not.
struct Columns {
    int nr, name, firstName, club, cls;
};
constexpr Columns StartColumns{Heat::Nr, Heat::Name, Heat::Vorname, Heat::Verein, Heat::Kl};
constexpr Columns ResultColumns{HeatRes::Nr, HeatRes::Name, HeatRes::Vorname, HeatRes::Verein,
                                HeatRes::Kl};

QString identity(const CompetitionTable& grid, int row, const Columns& at) {
    return grid.cell(at.nr, row) + QChar(0x1f) + grid.cell(at.name, row) + QChar(0x1f) +
           grid.cell(at.firstName, row) + QChar(0x1f) + grid.cell(at.club, row);
}

// A competitor's row of a table, found by start number and name: the derivations copy both
// unchanged, while a start number alone may repeat in a typed or generated list.
class RowIndex {
public:
    RowIndex(const CompetitionTable& grid, const Columns& at) : m_grid(grid) {
        for (int r = 1; r < grid.rowsWithHeader(); ++r) {
            if (grid.isRowEmpty(r))
                continue;
            const QString key = identity(grid, r, at);
            if (!m_rows.contains(key))
                m_rows.insert(key, r);
        }
    }
    std::optional<int> find(const CompetitionTable& from, int row, const Columns& at) const {
        const auto it = m_rows.constFind(identity(from, row, at));
        return it == m_rows.cend() ? std::nullopt : std::optional<int>(*it);
    }
    QString cell(const std::optional<int>& row, int col) const {
        return row ? m_grid.cell(col, *row) : QString();
    }

private:
    const CompetitionTable& m_grid;
    QHash<QString, int> m_rows;
};

std::optional<int> placeOf(const QString& text) {
    bool ok = false;
    const int place = text.trimmed().toInt(&ok);
    return ok && place > 0 ? std::optional<int>(place) : std::nullopt;
}

class Collector {
public:
    Collector(const Competition& c, const CertificateChoice& choice)
        : m_c(c), m_choice(choice), m_starts(c.heatStartList(), StartColumns),
          m_heat(c.heatResults(), ResultColumns), m_final(c.finalResults(), ResultColumns) {}

    QList<Candidate> collect() const {
        using R = CertificateChoice::Recipients;
        switch (m_choice.recipients) {
        case R::HeatResults:
            return everyone(m_c.heatResults(), m_c.heatStartList(), StartColumns, HeatRes::GZeit,
                            std::nullopt);
        case R::FinalResults:
            return everyone(m_c.finalResults(), m_c.finalStartList(), finalStartColumns(),
                            FinalRes::GZeit, FinalRes::Endzeit);
        case R::BestPerClass:
            return m_choice.bestFromFinal
                       ? best(m_c.finalResults(), FinalRes::GZeit, FinalRes::Endzeit)
                       : best(m_c.heatResults(), HeatRes::GZeit, std::nullopt);
        case R::BestTeams:
            return teams();
        }
        return {};
    }

private:
    static Columns finalStartColumns() {
        return {FinalStart::Nr, FinalStart::Name, FinalStart::Vorname, FinalStart::Verein,
                FinalStart::Kl};
    }

    // Every ranked row of a results table, then the rows of its source that it left out.
    QList<Candidate> everyone(const CompetitionTable& results, const CompetitionTable& source,
                              const Columns& sourceAt, int heatTotal,
                              std::optional<int> finalTotal) const {
        QList<Candidate> list;
        QHash<QString, int> ranked;
        for (int r = 1; r < results.rowsWithHeader(); ++r) {
            if (results.isRowEmpty(r))
                continue;
            ++ranked[identity(results, r, ResultColumns)];
            // Rows without a place (DNF, DSQ, DNS) stand in the results too.
            const auto place = placeOf(results.cell(0, r));
            if (!place && !takesPart(results, r, ResultColumns))
                continue;
            list.append(competitor(results, r, ResultColumns, place, results.cell(heatTotal, r),
                                   finalTotal ? std::optional(results.cell(*finalTotal, r))
                                              : std::nullopt));
        }
        if (!m_choice.participation)
            return list;
        for (int r = 1; r < source.rowsWithHeader(); ++r) {
            if (source.cell(sourceAt.name, r).isEmpty() &&
                source.cell(sourceAt.firstName, r).isEmpty())
                continue;
            int& left = ranked[identity(source, r, sourceAt)];
            if (left > 0) {
                --left;
                continue;
            }
            if (takesPart(source, r, sourceAt))
                list.append(
                    competitor(source, r, sourceAt, std::nullopt, std::nullopt, std::nullopt));
        }
        return list;
    }

    // A competitor without a place gets "Teilnahme" only when asked for, and only after
    // sliding at least once: every run DNS or empty is no participation.
    bool takesPart(const CompetitionTable& grid, int row, const Columns& at) const {
        if (!m_choice.participation)
            return false;
        const auto start = m_starts.find(grid, row, at);
        if (!start)
            return true;
        for (int run = 0; run < 5; ++run) {
            const QString text = m_starts.cell(start, Heat::Zeit1 + run).trimmed();
            if (!TimeFormat::isFreeTimeCell(text) && RunState::fromText(text) != RunState::DNS)
                return true;
        }
        return false;
    }

    // Read by the competitor rather than the operator: seconds with two decimals and their
    // unit, whatever notation the tables use. States and texts that are no time stay.
    QString secondsText(const QString& cell) const {
        const QString text = cell.trimmed();
        if (text.isEmpty() || RunState::isState(text))
            return text;
        const qint32 hundredths = m_c.timeFormat().ParseTime(text);
        return hundredths > 0 ? secondsText(hundredths) : text;
    }
    QString secondsText(qint32 hundredths) const {
        return TimeFormat(TimeFormat::Seconds, m_c.timeFormat().decimalSeparator())
                   .formatTime(hundredths) +
               QStringLiteral(" s");
    }

    QList<Candidate> best(const CompetitionTable& results, int heatTotal,
                          std::optional<int> finalTotal) const {
        QList<Candidate> list;
        for (int r = 1; r < results.rowsWithHeader(); ++r) {
            const auto place = placeOf(results.cell(0, r));
            if (!place || *place > m_choice.places)
                continue;
            list.append(competitor(results, r, ResultColumns, place, results.cell(heatTotal, r),
                                   finalTotal ? std::optional(results.cell(*finalTotal, r))
                                              : std::nullopt));
        }
        return list;
    }

    // Totals the row's own table holds are taken from it; the others are looked up.
    Candidate competitor(const CompetitionTable& grid, int row, const Columns& at,
                         std::optional<int> place, std::optional<QString> heatTotal,
                         std::optional<QString> finalTotal) const {
        Candidate c;
        c.number = grid.cell(at.nr, row);
        c.className = grid.cell(at.cls, row);
        c.place = place;
        Values& v = c.values;
        v.insert(QStringLiteral("Name"), grid.cell(at.name, row));
        v.insert(QStringLiteral("Vorname"), grid.cell(at.firstName, row));
        v.insert(QStringLiteral("Verein"), grid.cell(at.club, row));
        v.insert(QStringLiteral("Klasse"), c.className);
        v.insert(QStringLiteral("Platz"),
                 place ? QString::number(*place) : CertificateFields::participation());
        if (!heatTotal)
            heatTotal = m_heat.cell(m_heat.find(grid, row, at), HeatRes::GZeit);
        if (!finalTotal)
            finalTotal = m_final.cell(m_final.find(grid, row, at), FinalRes::Endzeit);
        v.insert(QStringLiteral("Zeit"),
                 secondsText(m_choice.time == CertificateChoice::Time::HeatTotal ? *heatTotal
                                                                                 : *finalTotal));
        const auto start = m_starts.find(grid, row, at);
        for (int run = 0; run < 5; ++run) {
            const QString text = m_starts.cell(start, Heat::Zeit1 + run);
            v.insert(QStringLiteral("Lauf") + QString::number(run + 1),
                     TimeFormat::isFreeTimeCell(text) ? QString() : secondsText(text));
        }
        return c;
    }

    QList<Candidate> teams() const {
        const CompetitionTable& teams = m_c.teams();
        QList<Candidate> list;
        int place = 0;
        for (int r = 1; r < teams.rowsWithHeader(); ++r) {
            const QString& total = teams.cell(0, r);
            if (total.isEmpty())
                break;
            if (r == 1 || total != teams.cell(0, r - 1))
                place = r;
            if (place > m_choice.places)
                break;
            Candidate c;
            c.place = place;
            Values& v = c.values;
            v.insert(QStringLiteral("Team"), teams.cell(1, r));
            v.insert(QStringLiteral("Platz"), QString::number(place));
            QStringList members;
            for (int col = 2; col <= 4; ++col)
                members.append(memberName(teams.cell(1, r), teams.cell(col, r)));
            v.insert(QStringLiteral("Mitglieder"), members.join(QStringLiteral(", ")));
            v.insert(QStringLiteral("Summe"), teamTotal(total));
            v.insert(QStringLiteral("Zeit"), v.value(QStringLiteral("Summe")));
            list.append(c);
        }
        return list;
    }

    // The ranking writes "Name Vorname : G-Zeit"; a certificate names the member first name
    // first, as the heat results row it came from says.
    QString memberName(const QString& team, const QString& text) const {
        const CompetitionTable& results = m_c.heatResults();
        for (int r = 1; r < results.rowsWithHeader(); ++r) {
            if (results.cell(HeatRes::Verein, r) != team)
                continue;
            const QString& name = results.cell(HeatRes::Name, r);
            const QString& firstName = results.cell(HeatRes::Vorname, r);
            if (name + u' ' + firstName + QStringLiteral(" : ") + results.cell(HeatRes::GZeit, r) ==
                text)
                return QStringList{firstName, name}.join(u' ').trimmed();
        }
        const qsizetype cut = text.lastIndexOf(QStringLiteral(" : "));
        return cut < 0 ? text : text.left(cut);
    }

    // The ranking's total is a number in the unit the tables show; printed like the times.
    QString teamTotal(const QString& total) const {
        const TimeFormat& format = m_c.timeFormat();
        const auto number = DecimalText::parse(total, format.decimalSeparator());
        const auto hundredths =
            number ? number->scaledTruncated(format.setting() == TimeFormat::Seconds ? 2 : 0)
                   : std::nullopt;
        return hundredths ? secondsText(*hundredths) : total;
    }

    const Competition& m_c;
    const CertificateChoice& m_choice;
    RowIndex m_starts;
    RowIndex m_heat;
    RowIndex m_final;
};

// Classes as numbers before anything else, other texts after them by text.
int compareNumbers(const QString& a, const QString& b) {
    bool aOk = false;
    bool bOk = false;
    const qint64 x = a.trimmed().toLongLong(&aOk);
    const qint64 y = b.trimmed().toLongLong(&bOk);
    if (aOk && bOk)
        return x < y ? -1 : (x > y ? 1 : 0);
    if (aOk != bOk)
        return aOk ? -1 : 1;
    return a.compare(b);
}

int comparePlaces(const std::optional<int>& a, const std::optional<int>& b) {
    if (a && b)
        return *a < *b ? -1 : (*a > *b ? 1 : 0);
    if (a.has_value() != b.has_value())
        return a ? -1 : 1;
    return 0;
}

} // namespace

QList<CertificateFields::Values> CertificateRecipients::collect(const Competition& c,
                                                                const CertificateChoice& choice) {
    QList<Candidate> list = Collector(c, choice).collect();
    if (choice.order == CertificateChoice::Order::ClassAndPlace) {
        std::stable_sort(list.begin(), list.end(), [](const Candidate& a, const Candidate& b) {
            if (const int byClass = compareNumbers(a.className, b.className))
                return byClass < 0;
            return comparePlaces(a.place, b.place) < 0;
        });
    } else {
        std::stable_sort(list.begin(), list.end(), [](const Candidate& a, const Candidate& b) {
            return compareNumbers(a.number, b.number) < 0;
        });
    }
    QList<Values> result;
    result.reserve(list.size());
    for (Candidate& candidate : list) {
        Values& v = candidate.values;
        v.insert(QStringLiteral("Titel"), choice.title);
        v.insert(QStringLiteral("Datum"), choice.date);
        for (const QString& name : CertificateFields::names()) {
            if (!v.contains(name))
                v.insert(name, QString());
        }
        result.append(std::move(v));
    }
    return result;
}
