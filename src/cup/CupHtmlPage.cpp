#include "cup/CupHtmlPage.h"

#include "cup/CupTableText.h"
#include "cup/CupValueText.h"
#include "output/AtomicFile.h"
#include "output/ProtocolPage.h"

namespace CupHtmlPage {

namespace {

QString esc(const QString& text) {
    return ProtocolPage::escapeHtml(text);
}

const char kStyle[] =
    "body{font-family:Arial,Helvetica,sans-serif;font-size:13px;margin:1em;color:#000}\n"
    "h1{font-size:20px;margin:0 0 .3em}\n"
    "h2{font-size:16px;margin:1.2em 0 .3em}\n"
    "table{border-collapse:collapse;margin-bottom:.4em}\n"
    "th,td{border:1px solid #999;padding:2px 6px;text-align:left;white-space:nowrap}\n"
    "th{background:#dde6f7}\n"
    "td.n{text-align:right}\n"
    "td.voided{color:#666;font-style:italic}\n"
    "tr.unranked td{color:#555}\n"
    ".mark{font-weight:bold}\n"
    "p.note{margin:.2em 0;font-style:italic}\n"
    "@media print{body{margin:0;font-size:10pt}th{background:none}"
    "section{break-inside:avoid;page-break-inside:avoid}"
    "h2{break-after:avoid;page-break-after:avoid}}\n";

QString cell(const QString& text, const char* cssClass = nullptr) {
    if (!cssClass)
        return QStringLiteral("<td>") + esc(text) + QStringLiteral("</td>");
    return QStringLiteral("<td class=\"%1\">").arg(QLatin1String(cssClass)) + esc(text) +
           QStringLiteral("</td>");
}

QString raceHtml(const CupStandings::RaceResult& race, CupRules::Scoring scoring) {
    using Kind = CupStandings::RaceResult::Kind;
    if (race.kind == Kind::Voided)
        return cell(QStringLiteral("annulliert"), "voided");
    const QString text = CupTableText::raceCell(race, scoring, CupTableText::Dropped::Bracketed);
    if (race.kind == Kind::Scored && race.hasValue && race.dropped)
        return QStringLiteral("<td class=\"n\"><s>") + esc(text) + QStringLiteral("</s></td>");
    return cell(text, "n");
}

QString marksHtml(const CupStandings::Row& row) {
    QStringList parts;
    for (const QString& mark : CupTableText::marks(row)) {
        const bool strong = mark == QStringLiteral("Stechen") || mark == u"uneinholbar";
        parts << (strong ? QStringLiteral("<span class=\"mark\">") + esc(mark) +
                               QStringLiteral("</span>")
                         : esc(mark));
    }
    return QStringLiteral("<td>") + parts.join(QStringLiteral(", ")) + QStringLiteral("</td>");
}

QString headerHtml(const QStringList& captions) {
    QString html = QStringLiteral("<thead><tr>");
    for (const QString& caption : captions)
        html += QStringLiteral("<th>") + esc(caption) + QStringLiteral("</th>");
    return html + QStringLiteral("</tr></thead>\n");
}

QString classHtml(const CupStandings& standings, const CupStandings::ClassTable& table,
                  CupRules::Scoring scoring) {
    QString html = QStringLiteral("<section class=\"class\">\n<h2>") +
                   esc(CupTableText::classCaption(table.cls)) + QStringLiteral("</h2>\n<table>\n") +
                   headerHtml(CupTableText::header(standings)) + QStringLiteral("<tbody>\n");
    for (const CupStandings::Row& row : table.rows) {
        html += row.place > 0 ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"unranked\">");
        html += cell(CupTableText::placeText(row.place), "n") + cell(row.identity.name) +
                cell(row.identity.firstName) + cell(row.identity.club);
        for (const CupStandings::RaceResult& race : row.races)
            html += raceHtml(race, scoring);
        html += cell(CupValueText::format(row.total, scoring), "n") +
                cell(CupTableText::gapText(row, scoring), "n") + marksHtml(row) +
                QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</tbody>\n</table>\n");
    for (const QString& note : table.voidedNotes)
        html += QStringLiteral("<p class=\"note\">") + esc(note) + QStringLiteral("</p>\n");
    return html + QStringLiteral("</section>\n");
}

QString clubHtml(const CupStandings::ClubTable& table, CupRules::Scoring scoring) {
    QString html = QStringLiteral("<section class=\"clubs\">\n<h2>") +
                   esc(CupTableText::clubCaption(table.cls)) + QStringLiteral("</h2>\n<table>\n") +
                   headerHtml(CupTableText::clubHeader()) + QStringLiteral("<tbody>\n");
    for (const CupStandings::ClubRow& row : table.rows) {
        const QStringList cells = CupTableText::clubCells(row, scoring);
        html += row.complete ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"unranked\">");
        html += cell(cells.at(0), "n") + cell(cells.at(1)) + cell(cells.at(2), "n") +
                cell(cells.at(3)) + QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</tbody>\n</table>\n</section>\n");
}

} // namespace

QByteArray pageBytes(const CupStandings& standings, const QString& cupName,
                     CupRules::Scoring scoring) {
    QString page = QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n"
                                  "<meta charset=\"utf-8\"/>\n<title>") +
                   esc(cupName) + QStringLiteral("</title>\n<style>\n") + QLatin1String(kStyle) +
                   QStringLiteral("</style>\n</head>\n<body>\n<h1>") + esc(cupName) +
                   QStringLiteral("</h1>\n<p>Wertung: ") + esc(CupValueText::unit(scoring)) +
                   QStringLiteral("</p>\n<ol class=\"races\">\n");
    for (const QString& title : standings.raceTitles)
        page += QStringLiteral("<li>") + esc(title) + QStringLiteral("</li>\n");
    page += QStringLiteral("</ol>\n");
    for (const CupStandings::ClassTable& table : standings.classes)
        page += classHtml(standings, table, scoring);
    for (const CupStandings::ClubTable& table : standings.clubs)
        page += clubHtml(table, scoring);
    page += QStringLiteral("</body>\n</html>\n");
    return page.toUtf8();
}

FileWriteResult write(const QString& fileName, const CupStandings& standings,
                      const QString& cupName, CupRules::Scoring scoring) {
    if (const auto failure = AtomicFile::write(fileName, pageBytes(standings, cupName, scoring)))
        return FileWriteResult::failure(QStringLiteral("Der Schreibfehler der Datei: ") + fileName,
                                        failure->text());
    return FileWriteResult::success();
}

} // namespace CupHtmlPage
