#include "cup/CupWorkbook.h"

#include "cup/CupTableText.h"
#include "output/AtomicFile.h"
#include "output/ExcelWorkbook.h"
#include "output/XmlText.h"
#include "platform/CNumberLocale.h"

#include <QFile>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace CupWorkbook {

namespace {

// A cell to write: its text (which also sizes the column), and the value where it is a number.
struct Cell {
    QString text;
    std::optional<qint64> hundredths;
    bool struck = false;
};
using Row = QList<Cell>;

struct Formats {
    lxw_format* bold = nullptr;
    lxw_format* whole = nullptr;
    lxw_format* decimal = nullptr;
    lxw_format* wholeStruck = nullptr;
    lxw_format* decimalStruck = nullptr;
};

Row textRow(const QStringList& texts) {
    Row row;
    for (const QString& text : texts)
        row.append(Cell{text, std::nullopt, false});
    return row;
}

Row competitorRow(const CupStandings::Row& standing, CupRules::Scoring scoring) {
    const QStringList texts =
        CupTableText::rowCells(standing, scoring, CupTableText::Dropped::Plain);
    Row row = textRow(texts);
    if (standing.place > 0)
        row[0].hundredths = qint64(standing.place) * 100;
    for (qsizetype i = 0; i < standing.races.size() && 4 + i < row.size(); ++i) {
        const CupStandings::RaceResult& race = standing.races.at(i);
        // A value that came with a status keeps its text, so the status is not lost.
        if (race.kind == CupStandings::RaceResult::Kind::Scored && race.hasValue &&
            race.status.isEmpty())
            row[4 + i].hundredths = race.value;
        row[4 + i].struck =
            race.kind == CupStandings::RaceResult::Kind::Scored && race.hasValue && race.dropped;
    }
    const qsizetype total = 4 + standing.races.size();
    if (total + 1 < row.size()) {
        row[total].hundredths = standing.total;
        if (!row.at(total + 1).text.isEmpty())
            row[total + 1].hundredths = standing.gap;
    }
    return row;
}

QList<Row> classRows(const CupStandings& standings, const CupStandings::ClassTable& table,
                     CupRules::Scoring scoring) {
    QList<Row> rows{textRow(CupTableText::header(standings))};
    for (const CupStandings::Row& standing : table.rows)
        rows.append(competitorRow(standing, scoring));
    if (!table.voidedNotes.isEmpty())
        rows.append(Row{});
    for (const QString& note : table.voidedNotes)
        rows.append(textRow({note}));
    return rows;
}

QList<Row> clubRows(const CupStandings& standings, CupRules::Scoring scoring) {
    QList<Row> rows;
    for (const CupStandings::ClubTable& table : standings.clubs) {
        if (!rows.isEmpty())
            rows.append(Row{});
        rows.append(textRow({CupTableText::clubCaption(table.cls)}));
        rows.append(textRow(CupTableText::clubHeader()));
        for (const CupStandings::ClubRow& club : table.rows) {
            Row row = textRow(CupTableText::clubCells(club, scoring));
            row[2].hundredths = club.total;
            rows.append(row);
        }
    }
    return rows;
}

void writeSheet(lxw_worksheet* sheet, const QList<Row>& rows, const Formats& formats,
                bool headerFirst) {
    QList<QStringList> texts;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        QStringList line;
        for (qsizetype c = 0; c < rows.at(r).size(); ++c) {
            const Cell& cell = rows.at(r).at(c);
            line << cell.text;
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            if (cell.hundredths) {
                const bool whole = *cell.hundredths % 100 == 0 && cell.text.indexOf(u',') < 0;
                lxw_format* style = whole ? (cell.struck ? formats.wholeStruck : formats.whole)
                                          : (cell.struck ? formats.decimalStruck : formats.decimal);
                worksheet_write_number(sheet, row, col,
                                       static_cast<double>(*cell.hundredths) / 100.0, style);
            } else if (!cell.text.isEmpty()) {
                const QByteArray utf8 = XmlText::clean(cell.text).toUtf8();
                worksheet_write_string(sheet, row, col, utf8.constData(),
                                       headerFirst && r == 0 ? formats.bold : nullptr);
            }
        }
        texts.append(line);
    }
    // Notes span the row; they would make their column as wide as themselves.
    QList<QStringList> sized;
    for (const QStringList& line : texts)
        if (line.size() > 1)
            sized.append(line);
    const QList<double> widths = ExcelWorkbook::columnWidths(sized);
    for (qsizetype c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             widths.at(c), nullptr);
}

} // namespace

