#include "print/CertificateTemplate.h"

#include "output/LimitedFile.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <optional>

namespace {

QStringView localName(QStringView qualified) {
    return qualified.mid(qualified.lastIndexOf(u':') + 1);
}

// Elements only a drawing program reads; the renderer would warn about each of them.
bool editorOnly(QStringView qualified) {
    static const QStringList prefixes{QStringLiteral("sodipodi:"), QStringLiteral("inkscape:"),
                                      QStringLiteral("rdf:"), QStringLiteral("cc:"),
                                      QStringLiteral("dc:")};
    if (localName(qualified) == u"metadata")
        return true;
    return std::any_of(prefixes.cbegin(), prefixes.cend(),
                       [&](const QString& prefix) { return qualified.startsWith(prefix); });
}

// Containers whose content is drawn only where it is used, not where it stands.
bool definitions(QStringView name) {
    static const QStringList names{QStringLiteral("defs"),     QStringLiteral("symbol"),
                                   QStringLiteral("clipPath"), QStringLiteral("mask"),
                                   QStringLiteral("pattern"),  QStringLiteral("marker")};
    return names.contains(name.toString());
}

// A length of the root element in millimetres; nothing for percentages and unknown units.
std::optional<double> millimetres(QStringView text) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\\s*(mm|cm|in|pt|pc|px)?\\s*$"));
    const auto match = pattern.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const double value = match.captured(1).toDouble();
    const QString unit = match.captured(2);
    const double perUnit = unit == u"mm"   ? 1.0
                           : unit == u"cm" ? 10.0
                           : unit == u"in" ? 25.4
                           : unit == u"pt" ? 25.4 / 72
                           : unit == u"pc" ? 25.4 / 6
                                           : 25.4 / 96; // px and plain user units
    const double mm = value * perUnit;
    return mm > 0 ? std::optional<double>(mm) : std::nullopt;
}

// The first number of an x or y attribute, which may hold a list.
std::optional<double> coordinate(QStringView text) {
    const QString first =
        text.toString()
            .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts)
            .value(0);
    bool ok = false;
    const double value = first.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString anchorId(qsizetype index) {
    return QStringLiteral("velmora-text-") + QString::number(index);
}

QString regionId(qsizetype index) {
    return QStringLiteral("velmora-region-") + QString::number(index);
}

// The ids of the shapes texts flow into: those shapes only give a region and are never
// painted, wherever they stand in the drawing.
QSet<QString> flowShapes(const QByteArray& svg) {
    static const QRegularExpression reference(
        QStringLiteral("shape-inside\\s*:\\s*url\\(\\s*['\"]?#([^'\")\\s]+)"));
    QSet<QString> ids;
    auto it = reference.globalMatch(QString::fromUtf8(svg));
    while (it.hasNext())
        ids.insert(it.next().captured(1));
    return ids;
}

// Only the geometry of a rectangle, never painted: a stroke would widen the box it measures.
void writeGeometry(QXmlStreamWriter& writer, const QXmlStreamAttributes& attributes,
                   const QString& id) {
    static const QStringList kept{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("width"),
                                  QStringLiteral("height"), QStringLiteral("transform")};
    writer.writeStartElement(QStringLiteral("rect"));
    writer.writeAttribute(QStringLiteral("id"), id);
    for (const auto& attribute : attributes) {
        if (kept.contains(attribute.qualifiedName().toString()))
            writer.writeAttribute(attribute.qualifiedName().toString(),
                                  attribute.value().toString());
    }
    writer.writeAttribute(QStringLiteral("style"), QStringLiteral("fill:none;stroke:none"));
    writer.writeEndElement();
}

QRectF plainRect(const QXmlStreamAttributes& attributes) {
    const auto value = [&](const char* name) {
        return coordinate(attributes.value(QString::fromLatin1(name))).value_or(0);
    };
    return QRectF(value("x"), value("y"), value("width"), value("height"));
}

} // namespace

