#include "live/LivePageRenderer.h"

#include "output/ProtocolPage.h"

#include <algorithm>

namespace {

QString esc(const QString& text) {
    return ProtocolPage::escapeHtml(text);
}

// The time display of the window writes its own comma whatever the system's separator is, and
// before a run it shows the countdown's length when there is one; the pages show the same.
QString initialClock(const LiveSnapshot& snapshot) {
    const LiveSnapshot::Clock& clock = snapshot.clock;
    if (clock.stoppedMs)
        return LivePageRenderer::clockText(*clock.stoppedMs, u',');
    if (clock.state == LiveSnapshot::Clock::State::Countdown)
        return LivePageRenderer::clockText(clock.countdownMs, u',');
    if (clock.state == LiveSnapshot::Clock::State::Ready)
        return LivePageRenderer::clockText(clock.readyMs, u',');
    return LivePageRenderer::clockText(0, u',');
}

} // namespace

namespace LivePageRenderer {

QString clockText(qint64 milliseconds, QChar decimalSeparator) {
    const qint64 hundredths = qMax<qint64>(0, milliseconds) / 10;
    return QString::number(hundredths / 100) + decimalSeparator +
           QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

QString tableHtml(const LiveSnapshot::Table& table, const QString& id) {
    QString html = QStringLiteral("<section class=\"stage\" id=\"%1\"><h2>%2</h2>"
                                  "<div class=\"scroll\"><table><thead><tr>")
                       .arg(esc(id), esc(table.caption));
    for (const QString& caption : table.header)
        html += QStringLiteral("<th>") + esc(caption) + QStringLiteral("</th>");
    html += QStringLiteral("</tr></thead><tbody>");
    bool substitutes = false;
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const QMap<int, QString> marks = table.marks.value(static_cast<int>(r));
        html += QStringLiteral("<tr>");
        for (qsizetype col = 0; col < table.rows.at(r).size(); ++col) {
            const QString mark = marks.value(static_cast<int>(col));
            const QString text = esc(table.rows.at(r).at(col));
            if (mark.isEmpty()) {
                html += QStringLiteral("<td>") + text + QStringLiteral("</td>");
            } else if (mark == QStringLiteral("substitute")) {
                substitutes = true;
                html += QStringLiteral("<td class=\"sub\">") + text +
                        QStringLiteral("<sup>E</sup></td>");
            } else {
                html += QStringLiteral("<td class=\"state\">") + text + QStringLiteral("</td>");
            }
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</tbody></table></div>");
    if (substitutes)
        html += QStringLiteral("<p class=\"legend\">E = Ersatzzeit</p>");
    html += QStringLiteral("</section>");
    return html;
}

QString cupHtml(const std::optional<LiveSnapshot::Cup>& cup) {
    if (!cup)
        return {};
    QString html = QStringLiteral("<section class=\"stage\" id=\"cup\"><h2>") + esc(cup->name) +
                   QStringLiteral("</h2>");
    for (const LiveSnapshot::Table& table : cup->classes) {
        html += QStringLiteral("<h3>") + esc(table.caption) +
                QStringLiteral("</h3><div class=\"scroll\"><table><thead><tr>");
        for (const QString& caption : table.header)
            html += QStringLiteral("<th>") + esc(caption) + QStringLiteral("</th>");
        html += QStringLiteral("</tr></thead><tbody>");
        for (const QStringList& row : table.rows) {
            html += QStringLiteral("<tr>");
            for (const QString& text : row)
                html += QStringLiteral("<td>") + esc(text) + QStringLiteral("</td>");
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</tbody></table></div>");
    }
    return html + QStringLiteral("</section>");
}

QString top3Html(const QList<LiveSnapshot::Top3Row>& rows) {
    if (rows.isEmpty())
        return QStringLiteral("<p class=\"empty\">Noch keine Endlauf-Ergebnisse</p>");
    QString html = QStringLiteral("<table class=\"top3\"><tbody>");
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const LiveSnapshot::Top3Row& row = rows.at(i);
        html += QStringLiteral("<tr class=\"%1\"><td class=\"r\">%2</td><td class=\"r\">%3</td>"
                               "<td class=\"l\">%4</td><td class=\"c\">%5</td>"
                               "<td class=\"c\">%6</td><td class=\"r\">%7</td></tr>")
                    .arg(i % 2 == 0 ? QStringLiteral("odd") : QStringLiteral("even"),
                         esc(row.place), esc(row.number), esc(row.name), esc(row.klass),
                         esc(row.champion), esc(row.time));
    }
    html += QStringLiteral("</tbody></table>");
    return html;
}

QString lastResultHtml(const std::optional<LiveSnapshot::Result>& result) {
    if (!result)
        return QStringLiteral("&nbsp;");
    return QStringLiteral("<span class=\"who\">%1</span> <span class=\"club\">%2</span> "
                          "<span class=\"time\">%3</span>")
        .arg(esc(result->competitor), esc(result->club), esc(result->time));
}

QString releaseHtml(const LiveSnapshot::Release& release) {
    if (release.text.isEmpty())
        return {};
    // Official when every class is; the style colours it so without the script too.
    const bool official =
        !release.classes.isEmpty() && std::all_of(release.classes.cbegin(), release.classes.cend(),
                                                  [](const auto& klass) { return klass.official; });
    QString html = QStringLiteral("<span class=\"text%1\">").arg(official ? " official" : "") +
                   esc(release.text) + QStringLiteral("</span>");
    if (release.classes.size() < 2)
        return html;
    html += QStringLiteral("<span class=\"classes\">");
    for (const LiveSnapshot::ClassRelease& klass : release.classes)
        html +=
            QStringLiteral("<span class=\"klass %1\">Klasse %2: %3</span>")
                .arg(klass.official ? QStringLiteral("official") : QStringLiteral("preliminary"),
                     esc(klass.klass),
                     klass.official ? QStringLiteral("offiziell") : QStringLiteral("vorläufig"));
    return html + QStringLiteral("</span>");
}

QByteArray render(const QByteArray& pageTemplate, const LiveSnapshot& snapshot) {
    QString stages;
    for (int page = 0; page < 4; ++page)
        stages += tableHtml(snapshot.stages[page], QStringLiteral("stage%1").arg(page));
    stages += tableHtml(snapshot.teams, QStringLiteral("teams"));
    const QList<std::pair<const char*, QString>> pieces{
        {"<!--live:title-->", esc(snapshot.title)},
        {"<!--live:competitor-->", esc(snapshot.competitor)},
        {"<!--live:club-->", esc(snapshot.club)},
        {"<!--live:clock-->", esc(initialClock(snapshot))},
        {"<!--live:last-->", lastResultHtml(snapshot.lastResult)},
        {"<!--live:top3-->", top3Html(snapshot.top3)},
        {"<!--live:stages-->", stages},
        {"<!--live:cup-->", cupHtml(snapshot.cup)},
        {"<!--live:release-->", releaseHtml(snapshot.release)},
    };
    QByteArray page = pageTemplate;
    for (const auto& [marker, html] : pieces)
        page.replace(marker, html.toUtf8());
    return page;
}

} // namespace LivePageRenderer
