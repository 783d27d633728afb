#pragma once

#include "competition/CertificateFields.h"
#include "print/SvgTextStyle.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <optional>

class QPainter;

// One text of a certificate design with its placeholders: pieces of styled text in chunks,
// each chunk starting where its x and y say (a line of a multi-line text is one), where it
// stands in the drawing and the box it must fit. The program draws it itself rather than
// through the SVG renderer, so that a PDF holds it as text, searchable and small.
class CertificateText {
public:
    struct Span {
        QString text;
        SvgTextStyle style;
    };
    struct Chunk {
        std::optional<double> x;
        std::optional<double> y;
        QList<Span> spans;
        bool paragraph = false; // flowed text: begins a new paragraph rather than going on
    };
    // A piece of text placed on its baseline, in the text's own coordinates.
    struct Piece {
        QPointF origin;
        QString text;
        SvgTextStyle style;
    };
    struct Layout {
        QList<Piece> pieces;
        QRectF bounds; // from the highest ascent to the lowest descent
    };

    explicit CertificateText(QString id = QString(), SvgTextStyle style = SvgTextStyle());

    QString id() const { return m_id; }
    const SvgTextStyle& style() const { return m_style; }
    const QList<Chunk>& chunks() const { return m_chunks; }

    // Building, in document order: a chunk starts at an explicit position; text joins the
    // current chunk.
    void startChunk(std::optional<double> x, std::optional<double> y);
    void addText(const QString& text, const SvgTextStyle& style);
    // Flowed text: its lines are made by breaking it into the region of the element with
    // that id rather than placed where x and y say; paragraphs begin where asked and at line
    // breaks that the style keeps.
    void flowInto(QString regionId);
    void startParagraph();
    bool flowed() const { return !m_regionId.isEmpty(); }
    QString regionId() const { return m_regionId; }

    // The placeholders it holds, without braces, each once.
    QStringList placeholders() const;
    // It holds placeholders and every one of them reads empty: the text is left out.
    bool blankFor(const CertificateFields::Values& values) const;
    // Each chunk's text with the placeholders filled and white space as SVG treats it.
    QStringList lines(const CertificateFields::Values& values) const;
    Layout layout(const CertificateFields::Values& values) const;

    // Where the text's coordinates lie in the drawing, and the box it must fit there; for
    // flowed text the region in the text's coordinates.
    void place(const QTransform& toDrawing, std::optional<QRectF> box);
    std::optional<QRectF> box() const { return m_box; }
    // The shrinking that fits this layout into the box, in the text's coordinates; the
    // identity when it fits or has no box. A shrunk text spans its box and keeps its middle line.
    QTransform fitting(const Layout& layout) const;

    // On a painter whose coordinates are the drawing's.
    void paint(QPainter& painter, const CertificateFields::Values& values) const;

private:
    QList<Chunk> filled(const CertificateFields::Values& values) const;
    Layout placedLayout(const QList<Chunk>& chunks) const;

    QString m_id;
    SvgTextStyle m_style;
    QList<Chunk> m_chunks;
    QTransform m_toDrawing;
    std::optional<QRectF> m_box;
    QString m_regionId;
};