CertificateTemplate CertificateTemplate::fromFile(const QString& fileName) {
    const QFileInfo info(fileName);
    LimitedFile::Content content = LimitedFile::read(fileName, MaxBytes);
    if (!content.bytes) {
        CertificateTemplate t;
        t.m_name = info.completeBaseName();
        t.m_label = info.fileName();
        t.m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gelesen werden: %2.")
                        .arg(t.m_label, content.reason);
        return t;
    }
    CertificateTemplate t = fromData(*content.bytes, info.completeBaseName());
    return t;
}

CertificateTemplate CertificateTemplate::fromData(const QByteArray& svg, const QString& name) {
    CertificateTemplate t;
    t.m_data = svg;
    t.m_name = name;
    t.m_label = name.isEmpty() ? QStringLiteral("Vorlage") : name + QStringLiteral(".svg");
    if (svg.size() > MaxBytes) {
        t.m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gelesen werden: Datei ist größer "
                                   "als %2 MB.")
                        .arg(t.m_label)
                        .arg(MaxBytes / (1024 * 1024));
        return t;
    }
    if (t.read())
        t.placeTexts();
    // Only what is drawn is kept; the source is not needed any more.
    t.m_data.clear();
    return t;
}

bool CertificateTemplate::admit(int depth) {
    if (++m_elements > MaxElements)
        m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gezeichnet werden: Sie hat mehr "
                                 "als %2 Elemente.")
                      .arg(m_label)
                      .arg(MaxElements);
    else if (depth > MaxDepth)
        m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gezeichnet werden: Sie ist tiefer "
                                 "als %2 Ebenen verschachtelt.")
                      .arg(m_label)
                      .arg(MaxDepth);
    else if (m_texts.size() > MaxTexts)
        m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gezeichnet werden: Sie hat mehr "
                                 "als %2 Texte.")
                      .arg(m_label)
                      .arg(MaxTexts);
    return m_error.isEmpty();
}

QStringList CertificateTemplate::placeholders() const {
    QStringList all;
    for (const CertificateText& text : m_texts) {
        for (const QString& name : text.placeholders()) {
            if (!all.contains(name))
                all.append(name);
        }
    }
    return all;
}

QStringList CertificateTemplate::lines(const CertificateFields::Values& values) const {
    QStringList all;
    for (const CertificateText& text : m_texts) {
        if (!text.style().hidden)
            all += text.lines(values);
    }
    return all;
}

