#include "output/registration/XlsxSharedStrings.h"

#include "output/registration/BoundedXmlReader.h"
#include "output/registration/ImportLimits.h"

bool XlsxSharedStrings::read(const QByteArray& xml) {
    m_texts.clear();
    if (xml.isEmpty())
        return true;
    BoundedXmlReader reader(xml, QStringLiteral("sharedStrings.xml"), ImportLimits::kMaxXmlDepth);
    while (reader.next()) {
        if (!reader.isStart() || !reader.is(u"si"))
            continue;
        if (m_texts.size() >= ImportLimits::kMaxSharedStrings) {
            m_error = QStringLiteral("Die Tabelle hat mehr als %1 verschiedene Texte.")
                          .arg(ImportLimits::kMaxSharedStrings);
            m_texts.clear();
            return false;
        }
        m_texts.append(readItem(reader));
    }
    m_error = reader.error();
    return !reader.failed();
}

QString XlsxSharedStrings::readItem(BoundedXmlReader& reader) {
    QString text;
    const int level = reader.depth();
    while (reader.next()) {
        if (reader.isEnd() && reader.depth() == level)
            break;
        if (!reader.isStart())
            continue;
        if (reader.is(u"rPh"))
            reader.skipElement();
        else if (reader.is(u"t"))
            text += reader.readText();
    }
    return text;
}
