#include "output/ExcelTemplate.h"

#include "output/SpreadsheetCell.h"
#include "output/XmlSplice.h"
#include "output/XmlText.h"
#include "output/ZipPackage.h"

#include <QXmlStreamReader>

namespace ExcelTemplate {

namespace {

const QString kRelationships =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

struct Failure {
    Problem problem;
    QString reason;
};

struct Relationship {
    QString id, type, target;
};

QString attribute(const QXmlStreamReader& reader, const char* name) {
    return reader.attributes().value(QLatin1StringView(name)).toString();
}

// The start tag just read, with one attribute set to a new value (added when missing).
QString startTagWith(const QXmlStreamReader& reader, const QString& name, const QString& value,
                     bool empty) {
    QString tag = u'<' + reader.qualifiedName().toString();
    for (const QXmlStreamNamespaceDeclaration& ns : reader.namespaceDeclarations()) {
        tag += ns.prefix().isEmpty() ? QStringLiteral(" xmlns") : QStringLiteral(" xmlns:");
        tag += ns.prefix().toString() + QStringLiteral("=\"") +
               XmlText::escape(ns.namespaceUri().toString()) + u'"';
    }
    bool found = false;
    for (const QXmlStreamAttribute& a : reader.attributes()) {
        const bool replaced = a.qualifiedName() == name;
        found = found || replaced;
        tag += u' ' + a.qualifiedName().toString() + QStringLiteral("=\"") +
               XmlText::escape(replaced ? value : a.value().toString()) + u'"';
    }
    if (!found)
        tag += u' ' + name + QStringLiteral("=\"") + XmlText::escape(value) + u'"';
    return tag + (empty ? QStringLiteral("/>") : QStringLiteral(">"));
}

QString folderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

// A relationship target relative to the part that names it, as a package part name.
QString resolve(const QString& base, const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList parts = folderOf(base).split(u'/', Qt::SkipEmptyParts);
    for (const QString& step : target.split(u'/', Qt::SkipEmptyParts)) {
        if (step == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (step != u".") {
            parts.append(step);
        }
    }
    return parts.join(u'/');
}

QString relsOf(const QString& part) {
    return folderOf(part) + QStringLiteral("_rels/") + part.mid(folderOf(part).size()) +
           QStringLiteral(".rels");
}

std::optional<QList<Relationship>> readRelationships(const QByteArray& xml) {
    QList<Relationship> result;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"Relationship")
            result.append(
                {attribute(reader, "Id"), attribute(reader, "Type"), attribute(reader, "Target")});
    }
    if (reader.hasError())
        return std::nullopt;
    return result;
}

QString mainPart(const ZipPackage& package) {
    if (const auto rels = readRelationships(package.part(QStringLiteral("_rels/.rels")))) {
        for (const Relationship& r : *rels) {
            if (r.type.endsWith(u"/officeDocument"))
                return resolve(QString(), r.target);
        }
    }
    return QStringLiteral("xl/workbook.xml");
}

// Renames the first four sheets; returns the parts of their worksheets.
std::optional<QStringList> renameSheets(ZipPackage& package, const QString& workbookPart,
                                        const QList<ExcelWorkbook::Sheet>& sheets,
                                        Failure& failure) {
    const auto rels = readRelationships(package.part(relsOf(workbookPart)));
    XmlSplice workbook(QString::fromUtf8(package.part(workbookPart)));
    QXmlStreamReader reader(workbook.text());
    QStringList worksheetParts;
    bool isWorkbook = false;
    while (!reader.atEnd() && worksheetParts.size() < sheets.size()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        isWorkbook = isWorkbook || reader.name() == u"workbook";
        if (reader.name() != u"sheet")
            continue;
        const QString id =
            reader.attributes().value(kRelationships, QStringLiteral("id")).toString();
        QString part;
        for (const Relationship& r : rels.value_or(QList<Relationship>())) {
            if (r.id == id && r.type.endsWith(u"/worksheet"))
                part = resolve(workbookPart, r.target);
        }
        if (part.isEmpty() || !package.contains(part)) {
            failure = {Problem::Broken,
                       QStringLiteral("Blatt ohne Tabelle: ") + attribute(reader, "name")};
            return std::nullopt;
        }
        const XmlSplice::Span tag = workbook.currentTag(reader);
        const auto index = static_cast<int>(worksheetParts.size());
        workbook.replace(tag, startTagWith(reader, QStringLiteral("name"),
                                           ExcelWorkbook::sheetName(sheets.at(index).name, index),
                                           workbook.isEmptyElement(tag)));
        worksheetParts.append(part);
    }
    if (reader.hasError() || !isWorkbook) {
        failure = {Problem::Broken,
                   isWorkbook ? reader.errorString() : QStringLiteral("keine Arbeitsmappe")};
        return std::nullopt;
    }
    if (worksheetParts.size() < sheets.size()) {
        failure = {Problem::FewerSheets, QString()};
        return std::nullopt;
    }
    package.setPart(workbookPart, workbook.result().toUtf8());
    return worksheetParts;
}

struct Styles {
    int bold = 0;
    int hundredths = 0;
};

QString stylesPartOf(const ZipPackage& package, const QString& workbookPart) {
    for (const Relationship& r :
         readRelationships(package.part(relsOf(workbookPart))).value_or(QList<Relationship>())) {
        if (r.type.endsWith(u"/styles"))
            return resolve(workbookPart, r.target);
    }
    return QString();
}

// Adds a bold copy of the default font and two cell formats: bold, and numbers with two
// decimals (built-in format 2, "0.00").
std::optional<Styles> addStyles(ZipPackage& package, const QString& workbookPart,
                                Failure& failure) {
    const QString stylesPart = stylesPartOf(package, workbookPart);
    XmlSplice styles(QString::fromUtf8(package.part(stylesPart)));
    const QString& text = styles.text();
    QXmlStreamReader reader(text);
    const QString countMark = QStringLiteral("\x01");
    QString p;
    QString parent;
    int fonts = 0;
    int xfs = 0;
    XmlSplice::Span fontsTag, xfsTag, fontStart, fontEnd;
    QString fontsTagText, xfsTagText, fontName;
    bool fontsOpen = false, xfsOpen = false;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token != QXmlStreamReader::StartElement && token != QXmlStreamReader::EndElement)
            continue;
        const XmlSplice::Span tag = styles.currentTag(reader);
        const QStringView name = reader.name();
        const bool start = token == QXmlStreamReader::StartElement;
        if ((name == u"fonts" || name == u"cellXfs") && start) {
            // An empty list: nothing to copy the default font from.
            if (styles.isEmptyElement(tag))
                break;
            parent = name.toString();
            p = reader.prefix().isEmpty() ? QString() : reader.prefix().toString() + u':';
            const QString withMark =
                startTagWith(reader, QStringLiteral("count"), countMark, false);
            if (name == u"fonts") {
                fontsTag = tag;
                fontsTagText = withMark;
                fontsOpen = true;
            } else {
                xfsTag = tag;
                xfsTagText = withMark;
                xfsOpen = true;
            }
        } else if ((name == u"fonts" || name == u"cellXfs") && !start) {
            (name == u"fonts" ? fontsTag : xfsTag) =
                XmlSplice::Span{name == u"fonts" ? fontsTag.begin : xfsTag.begin, tag.begin};
            parent.clear();
        } else if (parent == u"fonts" && name == u"font") {
            if (start && fonts++ == 0) {
                fontStart = tag;
                fontName = reader.qualifiedName().toString();
            }
            if (!start && fonts == 1)
                fontEnd = tag;
        } else if (parent == u"cellXfs" && name == u"xf" && start) {
            ++xfs;
        }
    }
    if (reader.hasError() || !fontsOpen || !xfsOpen || fonts < 1 || xfs < 1) {
        failure = {Problem::Broken, reader.hasError() ? reader.errorString()
                                                      : QStringLiteral("Formatvorlagen fehlen")};
        return std::nullopt;
    }
    QString boldFont;
    if (styles.isEmptyElement(fontStart))
        boldFont =
            u'<' + fontName + QStringLiteral("><") + p + QStringLiteral("b/></") + fontName + u'>';
    else
        boldFont = text.mid(fontStart.begin, fontStart.end - fontStart.begin) + u'<' + p +
                   QStringLiteral("b/>") + text.mid(fontStart.end, fontEnd.end - fontStart.end);
    // fontsTag and xfsTag now span from their start tag to the start of their end tag.
    const qsizetype fontsOpenEnd = text.indexOf(u'>', fontsTag.begin) + 1;
    const qsizetype xfsOpenEnd = text.indexOf(u'>', xfsTag.begin) + 1;
    styles.replace({fontsTag.begin, fontsOpenEnd},
                   QString(fontsTagText).replace(countMark, QString::number(fonts + 1)));
    styles.insert(fontsTag.end, boldFont);
    styles.replace({xfsTag.begin, xfsOpenEnd},
                   QString(xfsTagText).replace(countMark, QString::number(xfs + 2)));
    styles.insert(
        xfsTag.end,
        u'<' + p + QStringLiteral("xf numFmtId=\"0\" fontId=\"") + QString::number(fonts) +
            QStringLiteral("\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>") + u'<' +
            p +
            QStringLiteral("xf numFmtId=\"2\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
                           "xfId=\"0\" applyNumberFormat=\"1\"/>"));
    package.setPart(stylesPart, styles.result().toUtf8());
    return Styles{xfs, xfs + 1};
}

