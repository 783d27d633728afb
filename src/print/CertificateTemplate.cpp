#include "print/CertificateTemplate.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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

} // namespace

CertificateTemplate CertificateTemplate::fromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        CertificateTemplate t;
        t.m_name = QFileInfo(fileName).completeBaseName();
        t.m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gelesen werden: %2")
                        .arg(fileName, file.errorString());
        return t;
    }
    return fromData(file.readAll(), QFileInfo(fileName).completeBaseName());
}

CertificateTemplate CertificateTemplate::fromData(const QByteArray& svg, const QString& name) {
    CertificateTemplate t;
    t.m_data = svg;
    t.m_name = name;
    if (t.read())
        t.placeTexts();
    return t;
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
    QList<SvgTextStyle> styles{SvgTextStyle()};
    int hiddenDepth = 0; // inside definitions
    bool seenRoot = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        if (reader.isStartElement()) {
            const QStringView qualified = reader.qualifiedName();
            const QStringView name = localName(qualified);
            if (!seenRoot) {
                seenRoot = true;
                if (name != u"svg") {
                    m_error =
                        QStringLiteral("Die Vorlage „%1“ ist keine SVG-Zeichnung.").arg(m_name);
                    return false;
                }
                const auto attributes = reader.attributes();
                const auto width = millimetres(attributes.value(QStringLiteral("width")));
                const auto height = millimetres(attributes.value(QStringLiteral("height")));
                if (width && height)
                    m_pageSizeMm = QSizeF(*width, *height);
            } else if (editorOnly(qualified)) {
                reader.skipCurrentElement();
                continue;
            }
            const auto attributes = reader.attributes();
            if (name == u"text" && hiddenDepth == 0) {
                // In the drawing only a mark of where the text's coordinates lie remains.
                writer.writeStartElement(QStringLiteral("g"));
                if (attributes.hasAttribute(QStringLiteral("transform")))
                    writer.writeAttribute(QStringLiteral("transform"),
                                          attributes.value(QStringLiteral("transform")).toString());
                writer.writeEmptyElement(QStringLiteral("g"));
                writer.writeAttribute(QStringLiteral("id"), anchorId(m_texts.size()));
                writer.writeEndElement();
                readText(reader, styles.last().inherited(attributes));
                continue;
            }
            if (name == u"rect" && hiddenDepth == 0 &&
                attributes.value(QStringLiteral("id")).startsWith(BoxPrefix)) {
                // Only the geometry, never painted: a stroke would widen the box it measures.
                writer.writeStartElement(qualified.toString());
                for (const auto& attribute : attributes) {
                    static const QStringList kept{
                        QStringLiteral("id"),     QStringLiteral("x"),
                        QStringLiteral("y"),      QStringLiteral("width"),
                        QStringLiteral("height"), QStringLiteral("transform")};
                    if (kept.contains(attribute.qualifiedName().toString()))
                        writer.writeAttribute(attribute.qualifiedName().toString(),
                                              attribute.value().toString());
                }
                writer.writeAttribute(QStringLiteral("style"),
                                      QStringLiteral("fill:none;stroke:none"));
                writer.writeEndElement();
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
                      .arg(m_name)
                      .arg(reader.lineNumber())
                      .arg(reader.errorString());
        return false;
    }
    if (!seenRoot) {
        m_error = QStringLiteral("Die Vorlage „%1“ ist keine SVG-Zeichnung.").arg(m_name);
        return false;
    }
    return true;
}

void CertificateTemplate::readText(QXmlStreamReader& reader, const SvgTextStyle& style) {
    const auto attributes = reader.attributes();
    CertificateText text(attributes.value(QStringLiteral("id")).toString(), style);
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
            const auto inner = reader.attributes();
            const auto x = coordinate(inner.value(QStringLiteral("x")));
            const auto y = coordinate(inner.value(QStringLiteral("y")));
            if (x || y)
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
}

void CertificateTemplate::placeTexts() {
    QSvgRenderer renderer(m_graphics);
    if (!renderer.isValid() || renderer.viewBoxF().isEmpty()) {
        m_error = QStringLiteral("Die Vorlage „%1“ kann nicht gezeichnet werden.").arg(m_name);
        return;
    }
    m_viewBox = renderer.viewBoxF();
    if (m_pageSizeMm.isEmpty())
        m_pageSizeMm = m_viewBox.width() > m_viewBox.height() ? QSizeF(297, 210) : QSizeF(210, 297);
    for (qsizetype i = 0; i < m_texts.size(); ++i) {
        CertificateText& text = m_texts[i];
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
