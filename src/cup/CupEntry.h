#pragma once

#include <QString>

// One competitor in one race of a cup, as the race's protocol file ranks him in his class.
struct CupEntry {
    QString number; // "Nr." as in the file
    QString name;
    QString firstName;
    QString club;
    QString cls;   // "Kl." as in the file
    int place = 0; // 1..: his place in the class; 0: without a place
    // Without a place: "DNS", "DNF", "DSQ", or "o.E." for a row whose runs are incomplete.
    QString status;
    qint32 total = 0;      // G-Zeit in hundredths; 0 without one
    bool finalist = false; // ranked by the final results
};
