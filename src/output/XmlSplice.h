#pragma once

#include <QList>
#include <QString>
#include <QXmlStreamReader>

// Changes an XML part of a template in place: the reader finds the elements, and only their
// text is replaced, so everything else the template holds (namespaces, prefixes, markup
// compatibility lists, unknown extensions) stays byte for byte as the office program wrote it.
class XmlSplice {
public:
    explicit XmlSplice(QString text) : m_text(std::move(text)) {}

    const QString& text() const { return m_text; }

    // Where the tag just read by the reader begins and ends (a start or end tag; for an
    // empty element <a/> the start tag is the whole element). The reader must read m_text.
    struct Span {
        qsizetype begin = 0;
        qsizetype end = 0;
    };
    Span currentTag(const QXmlStreamReader& reader) const;
    bool isEmptyElement(const Span& tag) const;

    // Edits are given in the original's positions and must not overlap.
    void replace(Span span, const QString& replacement);
    void insert(qsizetype position, const QString& text) {
        replace(Span{position, position}, text);
    }

    QString result() const;

private:
    struct Edit {
        Span span;
        QString text;
    };
    QString m_text;
    QList<Edit> m_edits;
};
