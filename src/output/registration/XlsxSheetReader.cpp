#include "output/registration/XlsxSheetReader.h"

#include "output/registration/BoundedXmlReader.h"
#include "output/registration/ImportLimits.h"
#include "output/registration/SheetBuilder.h"
#include "output/registration/SpreadsheetValue.h"
#include "output/registration/XlsxCellStyles.h"
#include "output/registration/XlsxSharedStrings.h"

namespace {

// Excel's own bounds; a reference beyond them is a broken file.
constexpr int kLastLine = 1048576;
constexpr int kLastColumn = 16383;

struct CellPosition {
    int line = 0;
    int column = -1;
};

bool isTrue(const QString& text) {
    return text == u"1" || text.compare(u"true", Qt::CaseInsensitive) == 0;
}

// The value of the cell whose start the reader stands on; false when it cannot be shown.
bool readCell(BoundedXmlReader& reader, const XlsxSheetReader::Context& context, QString* text,
              QString* problem) {
    const QString type = reader.attribute(u"t");
    const int style = reader.attribute(u"s").toInt();
    const int level = reader.depth();
    QString value;
    bool hasValue = false;
    while (reader.next()) {
        if (reader.isEnd() && reader.depth() == level)
            break;
        if (!reader.isStart())
            continue;
        if (reader.is(u"v")) {
            value = reader.readText();
            hasValue = true;
        } else if (reader.is(u"is")) {
            value = XlsxSharedStrings::readItem(reader);
            hasValue = true;
        } else {
            reader.skipElement();
        }
    }
    if (!hasValue) {
        text->clear();
        return true;
    }
    if (type == u"s") {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= context.strings.size()) {
            *problem = QStringLiteral("verweist auf den Text Nr. %1, den es nicht gibt")
                           .arg(value.trimmed());
            return false;
        }
        *text = context.strings.text(index);
    } else if (type == u"inlineStr" || type == u"str" || type == u"e") {
        *text = value;
    } else if (type == u"b") {
        *text = isTrue(value.trimmed()) ? QStringLiteral("WAHR") : QStringLiteral("FALSCH");
    } else if (type == u"d") {
        *text = SpreadsheetValue::isoText(value.trimmed());
    } else {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        *text = !ok ? value
                    : SpreadsheetValue::serialText(number, context.styles.dateKind(style),
                                                   context.date1904);
    }
    return true;
}

} // namespace

bool XlsxSheetReader::parseReference(QStringView reference, int* column, int* line) {
    qsizetype i = 0;
    int col = 0;
    while (i < reference.size() && reference[i].isLetter() && reference[i].unicode() < 128) {
        col = col * 26 + (reference[i].toUpper().unicode() - u'A' + 1);
        if (col > kLastColumn + 1)
            return false;
        ++i;
    }
    if (i == 0 || i == reference.size())
        return false;
    bool ok = false;
    const int row = reference.mid(i).toInt(&ok);
    if (!ok || row < 1 || row > kLastLine || !reference[i].isDigit())
        return false;
    *column = col - 1;
    *line = row;
    return true;
}

bool XlsxSheetReader::read(const QByteArray& xml, const QString& partName, const Context& context,
                           SheetBuilder& builder, QString* error) {
    BoundedXmlReader reader(xml, partName, ImportLimits::kMaxXmlDepth);
    CellPosition at;
    while (reader.next()) {
        if (!reader.isStart())
            continue;
        if (reader.is(u"col")) {
            const QString hidden = reader.attribute(u"hidden");
            if (isTrue(hidden)) {
                const int first = reader.attribute(u"min").toInt();
                const int last = qMin(reader.attribute(u"max").toInt(), ImportLimits::kMaxColumns);
                for (int column = qMax(1, first); column <= last; ++column)
                    builder.hideColumn(column - 1);
            }
        } else if (reader.is(u"row")) {
            const int line = reader.attribute(u"r").toInt();
            at.line = line >= 1 && line <= kLastLine ? line : at.line + 1;
            at.column = -1;
        } else if (reader.is(u"mergeCell")) {
            const QString range = reader.attribute(u"ref");
            int column = 0, line = 0;
            int lastColumn = 0, lastLine = 0;
            const QString last = range.contains(u':') ? range.section(u':', 1) : range;
            if (!parseReference(range.section(u':', 0, 0), &column, &line) ||
                !parseReference(last, &lastColumn, &lastLine)) {
                reader.fail(QStringLiteral("ungültiger Zellbereich „%1“").arg(range));
                break;
            }
            if (!builder.mergeDown(line, column, lastLine)) {
                *error = builder.error();
                return false;
            }
        } else if (reader.is(u"c")) {
            const QString reference = reader.attribute(u"r");
            int column = at.column + 1;
            int line = qMax(1, at.line);
            if (!reference.isEmpty() && !parseReference(reference, &column, &line)) {
                reader.fail(QStringLiteral("ungültiger Zellbezug „%1“").arg(reference));
                break;
            }
            at = {line, column};
            QString text, problem;
            if (!readCell(reader, context, &text, &problem)) {
                reader.fail(QStringLiteral("Zelle %1 %2").arg(reference, problem));
                break;
            }
            if (!builder.setCell(line, column, text)) {
                *error = builder.error();
                return false;
            }
        }
    }
    if (reader.failed()) {
        *error = reader.error();
        return false;
    }
    return true;
}