bool CertificateTemplate::read() {
    QXmlStreamReader reader(m_data);
    reader.setNamespaceProcessing(false);
    QXmlStreamWriter writer(&m_graphics);
    const QSet<QString> shapes = flowShapes(m_data);
    QList<SvgTextStyle> styles{SvgTextStyle()};
    int hiddenDepth = 0; // inside definitions
    bool seenRoot = false;
    bool sizeless = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        if (reader.isStartElement()) {
            const QStringView qualified = reader.qualifiedName();
            const QStringView name = localName(qualified);
            if (!admit(static_cast<int>(styles.size())))
                return false;
            if (!seenRoot) {
                seenRoot = true;
                if (name != u"svg") {
                    m_error =
                        QStringLiteral("Die Vorlage „%1“ ist keine SVG-Zeichnung.").arg(m_label);
                    return false;
                }
                const auto attributes = reader.attributes();
                const auto width = millimetres(attributes.value(QStringLiteral("width")));
                const auto height = millimetres(attributes.value(QStringLiteral("height")));
                if (width && height)
                    m_pageSizeMm = QSizeF(*width, *height);
                sizeless = !attributes.hasAttribute(QStringLiteral("viewBox")) &&
                           !(attributes.hasAttribute(QStringLiteral("width")) &&
                             attributes.hasAttribute(QStringLiteral("height")));
            } else if (editorOnly(qualified)) {
                reader.skipCurrentElement();
                continue;
            }
            const auto attributes = reader.attributes();
            if (name == u"rect" &&
                shapes.contains(attributes.value(QStringLiteral("id")).toString())) {
                const QString id = attributes.value(QStringLiteral("id")).toString();
                m_shapes.insert(id, plainRect(attributes));
                writeGeometry(writer, attributes, id);
                reader.skipCurrentElement();
                continue;
            }
            if (name == u"flowRoot" && hiddenDepth == 0) {
                writer.writeStartElement(QStringLiteral("g"));
                if (attributes.hasAttribute(QStringLiteral("transform")))
                    writer.writeAttribute(QStringLiteral("transform"),
                                          attributes.value(QStringLiteral("transform")).toString());
                writer.writeEmptyElement(QStringLiteral("g"));
                writer.writeAttribute(QStringLiteral("id"), anchorId(m_texts.size()));
                const bool ok = readFlowRoot(reader, writer, styles.last().inherited(attributes),
                                             static_cast<int>(styles.size()));
                writer.writeEndElement();
                if (!ok)
                    return false;
                continue;
            }
            if (name == u"flowRoot") {
                reader.skipCurrentElement();
                continue;
            }
            if (name == u"text" && hiddenDepth == 0) {
                // In the drawing only a mark of where the text's coordinates lie remains.
                writer.writeStartElement(QStringLiteral("g"));
                if (attributes.hasAttribute(QStringLiteral("transform")))
                    writer.writeAttribute(QStringLiteral("transform"),
                                          attributes.value(QStringLiteral("transform")).toString());
                writer.writeEmptyElement(QStringLiteral("g"));
                writer.writeAttribute(QStringLiteral("id"), anchorId(m_texts.size()));
                writer.writeEndElement();
                if (!readText(reader, styles.last().inherited(attributes),
                              SvgTextStyle::shapeInside(attributes),
                              static_cast<int>(styles.size())))
                    return false;
                continue;
            }
            if (name == u"rect" && hiddenDepth == 0 &&
                attributes.value(QStringLiteral("id")).startsWith(BoxPrefix)) {
                writeGeometry(writer, attributes,
                              attributes.value(QStringLiteral("id")).toString());
                reader.skipCurrentElement();
                continue;
            }
            styles.append(styles.last().inherited(attributes));
            if (hiddenDepth > 0 || definitions(name))
                ++hiddenDepth;
        } else if (reader.isEndElement()) {
            if (styles.size() > 1)
                styles.removeLast();
            if (hiddenDepth > 0)
                --hiddenDepth;
        }
        writer.writeCurrentToken(reader);
    }
    if (reader.hasError()) {
        m_error = QStringLiteral("Die Vorlage „%1“ ist keine gültige SVG-Datei (Zeile %2: %3).")
                      .arg(m_label)
                      .arg(reader.lineNumber())
                      .arg(reader.errorString());
        return false;
    }
    if (!seenRoot) {
        m_error = QStringLiteral("Die Vorlage „%1“ ist keine SVG-Zeichnung.").arg(m_label);
        return false;
    }
    if (sizeless) {
        m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gezeichnet werden: Ihr fehlen "
                                 "Breite und Höhe (width, height) und die viewBox, so ist ihre "
                                 "Größe unbekannt.")
                      .arg(m_label);
        return false;
    }
    return true;
}

