#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What an import would do to the heat start list: the complete new list, and everything the
// operator has to know before taking it.
struct ImportPlan {
    struct Note {
        int line = 0; // in the file
        QString text;
    };

    QString blocker;           // set when nothing can be taken at all (no "Name" column)
    QList<QStringList> rows;   // every data row of the heat start list afterwards
    QList<Note> rejected;      // rows of the file that are not taken, with the reason
    QList<Note> alreadyListed; // on append: rows whose "Nr." the list already has
    int added = 0;
    int updated = 0;
    int firstAddedRow = -1; // table row (from 1) of the first added row, -1 if none

    // Whether taking the plan changes anything.
    bool changesList() const { return blocker.isEmpty() && (added > 0 || updated > 0); }
};
