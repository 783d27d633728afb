#pragma once

#include "competition/PrintOptions.h"
#include "competition/SortOptions.h"

#include <QAbstractTableModel>
#include <QChar>
#include <QList>
#include <QStringList>
#include <functional>

// A table of text cells with a header row 0 and data rows from 1, never fewer than two rows.
// It is the model behind every competition table; the window shows it through a view, and the
// competition logic reads and writes it directly. As a Qt model it exposes the data rows only
// (model row i is table row i + 1) and row 0 as the horizontal header.
class CompetitionTable : public QAbstractTableModel {
    Q_OBJECT
public:
    using SortStyleHandler = std::function<SortStyle(const CompetitionTable& grid, int column)>;

    explicit CompetitionTable(int colCount, QObject* parent = nullptr);

    // --- the grid's own vocabulary -------------------------------------------------------
    int rowsWithHeader() const { return static_cast<int>(m_rows.size()); }
    void setRowsWithHeader(int rows); // adds empty rows or drops rows at the bottom; at least 2
    // Replaces every data row by an empty one and sets rowsWithHeader (at least 2); the header
    // stays. The old rows are released in memory order, so that the cells written next are
    // allocated close together rather than scattered like the sorted rows they replace.
    void renewDataRows(int rows);
    int columns() const { return m_colCount; }
    void setColumns(int cols);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The text of a cell; an empty text outside the table.
    const QString& cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);

    QStringList column(int col) const; // all rows, header included
    void setColumn(int col, const QStringList& cells);
    // setColumn with another table's column, without building the list in between.
    void copyColumn(const CompetitionTable& source, int sourceCol, int col);
    // copyColumn for `count` neighbouring columns at once.
    void copyColumns(const CompetitionTable& source, int sourceCol, int col, int count);
    void clearColumn(int col); // keeps the caption, empties the data cells

    QString rowText(int row) const; // cells joined by line breaks
    void setRowText(int row, const QString& text);
    QStringList rowCells(int row) const;
    void setRowCells(int row, const QStringList& cells);

    int findRow(int col, const QString& text, bool ignoreCase = false) const;
    bool isRowEmpty(int row) const;
    void appendRow(const QStringList& cells);
    void deleteRow(int row);
    void clearTable();
    // More than one row and a non-empty "Nr." in row 1. The results tables carry "Pl." in
    // front, so their "Nr." sits in column 1; keyColumn says where it is.
    bool hasData() const;
    int keyColumn() const { return m_keyColumn; }
    void setKeyColumn(int col) { m_keyColumn = col; }

    // Puts the data rows into the given order (each table row 1..rowsWithHeader-1 exactly once);
    // the selected row follows its data. Anything else leaves the table as it is.
    void reorderRows(const QList<int>& order);

    int selectedRow() const { return m_row; }
    void setRow(int row); // the selected row; the same row again does nothing

    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // A cell text committed by the user's editing: sets the modified flag when it differs.
    void commitUserEdit(int col, int row, const QString& text);

    // --- ordering ------------------------------------------------------------------------
    SortOptions& sortOptions() { return m_options; }
    const SortOptions& sortOptions() const { return m_options; }
    PrintOptions& printOptions() { return m_printOptions; }
    const PrintOptions& printOptions() const { return m_printOptions; }
    void setSortStyleHandler(SortStyleHandler handler) { m_styleHandler = std::move(handler); }
    void setDecimalSeparator(QChar separator) { m_separator = separator; }
    QChar decimalSeparator() const { return m_separator; }
    void sortByColumn(int col);

    // Repaint lock: while held, changes collect into one model reset at the end.
    void beginUpdate();
    void endUpdate();

    // --- Qt model ------------------------------------------------------------------------
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void setEditable(bool editable);
    bool editable() const { return m_editable; }
    // While the table is editable, the columns this refuses can be neither selected nor edited
    // (the view's cursor passes over them); unset, every column can.
    void setColumnSelectable(std::function<bool(int col)> rule) {
        m_columnSelectable = std::move(rule);
    }

Q_SIGNALS:
    void rowSelected(int row);
    void sorted();
    // The user's editing changed this cell (commitUserEdit), before the model tells its views.
    void cellEdited(int col, int row);

private:
    void cellChanged(int col, int row);
    static void assignShared(QString& target, const QString& text);
    void clampSelection();

    QList<QStringList> m_rows;
    int m_colCount;
    int m_tag = 0;
    int m_row = 1;
    bool m_modified = false;
    bool m_editable = false;
    int m_updateLock = 0;
    int m_keyColumn = 0;
    SortOptions m_options;
    PrintOptions m_printOptions;
    SortStyleHandler m_styleHandler;
    std::function<bool(int col)> m_columnSelectable;
    QChar m_separator = u',';
};
