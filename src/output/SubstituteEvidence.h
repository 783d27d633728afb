#pragma once

#include "competition/SubstituteTime.h"

#include <QDateTime>
#include <QString>
#include <vector>

// "Ersatzzeit-Nachweis": the page that keeps how a substitute time came about, the runs used
// with their A, B and A-B, the mean, the B or hand time and the result, so that a jury can
// follow it later. Also the one line the journal keeps of it.
class SubstituteEvidence {
public:
    struct Input {
        SubstituteTime::Calculation calculation;
        // The runs the calculation chose from, in the order run.
        std::vector<SubstituteTime::Run> runs;
        int target = 0;
        bool handTime = false; // the base is a hand time, not System B
        QString event;         // the competition's title
        QString competitor;    // "Nr. 11 Name Vorname (Verein)"
        QDateTime when;
        QChar decimalSeparator = u',';
    };

    static QString title() { return QStringLiteral("Ersatzzeit-Nachweis"); }
    // The page as HTML, every inserted text escaped.
    static QString html(const Input& input);
    // For the journal: "31,4550 s (System B) + 0,0127 s (Mittel A-B aus 10 Läufen: 5 davor,
    // 5 danach) = 31,46 s; Läufe 1, 2, ...".
    static QString summary(const Input& input);
    // Seconds with four decimals (or as many as asked, up to six), cut, signed when asked:
    // "+0,0127".
    static QString seconds(qint64 microseconds, QChar separator, bool sign = false,
                           int decimals = 4);
    // What is said when no run has both times to compare with.
    static QString noNeighbourText() {
        return QStringLiteral("Kein Lauf mit Zeiten von System A und System B zum Vergleich: "
                              "es kann keine Ersatzzeit berechnet werden.");
    }
};
