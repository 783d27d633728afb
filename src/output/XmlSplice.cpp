#include "output/XmlSplice.h"

#include <algorithm>

XmlSplice::Span XmlSplice::currentTag(const QXmlStreamReader& reader) const {
    // After a tag the reader stands just behind its '>'; no '<' can occur inside a tag.
    const qsizetype end = reader.characterOffset();
    const qsizetype begin = m_text.lastIndexOf(u'<', end - 1);
    return Span{qMax<qsizetype>(0, begin), end};
}

bool XmlSplice::isEmptyElement(const Span& tag) const {
    return tag.end >= 2 && m_text.at(tag.end - 2) == u'/';
}

void XmlSplice::replace(Span span, const QString& replacement) {
    m_edits.append(Edit{span, replacement});
}

QString XmlSplice::result() const {
    QList<Edit> edits = m_edits;
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.span.begin < b.span.begin; });
    QString out;
    out.reserve(m_text.size());
    qsizetype at = 0;
    for (const Edit& edit : edits) {
        out.append(QStringView(m_text).mid(at, edit.span.begin - at));
        out.append(edit.text);
        at = qMax(at, edit.span.end);
    }
    out.append(QStringView(m_text).mid(at));
    return out;
}
