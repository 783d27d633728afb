#include "tv/Label3DPainting.h"

namespace {

constexpr int DirectionCount = 8;

// Bit i of ShadowNapr: the direction of its copy in units of the shadow size.
constexpr QPoint Direction[DirectionCount] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1},
                                              {1, 0}, {0, 1},  {-1, 0},  {0, -1}};

int channel(quint32 rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFFu);
}

} // namespace

QList<QPoint> Label3DPainting::directions(int shadowNapr, int shadowSize) {
    QList<QPoint> out;
    for (int bit = 0; bit < DirectionCount; ++bit)
        if (shadowNapr & (1 << bit))
            out.append(Direction[bit] * shadowSize);
    return out;
}

QList<Label3DPainting::Copy> Label3DPainting::copies(Bevel bevel, int shadowNapr, int shadowSize,
                                                     bool enabled) {
    QList<Copy> out;
    const QPoint upLeft(-shadowSize, -shadowSize);
    Role second = Role::Shadow;
    switch (bevel) {
    case Bevel::None:
        break;
    case Bevel::Lowered:
        if (enabled)
            out.append({upLeft, Role::Shadow});
        second = Role::HighLight;
        break;
    case Bevel::Raised:
        if (enabled)
            out.append({upLeft, Role::HighLight});
        break;
    case Bevel::Shadow:
        break;
    }
    if (bevel != Bevel::None)
        for (const QPoint& offset : directions(shadowNapr, shadowSize))
            out.append({offset, second});
    out.append({QPoint(0, 0), enabled ? Role::Text : Role::GreyText});
    return out;
}

QList<Label3DPainting::Ring> Label3DPainting::rings(BorderStyle style, int borderWidth) {
    const int w = qMax(0, borderWidth);
    const Ring lowered{0, w, Role::ButtonShadow, Role::ButtonHighlight};
    const Ring raised{0, w, Role::ButtonHighlight, Role::ButtonShadow};
    auto inner = [w](Ring ring) {
        ring.inset = w;
        return ring;
    };
    switch (style) {
    case BorderStyle::None:
        return {};
    case BorderStyle::Normal:
        return {Ring{0, w, Role::Border, Role::Border}};
    case BorderStyle::Lowered:
        return {lowered};
    case BorderStyle::Raised:
        return {raised};
    case BorderStyle::Inn:
        return {lowered, inner(raised)};
    case BorderStyle::Out:
        return {raised, inner(lowered)};
    }
    return {};
}

int Label3DPainting::frameWidth(BorderStyle style, int borderWidth) {
    int width = 0;
    for (const Ring& ring : rings(style, borderWidth))
        width = ring.inset + ring.width;
    return width;
}

QList<quint32> Label3DPainting::gradient(quint32 first, quint32 last, int n) {
    QList<quint32> lines;
    if (n < 1)
        return lines;
    lines.reserve(n + 1);
    for (int i = 0; i <= n; ++i) {
        quint32 rgb = 0;
        for (int shift : {16, 8, 0}) {
            const int value = (channel(first, shift) * (n - i) + channel(last, shift) * i) / n;
            rgb |= static_cast<quint32>(value) << shift;
        }
        lines.append(rgb);
    }
    return lines;
}

int Label3DPainting::textOffset(Layout layout, int height, int textHeight) {
    switch (layout) {
    case Layout::Top:
        return 0;
    case Layout::Center:
        return (height - textHeight) / 2;
    case Layout::Bottom:
        return height - textHeight;
    }
    return 0;
}
