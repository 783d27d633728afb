#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QtGlobal>

// The drawing rules of the 3D label as numbers: which text copies go where and in which
// colour role, the frame rings, the gradient colour of every line and the text's vertical
// offset. The widget only carries them out.
class Label3DPainting {
    Q_GADGET
public:
    enum class Bevel { None, Lowered, Raised, Shadow };
    Q_ENUM(Bevel)
    enum class BorderStyle { None, Normal, Lowered, Raised, Inn, Out };
    Q_ENUM(BorderStyle)
    enum class GradientOrientation { Horizontal, Vertical };
    Q_ENUM(GradientOrientation)
    enum class Layout { Top, Center, Bottom };
    Q_ENUM(Layout)

    // Colours a copy or a frame side is drawn in; the widget maps them to real colours.
    enum class Role { HighLight, Shadow, Text, GreyText, Border, ButtonHighlight, ButtonShadow };

    struct Copy {
        QPoint offset;
        Role role = Role::Text;
        bool operator==(const Copy&) const = default;
    };

    // One ring of the frame, `inset` pixels in from the client rectangle, `width` wide.
    struct Ring {
        int inset = 0;
        int width = 0;
        Role topLeft = Role::Border;
        Role bottomRight = Role::Border;
        bool operator==(const Ring&) const = default;
    };

    // The text copies in drawing order; the last is the text itself.
    static QList<Copy> copies(Bevel bevel, int shadowNapr, int shadowSize, bool enabled);
    // The offsets of the second-colour copies, one per set bit of shadowNapr, bit 0 first.
    static QList<QPoint> directions(int shadowNapr, int shadowSize);
    // The frame rings from the outside in; the inset after the last is the frame's width.
    static QList<Ring> rings(BorderStyle style, int borderWidth);
    static int frameWidth(BorderStyle style, int borderWidth);
    // 0xRRGGBB of each one-pixel line of a gradient n + 1 lines long; empty below n = 1.
    static QList<quint32> gradient(quint32 first, quint32 last, int n);
    // How far the text rectangle moves down for the layout.
    static int textOffset(Layout layout, int height, int textHeight);
};
