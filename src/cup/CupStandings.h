#pragma once

#include "cup/CupIdentity.h"

#include <QList>
#include <QString>
#include <QStringList>

// The standings a cup's races give, class by class, and the club standings: what every output
// (window, HTML, print, PDF, Excel, CSV, live page, certificates) shows. All values are whole
// hundredths of the scoring's unit (points, seconds or places).
struct CupStandings {
    // A competitor's result in one race.
    struct RaceResult {
        enum class Kind {
            Absent, // not in the race
            Voided, // the race is voided for his class
            Scored  // a place or a status, valued by the rules
        };
        Kind kind = Kind::Absent;
        int place = 0;         // his place in the race; 0 with a status
        QString status;        // "DNS", "DNF", "DSQ", "o.E." without a place
        qint64 value = 0;      // after the race's weight
        bool hasValue = false; // false: the status gives nothing (no points)
        bool counted = false;  // among the results that make his total
        bool dropped = false;  // a value he has that the best-N rule left out
    };

    struct Row {
        int place = 0; // 0: not ranked (too few starts)
        bool sharedPlace = false;
        bool runOff = false;       // "Stechen": a tie left on the podium
        bool titleDecided = false; // "uneinholbar": the first place can no longer change
        CupIdentity identity;      // as spelt in his latest race
        QString key;               // CupMatches::canonicalKey
        QString cls;               // the class of his latest race
        QString classNote;         // "Kl. 3 bis Lauf 2" where his class changed
        QList<RaceResult> races;   // one per race of the cup, in race order
        qint64 total = 0;
        int countedRaces = 0;
        int starts = 0; // races with a place or a DNF/DSQ
        qint64 gap = 0; // to the leader of the class, in the total's unit; 0 for him
        QString note;   // "zu wenige Starts (1 von 2)"
    };

    struct ClassTable {
        QString cls;
        QList<Row> rows;         // ranked rows by place, then the unranked ones
        QStringList voidedNotes; // "Lauf 3 annulliert: Sturm"
    };

    struct ClubRow {
        int place = 0;
        bool sharedPlace = false;
        QString club; // as spelt by its best member
        QString cls;  // empty over all classes
        qint64 total = 0;
        QStringList members;  // "Huber Max (250)", the counted members, best first
        bool complete = true; // has the K members a sum of times or places needs
    };

    struct ClubTable {
        QString cls; // empty over all classes
        QList<ClubRow> rows;
    };

    QList<ClassTable> classes; // in class order (ClassKey)
    QList<ClubTable> clubs;
    QStringList raceTitles; // one per race, in order
    QStringList warnings;   // "Lauf 3 wurde nach dem Hinzufügen geändert", ...
};
