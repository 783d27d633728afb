#include "output/ProtocolPage.h"

#include "competition/CompetitionTable.h"
#include "competition/StageTables.h"
#include "competition/Windows1252.h"
#include "output/AtomicFile.h"
#include "output/XmlText.h"

namespace ProtocolPage {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isResultTable(const CompetitionTable& table) {
    return table.tag() == StageTables::HeatResults || table.tag() == StageTables::FinalResults;
}

// Alignment of column position k (from 1): the result tables have the extra "Pl." in front.
QString columnAlignment(const CompetitionTable& table, int k) {
    const int shift = isResultTable(table) ? 1 : 0;
    if (k >= 2 + shift && k <= 4 + shift)
        return QStringLiteral("<col align=left>");
    if (k >= 5 + shift && k <= 6 + shift)
        return QStringLiteral("<col align=center>");
    return QStringLiteral("<col align=right>");
}

// Only the first decimal comma becomes a point: times read "12.34" on the page.
QString cellText(const QString& text) {
    QString result = text;
    const qsizetype comma = result.indexOf(u',');
    if (comma >= 0)
        result[comma] = u'.';
    return escapeHtml(result);
}

QString colour(quint32 rgb) {
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
}

// The opening of a body cell: a state in its screen colours, so it stands out in colour and
// still reads as text in black and white.
QString cellStart(CellPresentation::Mark mark) {
    if (mark != CellPresentation::Mark::State)
        return QStringLiteral("<td>");
    return QStringLiteral("<td style=\"background-color:") +
           colour(CellPresentation::StateBackground) + QStringLiteral(";color:") +
           colour(CellPresentation::StateText) + QStringLiteral("\">");
}

} // namespace

QString escapeHtml(const QString& text) {
    // Control characters become blanks, as in the protocol file: a page must show what the
    // table shows, and a raw control byte is no text a browser displays.
    QString shown = text;
    for (QChar& ch : shown)
        if (ch.category() == QChar::Other_Control)
            ch = u' ';
    return XmlText::escape(shown);
}

int pageColumnCount(const CompetitionTable& table) {
    const int cols = table.columns();
    return table.tag() == StageTables::HeatStartList ? qMax(0, cols - 2) : cols;
}

QByteArray pageBytes(const CompetitionTable& table, const QString& programTitle,
                     const QString& tabCaption, const SubstituteSource& substitutes,
                     const QString& releaseText) {
    const QString title = escapeHtml(programTitle);
    const QString caption = escapeHtml(tabCaption);
    const int n = pageColumnCount(table);
    const QString makerHost = escapeHtml(QString::fromUtf16(kMakerHost));
    const QString makerSite = escapeHtml(QString::fromUtf16(kMakerSite));
    const QString designerHost = escapeHtml(QString::fromUtf16(kDesignerHost));

    QString page;
    page.reserve(2048 + qsizetype(table.rowsWithHeader()) * n * 16);
    auto line = [&page](const QString& text) {
        page.append(text).append(kCrLf);
    };

    line(QStringLiteral("<HTML>"));
    line(QStringLiteral("<HEAD>"));
    line(QStringLiteral("<!--") + makerHost + QStringLiteral(" software -->"));
    line(QStringLiteral("<TITLE>") + title + QStringLiteral(" Zeitenprotokoll</TITLE>"));
    line(QStringLiteral("<META name=keywords content=\"") + title +
         QStringLiteral(" Zeitenprotokoll\">"));
    line(QStringLiteral(
        "<META name=description content=\"Quarnek Benutzerdefinierte Softwareentwicklung\">"));
    line(
        QStringLiteral("<META http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">"));
    line(QStringLiteral("<META name=\"Webdesign\" content=\"") + designerHost +
         QStringLiteral("\">"));
    line(QStringLiteral("</HEAD>"));
    line(QStringLiteral("<STYLE type=text/css>"));
    line(QStringLiteral("body  {font-family: Arial; font-size: 13px}"));
    line(QStringLiteral("table {font-size: 13px}"));
    line(QStringLiteral("h4 {margin-top: 0px; padding-top: 0px}"));
    line(QStringLiteral("</STYLE>"));
    line(QStringLiteral("<BODY bgcolor=#F5F5F5>"));
    line(QStringLiteral("<DIV style=\"FILTER: Blur(direction=225, strength=6); WIDTH:100%\">"
                        "<H2>&nbsp;") +
         title + QStringLiteral("</H2>"));
    line(QStringLiteral("</div><H4>") + caption + QStringLiteral("</H4>"));
    if (!releaseText.isEmpty())
        line(QStringLiteral("<P class=freigabe><B>") + escapeHtml(releaseText) +
             QStringLiteral("</B></P>"));
    line(QStringLiteral("<table bgcolor=#ffffff borderColor=#DADADA border=1 cellpadding=4 "
                        "width=100% style=\"BORDER-COLLAPSE: collapse\">"));
    line(QStringLiteral("<thead align=left bgcolor=#91B5FF>"));
    line(QStringLiteral("<colgroup valign=top>"));
    for (int k = 1; k <= n; ++k)
        page.append(columnAlignment(table, k));
    line(QStringLiteral("</colgroup>"));
    line(QStringLiteral("<thead align=left bgcolor=#91B5FF>"));
    line(QStringLiteral("<tr>"));
    page.append(kCrLf);
    for (int k = 0; k < n; ++k)
        line(QStringLiteral("<th  nowrap>") + escapeHtml(table.cell(k, 0)));
    line(QStringLiteral("</tr></thead>"));
    bool substituteShown = false;
    for (int r = 1; r < table.rowsWithHeader(); ++r) {
        page.append(u"<tr>");
        for (int k = 0; k < n; ++k) {
            const CellPresentation::Mark mark = CellPresentation::mark(table, k, r, substitutes);
            page.append(cellStart(mark)).append(cellText(table.cell(k, r)));
            if (mark == CellPresentation::Mark::Substitute) {
                page.append(QStringLiteral("<sup>") + CellPresentation::substituteMark() +
                            QStringLiteral("</sup>"));
                substituteShown = true;
            }
        }
        line(QStringLiteral("</tr>"));
    }
    line(QStringLiteral("</table>"));
    if (substituteShown)
        line(QStringLiteral("<P>") + CellPresentation::substituteLegend() + QStringLiteral("</P>"));
    page.append(QStringLiteral("</table><P align=right><a href=\"") + makerSite +
                QStringLiteral("\" title=\"") + title + QStringLiteral("\">"));
    page.append(QStringLiteral("<FONT color=#FF0000>Qu</FONT>"
                               "<FONT color=#009900>ar</FONT>"
                               "<FONT color=#999999>nek</FONT>"));
    line(QStringLiteral("<FONT color=#666600>&nbsp; Sport Software &nbsp;</FONT>&gt;&gt;</A></P>"
                        "</body></html>"));
    return Windows1252::encodeForHtml(page);
}

FileWriteResult WriteProtocolPage(const QString& fileName, const CompetitionTable& table,
                                  const QString& programTitle, const QString& tabCaption,
                                  const SubstituteSource& substitutes, const QString& releaseText) {
    if (const auto failure = AtomicFile::write(
            fileName, pageBytes(table, programTitle, tabCaption, substitutes, releaseText)))
        return FileWriteResult::failure(QStringLiteral("Der Schreibfehler der Datei: ") + fileName,
                                        failure->text());
    return FileWriteResult::success();
}

} // namespace ProtocolPage