bool CertificateTemplate::readText(QXmlStreamReader& reader, const SvgTextStyle& style,
                                   const QString& shape, int depth) {
    const auto attributes = reader.attributes();
    CertificateText text(attributes.value(QStringLiteral("id")).toString(), style);
    if (!shape.isEmpty())
        text.flowInto(shape);
    text.startChunk(coordinate(attributes.value(QStringLiteral("x"))),
                    coordinate(attributes.value(QStringLiteral("y"))));
    QList<SvgTextStyle> styles{style};
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (editorOnly(reader.qualifiedName())) {
                reader.skipCurrentElement();
                continue;
            }
            if (!admit(depth + static_cast<int>(styles.size())))
                return false;
            const auto inner = reader.attributes();
            const auto x = coordinate(inner.value(QStringLiteral("x")));
            const auto y = coordinate(inner.value(QStringLiteral("y")));
            if (text.flowed() && inner.value(QStringLiteral("sodipodi:role")) == u"line")
                text.startParagraph();
            else if (x || y)
                text.startChunk(x, y);
            styles.append(styles.last().inherited(inner));
        } else if (reader.isCharacters()) {
            text.addText(reader.text().toString(), styles.last());
        } else if (reader.isEndElement()) {
            styles.removeLast();
            if (styles.isEmpty())
                break;
        }
    }
    m_texts.append(text);
    return true;
}

bool CertificateTemplate::readFlowRoot(QXmlStreamReader& reader, QXmlStreamWriter& writer,
                                       const SvgTextStyle& style, int depth) {
    CertificateText text(reader.attributes().value(QStringLiteral("id")).toString(), style);
    text.flowInto(regionId(m_texts.size()));
    QList<SvgTextStyle> styles{style};
    QList<QStringView> names{u"flowRoot"};
    bool regionFound = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QStringView name = localName(reader.qualifiedName());
            if (editorOnly(reader.qualifiedName())) {
                reader.skipCurrentElement();
                continue;
            }
            if (!admit(depth + static_cast<int>(styles.size())))
                return false;
            const auto inner = reader.attributes();
            const bool inRegion = names.contains(u"flowRegion");
            if (inRegion && name == u"rect" && !regionFound) {
                // The first rectangle of the region; other shapes are not flowed into.
                regionFound = true;
                writeGeometry(writer, inner, text.regionId());
                reader.skipCurrentElement();
                continue;
            }
            if (inRegion || (name == u"flowRegion" && regionFound)) {
                reader.skipCurrentElement();
                continue;
            }
            if (name == u"flowPara")
                text.startParagraph();
            styles.append(styles.last().inherited(inner));
            names.append(name == u"flowRegion" ? QStringView(u"flowRegion") : QStringView());
        } else if (reader.isCharacters()) {
            // Between paragraphs only the source's own line breaks stand.
            if (names.size() > 1)
                text.addText(reader.text().toString(), styles.last());
        } else if (reader.isEndElement()) {
            styles.removeLast();
            names.removeLast();
            if (styles.isEmpty())
                break;
        }
    }
    m_texts.append(text);
    return true;
}

void CertificateTemplate::placeTexts() {
    QSvgRenderer renderer(m_graphics);
    if (!renderer.isValid() || renderer.viewBoxF().isEmpty()) {
        m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gezeichnet werden.").arg(m_label);
        return;
    }
    m_viewBox = renderer.viewBoxF();
    if (m_pageSizeMm.isEmpty())
        m_pageSizeMm = m_viewBox.width() > m_viewBox.height() ? QSizeF(297, 210) : QSizeF(210, 297);
    for (qsizetype i = 0; i < m_texts.size(); ++i) {
        CertificateText& text = m_texts[i];
        if (text.flowed()) {
            // A region is given in the text's own coordinates, moved by its own transform.
            const QString region = text.regionId();
            std::optional<QRectF> box;
            if (renderer.elementExists(region))
                box = renderer.boundsOnElement(region);
            else if (m_shapes.contains(region))
                box = m_shapes.value(region);
            if (box && box->width() <= 0)
                box.reset();
            text.place(renderer.transformForElement(anchorId(i)), box);
            continue;
        }
        const QString boxId = BoxPrefix.toString() + text.id();
        std::optional<QRectF> box;
        if (!text.id().isEmpty() && renderer.elementExists(boxId)) {
            const QRectF rect =
                renderer.transformForElement(boxId).mapRect(renderer.boundsOnElement(boxId));
            if (rect.width() > 0)
                box = rect;
        }
        text.place(renderer.transformForElement(anchorId(i)), box);
    }
}
