#pragma once

#include "competition/widgets/CompetitionTableDelegate.h"

// Paints like every stage table and edits the heat start list's cells by its input rules: a
// line editor that filters the typed keys per column and accepts only storable text, and a
// changed cell rewritten by the column's validation when it is committed.
class CellEditDelegate : public CompetitionTableDelegate {
    Q_OBJECT
public:
    using CompetitionTableDelegate::CompetitionTableDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