QString cellXml(const QString& p, const QString& ref, const SpreadsheetCell& cell, int style) {
    const QString s = style > 0 ? QStringLiteral(" s=\"%1\"").arg(style) : QString();
    if (cell.kind == SpreadsheetCell::Kind::Text)
        return u'<' + p + QStringLiteral("c r=\"") + ref + u'"' + s +
               QStringLiteral(" t=\"inlineStr\"><") + p + QStringLiteral("is><") + p +
               QStringLiteral("t xml:space=\"preserve\">") + XmlText::escape(cell.text) +
               QStringLiteral("</") + p + QStringLiteral("t></") + p + QStringLiteral("is></") + p +
               QStringLiteral("c>");
    return u'<' + p + QStringLiteral("c r=\"") + ref + u'"' + s + QStringLiteral("><") + p +
           QStringLiteral("v>") + QString::number(cell.number, 'g', 15) + QStringLiteral("</") + p +
           QStringLiteral("v></") + p + QStringLiteral("c>");
}

QString sheetDataXml(const QString& p, const QList<QStringList>& rows, const Styles& styles,
                     const TimeFormat& format) {
    QString xml = u'<' + p + QStringLiteral("sheetData>");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        xml += u'<' + p + QStringLiteral("row r=\"%1\">").arg(r + 1);
        for (qsizetype c = 0; c < rows.at(r).size(); ++c) {
            const SpreadsheetCell cell = SpreadsheetCell::classify(rows.at(r).at(c), format);
            if (cell.kind == SpreadsheetCell::Kind::Text && cell.text.isEmpty())
                continue;
            const int style = cell.kind == SpreadsheetCell::Kind::Decimal ? styles.hundredths
                              : r == 0                                    ? styles.bold
                                                                          : 0;
            xml +=
                cellXml(p, columnName(static_cast<int>(c)) + QString::number(r + 1), cell, style);
        }
        xml += QStringLiteral("</") + p + QStringLiteral("row>");
    }
    return xml + QStringLiteral("</") + p + QStringLiteral("sheetData>");
}

