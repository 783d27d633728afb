#pragma once

#include <QList>
#include <QStringList>

class CompetitionTable;

// Which cells of a stage table go into the office documents: the Word table leaves out the
// columns hidden on screen, the workbook takes every column but the heat start list's last two.
// Each row is one table row, the header row first.
namespace ExportColumns {

QList<int> wordColumns(const CompetitionTable& table);
QList<int> excelColumns(const CompetitionTable& table);

QList<QStringList> rows(const CompetitionTable& table, const QList<int>& columns);

} // namespace ExportColumns
