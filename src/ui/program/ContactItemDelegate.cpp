#include "ui/program/ContactItemDelegate.h"

#include "ui/program/ContactLogicBox.h"

#include <QPainter>

ContactItemDelegate::ContactItemDelegate(ContactLogicBox& box)
    : QStyledItemDelegate(&box), m_box(box) {}

void ContactItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const bool enabled = option.state.testFlag(QStyle::State_Enabled);
    const bool selected = option.state.testFlag(QStyle::State_Selected) ||
                          option.state.testFlag(QStyle::State_MouseOver);
    ContactLogicBox::drawItem(*painter, option.rect, index.data().toString(), index.row(), enabled,
                              selected, option.palette);
}

QSize ContactItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {m_box.width(), m_box.itemHeight()};
}
