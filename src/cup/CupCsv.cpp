#include "cup/CupCsv.h"

#include "competition/Windows1252.h"
#include "cup/CupTableText.h"
#include "cup/CupValueText.h"
#include "output/AtomicFile.h"

namespace CupCsv {

namespace {

QString csvCell(const QString& text) {
    QString cell = text;
    cell.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!cell.contains(u';') && !cell.contains(u'"'))
        return cell;
    cell.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + cell + u'"';
}

void appendLine(QString& text, const QStringList& cells) {
    QStringList quoted;
    quoted.reserve(cells.size());
    for (const QString& cell : cells)
        quoted << csvCell(cell);
    text += quoted.join(u';') + QStringLiteral("\r\n");
}

} // namespace

QByteArray csvBytes(const CupStandings& standings, const QString& cupName,
                    CupRules::Scoring scoring) {
    QString text;
    appendLine(text, {cupName});
    appendLine(text, {QStringLiteral("Wertung: ") + CupValueText::unit(scoring)});
    const QStringList header = CupTableText::header(standings);
    for (const CupStandings::ClassTable& table : standings.classes) {
        text += QStringLiteral("\r\n");
        appendLine(text, {CupTableText::classCaption(table.cls)});
        appendLine(text, header);
        for (const CupStandings::Row& row : table.rows)
            appendLine(text,
                       CupTableText::rowCells(row, scoring, CupTableText::Dropped::Bracketed));
        for (const QString& note : table.voidedNotes)
            appendLine(text, {note});
    }
    for (const CupStandings::ClubTable& table : standings.clubs) {
        text += QStringLiteral("\r\n");
        appendLine(text, {CupTableText::clubCaption(table.cls)});
        appendLine(text, CupTableText::clubHeader());
        for (const CupStandings::ClubRow& row : table.rows)
            appendLine(text, CupTableText::clubCells(row, scoring));
    }
    return Windows1252::encode(text);
}

FileWriteResult write(const QString& fileName, const CupStandings& standings,
                      const QString& cupName, CupRules::Scoring scoring) {
    if (const auto failure = AtomicFile::write(fileName, csvBytes(standings, cupName, scoring)))
        return FileWriteResult::failure(QStringLiteral("Der Schreibfehler der Datei: ") + fileName,
                                        failure->text());
    return FileWriteResult::success();
}

} // namespace CupCsv
