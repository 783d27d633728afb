#pragma once

#include "print/CertificateText.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QXmlStreamReader;

// A certificate design: an SVG drawing whose texts hold placeholders such as {Name}. A text
// may be given a box: a rectangle whose id is "feld-" followed by the text's id. A filled
// text wider than its box is shrunk into it; the box itself is never printed. A text whose
// placeholders all read empty is left out, so "Klasse {Klasse}" vanishes where no class
// applies. The drawing without its texts goes to the SVG renderer; the texts are drawn on
// top of it by the program.
class CertificateTemplate {
public:
    static constexpr QStringView BoxPrefix = u"feld-";

    // An invalid template says why in error().
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
    void readText(QXmlStreamReader& reader, const SvgTextStyle& style);
    void placeTexts();

    QByteArray m_data;
    QByteArray m_graphics;
    QString m_name;
    QString m_error;
    QRectF m_viewBox;
    QSizeF m_pageSizeMm;
    QList<CertificateText> m_texts;
};
