#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

// Reads one XML part of an office file element by element, refusing what no office program
// writes and what would let a crafted part run away: a document type declaration (entity
// tricks), nesting deeper than a limit. Names are compared without their namespace prefix,
// as Excel and LibreOffice files differ in the prefixes they use.
class BoundedXmlReader {
public:
    BoundedXmlReader(const QByteArray& xml, const QString& partName, int maxDepth);

    // Moves to the next start or end element, or with withText also to the next piece of
    // text; false at the end of the part or on an error.
    bool next(bool withText = false);
    bool isStart() const { return m_reader.isStartElement(); }
    bool isText() const { return m_reader.isCharacters(); }
    QStringView text() const { return m_reader.text(); }
    bool isEnd() const { return m_reader.isEndElement(); }
    bool is(QStringView localName) const { return m_reader.name() == localName; }
    // The depth of the element just read, the root being 1.
    int depth() const { return m_depth; }

    // The attribute of that local name whatever its prefix, or an empty text.
    QString attribute(QStringView localName) const;
    // The text inside the element just started, its child elements' text included; the
    // reader then stands on the element's end.
    QString readText();
    // Skips to the end of the element just started.
    void skipElement();

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    void fail(const QString& reason);

private:
    QXmlStreamReader m_reader;
    QString m_partName;
    QString m_error;
    int m_maxDepth;
    int m_depth = 0;
};
