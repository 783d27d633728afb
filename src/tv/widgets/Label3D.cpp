#include "tv/widgets/Label3D.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

Label3D::Label3D(QWidget* parent) : QWidget(parent) {
    const QPalette system = QApplication::palette();
    m_highLight = system.color(QPalette::Active, QPalette::Light);
    m_shadow = system.color(QPalette::Active, QPalette::Dark);
    m_color = system.color(QPalette::Active, QPalette::Button);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

template <typename T> void Label3D::change(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    update();
}

void Label3D::setBevel(Bevel bevel) {
    change(m_bevel, bevel);
}
void Label3D::setHighLightColor(const QColor& colour) {
    change(m_highLight, colour);
}
void Label3D::setShadowColor(const QColor& colour) {
    change(m_shadow, colour);
}
void Label3D::setShadowSize(int size) {
    change(m_shadowSize, qBound(0, size, 255));
}
void Label3D::setShadowNapr(int directions) {
    change(m_shadowNapr, directions);
}
void Label3D::setFillGradient(bool on) {
    change(m_fillGradient, on);
}
void Label3D::setFirstColor(const QColor& colour) {
    change(m_firstColor, colour);
}
void Label3D::setLastColor(const QColor& colour) {
    change(m_lastColor, colour);
}
void Label3D::setGradientOrientation(GradientOrientation orientation) {
    change(m_orientation, orientation);
}
void Label3D::setBorderStyle(BorderStyle style) {
    change(m_borderStyle, style);
}
void Label3D::setBorderColor(const QColor& colour) {
    change(m_borderColor, colour);
}
void Label3D::setBorderWidth(int width) {
    change(m_borderWidth, qMax(0, width));
}
void Label3D::setCaption(const QString& caption) {
    change(m_caption, caption);
}
void Label3D::setAlignment(Qt::Alignment horizontal) {
    change(m_alignment, horizontal & Qt::AlignHorizontal_Mask);
}
void Label3D::setLayout(Layout layout) {
    change(m_layout, layout);
}
void Label3D::setWordWrap(bool on) {
    change(m_wordWrap, on);
}
void Label3D::setTransparent(bool on) {
    change(m_transparent, on);
}
void Label3D::setColor(const QColor& colour) {
    change(m_color, colour);
}
void Label3D::setFontColor(const QColor& colour) {
    change(m_fontColor, colour);
}
void Label3D::setShowAccelChar(bool on) {
    change(m_showAccelChar, on);
}

void Label3D::setPixelSize(int pixels) {
    if (font().pixelSize() == pixels || pixels < 1)
        return;
    QFont f = font();
    f.setPixelSize(pixels);
    setFont(f);
}

int Label3D::textFlags() const {
    int flags = static_cast<int>(m_alignment) | Qt::AlignTop | Qt::TextExpandTabs;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QSize Label3D::textSize(int width) const {
    QString text = m_caption;
    if (text.isEmpty() || (m_showAccelChar && text == QStringLiteral("&")))
        text = QStringLiteral(" ");
    return fontMetrics()
        .boundingRect(QRect(0, 0, qMax(1, width), 100000), textFlags(), text)
        .size();
}

QColor Label3D::roleColour(Label3DPainting::Role role) const {
    using Role = Label3DPainting::Role;
    const QPalette system = QApplication::palette();
    switch (role) {
    case Role::HighLight:
        return m_highLight;
    case Role::Shadow:
        return m_shadow;
    case Role::Text:
        return m_fontColor;
    case Role::GreyText:
        return system.color(QPalette::Disabled, QPalette::WindowText);
    case Role::Border:
        return m_borderColor;
    case Role::ButtonHighlight:
        return system.color(QPalette::Active, QPalette::Light);
    case Role::ButtonShadow:
        return system.color(QPalette::Active, QPalette::Dark);
    }
    return m_fontColor;
}

void Label3D::paintEvent(QPaintEvent*) {
    ++m_paintCount;
    QPainter painter(this);
    QRect r = rect();
    for (const Label3DPainting::Ring& ring : Label3DPainting::rings(m_borderStyle, m_borderWidth)) {
        const QRect outer = rect().adjusted(ring.inset, ring.inset, -ring.inset, -ring.inset);
        const int w = ring.width;
        painter.fillRect(outer.x(), outer.y(), outer.width(), w, roleColour(ring.topLeft));
        painter.fillRect(outer.x(), outer.y(), w, outer.height(), roleColour(ring.topLeft));
        painter.fillRect(outer.x(), outer.bottom() - w + 1, outer.width(), w,
                         roleColour(ring.bottomRight));
        painter.fillRect(outer.right() - w + 1, outer.y(), w, outer.height(),
                         roleColour(ring.bottomRight));
    }
    const int frame = Label3DPainting::frameWidth(m_borderStyle, m_borderWidth);
    r.adjust(frame, frame, -frame, -frame);

    if (m_fillGradient) {
        const bool horizontal = m_orientation == GradientOrientation::Horizontal;
        const int n = (horizontal ? r.width() : r.height()) - 1;
        const QList<quint32> lines = Label3DPainting::gradient(m_firstColor.rgb() & 0xFFFFFFu,
                                                               m_lastColor.rgb() & 0xFFFFFFu, n);
        for (int i = 0; i < lines.size(); ++i) {
            const QColor c = QColor::fromRgb(QRgb(lines[i]));
            if (horizontal)
                painter.fillRect(r.x() + i, r.y(), 1, r.height(), c);
            else
                painter.fillRect(r.x(), r.y() + i, r.width(), 1, c);
        }
    } else if (!m_transparent) {
        painter.fillRect(r, m_color);
    }

    QRect textRect = r;
    if (m_layout != Layout::Top)
        textRect.translate(
            0, Label3DPainting::textOffset(m_layout, r.height(), textSize(r.width()).height()));
    painter.setFont(font());
    const int flags = textFlags();
    const auto copies = Label3DPainting::copies(m_bevel, m_shadowNapr, m_shadowSize, isEnabled());
    for (const Label3DPainting::Copy& copy : copies) {
        painter.setPen(roleColour(copy.role));
        painter.drawText(textRect.translated(copy.offset), flags, m_caption);
    }
}
