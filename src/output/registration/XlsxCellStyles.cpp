#include "output/registration/XlsxCellStyles.h"

#include "output/registration/BoundedXmlReader.h"
#include "output/registration/ImportLimits.h"

#include <QHash>

using SpreadsheetValue::DateKind;

bool XlsxCellStyles::read(const QByteArray& xml) {
    m_kinds.clear();
    if (xml.isEmpty())
        return true;
    QHash<int, DateKind> customFormats;
    BoundedXmlReader reader(xml, QStringLiteral("styles.xml"), ImportLimits::kMaxXmlDepth);
    bool inCellXfs = false;
    while (reader.next()) {
        if (reader.is(u"cellXfs")) {
            inCellXfs = reader.isStart();
        } else if (reader.isStart() && reader.is(u"numFmt")) {
            customFormats.insert(reader.attribute(u"numFmtId").toInt(),
                                 kindOfCode(reader.attribute(u"formatCode")));
        } else if (reader.isStart() && inCellXfs && reader.is(u"xf")) {
            const int id = reader.attribute(u"numFmtId").toInt();
            m_kinds.append(customFormats.contains(id) ? customFormats.value(id)
                                                      : kindOfBuiltIn(id));
            reader.skipElement();
        }
    }
    m_error = reader.error();
    return !reader.failed();
}

DateKind XlsxCellStyles::dateKind(int styleIndex) const {
    return m_kinds.value(styleIndex, DateKind::None);
}

DateKind XlsxCellStyles::kindOfBuiltIn(int numFmtId) {
    if ((numFmtId >= 14 && numFmtId <= 17) || (numFmtId >= 27 && numFmtId <= 36) ||
        (numFmtId >= 50 && numFmtId <= 58))
        return DateKind::Date;
    if (numFmtId == 22)
        return DateKind::DateTime;
    if ((numFmtId >= 18 && numFmtId <= 21) || (numFmtId >= 45 && numFmtId <= 47))
        return DateKind::Time;
    return DateKind::None;
}

DateKind XlsxCellStyles::kindOfCode(const QString& code) {
    // Quoted text, escaped characters and bracketed parts (colours, locales, elapsed time)
    // name no date part.
    bool date = false;
    bool time = false;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code.at(i).toLower();
        if (quoted) {
            quoted = ch != u'"';
        } else if (ch == u'"') {
            quoted = true;
        } else if (ch == u'\\' || ch == u'_' || ch == u'*') {
            ++i;
        } else if (ch == u'[') {
            ++bracket;
        } else if (ch == u']') {
            bracket = qMax(0, bracket - 1);
        } else if (bracket == 0) {
            if (ch == u';')
                break; // the first section decides
            date = date || ch == u'd' || ch == u'y';
            time = time || ch == u'h' || ch == u's';
        }
    }
    if (date)
        return time ? DateKind::DateTime : DateKind::Date;
    return time ? DateKind::Time : DateKind::None;
}
