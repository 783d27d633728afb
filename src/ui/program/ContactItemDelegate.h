#pragma once

#include <QStyledItemDelegate>

class ContactLogicBox;

// Draws the entries of the open "Kontakten:" list with their contact pictures.
class ContactItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ContactItemDelegate(ContactLogicBox& box);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ContactLogicBox& m_box;
};
