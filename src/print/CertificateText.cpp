#include "print/CertificateText.h"

#include "output/XmlText.h"
#include "print/TextFlow.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

namespace {

const QRegularExpression& placeholderPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("\\{(") + CertificateFields::names().join(u'|') + QStringLiteral(")\\}"));
    return pattern;
}

QString substituted(const QString& text, const CertificateFields::Values& values) {
    QString result;
    qsizetype from = 0;
    auto it = placeholderPattern().globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        result += QStringView(text).mid(from, match.capturedStart() - from);
        result += XmlText::clean(values.value(match.captured(1)));
        from = match.capturedEnd();
    }
    result += QStringView(text).mid(from);
    return result;
}

// Line breaks and tabs are blanks in an SVG text; without xml:space="preserve" runs of blanks
// become one, and a chunk neither starts nor ends with one.
void arrangeSpaces(CertificateText::Chunk& chunk) {
    bool afterSpace = true;
    for (CertificateText::Span& span : chunk.spans) {
        QString& t = span.text;
        for (QChar& c : t) {
            if (c == u'\n' || c == u'\r' || c == u'\t')
                c = u' ';
        }
        if (span.style.preserveSpace) {
            afterSpace = t.endsWith(u' ');
            continue;
        }
        QString collapsed;
        collapsed.reserve(t.size());
        for (const QChar c : t) {
            if (c == u' ' && afterSpace)
                continue;
            collapsed += c;
            afterSpace = c == u' ';
        }
        t = collapsed;
    }
    for (auto it = chunk.spans.rbegin(); it != chunk.spans.rend(); ++it) {
        if (it->style.preserveSpace)
            break;
        while (it->text.endsWith(u' '))
            it->text.chop(1);
        if (!it->text.isEmpty())
            break;
    }
}

} // namespace

CertificateText::CertificateText(QString id, SvgTextStyle style)
    : m_id(std::move(id)), m_style(std::move(style)) {}

void CertificateText::startChunk(std::optional<double> x, std::optional<double> y) {
    if (!m_chunks.isEmpty() && m_chunks.last().spans.isEmpty()) {
        Chunk& open = m_chunks.last();
        if (x)
            open.x = x;
        if (y)
            open.y = y;
        return;
    }
    m_chunks.append(Chunk{x, y, {}});
}

void CertificateText::addText(const QString& text, const SvgTextStyle& style) {
    if (text.isEmpty())
        return;
    if (flowed() && style.keepsLineBreaks && text.contains(u'\n')) {
        const QStringList parts = QString(text).remove(u'\r').split(u'\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                startParagraph();
            addText(parts.at(i), style);
        }
        return;
    }
    if (m_chunks.isEmpty())
        m_chunks.append(Chunk{});
    m_chunks.last().spans.append(Span{text, style});
}

void CertificateText::flowInto(QString regionId) {
    m_regionId = std::move(regionId);
}

void CertificateText::startParagraph() {
    if (!m_chunks.isEmpty() && m_chunks.last().spans.isEmpty()) {
        m_chunks.last().paragraph = true;
        return;
    }
    m_chunks.append(Chunk{{}, {}, {}, true});
}

QStringList CertificateText::placeholders() const {
    QStringList found;
    for (const Chunk& chunk : m_chunks) {
        for (const Span& span : chunk.spans) {
            auto it = placeholderPattern().globalMatch(span.text);
            while (it.hasNext()) {
                const QString name = it.next().captured(1);
                if (!found.contains(name))
                    found.append(name);
            }
        }
    }
    return found;
}

bool CertificateText::blankFor(const CertificateFields::Values& values) const {
    const QStringList names = placeholders();
    return !names.isEmpty() && std::all_of(names.cbegin(), names.cend(), [&](const QString& n) {
        return values.value(n).trimmed().isEmpty();
    });
}

