#include "output/registration/BoundedXmlReader.h"

BoundedXmlReader::BoundedXmlReader(const QByteArray& xml, const QString& partName, int maxDepth)
    : m_reader(xml), m_partName(partName), m_maxDepth(maxDepth) {}

bool BoundedXmlReader::next(bool withText) {
    if (failed())
        return false;
    if (m_reader.isEndElement())
        --m_depth;
    while (!m_reader.atEnd()) {
        switch (m_reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++m_depth > m_maxDepth) {
                fail(QStringLiteral("zu tief verschachtelt"));
                return false;
            }
            return true;
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::Characters:
            if (withText)
                return true;
            break;
        case QXmlStreamReader::DTD:
            fail(QStringLiteral("enthält eine Dokumenttyp-Deklaration"));
            return false;
        default:
            break;
        }
    }
    if (m_reader.hasError())
        fail(m_reader.errorString());
    return false;
}

QString BoundedXmlReader::attribute(QStringView localName) const {
    for (const QXmlStreamAttribute& a : m_reader.attributes()) {
        if (a.name() == localName)
            return a.value().toString();
    }
    return QString();
}

QString BoundedXmlReader::readText() {
    QString text;
    const int level = m_depth;
    while (!failed() && !m_reader.atEnd()) {
        if (m_reader.isEndElement())
            --m_depth;
        const QXmlStreamReader::TokenType token = m_reader.readNext();
        if (token == QXmlStreamReader::Characters) {
            text += m_reader.text();
        } else if (token == QXmlStreamReader::StartElement) {
            if (++m_depth > m_maxDepth)
                fail(QStringLiteral("zu tief verschachtelt"));
        } else if (token == QXmlStreamReader::EndElement && m_depth == level) {
            return text;
        }
    }
    if (m_reader.hasError())
        fail(m_reader.errorString());
    return text;
}

void BoundedXmlReader::skipElement() {
    const int level = m_depth;
    while (next()) {
        if (isEnd() && m_depth == level)
            return;
    }
}

void BoundedXmlReader::fail(const QString& reason) {
    if (!m_error.isEmpty())
        return;
    // The XML reader's own messages are sentences; inside the brackets their stop would double.
    QString detail = reason.trimmed();
    while (detail.endsWith(u'.'))
        detail.chop(1);
    m_error = QStringLiteral("Der Teil %1 ist fehlerhaft (Zeile %2: %3).")
                  .arg(m_partName)
                  .arg(m_reader.lineNumber())
                  .arg(detail);
}
