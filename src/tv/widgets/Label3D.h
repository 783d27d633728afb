#pragma once

#include "tv/Label3DPainting.h"

#include <QColor>
#include <QWidget>

// A text label that draws its caption raised, lowered or shadowed, optionally on a two-colour
// gradient and inside a frame. Every setter repaints only when the value changed.
class Label3D : public QWidget {
    Q_OBJECT
public:
    using Bevel = Label3DPainting::Bevel;
    using BorderStyle = Label3DPainting::BorderStyle;
    using GradientOrientation = Label3DPainting::GradientOrientation;
    using Layout = Label3DPainting::Layout;

    explicit Label3D(QWidget* parent = nullptr);

    // --- the 3D properties ---------------------------------------------------------------
    Bevel bevel() const { return m_bevel; }
    void setBevel(Bevel bevel);
    void setHighLightColor(const QColor& colour);
    void setShadowColor(const QColor& colour);
    int shadowSize() const { return m_shadowSize; }
    void setShadowSize(int size); // a byte: 0..255
    int shadowNapr() const { return m_shadowNapr; }
    void setShadowNapr(int directions);
    bool fillGradient() const { return m_fillGradient; }
    void setFillGradient(bool on);
    QColor firstColor() const { return m_firstColor; }
    void setFirstColor(const QColor& colour);
    QColor lastColor() const { return m_lastColor; }
    void setLastColor(const QColor& colour);
    void setGradientOrientation(GradientOrientation orientation);
    BorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(BorderStyle style);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& colour);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);

    // --- the ordinary label ----------------------------------------------------------------
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment horizontal);
    Layout layout() const { return m_layout; }
    void setLayout(Layout layout);
    void setWordWrap(bool on);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);
    QColor color() const { return m_color; }
    void setColor(const QColor& colour);
    void setFontColor(const QColor& colour);
    void setShowAccelChar(bool on);
    void setPixelSize(int pixels);

    // The caption's size as drawn in the given width (an empty caption measures as a blank).
    QSize textSize(int width) const;
    // How many paints the label has done; a changed property costs one, an unchanged none.
    int paintCount() const { return m_paintCount; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    template <typename T> void change(T& field, const T& value);
    int textFlags() const;
    QColor roleColour(Label3DPainting::Role role) const;

    Bevel m_bevel = Bevel::Raised;
    QColor m_highLight;
    QColor m_shadow;
    int m_shadowSize = 1;
    int m_shadowNapr = 1;
    bool m_fillGradient = false;
    QColor m_firstColor = Qt::white;
    QColor m_lastColor{0x00, 0x80, 0x80};
    GradientOrientation m_orientation = GradientOrientation::Horizontal;
    BorderStyle m_borderStyle = BorderStyle::None;
    QColor m_borderColor = Qt::black;
    int m_borderWidth = 1;

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    Layout m_layout = Layout::Top;
    bool m_wordWrap = false;
    bool m_transparent = false;
    QColor m_color;
    QColor m_fontColor = Qt::black;
    bool m_showAccelChar = true;
    int m_paintCount = 0;
};
