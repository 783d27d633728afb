#pragma once

#include "competition/StartListCommands.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class SubstituteMarks;
class TimeFormat;

// The notation a run time is written in, read from its own text: "1024" is whole hundredths,
// "10,24" (or "10.24" from a computer with another decimal point) seconds with decimals. Times
// are only ever written by the program, and seconds always with their decimals, so a whole
// number in a run cell is hundredths whatever the setting was when it was written. A protocol
// or backup read in is brought into the notation set under "Ergebnis:" cell by cell, which
// also mends a file whose setting was changed half-way through.
namespace TimeNotation {

// The text in the current notation when it holds a time written in another one; nothing for
// cells already right and for cells without a time (blank, "-", a state, anything unreadable).
std::optional<QString> rewritten(const QString& text, const TimeFormat& current);

// The run cells of rows laid out as the heat start list (header first) that are written in
// another notation than the current one.
StartListCommands::TimeConversion plan(const QList<QStringList>& rows, const TimeFormat& current);
void convert(QList<QStringList>& rows, const TimeFormat& current);

// The substitute marks name the time text they were entered as; they follow their times into
// the current notation. True when a mark changed.
bool convertMarks(SubstituteMarks& marks, const TimeFormat& current);

// "1 Zeit umgerechnet (…)", "12 Zeiten umgerechnet („13,31“ wird „1331“)", for the journal and the
// start-up notice.
QString summary(const StartListCommands::TimeConversion& plan);

} // namespace TimeNotation
