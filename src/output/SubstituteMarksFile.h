#pragma once

#include "competition/SubstituteMarks.h"
#include "output/FileWriteResult.h"

#include <QByteArray>
#include <QString>

class CompetitionTable;

// The substitute marks of a protocol file, kept in a companion file beside it, because the
// protocol's time texts stay plain times: one line per mark with "Nr.", the run 1 to 5 (the
// column "Zeit1" to "Zeit5") and the time text, each ended by a tab, in Windows-1252 with
// CR LF. The protocol file itself is never written here.
class SubstituteMarksFile {
public:
    struct ReadResult {
        SubstituteMarks marks;
        // Lines that could not be read; the readable ones are in marks all the same.
        int damagedLines = 0;
        // Why a file that is there could not be read at all; empty otherwise.
        QString error;
    };

    // "Lauf.txt" -> "Lauf-Ersatzzeiten.txt"; a name without ".txt" keeps its whole name.
    static QString companionPath(const QString& protocolPath);
    // The marks that hold in the list as it stands, for a file that keeps this list.
    static SubstituteMarks shownIn(const SubstituteMarks& marks,
                                   const CompetitionTable& heatStartList);

    static QByteArray bytes(const SubstituteMarks& marks);
    static ReadResult parse(const QByteArray& bytes);
    // A missing file gives no marks and no complaint.
    static ReadResult read(const QString& fileName);
    // Writes atomically when there are marks; with none, a file left from before is removed,
    // so it never tells of marks the protocol no longer has.
    static FileWriteResult write(const QString& fileName, const SubstituteMarks& marks);

    // What is said when some or all of a companion file could not be read.
    static QString damagedText(const QString& fileName, const ReadResult& result);
};
