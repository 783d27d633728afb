#pragma once

#include "session/RaceSession.h"

#include <QString>

class QWidget;

// Asked at "Eintragen" when the selected row is not the competitor the run was started for:
// the time goes to the one who slid unless the operator says the run was started for the
// wrong row.
class EntryOwnerQuestion {
public:
    static RaceSession::EntryOwner ask(QWidget* parent, const QString& title, const QString& bound,
                                       const QString& selected, const QString& time);

    // The same choice as two yes/no questions, for an answering seam.
    static QString forBound(const QString& bound, const QString& selected, const QString& time);
    static QString forSelected(const QString& selected, const QString& time);
};
