#include "print/SvgTextStyle.h"

#include <QRegularExpression>
#include <QXmlStreamAttributes>

namespace {

// The properties of one element: the style attribute's declarations win over the
// presentation attributes of the same name.
QHash<QString, QString> properties(const QXmlStreamAttributes& attributes) {
    static const QStringList names{QStringLiteral("font-family"), QStringLiteral("font-size"),
                                   QStringLiteral("font-weight"), QStringLiteral("font-style"),
                                   QStringLiteral("fill"),        QStringLiteral("fill-opacity"),
                                   QStringLiteral("opacity"),     QStringLiteral("text-anchor"),
                                   QStringLiteral("display"),     QStringLiteral("visibility"),
                                   QStringLiteral("text-align"),  QStringLiteral("line-height"),
                                   QStringLiteral("white-space"), QStringLiteral("shape-inside")};
    QHash<QString, QString> found;
    for (const auto& attribute : attributes) {
        const QString name = attribute.qualifiedName().toString();
        if (names.contains(name))
            found.insert(name, attribute.value().toString().trimmed());
        else if (name == u"xml:space")
            found.insert(name, attribute.value().toString().trimmed());
    }
    const QString style = attributes.value(QStringLiteral("style")).toString();
    for (const QString& declaration : style.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString name = declaration.left(colon).trimmed();
        QString value = declaration.mid(colon + 1).trimmed();
        value.remove(QStringLiteral("!important"));
        if (names.contains(name))
            found.insert(name, value.trimmed());
    }
    return found;
}

std::optional<double> number(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^([-+]?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\\s*([a-z%]*)$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble();
}

// A font size in the drawing's units; relative sizes refer to the parent's.
double fontSize(const QString& text, double parent) {
    static const QHash<QString, double> named{
        {QStringLiteral("xx-small"), 9}, {QStringLiteral("x-small"), 10},
        {QStringLiteral("small"), 13},   {QStringLiteral("medium"), 16},
        {QStringLiteral("large"), 18},   {QStringLiteral("x-large"), 24},
        {QStringLiteral("xx-large"), 32}};
    if (named.contains(text))
        return named.value(text);
    const auto value = number(text);
    if (!value || *value <= 0)
        return parent;
    if (text.endsWith(QStringLiteral("em")))
        return *value * parent;
    if (text.endsWith(u'%'))
        return *value * parent / 100;
    if (text.endsWith(QStringLiteral("pt")))
        return *value * 4 / 3;
    if (text.endsWith(QStringLiteral("mm")))
        return *value * 96 / 25.4;
    return *value;
}

std::optional<QColor> colour(const QString& text) {
    static const QRegularExpression rgb(QStringLiteral(
        "^rgb\\(\\s*([0-9.]+)(%?)\\s*,\\s*([0-9.]+)(%?)\\s*,\\s*([0-9.]+)(%?)\\s*\\)$"));
    if (text == u"none")
        return QColor(Qt::transparent);
    if (const auto match = rgb.match(text); match.hasMatch()) {
        const auto channel = [&](int i) {
            const double v = match.captured(2 * i - 1).toDouble();
            return qBound(0, static_cast<int>(match.captured(2 * i).isEmpty() ? v : v * 2.55), 255);
        };
        return QColor(channel(1), channel(2), channel(3));
    }
    const QColor named = QColor::fromString(text);
    if (named.isValid())
        return named;
    // A gradient or anything else a text here cannot show: black, as the default is.
    return std::nullopt;
}

// A line height as a multiple of the font size; lengths are taken for the size at hand.
double lineHeightOf(const QString& text, double size, double parent) {
    if (text == u"normal")
        return 1.25;
    const auto value = number(text);
    if (!value || *value <= 0)
        return parent;
    if (text.endsWith(u'%'))
        return *value / 100;
    if (text.endsWith(QStringLiteral("em")))
        return *value;
    const bool unitless = !text.back().isLetter();
    return unitless ? *value : fontSize(text, size) / size;
}

int weightOf(const QString& text, int parent) {
    if (text == u"bold" || text == u"bolder")
        return QFont::Bold;
    if (text == u"normal" || text == u"lighter")
        return QFont::Normal;
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? qBound(1, value, 1000) : parent;
}

} // namespace

SvgTextStyle SvgTextStyle::inherited(const QXmlStreamAttributes& attributes) const {
    SvgTextStyle s = *this;
    const auto found = properties(attributes);
    if (found.isEmpty())
        return s;
    if (const QString family = found.value(QStringLiteral("font-family"));
        !family.isEmpty() && family != u"inherit") {
        QStringList families;
        for (QString name : family.split(u',', Qt::SkipEmptyParts)) {
            name = name.trimmed();
            name.remove(u'\'');
            name.remove(u'"');
            if (name == u"serif")
                s.hint = QFont::Serif;
            else if (name == u"sans-serif")
                s.hint = QFont::SansSerif;
            else if (name == u"monospace")
                s.hint = QFont::Monospace;
            else if (!name.isEmpty())
                families.append(name);
        }
        if (!families.isEmpty())
            s.families = families;
    }
    if (found.contains(QStringLiteral("font-size")))
        s.size = fontSize(found.value(QStringLiteral("font-size")), size);
    if (found.contains(QStringLiteral("font-weight")))
        s.weight = weightOf(found.value(QStringLiteral("font-weight")), weight);
    if (found.contains(QStringLiteral("font-style")))
        s.italic = found.value(QStringLiteral("font-style")) != u"normal";
    if (found.contains(QStringLiteral("fill"))) {
        if (const auto c = colour(found.value(QStringLiteral("fill"))))
            s.fill = *c;
    }
    if (const auto v = number(found.value(QStringLiteral("fill-opacity"))))
        s.fillOpacity = qBound(0.0, *v, 1.0);
    if (const auto v = number(found.value(QStringLiteral("opacity"))))
        s.opacity = opacity * qBound(0.0, *v, 1.0);
    const QString anchorText = found.value(QStringLiteral("text-anchor"));
    if (anchorText == u"middle")
        s.anchor = Anchor::Middle;
    else if (anchorText == u"end")
        s.anchor = Anchor::End;
    else if (anchorText == u"start")
        s.anchor = Anchor::Start;
    if (found.value(QStringLiteral("display")) == u"none" ||
        found.value(QStringLiteral("visibility")) == u"hidden")
        s.hidden = true;
    else if (found.value(QStringLiteral("visibility")) == u"visible")
        s.hidden = false;
    if (found.contains(QStringLiteral("xml:space")))
        s.preserveSpace = found.value(QStringLiteral("xml:space")) == u"preserve";
    const QString align = found.value(QStringLiteral("text-align"));
    if (align == u"center")
        s.align = Anchor::Middle;
    else if (align == u"end" || align == u"right")
        s.align = Anchor::End;
    else if (align == u"start" || align == u"left" || align == u"justify")
        s.align = Anchor::Start;
    if (found.contains(QStringLiteral("line-height")))
        s.lineHeight = lineHeightOf(found.value(QStringLiteral("line-height")), s.size, lineHeight);
    if (found.contains(QStringLiteral("white-space"))) {
        const QString space = found.value(QStringLiteral("white-space"));
        s.keepsLineBreaks = space == u"pre" || space == u"pre-wrap" || space == u"pre-line" ||
                            space == u"break-spaces";
    }
    return s;
}

QString SvgTextStyle::shapeInside(const QXmlStreamAttributes& attributes) {
    static const QRegularExpression reference(
        QStringLiteral("^url\\(\\s*['\"]?#([^'\")\\s]+)['\"]?\\s*\\)"));
    return reference.match(properties(attributes).value(QStringLiteral("shape-inside")))
        .captured(1);
}

QFont SvgTextStyle::font() const {
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(hint);
    f.setPixelSize(ReferencePixels);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QColor SvgTextStyle::paint() const {
    QColor c = fill;
    c.setAlphaF(static_cast<float>(c.alphaF() * fillOpacity * opacity));
    return c;
}
