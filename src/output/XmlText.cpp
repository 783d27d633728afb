#include "output/XmlText.h"

namespace XmlText {

QString clean(const QString& text) {
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const char16_t ch = result.at(i).unicode();
        bool allowed =
            ch >= 0x20 && ch != 0x7F && !(ch >= 0x80 && ch <= 0x9F) && ch != 0xFFFE && ch != 0xFFFF;
        if (QChar::isHighSurrogate(ch)) {
            allowed = i + 1 < result.size() && result.at(i + 1).isLowSurrogate();
            if (allowed) {
                ++i;
                continue;
            }
        } else if (QChar::isLowSurrogate(ch)) {
            allowed = false;
        }
        if (!allowed)
            result[i] = u' ';
    }
    return result;
}

QString escape(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'&':
            result.append(u"&amp;");
            break;
        case u'<':
            result.append(u"&lt;");
            break;
        case u'>':
            result.append(u"&gt;");
            break;
        case u'"':
            result.append(u"&quot;");
            break;
        default:
            result.append(ch);
        }
    }
    return result;
}

} // namespace XmlText
