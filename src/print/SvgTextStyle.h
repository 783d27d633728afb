#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>
#include <optional>

class QXmlStreamAttributes;

// How a text of an SVG drawing looks, as far as certificates need it: font, fill and anchor,
// read from presentation attributes and the style attribute and passed on to the children.
struct SvgTextStyle {
    enum class Anchor { Start, Middle, End };

    // Fonts are laid out at this pixel size and scaled to the text's size, so that small
    // sizes in a drawing's units keep their exact proportions.
    static constexpr int ReferencePixels = 100;

    QStringList families{QStringLiteral("Liberation Sans")};
    QFont::StyleHint hint = QFont::SansSerif;
    double size = 16; // in the drawing's units
    int weight = QFont::Normal;
    bool italic = false;
    QColor fill = Qt::black; // transparent: not painted
    double fillOpacity = 1;
    double opacity = 1; // of the element and its parents together
    Anchor anchor = Anchor::Start;
    bool hidden = false;
    bool preserveSpace = false;
    // Only for text flowed into a region: how its lines are aligned, their distance as a
    // multiple of the font size, and whether line breaks in the text begin a new line.
    std::optional<Anchor> align;
    double lineHeight = 1.25;
    bool keepsLineBreaks = false;

    // This style as a child with these attributes has it.
    SvgTextStyle inherited(const QXmlStreamAttributes& attributes) const;
    // The id of the shape a text flows into ("shape-inside: url(#id)"); empty for none.
    static QString shapeInside(const QXmlStreamAttributes& attributes);

    // At ReferencePixels.
    QFont font() const;
    // The fill with both opacities applied.
    QColor paint() const;
    double scale() const { return size / ReferencePixels; }
    // Where the lines of flowed text go: text-align, else the anchor.
    Anchor lineAlign() const { return align.value_or(anchor); }
};
