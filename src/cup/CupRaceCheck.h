#pragma once

#include <QList>
#include <QString>

struct CupDefinition;
struct CupRace;

// Whether the races' protocol files still hold what the cup read from them. The cup keeps the
// results it read, so a changed or lost file changes nothing by itself; the check tells the
// organiser, who may accept the change. Both read files: run them on a worker thread.
namespace CupRaceCheck {

struct Result {
    enum class State {
        Unchanged,
        Changed,   // the file's bytes are not those the results were read from
        Unreadable // missing, not a regular file, too large or not readable
    };
    State state = State::Unchanged;
    // "Lauf 3 wurde nach dem Hinzufügen geändert", "Lauf 3: Datei nicht gefunden: /a/b.txt";
    // empty when unchanged.
    QString message;
};

// One result per race, in race order.
QList<Result> check(const CupDefinition& cup, const QString& cupFileName);

// Accepts the present file of a race: its results and checksum read anew; title, weight and
// voided classes stay. False with the reason in error, and the race as it was.
bool reread(CupRace& race, const QString& cupFileName, QString* error = nullptr);

} // namespace CupRaceCheck
