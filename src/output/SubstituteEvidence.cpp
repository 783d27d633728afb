#include "output/SubstituteEvidence.h"

#include <algorithm>

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

qint64 floorDivide(qint64 numerator, qint64 denominator) {
    const qint64 quotient = numerator / denominator;
    return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1
                                                                                  : quotient;
}

qint64 unitOf(int decimals) {
    qint64 unit = 1;
    for (int d = decimals; d < 6; ++d)
        unit *= 10;
    return unit;
}

// The fewest decimals, four at least, at which the base and every A and B shown are whole. At
// those the differences of the table are exact, and so is base + mean once the mean is cut
// down to them: the sum on the page adds up in its last digit.
int decimalsOf(const SubstituteEvidence::Input& in) {
    const SubstituteTime::Calculation& c = in.calculation;
    std::vector<qint64> shown{c.baseMicroseconds};
    for (const SubstituteTime::Neighbour& n : c.neighbours) {
        const SubstituteTime::Run& run = in.runs[static_cast<std::size_t>(n.index)];
        shown.push_back(run.aMicroseconds.value_or(0));
        shown.push_back(run.bMicroseconds.value_or(0));
    }
    int decimals = 4;
    while (decimals < 6 && std::any_of(shown.cbegin(), shown.cend(),
                                       [&](qint64 v) { return v % unitOf(decimals) != 0; }))
        ++decimals;
    return decimals;
}

// The mean cut down (towards minus infinity) to the decimals shown. base + this is the exact
// base + sum / n cut down the same way, since the base is whole there, and the result is that
// cut to hundredths: every step on the page is exact.
qint64 shownMean(const SubstituteTime::Calculation& c, int decimals) {
    const auto n = static_cast<qint64>(c.neighbours.size());
    if (n == 0)
        return 0;
    const qint64 unit = unitOf(decimals);
    return floorDivide(c.sumMicroseconds, n * unit) * unit;
}

QString hundredths(qint32 value, QChar separator) {
    return QStringLiteral("%1%2%3")
        .arg(value / 100)
        .arg(separator)
        .arg(value % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

QString SubstituteEvidence::seconds(qint64 microseconds, QChar separator, bool sign, int decimals) {
    // Cut rather than rounded, like every time the program shows.
    decimals = std::clamp(decimals, 0, 6);
    const qint64 unit = unitOf(decimals);
    const qint64 value = qAbs(microseconds) / unit;
    const qint64 perSecond = 1'000'000 / unit;
    const QString prefix = microseconds < 0 ? QStringLiteral("-")
                           : sign           ? QStringLiteral("+")
                                            : QString();
    if (decimals == 0)
        return prefix + QString::number(value);
    return prefix + QStringLiteral("%1%2%3")
                        .arg(value / perSecond)
                        .arg(separator)
                        .arg(value % perSecond, decimals, 10, QLatin1Char('0'));
}

QString SubstituteEvidence::summary(const Input& in) {
    const SubstituteTime::Calculation& c = in.calculation;
    const QChar sep = in.decimalSeparator;
    const int d = decimalsOf(in);
    QStringList runs;
    for (const SubstituteTime::Neighbour& n : c.neighbours)
        runs.append(QString::number(n.index + 1));
    return QStringLiteral("%1 s (%2) %3 s (Mittel A-B aus %4) = %5 s; Läufe %6")
        .arg(seconds(c.baseMicroseconds, sep, false, d), baseName(in.handTime),
             seconds(shownMean(c, d), sep, true, d), neighbourCount(c),
             hundredths(c.resultHundredths, sep), runs.join(QStringLiteral(", ")));
}

QString SubstituteEvidence::html(const Input& in) {
    const SubstituteTime::Calculation& c = in.calculation;
    const QChar sep = in.decimalSeparator;
    const int d = decimalsOf(in);
    const qint64 mean = shownMean(c, d);
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
                     seconds(c.baseMicroseconds, sep, false, d));
    page += QStringLiteral("<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">"
                           "<tr><th>Lauf</th><th>A (s)</th><th>B (s)</th><th>A-B (s)</th></tr>");
    for (const SubstituteTime::Neighbour& n : c.neighbours) {
        const SubstituteTime::Run& run = in.runs[static_cast<std::size_t>(n.index)];
        page += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td "
                               "align=\"right\">%3</td><td align=\"right\">%4</td></tr>")
                    .arg(n.index + 1)
                    .arg(seconds(*run.aMicroseconds, sep, false, d),
                         seconds(*run.bMicroseconds, sep, false, d),
                         seconds(n.differenceMicroseconds, sep, true, d));
    }
    page += QStringLiteral("</table>");
    page += QStringLiteral("<p>Mittelwert A-B aus %1: <b>%2 s</b>")
                .arg(neighbourCount(c), seconds(mean, sep, true, d));
    if (c.before < SubstituteTime::NeighboursEachSide ||
        c.after < SubstituteTime::NeighboursEachSide)
        page += QStringLiteral(" (weniger als %1 davor und %1 danach vorhanden)")
                    .arg(SubstituteTime::NeighboursEachSide);
    page += QStringLiteral("</p>");
    page += QStringLiteral("<p>Ersatzzeit = %1 s %2 s = %3 s, auf Hundertstel abgeschnitten: "
                           "<b>%4 s</b></p>")
                .arg(seconds(c.baseMicroseconds, sep, false, d), seconds(mean, sep, true, d),
                     seconds(c.baseMicroseconds + mean, sep, false, d),
                     hundredths(c.resultHundredths, sep));
    page += QStringLiteral("</body></html>");
    return page;
}
