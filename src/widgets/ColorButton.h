#pragma once

#include <QColor>
#include <QPushButton>

// A push button whose face is painted in its own colour, so the timing buttons can show the
// run clock's state. Every mouse press, with any button, is reported at once through
// mousePressed(): the timing commands act on the press, not on the release.
class ColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorButton(const QString& caption, QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    // The button-face colour of the platform, which a "neutral" timing button shows.
    static QColor faceColor();

    // The font the caption is drawn in: the button's own, smaller where it would not fit the
    // face (a wider font standing in for Arial).
    QFont captionFont() const;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QColor m_color;
};
