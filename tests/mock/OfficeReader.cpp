#include "OfficeReader.h"

#include <QFile>
#include <QXmlStreamReader>

std::optional<OfficeReader> OfficeReader::open(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromBytes(file.readAll());
}

std::optional<OfficeReader> OfficeReader::fromBytes(const QByteArray& bytes) {
    auto package = ZipPackage::fromBytes(bytes);
    if (!package)
        return std::nullopt;
    OfficeReader reader;
    reader.m_package = *package;
    return reader;
}

bool OfficeReader::wellFormed(const QString& part) const {
    QXmlStreamReader xml(m_package.part(part));
    while (!xml.atEnd())
        xml.readNext();
    return !xml.hasError();
}

bool OfficeReader::allXmlWellFormed() const {
    for (const QString& name : m_package.names()) {
        if ((name.endsWith(QStringLiteral(".xml")) || name.endsWith(QStringLiteral(".rels"))) &&
            !wellFormed(name))
            return false;
    }
    return true;
}

QStringList OfficeReader::paragraphsBeforeTable() const {
    QXmlStreamReader xml(m_package.part(QStringLiteral("word/document.xml")));
    QStringList result;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"tbl")
            break;
        if (xml.isStartElement() && xml.name() == u"p")
            result.append(QString());
        if (xml.isStartElement() && xml.name() == u"t" && !result.isEmpty())
            result.last() += xml.readElementText();
    }
    return result;
}

QList<QStringList> OfficeReader::tableRows() const {
    QXmlStreamReader xml(m_package.part(QStringLiteral("word/document.xml")));
    QList<QStringList> rows;
    int tables = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"tbl" && ++tables > 1)
            break;
        if (xml.isStartElement() && xml.name() == u"tr")
            rows.append(QStringList());
        if (xml.isStartElement() && xml.name() == u"tc" && !rows.isEmpty())
            rows.last().append(QString());
        if (xml.isStartElement() && xml.name() == u"t" && !rows.isEmpty() && !rows.last().isEmpty())
            rows.last().last() += xml.readElementText();
    }
    return rows;
}

int OfficeReader::gridColumns() const {
    QXmlStreamReader xml(m_package.part(QStringLiteral("word/document.xml")));
    int count = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"tblGrid")
            break;
        if (xml.isStartElement() && xml.name() == u"gridCol")
            ++count;
    }
    return count;
}

QList<OfficeReader::Sheet> OfficeReader::sheets() const {
    QMap<QString, QString> targets;
    QXmlStreamReader rels(m_package.part(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!rels.atEnd()) {
        if (rels.readNext() == QXmlStreamReader::StartElement && rels.name() == u"Relationship")
            targets.insert(rels.attributes().value(QLatin1StringView("Id")).toString(),
                           rels.attributes().value(QLatin1StringView("Target")).toString());
    }
    QList<Sheet> result;
    QXmlStreamReader workbook(m_package.part(QStringLiteral("xl/workbook.xml")));
    QStringList parts;
    while (!workbook.atEnd()) {
        if (workbook.readNext() != QXmlStreamReader::StartElement || workbook.name() != u"sheet")
            continue;
        Sheet sheet;
        sheet.name = workbook.attributes().value(QLatin1StringView("name")).toString();
        QString id;
        for (const QXmlStreamAttribute& a : workbook.attributes()) {
            if (a.name() == u"id")
                id = a.value().toString();
        }
        QString target = targets.value(id);
        parts.append(target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target);
        result.append(sheet);
    }
    QStringList shared;
    QXmlStreamReader strings(m_package.part(QStringLiteral("xl/sharedStrings.xml")));
    while (!strings.atEnd()) {
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"t")
            shared.append(strings.readElementText());
    }
    for (qsizetype i = 0; i < result.size(); ++i) {
        QXmlStreamReader xml(m_package.part(parts.at(i)));
        QString ref;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == u"col") {
                const int min = a.value(QLatin1StringView("min")).toInt();
                const int max = a.value(QLatin1StringView("max")).toInt();
                for (int c = min; c <= max; ++c)
                    result[i].widths.insert(c, a.value(QLatin1StringView("width")).toDouble());
            } else if (xml.name() == u"c") {
                ref = a.value(QLatin1StringView("r")).toString();
                Cell cell;
                cell.type = a.value(QLatin1StringView("t")).toString();
                cell.style = a.value(QLatin1StringView("s")).toInt();
                result[i].cells.insert(ref, cell);
            } else if (xml.name() == u"v" && !ref.isEmpty()) {
                Cell& cell = result[i].cells[ref];
                cell.value = xml.readElementText();
                if (cell.type == u"s")
                    cell.value = shared.value(cell.value.toInt());
            } else if (xml.name() == u"t" && !ref.isEmpty()) {
                result[i].cells[ref].value = xml.readElementText();
            }
        }
    }
    return result;
}

namespace {

// The attribute of the n-th child element of a list element in the styles part.
QString styleAttribute(const QByteArray& styles, QStringView list, QStringView element, int n,
                       const char* attribute) {
    QXmlStreamReader xml(styles);
    bool inList = false;
    int index = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == list)
            inList = true;
        else if (xml.isEndElement() && xml.name() == list)
            inList = false;
        else if (inList && xml.isStartElement() && xml.name() == element && ++index == n)
            return xml.attributes().value(QLatin1StringView(attribute)).toString();
    }
    return QString();
}

} // namespace

bool OfficeReader::styleIsBold(int style) const {
    const QByteArray styles = m_package.part(QStringLiteral("xl/styles.xml"));
    const int font = styleAttribute(styles, u"cellXfs", u"xf", style, "fontId").toInt();
    QXmlStreamReader xml(styles);
    bool inFonts = false;
    int index = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"fonts")
            inFonts = true;
        else if (xml.isEndElement() && xml.name() == u"fonts")
            inFonts = false;
        else if (inFonts && xml.isStartElement() && xml.name() == u"font")
            ++index;
        else if (inFonts && index == font && xml.isStartElement() && xml.name() == u"b")
            return xml.attributes().value(QLatin1StringView("val")) != u"0";
    }
    return false;
}

int OfficeReader::styleNumberFormat(int style) const {
    return styleAttribute(m_package.part(QStringLiteral("xl/styles.xml")), u"cellXfs", u"xf", style,
                          "numFmtId")
        .toInt();
}

QString OfficeReader::coreProperty(const QString& name) const {
    QXmlStreamReader xml(m_package.part(QStringLiteral("docProps/core.xml")));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name)
            return xml.readElementText();
    }
    return QString();
}
