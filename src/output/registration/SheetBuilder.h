#pragma once

#include "output/registration/ImportWorkbook.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// Collects the non-empty cells of one sheet by position and gives the sheet with its rows in
// line order. Empty cells cost nothing, so a sheet whose formatting reaches the last column
// or row of the spreadsheet stays small; cells with content beyond the import limits stop
// the reading with a reason.
class SheetBuilder {
public:
    // cellsBefore: the cells of the file's sheets read before, which count towards the limit.
    explicit SheetBuilder(const QString& name, qint64 cellsBefore = 0);

    // line from 1, column from 0. False (with error()) when a limit is passed.
    bool setCell(int line, int column, const QString& text);
    // The cell at (line, column) was merged with the cells below it down to lastLine: its
    // text holds for each of those rows that carries something else. False (with error())
    // when a sheet has more merged ranges than the limits allow.
    bool mergeDown(int line, int column, int lastLine);
    void hideColumn(int column);
    void setHidden(bool hidden) { m_sheet.hidden = hidden; }

    QString error() const { return m_error; }
    // The cells counted so far, earlier sheets included.
    qint64 cellCount() const { return m_cells; }
    // Rows padded to the widest one, merged texts spread; nullopt (with error()) when the
    // merged ranges would fill more cells than the limits allow.
    std::optional<ImportWorkbook::Sheet> finish();

private:
    struct Merge {
        int line = 0;
        int column = 0;
        int lastLine = 0;
    };

    ImportWorkbook::Row& rowAt(int line);
    bool spreadMerged();

    ImportWorkbook::Sheet m_sheet;
    QHash<int, qsizetype> m_rowOfLine; // rows are sorted by line only at the end
    QList<Merge> m_merges;
    QString m_error;
    qint64 m_cells = 0;
};
