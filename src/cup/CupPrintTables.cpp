#include "cup/CupPrintTables.h"

#include "competition/CompetitionTable.h"
#include "cup/CupTableText.h"

namespace CupPrintTables {

namespace {

constexpr int kNameColumn = 1;

std::unique_ptr<CompetitionTable> tableOf(const QList<QStringList>& rows) {
    const QStringList& header = rows.first();
    auto table = std::make_unique<CompetitionTable>(static_cast<int>(header.size()));
    table->setRowsWithHeader(static_cast<int>(rows.size()));
    for (qsizetype r = 0; r < rows.size(); ++r)
        table->setRowCells(static_cast<int>(r), rows.at(r));
    table->setModified(false);
    return table;
}

QStringList noteRow(const QString& note) {
    QStringList cells(kNameColumn + 1);
    cells[kNameColumn] = note;
    return cells;
}

QList<QStringList> classRows(const CupStandings::ClassTable& table, CupRules::Scoring scoring) {
    QList<QStringList> rows;
    for (const CupStandings::Row& row : table.rows)
        rows << CupTableText::rowCells(row, scoring, CupTableText::Dropped::Bracketed);
    for (const QString& note : table.voidedNotes)
        rows << noteRow(note);
    return rows;
}

} // namespace

std::unique_ptr<CompetitionTable> classTable(const CupStandings& standings,
                                             const CupStandings::ClassTable& table,
                                             CupRules::Scoring scoring) {
    return tableOf(QList<QStringList>{CupTableText::header(standings)} + classRows(table, scoring));
}

std::unique_ptr<CompetitionTable> clubTable(const CupStandings::ClubTable& table,
                                            CupRules::Scoring scoring) {
    QList<QStringList> rows{CupTableText::clubHeader()};
    for (const CupStandings::ClubRow& row : table.rows)
        rows << CupTableText::clubCells(row, scoring);
    return tableOf(rows);
}

std::unique_ptr<CompetitionTable> wholeTable(const CupStandings& standings,
                                             CupRules::Scoring scoring) {
    const QStringList header = CupTableText::header(standings);
    const auto total = header.size() - 3; // Summe
    const auto remark = header.size() - 1;
    QList<QStringList> rows{header};
    for (const CupStandings::ClassTable& table : standings.classes) {
        rows << noteRow(CupTableText::classCaption(table.cls));
        rows += classRows(table, scoring);
        rows << QStringList();
    }
    for (const CupStandings::ClubTable& table : standings.clubs) {
        rows << noteRow(CupTableText::clubCaption(table.cls));
        for (const CupStandings::ClubRow& club : table.rows) {
            const QStringList cells = CupTableText::clubCells(club, scoring);
            QStringList row(header.size());
            row[0] = cells.at(0);
            row[kNameColumn] = cells.at(1);
            row[total] = cells.at(2);
            row[remark] = cells.at(3);
            rows << row;
        }
        rows << QStringList();
    }
    if (rows.size() > 1 && rows.last().isEmpty())
        rows.removeLast();
    return tableOf(rows);
}

} // namespace CupPrintTables