QList<CertificateText::Chunk>
CertificateText::filled(const CertificateFields::Values& values) const {
    QList<Chunk> result;
    for (const Chunk& chunk : m_chunks) {
        // A flowed text's positioned pieces are where a drawing program last broke its
        // lines; filled in, the text is broken anew, so only its paragraphs stay apart.
        if (flowed() && !chunk.paragraph && !result.isEmpty()) {
            Chunk& open = result.last();
            if (!open.spans.isEmpty() && !chunk.spans.isEmpty())
                open.spans.append(Span{QStringLiteral(" "), chunk.spans.first().style});
            open.spans += chunk.spans;
        } else {
            result.append(chunk);
        }
    }
    for (Chunk& chunk : result) {
        for (Span& span : chunk.spans)
            span.text = substituted(span.text, values);
        arrangeSpaces(chunk);
    }
    return result;
}

QStringList CertificateText::lines(const CertificateFields::Values& values) const {
    QStringList result;
    if (blankFor(values))
        return result;
    for (const Chunk& chunk : filled(values)) {
        QString line;
        for (const Span& span : chunk.spans)
            line += span.text;
        if (!line.isEmpty())
            result.append(line);
    }
    return result;
}

CertificateText::Layout CertificateText::layout(const CertificateFields::Values& values) const {
    if (m_style.hidden || blankFor(values))
        return {};
    if (flowed() && m_box)
        return TextFlow::layout(filled(values), *m_box, m_style);
    return placedLayout(filled(values));
}

CertificateText::Layout CertificateText::placedLayout(const QList<Chunk>& chunks) const {
    Layout result;
    double x = 0;
    double y = 0;
    for (const Chunk& chunk : chunks) {
        x = chunk.x.value_or(x);
        y = chunk.y.value_or(y);
        double width = 0;
        double ascent = 0;
        double descent = 0;
        QList<double> widths;
        for (const Span& span : chunk.spans) {
            const QFontMetricsF metrics(span.style.font());
            const double s = span.style.scale();
            widths.append(metrics.horizontalAdvance(span.text) * s);
            width += widths.last();
            ascent = qMax(ascent, metrics.ascent() * s);
            descent = qMax(descent, metrics.descent() * s);
        }
        if (chunk.spans.isEmpty())
            continue;
        const auto anchor = chunk.spans.first().style.anchor;
        double left = anchor == SvgTextStyle::Anchor::Middle ? x - width / 2
                      : anchor == SvgTextStyle::Anchor::End  ? x - width
                                                             : x;
        if (width > 0)
            result.bounds |= QRectF(left, y - ascent, width, ascent + descent);
        for (qsizetype i = 0; i < chunk.spans.size(); ++i) {
            const Span& span = chunk.spans.at(i);
            if (!span.text.isEmpty() && !span.style.hidden)
                result.pieces.append(Piece{QPointF(left, y), span.text, span.style});
            left += widths.at(i);
        }
        x = left;
    }
    return result;
}

void CertificateText::place(const QTransform& toDrawing, std::optional<QRectF> box) {
    m_toDrawing = toDrawing;
    m_box = box;
}

QTransform CertificateText::fitting(const Layout& layout) const {
    if (!m_box || flowed() || layout.bounds.width() <= 0)
        return QTransform();
    bool invertible = false;
    const QTransform toText = m_toDrawing.inverted(&invertible);
    if (!invertible)
        return QTransform();
    const QRectF room = toText.mapRect(*m_box);
    const QRectF& text = layout.bounds;
    if (text.width() <= room.width() || room.width() <= 0)
        return QTransform();
    const double s = room.width() / text.width();
    const double middle = text.center().y();
    return QTransform(s, 0, 0, s, room.left() - text.left() * s, middle - middle * s);
}

void CertificateText::paint(QPainter& painter, const CertificateFields::Values& values) const {
    const Layout placed = layout(values);
    if (placed.pieces.isEmpty())
        return;
    painter.save();
    painter.setTransform(fitting(placed) * m_toDrawing, true);
    for (const Piece& piece : placed.pieces) {
        const QColor colour = piece.style.paint();
        if (colour.alpha() == 0)
            continue;
        painter.save();
        painter.translate(piece.origin);
        painter.scale(piece.style.scale(), piece.style.scale());
        painter.setFont(piece.style.font());
        painter.setPen(colour);
        painter.drawText(QPointF(0, 0), piece.text);
        painter.restore();
    }
    painter.restore();
}
