#pragma once

#include <QString>

class HeaderBand;
class MainActions;
class QCheckBox;

// Which output commands are available and what the Word and Excel buttons say about
// themselves, worked out from the shown tab and the tables alone so it can be checked
// without a window.
struct ActionStates {
    struct Inputs {
        int page = 0;                   // shown tab 0..3
        bool shownTableHasData = false; // at least two rows and a first cell in row 1
        bool heatStartListHasData = false;
        bool wordInstalled = false;
        bool excelInstalled = false;
        bool wordTemplateExists = false;
        QString wordTemplatePath;
        // A run is being timed (countdown or running): nothing may empty the list under it.
        bool runUnderway = false;
    };

    bool html = false;
    bool excel = false;
    bool neu = false;
    // "Neue" and "Zufallsergebnisse generieren" apart from the table's data: not while a run
    // is timed.
    bool replaceList = true;
    bool print = false;
    bool word = false;
    bool save = false;
    bool editBoxVisible = false;
    // The reason a button is unavailable, or its usual hint when it is available.
    QString wordHint;
    QString excelHint;
    QString newHint;
    QString replaceHint;

    static QString designedWordHint();
    static QString designedExcelHint();
    static QString emptyTableHint();
    static QString designedNewHint();
    static QString runUnderwayHint();
    static ActionStates compute(const Inputs& in);
    // Puts the states on the picture buttons, their menu entries and the edit box.
    void applyTo(HeaderBand& header, MainActions& actions, QCheckBox& editBox) const;
};
