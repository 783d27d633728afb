#include "output/registration/ImportGuess.h"

#include "output/registration/ImportMemory.h"
#include "output/registration/ImportValues.h"

#include <QHash>
#include <QSet>

namespace ImportGuess {

namespace {

constexpr int kHeaderSearchRows = 10;

// Names of each field, most telling first: of a "Verein" and an "Ort" column the club wins.
const QList<std::pair<ImportField, QStringList>>& knownHeaders() {
    static const QList<std::pair<ImportField, QStringList>> headers{
        {ImportField::Nr,
         {"nr", "startnr", "startnummer", "stnr", "nummer", "startno", "startnumber", "bib",
          "number", "no", "#"}},
        {ImportField::Name,
         {"name", "nachname", "familienname", "zuname", "surname", "lastname", "teilnehmer",
          "teilnehmername"}},
        {ImportField::Vorname, {"vorname", "rufname", "firstname", "givenname", "vornamen"}},
        {ImportField::Verein,
         {"vereinort", "verein", "vereinsname", "club", "team", "mannschaft", "ort", "wohnort",
          "gemeinde", "stadt", "verband"}},
        {ImportField::Kl,
         {"kl", "klasse", "startklasse", "wertungsklasse", "altersklasse", "kategorie", "ak",
          "class", "category", "gruppe"}},
        {ImportField::Meister, {"meister", "meisterschaft", "meisterwertung", "championship"}},
    };
    return headers;
}

struct Rank {
    ImportField field = ImportField::Ignore;
    int rank = 0;
};

Rank rankOf(const QString& header) {
    const QString key = ImportMemory::headerKey(header);
    for (const auto& [field, names] : knownHeaders()) {
        const qsizetype at = names.indexOf(key);
        if (at >= 0)
            return {field, static_cast<int>(at)};
    }
    return {};
}

QStringList columnValues(const ImportWorkbook::Sheet& sheet, int column, int fromRow) {
    QStringList values;
    for (qsizetype r = qMax(0, fromRow); r < sheet.rows.size(); ++r) {
        const QString value = sheet.rows.at(r).cells.value(column).trimmed();
        if (!value.isEmpty())
            values.append(value);
    }
    return values;
}

// A file without column names: numbers, classes and marks by their values, the text columns
// in the order name, given name, club.
QList<ImportField> fieldsFromContent(const ImportWorkbook::Sheet& sheet,
                                     const ImportMemory& memory) {
    QList<ImportField> fields(sheet.columnCount, ImportField::Ignore);
    QSet<ImportField> taken;
    auto assign = [&](int column, ImportField field) {
        if (fields[column] == ImportField::Ignore && !taken.contains(field)) {
            fields[column] = field;
            taken.insert(field);
        }
    };
    for (int column = 0; column < sheet.columnCount; ++column) {
        const QStringList values = columnValues(sheet, column, 0);
        if (values.isEmpty())
            continue;
        const bool numbers = std::all_of(values.cbegin(), values.cend(), ImportValues::isNumber);
        const bool classes = std::all_of(values.cbegin(), values.cend(), [&](const QString& v) {
            return ImportValues::classOf(v, memory.classes()).has_value();
        });
        const bool marks = std::all_of(values.cbegin(), values.cend(), [](const QString& v) {
            return ImportValues::masterMark(v).has_value();
        });
        if (numbers && QSet<QString>(values.cbegin(), values.cend()).size() == values.size() &&
            !taken.contains(ImportField::Nr))
            assign(column, ImportField::Nr);
        else if (classes)
            assign(column, ImportField::Kl);
        else if (marks)
            assign(column, ImportField::Meister);
    }
    for (ImportField field : {ImportField::Name, ImportField::Vorname, ImportField::Verein}) {
        for (int column = 0; column < sheet.columnCount; ++column) {
            if (fields[column] != ImportField::Ignore || sheet.hiddenColumns.contains(column))
                continue;
            const QStringList values = columnValues(sheet, column, 0);
            const bool words = std::any_of(values.cbegin(), values.cend(), [](const QString& v) {
                return std::any_of(v.cbegin(), v.cend(), [](QChar c) { return c.isLetter(); });
            });
            if (words) {
                assign(column, field);
                break;
            }
        }
    }
    return fields;
}

} // namespace

ImportField fieldForHeader(const QString& header) {
    return rankOf(header).field;
}

int headerRow(const ImportWorkbook::Sheet& sheet, const ImportMemory& memory) {
    const int rows = static_cast<int>(qMin<qsizetype>(sheet.rows.size(), kHeaderSearchRows));
    for (int r = 0; r < rows; ++r) {
        int known = 0;
        for (const QString& cell : sheet.rows.at(r).cells) {
            if (cell.trimmed().isEmpty())
                continue;
            if (rankOf(cell).field != ImportField::Ignore || memory.fieldForHeader(cell))
                ++known;
        }
        if (known >= 2 || (known == 1 && sheet.columnCount == 1))
            return r;
    }
    return -1;
}

QList<ImportField> columnFields(const ImportWorkbook::Sheet& sheet, int header,
                                const ImportMemory& memory) {
    if (header < 0 || header >= sheet.rows.size()) {
        if (const auto remembered = memory.fieldsByPosition(sheet.columnCount))
            return *remembered;
        return fieldsFromContent(sheet, memory);
    }
    const QStringList& names = sheet.rows.at(header).cells;
    QList<ImportField> fields(sheet.columnCount, ImportField::Ignore);
    QList<int> ranks(sheet.columnCount, 0);
    QHash<ImportField, int> bestColumn;
    for (int column = 0; column < sheet.columnCount; ++column) {
        const QString name = names.value(column);
        if (const auto remembered = memory.fieldForHeader(name)) {
            fields[column] = *remembered;
            ranks[column] = -1; // the operator's own choice beats every guess
        } else {
            const Rank rank = rankOf(name);
            fields[column] = rank.field;
            ranks[column] = rank.rank;
        }
        const ImportField field = fields[column];
        if (field == ImportField::Ignore)
            continue;
        const auto best = bestColumn.constFind(field);
        if (best == bestColumn.constEnd() || ranks[column] < ranks[*best])
            bestColumn.insert(field, column);
    }
    // One column per field; the others are left for the operator to decide.
    for (int column = 0; column < sheet.columnCount; ++column) {
        if (fields[column] != ImportField::Ignore && bestColumn.value(fields[column]) != column)
            fields[column] = ImportField::Ignore;
    }
    return fields;
}

QStringList classTexts(const ImportWorkbook::Sheet& sheet, const ImportMapping& mapping) {
    QStringList texts;
    QSet<QString> seen;
    for (int column : mapping.columnsOf(ImportField::Kl)) {
        for (const QString& value : columnValues(sheet, column, mapping.headerRow + 1)) {
            if (ImportValues::classOf(value, {}) || ImportValues::isNumber(value))
                continue;
            const QString key = ImportMapping::classKey(value);
            if (!seen.contains(key)) {
                seen.insert(key);
                texts.append(value.simplified());
            }
        }
    }
    return texts;
}

QMap<QString, QString> completedClasses(const ImportWorkbook::Sheet& sheet,
                                        const ImportMapping& mapping, const ImportMemory& memory) {
    QMap<QString, QString> classes;
    for (const QString& text : classTexts(sheet, mapping)) {
        const QString key = ImportMapping::classKey(text);
        QString value = mapping.classes.value(key);
        if (value.isEmpty())
            value = memory.classes().value(key);
        if (value.isEmpty())
            value = ImportValues::classByDigit(text);
        if (!value.isEmpty())
            classes.insert(key, value);
    }
    return classes;
}

ImportMapping initialMapping(const ImportWorkbook& workbook, int sheetIndex,
                             const ImportMemory& memory) {
    ImportMapping mapping;
    if (workbook.sheets.isEmpty())
        return mapping;
    mapping.sheet = qBound(0, sheetIndex, static_cast<int>(workbook.sheets.size()) - 1);
    const ImportWorkbook::Sheet& sheet = workbook.sheets.at(mapping.sheet);
    mapping.headerRow = headerRow(sheet, memory);
    mapping.columns = columnFields(sheet, mapping.headerRow, memory);
    mapping.classes = completedClasses(sheet, mapping, memory);
    mapping.existing = memory.existing();
    mapping.numberMissing = memory.numberMissing();
    return mapping;
}

} // namespace ImportGuess
