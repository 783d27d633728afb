#pragma once

#include "print/CertificateText.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QXmlStreamReader;
class QXmlStreamWriter;

// A certificate design: an SVG drawing whose texts hold placeholders such as {Name}. A text
// may be given a box: a rectangle whose id is "feld-" followed by the text's id. A filled
// text wider than its box is shrunk into it; the box itself is never printed. A text whose
// placeholders all read empty is left out, so "Klasse {Klasse}" vanishes where no class
// applies. The drawing without its texts goes to the SVG renderer; the texts are drawn on
// top of it by the program. A text box of a drawing program (SVG 1.2 flowRoot, or a text with
// SVG 2 "shape-inside" naming a rectangle) is broken into lines within its rectangle and
// shrunk until it fits.
//
// A design is read only when it is a regular file within the limits below, so that a huge or
// deeply nested drawing is refused before it could fill the memory or keep the renderer busy;
// reading and drawing belong on a worker thread all the same.
class CertificateTemplate {
public:
    static constexpr QStringView BoxPrefix = u"feld-";
    static constexpr qint64 MaxBytes = 5 * 1024 * 1024;
    static constexpr int MaxElements = 20000;
    static constexpr int MaxDepth = 64;
    static constexpr int MaxTexts = 500;

    // An invalid template says why in error(), naming the file and the reason.
    static CertificateTemplate fromFile(const QString& fileName);
    static CertificateTemplate fromData(const QByteArray& svg, const QString& name = QString());

    bool isValid() const { return m_error.isEmpty() && !m_viewBox.isEmpty(); }
    QString error() const { return m_error; }
    QString name() const { return m_name; }

    // The drawing's viewBox, which the page shows.
    QRectF viewBox() const { return m_viewBox; }
    // Width and height in millimetres when the drawing states them in a length unit; else an
    // A4 page turned the way the drawing is.
    QSizeF pageSizeMm() const { return m_pageSizeMm; }
    // The drawing without its texts and boxes, for the SVG renderer.
    const QByteArray& graphics() const { return m_graphics; }
    // Every text outside definitions, in document order, placed in the drawing.
    const QList<CertificateText>& texts() const { return m_texts; }
    // The placeholders the texts hold, without braces, each once.
    QStringList placeholders() const;
    // Every text of one certificate, chunk by chunk, as it is printed.
    QStringList lines(const CertificateFields::Values& values) const;

private:
    bool read();
    // Counts an element at that depth; false, with the reason in m_error, past a limit.
    bool admit(int depth);
    bool readText(QXmlStreamReader& reader, const SvgTextStyle& style, const QString& shape,
                  int depth);
    bool readFlowRoot(QXmlStreamReader& reader, QXmlStreamWriter& writer, const SvgTextStyle& style,
                      int depth);
    void placeTexts();

    QByteArray m_data;
    QByteArray m_graphics;
    QString m_name;
    QString m_label; // the file name, as messages name it
    int m_elements = 0;
    QHash<QString, QRectF> m_shapes; // the rectangles texts flow into, as written
    QString m_error;
    QRectF m_viewBox;
    QSizeF m_pageSizeMm;
    QList<CertificateText> m_texts;
};