QString colsXml(const QString& p, const QList<QStringList>& rows) {
    const QList<double> widths = ExcelWorkbook::columnWidths(rows);
    if (widths.isEmpty())
        return QString();
    QString xml = u'<' + p + QStringLiteral("cols>");
    for (qsizetype c = 0; c < widths.size(); ++c)
        xml += u'<' + p +
               QStringLiteral("col min=\"%1\" max=\"%1\" width=\"%2\" customWidth=\"1\"/>")
                   .arg(c + 1)
                   .arg(widths.at(c), 0, 'f', 2);
    return xml + QStringLiteral("</") + p + QStringLiteral("cols>");
}

// Replaces a worksheet's cells, column widths and used range.
bool fillSheet(ZipPackage& package, const QString& part, const QList<QStringList>& rows,
               const Styles& styles, const TimeFormat& format, Failure& failure) {
    XmlSplice sheet(QString::fromUtf8(package.part(part)));
    QXmlStreamReader reader(sheet.text());
    std::optional<XmlSplice::Span> data, cols;
    QString p;
    int depth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (depth == 1 && reader.name() == u"sheetData" && data)
                data->end = sheet.currentTag(reader).end;
            else if (depth == 1 && reader.name() == u"cols" && cols)
                cols->end = sheet.currentTag(reader).end;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        if (depth != 2)
            continue;
        const XmlSplice::Span tag = sheet.currentTag(reader);
        if (reader.name() == u"sheetData") {
            data = tag;
            p = reader.prefix().isEmpty() ? QString() : reader.prefix().toString() + u':';
        } else if (reader.name() == u"cols") {
            cols = tag;
        } else if (reader.name() == u"dimension") {
            const qsizetype width = rows.isEmpty() ? 1 : qMax<qsizetype>(1, rows.first().size());
            const QString ref = QStringLiteral("A1:") + columnName(static_cast<int>(width - 1)) +
                                QString::number(qMax<qsizetype>(1, rows.size()));
            if (sheet.isEmptyElement(tag))
                sheet.replace(tag, startTagWith(reader, QStringLiteral("ref"), ref, true));
        }
    }
    if (reader.hasError() || !data) {
        failure = {Problem::Broken, reader.hasError() ? reader.errorString()
                                                      : QStringLiteral("keine Zellen in ") + part};
        return false;
    }
    const QString newCols = colsXml(p, rows);
    if (cols)
        sheet.replace(*cols, newCols);
    else
        sheet.insert(data->begin, newCols);
    sheet.replace(*data, sheetDataXml(p, rows, styles, format));
    package.setPart(part, sheet.result().toUtf8());
    return true;
}

