#include "output/SubstituteEvidence.h"

namespace {

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString neighbourCount(const SubstituteTime::Calculation& c) {
    const QString runs = c.neighbours.size() == 1
                             ? QStringLiteral("1 Lauf")
                             : QStringLiteral("%1 Läufen").arg(c.neighbours.size());
    return QStringLiteral("%1: %2 davor, %3 danach").arg(runs).arg(c.before).arg(c.after);
}

QString baseName(bool handTime) {
    return handTime ? QStringLiteral("Handzeit") : QStringLiteral("System B");
}

// base + sum / n, truncated to microseconds, for showing the value before the truncation.
qint64 exactMicroseconds(const SubstituteTime::Calculation& c) {
    const auto n = static_cast<qint64>(c.neighbours.size());
    return (c.baseMicroseconds * n + c.sumMicroseconds) / n;
}

QString hundredths(qint32 value, QChar separator) {
    return QStringLiteral("%1%2%3")
        .arg(value / 100)
        .arg(separator)
        .arg(value % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

QString SubstituteEvidence::seconds(qint64 microseconds, QChar separator, bool sign) {
    // Four decimals, cut rather than rounded, like every time the program shows.
    const qint64 tenths = qAbs(microseconds) / 100;
    const QString prefix = microseconds < 0 ? QStringLiteral("-")
                           : sign           ? QStringLiteral("+")
                                            : QString();
    return prefix + QStringLiteral("%1%2%3")
                        .arg(tenths / 10000)
                        .arg(separator)
                        .arg(tenths % 10000, 4, 10, QLatin1Char('0'));
}

QString SubstituteEvidence::summary(const Input& in) {
    const SubstituteTime::Calculation& c = in.calculation;
    const QChar sep = in.decimalSeparator;
    QStringList runs;
    for (const SubstituteTime::Neighbour& n : c.neighbours)
        runs.append(QString::number(n.index + 1));
    return QStringLiteral("%1 s (%2) %3 s (Mittel A-B aus %4) = %5 s; Läufe %6")
        .arg(seconds(c.baseMicroseconds, sep), baseName(in.handTime),
             seconds(c.meanMicroseconds(), sep, true), neighbourCount(c),
             hundredths(c.resultHundredths, sep), runs.join(QStringLiteral(", ")));
}

QString SubstituteEvidence::html(const Input& in) {
    const SubstituteTime::Calculation& c = in.calculation;
    const QChar sep = in.decimalSeparator;
    QString page;
    page += QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>")
                .arg(title());
    page += QStringLiteral("<h1>%1</h1>").arg(title());
    page += QStringLiteral("<p>Veranstaltung: %1<br>Teilnehmer: %2<br>Lauf Nr. %3 in der "
                           "Reihenfolge der Läufe<br>Berechnet: %4</p>")
                .arg(escaped(in.event), escaped(in.competitor))
                .arg(in.target + 1)
                .arg(in.when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    page += QStringLiteral("<p>Die Stopp-Lichtschranke (System A) hat für diesen Lauf keine "
                           "Zeit gegeben. Grundlage ist die %1: <b>%2 s</b>.</p>")
                .arg(in.handTime ? QStringLiteral("Handzeit") : QStringLiteral("Zeit von System B"),
                     seconds(c.baseMicroseconds, sep));
    page += QStringLiteral("<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">"
                           "<tr><th>Lauf</th><th>A (s)</th><th>B (s)</th><th>A-B (s)</th></tr>");
    for (const SubstituteTime::Neighbour& n : c.neighbours) {
        const SubstituteTime::Run& run = in.runs[static_cast<std::size_t>(n.index)];
        page += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td "
                               "align=\"right\">%3</td><td align=\"right\">%4</td></tr>")
                    .arg(n.index + 1)
                    .arg(seconds(*run.aMicroseconds, sep), seconds(*run.bMicroseconds, sep),
                         seconds(n.differenceMicroseconds, sep, true));
    }
    page += QStringLiteral("</table>");
    page += QStringLiteral("<p>Mittelwert A-B aus %1: <b>%2 s</b>")
                .arg(neighbourCount(c), seconds(c.meanMicroseconds(), sep, true));
    if (c.before < SubstituteTime::NeighboursEachSide ||
        c.after < SubstituteTime::NeighboursEachSide)
        page += QStringLiteral(" (weniger als %1 davor und %1 danach vorhanden)")
                    .arg(SubstituteTime::NeighboursEachSide);
    page += QStringLiteral("</p>");
    page += QStringLiteral("<p>Ersatzzeit = %1 s %2 s = %3 s, auf Hundertstel abgeschnitten: "
                           "<b>%4 s</b></p>")
                .arg(seconds(c.baseMicroseconds, sep), seconds(c.meanMicroseconds(), sep, true),
                     seconds(exactMicroseconds(c), sep), hundredths(c.resultHundredths, sep));
    page += QStringLiteral("</body></html>");
    return page;
}
