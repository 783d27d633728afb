#pragma once

#include <QStyledItemDelegate>

class TimeFormat;
class TSortGrid;

// Paints a stage table's cells with the colours and alignment the competition rules give them:
// time columns tinted, the discarded heat run and the medal totals in red.
class TSortGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TSortGridDelegate(const TSortGrid* grid, const TimeFormat* timeFormat,
                      QObject* parent = nullptr);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    const TSortGrid* m_grid;
    const TimeFormat* m_timeFormat;
};