std::optional<QByteArray> build(const CupStandings& standings, const QString& cupName,
                                CupRules::Scoring scoring, QString* error) {
    const CNumberLocale cNumbers;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        if (error)
            *error = folder.errorString();
        return std::nullopt;
    }
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("cup.xlsx")));
    const QByteArray tmpdir = QFile::encodeName(folder.path());
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook) {
        if (error)
            *error = QStringLiteral("libxlsxwriter");
        return std::nullopt;
    }
    // libxlsxwriter keeps pointers into these until the workbook is closed.
    const QByteArray title = XmlText::clean(cupName).toUtf8();
    const QByteArray author = ExcelWorkbook::creditText().toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(title.constData());
    properties.author = const_cast<char*>(author.constData());
    workbook_set_properties(workbook, &properties);

    Formats formats;
    formats.bold = workbook_add_format(workbook);
    format_set_bold(formats.bold);
    formats.whole = workbook_add_format(workbook);
    format_set_num_format_index(formats.whole, 1); // "0"
    formats.decimal = workbook_add_format(workbook);
    format_set_num_format_index(formats.decimal, 2); // "0.00"
    formats.wholeStruck = workbook_add_format(workbook);
    format_set_num_format_index(formats.wholeStruck, 1);
    format_set_font_strikeout(formats.wholeStruck);
    formats.decimalStruck = workbook_add_format(workbook);
    format_set_num_format_index(formats.decimalStruck, 2);
    format_set_font_strikeout(formats.decimalStruck);

    QStringList used;
    const auto addSheet = [&](const QString& caption) {
        QString name = ExcelWorkbook::sheetName(caption, static_cast<int>(used.size()));
        // Two sheets of one name would make the workbook unreadable.
        while (used.contains(name, Qt::CaseInsensitive))
            name = name.left(28) + QStringLiteral(" %1").arg(used.size() + 1);
        used.append(name);
        return workbook_add_worksheet(workbook, name.toUtf8().constData());
    };
    for (const CupStandings::ClassTable& table : standings.classes) {
        if (lxw_worksheet* sheet = addSheet(CupTableText::classCaption(table.cls)))
            writeSheet(sheet, classRows(standings, table, scoring), formats, true);
    }
    if (lxw_worksheet* sheet = addSheet(QStringLiteral("Vereine")))
        writeSheet(sheet, clubRows(standings, scoring), formats, false);

    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        if (error)
            *error = QString::fromUtf8(lxw_strerror(closed));
        return std::nullopt;
    }
    QFile written(QFile::decodeName(path));
    if (!written.open(QIODevice::ReadOnly)) {
        if (error)
            *error = written.errorString();
        return std::nullopt;
    }
    return written.readAll();
}

FileWriteResult write(const QString& fileName, const CupStandings& standings,
                      const QString& cupName, CupRules::Scoring scoring) {
    const QString message = QStringLiteral("Der Schreibfehler der Datei: ") + fileName;
    QString reason;
    const std::optional<QByteArray> bytes = build(standings, cupName, scoring, &reason);
    if (!bytes)
        return FileWriteResult::failure(message, reason);
    if (const auto failure = AtomicFile::write(fileName, *bytes))
        return FileWriteResult::failure(message, failure->text());
    return FileWriteResult::success();
}

} // namespace CupWorkbook