// The calculation chain lists formula cells of the replaced sheets; Excel rebuilds it.
void dropCalculationChain(ZipPackage& package, const QString& workbookPart) {
    const QString chain = folderOf(workbookPart) + QStringLiteral("calcChain.xml");
    if (!package.contains(chain))
        return;
    package.removePart(chain);
    const auto dropElements = [&package](const QString& part, QStringView element,
                                         const char* attributeName, const QString& value) {
        XmlSplice xml(QString::fromUtf8(package.part(part)));
        QXmlStreamReader reader(xml.text());
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == element &&
                attribute(reader, attributeName).endsWith(value)) {
                const XmlSplice::Span tag = xml.currentTag(reader);
                if (xml.isEmptyElement(tag))
                    xml.replace(tag, QString());
            }
        }
        if (!reader.hasError())
            package.setPart(part, xml.result().toUtf8());
    };
    dropElements(QStringLiteral("[Content_Types].xml"), u"Override", "PartName",
                 QStringLiteral("/") + chain);
    dropElements(relsOf(workbookPart), u"Relationship", "Type", QStringLiteral("/calcChain"));
}

} // namespace

Result fill(const QByteArray& templateBytes, const QList<ExcelWorkbook::Sheet>& sheets,
            const TimeFormat& format) {
    Result result;
    QString reason;
    auto package = ZipPackage::fromBytes(templateBytes, &reason);
    if (!package) {
        result.problem = Problem::Broken;
        result.reason = reason;
        return result;
    }
    const QString workbookPart = mainPart(*package);
    Failure failure{Problem::None, QString()};
    if (!package->contains(workbookPart)) {
        result.problem = Problem::Broken;
        result.reason = QStringLiteral("keine Arbeitsmappe");
        return result;
    }
    const auto parts = renameSheets(*package, workbookPart, sheets, failure);
    std::optional<Styles> styles;
    if (parts)
        styles = addStyles(*package, workbookPart, failure);
    for (qsizetype i = 0; styles && i < parts->size(); ++i) {
        if (!fillSheet(*package, parts->at(i), sheets.at(i).rows, *styles, format, failure))
            styles.reset();
    }
    if (!styles) {
        result.problem = failure.problem == Problem::None ? Problem::Broken : failure.problem;
        // A part that could not be unpacked is the cause of whatever went wrong after it.
        result.reason = package->error().isEmpty() ? failure.reason : package->error();
        return result;
    }
    dropCalculationChain(*package, workbookPart);
    result.bytes = package->toBytes(&result.reason);
    if (!result.bytes)
        result.problem = Problem::Broken;
    return result;
}

QString problemText(Problem problem, const QString& templatePath) {
    if (problem == Problem::FewerSheets)
        return QStringLiteral("Die Excelvorlage ") + templatePath +
               QStringLiteral(" hat weniger als vier Tabellenblätter; es wurde nichts "
                              "gespeichert.");
    return QStringLiteral("Die Excelvorlage ") + templatePath +
           QStringLiteral(" ist beschädigt; es wurde nichts gespeichert.");
}

QString columnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

} // namespace ExcelTemplate
