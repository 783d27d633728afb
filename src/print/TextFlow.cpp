#include "print/TextFlow.h"

#include <QFontMetricsF>
#include <optional>

namespace {

// A run of blanks or of other characters of one span, measured at the text's own size.
struct Item {
    QString text;
    const SvgTextStyle* style = nullptr;
    qsizetype span = 0;
    bool blank = false;
    double width = 0;
    double ascent = 0;
    double descent = 0;
    double lineHeight = 0;
};

struct Line {
    QList<const Item*> items; // without blanks at either end
    const SvgTextStyle* style = nullptr;
    double width = 0;
};

struct Paragraph {
    QList<Item> items;
    const SvgTextStyle* style = nullptr;
};

Item measured(QString text, const SvgTextStyle& style, qsizetype span, bool blank) {
    const QFontMetricsF metrics(style.font());
    const double s = style.scale();
    Item item{text,
              &style,
              span,
              blank,
              metrics.horizontalAdvance(text) * s,
              metrics.ascent() * s,
              metrics.descent() * s,
              style.size * style.lineHeight};
    return item;
}

QList<Paragraph> itemsOf(const QList<CertificateText::Chunk>& paragraphs,
                         const SvgTextStyle& plain) {
    QList<Paragraph> result;
    qsizetype spanIndex = 0;
    for (const CertificateText::Chunk& chunk : paragraphs) {
        Paragraph paragraph;
        paragraph.style = chunk.spans.isEmpty() ? &plain : &chunk.spans.first().style;
        for (const CertificateText::Span& span : chunk.spans) {
            const QString& t = span.text;
            qsizetype from = 0;
            while (from < t.size()) {
                const bool blank = t.at(from) == u' ';
                qsizetype to = from;
                while (to < t.size() && (t.at(to) == u' ') == blank)
                    ++to;
                paragraph.items.append(
                    measured(t.mid(from, to - from), span.style, spanIndex, blank));
                from = to;
            }
            ++spanIndex;
        }
        result.append(paragraph);
    }
    return result;
}

// The lines at that scale, or nothing when a word is wider than the region.
std::optional<QList<Line>> broken(const QList<Paragraph>& paragraphs, double width, double scale) {
    QList<Line> lines;
    const double room = width / scale;
    for (const Paragraph& paragraph : paragraphs) {
        Line line;
        line.style = paragraph.style;
        qsizetype i = 0;
        const qsizetype n = paragraph.items.size();
        while (i < n) {
            double blanks = 0;
            QList<const Item*> gap;
            while (i < n && paragraph.items.at(i).blank) {
                blanks += paragraph.items.at(i).width;
                gap.append(&paragraph.items.at(i++));
            }
            double word = 0;
            QList<const Item*> pieces;
            while (i < n && !paragraph.items.at(i).blank) {
                word += paragraph.items.at(i).width;
                pieces.append(&paragraph.items.at(i++));
            }
            if (pieces.isEmpty())
                break;
            if (word > room)
                return std::nullopt;
            if (!line.items.isEmpty() && line.width + blanks + word > room) {
                lines.append(line);
                line.items.clear();
                line.width = 0;
            }
            if (!line.items.isEmpty()) {
                line.items += gap;
                line.width += blanks;
            }
            line.items += pieces;
            line.width += word;
        }
        lines.append(line);
    }
    return lines;
}

double lineHeightOf(const Line& line) {
    double height = line.style->size * line.style->lineHeight;
    for (const Item* item : line.items)
        height = qMax(height, item->lineHeight);
    return height;
}

double heightOf(const QList<Line>& lines) {
    double height = 0;
    for (const Line& line : lines)
        height += lineHeightOf(line);
    return height;
}

bool fits(const QList<Paragraph>& paragraphs, const QRectF& region, double scale) {
    const auto lines = broken(paragraphs, region.width(), scale);
    return lines && (region.height() <= 0 || heightOf(*lines) * scale <= region.height() * 1.0001);
}

} // namespace

CertificateText::Layout TextFlow::layout(const QList<CertificateText::Chunk>& paragraphs,
                                         const QRectF& region, const SvgTextStyle& plain) {
    CertificateText::Layout result;
    if (region.width() <= 0)
        return result;
    const QList<Paragraph> items = itemsOf(paragraphs, plain);
    // The largest scale that fits; fitting only grows as the scale shrinks.
    double scale = 1;
    if (!fits(items, region, scale)) {
        double low = SmallestScale;
        double high = 1;
        for (int step = 0; step < 16; ++step) {
            const double middle = (low + high) / 2;
            (fits(items, region, middle) ? low : high) = middle;
        }
        scale = low;
    }
    const auto lines = broken(items, region.width(), scale)
                           .value_or(broken(items, qInf(), scale).value_or(QList<Line>()));
    double top = region.top();
    for (const Line& line : lines) {
        const double height = lineHeightOf(line) * scale;
        double ascent = 0;
        double descent = 0;
        for (const Item* item : line.items) {
            ascent = qMax(ascent, item->ascent * scale);
            descent = qMax(descent, item->descent * scale);
        }
        const double baseline = top + (height - ascent - descent) / 2 + ascent;
        const double width = line.width * scale;
        const auto align = line.style->lineAlign();
        double x = align == SvgTextStyle::Anchor::Middle
                       ? region.left() + (region.width() - width) / 2
                   : align == SvgTextStyle::Anchor::End ? region.right() - width
                                                        : region.left();
        if (width > 0)
            result.bounds |= QRectF(x, baseline - ascent, width, ascent + descent);
        // Consecutive items of one span make one piece, so a PDF holds the words with blanks.
        for (qsizetype i = 0; i < line.items.size();) {
            const Item* first = line.items.at(i);
            QString text;
            double advance = 0;
            for (; i < line.items.size() && line.items.at(i)->span == first->span; ++i) {
                text += line.items.at(i)->text;
                advance += line.items.at(i)->width * scale;
            }
            SvgTextStyle style = *first->style;
            style.size *= scale;
            if (!style.hidden)
                result.pieces.append(CertificateText::Piece{QPointF(x, baseline), text, style});
            x += advance;
        }
        top += height;
    }
    return result;
}
