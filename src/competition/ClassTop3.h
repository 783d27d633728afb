#pragma once

#include <QList>
#include <QString>

class CompetitionTable;

// The three best of one class as the audience sees them, read from the final results.
struct ClassTop3 {
    // One finisher of the block, as the final results show it.
    struct Entry {
        int slot = 0; // 0..2: the line of the block it stands on
        QString place;
        QString number;
        QString name;
        QString firstName;
        QString club;
        QString className;
        QString champion;
        QString time; // "Endzeit", as the table holds it
    };

    QString className;    // "1", "2", ...
    QList<Entry> entries; // at most three, by slot

    // Every class of the final results that has finishers, in the order the ranking leaves
    // them (by class, then by place), at most maxClasses of them: each with its first three
    // rows. A class missing in between leaves no gap. The walk ends at the first row without
    // a place; a class with fewer than three finishers has fewer entries.
    static QList<ClassTop3> collect(const CompetitionTable& finalResults, int maxClasses = 4);
};
