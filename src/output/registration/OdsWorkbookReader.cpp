#include "output/registration/OdsWorkbookReader.h"

#include "output/ZipPackage.h"
#include "output/registration/BoundedXmlReader.h"
#include "output/registration/ImportLimits.h"
#include "output/registration/SheetBuilder.h"
#include "output/registration/SpreadsheetValue.h"

namespace {

const QString kContent = QStringLiteral("content.xml");
// LibreOffice fills a sheet to the spreadsheet's last row and column with repeated empty
// cells; repeats beyond these bounds cannot be real content.
constexpr int kLastLine = 1048576;
constexpr int kLastColumn = 16384;

int repeatCount(const BoundedXmlReader& reader, QStringView attribute) {
    bool ok = false;
    const qint64 count = reader.attribute(attribute).toLongLong(&ok);
    return ok && count > 1 ? static_cast<int>(qMin<qint64>(count, kLastColumn * 64LL)) : 1;
}

// The text of a paragraph (<text:p>) the reader stands on, with its spaces, tabs and line
// breaks written out.
QString readParagraph(BoundedXmlReader& reader) {
    QString text;
    const int level = reader.depth();
    while (reader.next(true)) {
        if (reader.isEnd() && reader.depth() == level)
            break;
        if (reader.isText())
            text += reader.text();
        else if (!reader.isStart())
            continue;
        else if (reader.is(u"s"))
            text += QString(qBound(1, reader.attribute(u"c").toInt(), 1000), u' ');
        else if (reader.is(u"tab"))
            text += u'\t';
        else if (reader.is(u"line-break"))
            text += u'\n';
        else if (reader.is(u"annotation"))
            reader.skipElement();
    }
    return text;
}

struct CellValue {
    QString text;
    int repeat = 1;
    int rowsSpanned = 1; // of a merged range's first cell
};

CellValue readCell(BoundedXmlReader& reader) {
    CellValue cell;
    cell.repeat = repeatCount(reader, u"number-columns-repeated");
    cell.rowsSpanned = repeatCount(reader, u"number-rows-spanned");
    const QString type = reader.attribute(u"value-type");
    if (type == u"float") {
        bool ok = false;
        const double value = reader.attribute(u"value").toDouble(&ok);
        if (ok)
            cell.text = SpreadsheetValue::numberText(value);
    } else if (type == u"date") {
        cell.text = SpreadsheetValue::isoText(reader.attribute(u"date-value"));
    }
    const bool fromValue = !cell.text.isEmpty();
    const int level = reader.depth();
    QStringList paragraphs;
    while (reader.next()) {
        if (reader.isEnd() && reader.depth() == level)
            break;
        if (!reader.isStart())
            continue;
        if (reader.is(u"p"))
            paragraphs.append(readParagraph(reader));
        else
            reader.skipElement(); // annotations, drawings
    }
    if (!fromValue)
        cell.text = paragraphs.join(u'\n');
    return cell;
}

} // namespace

bool OdsWorkbookReader::isSpreadsheet(const ZipPackage& package) {
    return package.contains(kContent) &&
           package.part(QStringLiteral("mimetype"))
               .startsWith("application/vnd.oasis.opendocument.spreadsheet");
}

ImportReadResult OdsWorkbookReader::read(const ZipPackage& package) {
    BoundedXmlReader reader(package.part(kContent), kContent, ImportLimits::kMaxXmlDepth);
    ImportWorkbook workbook;
    workbook.kind = QStringLiteral("LibreOffice-Tabelle");
    std::optional<SheetBuilder> sheet;
    int tableDepth = 0;
    int line = 0;
    int definedColumns = 0;
    qint64 cells = 0;
    while (reader.next()) {
        if (reader.is(u"table") && reader.isStart() && !sheet) {
            if (workbook.sheets.size() >= ImportLimits::kMaxSheets) {
                reader.fail(QStringLiteral("mehr als %1 Tabellen").arg(ImportLimits::kMaxSheets));
                break;
            }
            sheet.emplace(reader.attribute(u"name"), cells);
            tableDepth = reader.depth();
            line = 0;
            definedColumns = 0;
        } else if (reader.is(u"table") && reader.isEnd() && sheet && reader.depth() == tableDepth) {
            auto finished = sheet->finish();
            if (!finished)
                return ImportReadResult::failure(sheet->error());
            cells = sheet->cellCount();
            workbook.sheets.append(std::move(*finished));
            sheet.reset();
        } else if (!sheet || !reader.isStart()) {
            continue;
        } else if (reader.is(u"table-column")) {
            const int repeat = repeatCount(reader, u"number-columns-repeated");
            if (reader.attribute(u"visibility") == u"collapse") {
                for (int i = 0; i < repeat && definedColumns + i < ImportLimits::kMaxColumns; ++i)
                    sheet->hideColumn(definedColumns + i);
            }
            definedColumns = qMin(definedColumns + repeat, kLastColumn);
        } else if (reader.is(u"table-row")) {
            const int repeat = repeatCount(reader, u"number-rows-repeated");
            QList<CellValue> row;
            const int level = reader.depth();
            while (reader.next() && !(reader.isEnd() && reader.depth() == level)) {
                if (reader.isStart() &&
                    (reader.is(u"table-cell") || reader.is(u"covered-table-cell")))
                    row.append(readCell(reader));
            }
            // Identical rows are stored once with a count; only rows with content are spread,
            // and only their filled cells are visited for each copy.
            QList<std::pair<int, QString>> filled;
            int column = 0;
            for (const CellValue& cell : std::as_const(row)) {
                // A merged range's text stands for the covered cells of the rows below it too.
                if (cell.rowsSpanned > 1 &&
                    !sheet->mergeDown(line + 1, column, qMin(line + cell.rowsSpanned, kLastLine)))
                    return ImportReadResult::failure(sheet->error());
                if (!cell.text.trimmed().isEmpty()) {
                    for (int i = 0; i < cell.repeat && filled.size() <= ImportLimits::kMaxColumns;
                         ++i)
                        filled.append({column + i, cell.text});
                }
                column = qMin(column + cell.repeat, kLastColumn);
            }
            for (int copy = 0; copy < (filled.isEmpty() ? 0 : repeat); ++copy) {
                for (const auto& [at, text] : std::as_const(filled)) {
                    if (!sheet->setCell(line + copy + 1, at, text))
                        return ImportReadResult::failure(sheet->error());
                }
            }
            line = qMin(line + repeat, kLastLine);
        }
    }
    if (reader.failed())
        return ImportReadResult::failure(reader.error());
    if (workbook.sheets.isEmpty())
        return ImportReadResult::failure(QStringLiteral("Die Datei hat keine Tabelle."));
    return {workbook, {}};
}
