#pragma once

#include <QColor>
#include <QList>
#include <QPolygon>
#include <QWidget>
#include <array>

// One seven-segment digit with a decimal point. Every setter compares before it stores, so
// a clock that sets all digits on each tick repaints only the digits that changed. Changes are
// painted in the event loop's next paint pass, so a value and a colour set together by one
// clock tick cost one paint, still within a millisecond or two of the tick.
class SegmentDigit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int ValueBinary READ valueBinary WRITE setValueBinary)
    Q_PROPERTY(QColor ColorOn READ colorOn WRITE setColorOn)
    Q_PROPERTY(QColor ColorOff READ colorOff WRITE setColorOff)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(BorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(int Thickness READ thickness WRITE setThickness)
    Q_PROPERTY(int Separation READ separation WRITE setSeparation)
public:
    enum class BorderStyle { None = 0, Single = 1 };
    Q_ENUM(BorderStyle)

    // Segment bits: 0 top, 1 middle, 2 bottom, 3 upper left, 4 upper right, 5 lower left,
    // 6 lower right, 7 point.
    static constexpr std::array<quint8, 10> SegmentTable{125, 80, 55, 87, 90, 79, 111, 81, 127, 95};

    explicit SegmentDigit(QWidget* parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);
    int valueBinary() const { return m_valueBinary; }
    void setValueBinary(int mask);
    QColor colorOn() const { return m_colorOn; }
    void setColorOn(const QColor& color);
    QColor colorOff() const { return m_colorOff; }
    void setColorOff(const QColor& color);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // Kept and repainted on change; the drawing does not use it.
    BorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(BorderStyle style);
    // Half the stroke width; accepted only up to half the width and half the height.
    int thickness() const { return m_thickness; }
    void setThickness(int thickness);
    // Gap between neighbouring segments.
    int separation() const { return m_separation; }
    void setSeparation(int separation);

    // The eight polygons in bit order for a digit of w x h pixels.
    static QList<QPolygon> segmentPolygons(int w, int h, int thickness, int separation);

Q_SIGNALS:
    // A value outside 0 to 9 was set; the digit shows 0.
    void overflow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_value = 0;
    quint8 m_valueBinary = SegmentTable[0];
    BorderStyle m_borderStyle = BorderStyle::Single;
    QColor m_colorOn{0xFF, 0xFF, 0x00};
    QColor m_colorOff{0x00, 0x00, 0x00};
    QColor m_color{0x00, 0x00, 0x00};
    int m_thickness = 2;
    int m_separation = 1;
};
