#pragma once

#include <QComboBox>

class QPainter;

// The "Kontakten:" list: "Ein" and "Aus", each drawn with a picture of the contact it stands
// for, so the operator sees at a glance whether the barriers close or open a contact.
class ContactLogicBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr QSize PictureSize{41, 16};
    static constexpr int DesignedItemHeight = 13;
    static constexpr int PictureLeft = 22;

    explicit ContactLogicBox(QWidget* parent = nullptr);

    // The contact picture of an entry: 0 "Ein" a contact that closes (normally open), 1 "Aus"
    // a contact that opens (normally closed). Logical pixels at the given device pixel ratio.
    static QPixmap picture(int index, qreal devicePixelRatio = 1.0);
    // One entry as the list and the closed box show it: the rectangle filled, and unless it is
    // drawn disabled, the text at (left + 1, top + 1) and the picture at (left + 22, top).
    static void drawItem(QPainter& painter, const QRect& rect, const QString& text, int index,
                         bool enabled, bool selected, const QPalette& palette);
    // At least the designed 13 pixels, more when the picture or the font needs them.
    int itemHeight() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
