#include "tv/TvTexts.h"

#include "competition/CompetitionTable.h"
#include "competition/TimeFormat.h"

QString TvTexts::videoCompetitor(const QString& competitor) {
    return u' ' + competitor + u' ';
}

QString TvTexts::intermediateCaption(const std::optional<qint32>& intermediateMs) {
    return intermediateMs ? QStringLiteral("Zwischenzeit:") : QString();
}

QString TvTexts::intermediateTime(const std::optional<qint32>& intermediateMs,
                                  const TimeFormat& format) {
    return intermediateMs ? format.formatTime(*intermediateMs / 10) : QString();
}

TvTexts::BestTeam TvTexts::bestTeam(const CompetitionTable& teams, const TimeFormat& format) {
    BestTeam team;
    if (teams.rowsWithHeader() < 2 || teams.cell(1, 1).isEmpty())
        return team;
    team.heading = QStringLiteral("Best Team\n") + teams.cell(1, 1);
    // The ranking keeps the sum as a plain number; the audience reads it like the members'.
    const QString sum = teams.cell(0, 1);
    const qint32 hundredths = format.ParseTime(sum);
    const QString total = hundredths > 0 ? format.formatTime(hundredths) : sum;
    team.members = QStringList{teams.cell(2, 1), teams.cell(3, 1), teams.cell(4, 1),
                               QStringLiteral("Gesamt : ") + total}
                       .join(QStringLiteral("\r\n"));
    return team;
}
