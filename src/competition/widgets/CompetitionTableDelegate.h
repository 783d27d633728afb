#pragma once

#include <QStyledItemDelegate>

class TimeFormat;
class CompetitionTable;

// Paints a stage table's cells with the colours and alignment the competition rules give them:
// time columns tinted, the discarded heat run and the medal totals in red, states and
// substitute times in colours of their own (a substitute also tells so in its tooltip).
class CompetitionTableDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CompetitionTableDelegate(const CompetitionTable* grid, const TimeFormat* timeFormat,
                             QObject* parent = nullptr);

    // Pixels between a cell's edge and its text; the narrow fixed columns ("Nr.", "Pl.") need
    // their three digits whole rather than elided.
    static constexpr int TextMargin = 2;

    const TimeFormat* timeFormat() const { return m_timeFormat; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    bool isSubstitute(const QWidget* view, const QModelIndex& index) const;

    const CompetitionTable* m_grid;
    const TimeFormat* m_timeFormat;
};
