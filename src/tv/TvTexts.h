#pragma once

#include <QString>
#include <optional>

class CompetitionTable;
class TimeFormat;

// The texts the audience windows show beside the tables: the competitor line of "Video", the
// intermediate time, and the best team's heading and members.
class TvTexts {
public:
    struct BestTeam {
        QString heading; // empty without a ranked team
        // One member a line, then the team's total ("Gesamt : " and the time), lines joined
        // by CR LF.
        QString members;
    };

    static QString videoCompetitor(const QString& competitor);
    // "Zwischenzeit:" with the intermediate time, or both empty without one.
    static QString intermediateCaption(const std::optional<qint32>& intermediateMs);
    static QString intermediateTime(const std::optional<qint32>& intermediateMs,
                                    const TimeFormat& format);
    // The first row of the team ranking; a table whose first row carries no team (only
    // incomplete teams, or none) shows no team. The total is shown as a time.
    static BestTeam bestTeam(const CompetitionTable& teams, const TimeFormat& format);
};
