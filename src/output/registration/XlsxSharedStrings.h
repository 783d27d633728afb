#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class BoundedXmlReader;

// The shared strings table of a workbook: the texts the cells refer to by number.
class XlsxSharedStrings {
public:
    // An empty part gives an empty table. False with error() when the part is malformed or
    // holds more texts than the import limit.
    bool read(const QByteArray& xml);
    QString error() const { return m_error; }

    int size() const { return static_cast<int>(m_texts.size()); }
    // Null for a number that is not in the table.
    QString text(int index) const { return m_texts.value(index); }

    // The text of a string item (<si>, or a cell's inline <is>) whose start the reader stands
    // on: its runs joined, phonetic hints left out. The reader ends on the item's end.
    static QString readItem(BoundedXmlReader& reader);

private:
    QStringList m_texts;
    QString m_error;
};
