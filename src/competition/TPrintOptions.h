#pragma once

#include <QString>

enum TPrintRange { prAll, prSelected };

// The print settings every table carries: titles, copies and the rows and page to render.
// They stay with the table from one preparation of the preview to the next.
struct TPrintOptions {
    QString JobTitle;  // the document's name in the print queue
    QString PageTitle; // printed at the top of every page
    int Copies = 1;
    TPrintRange PrintRange = prAll;
    int FromRow = 1;
    int ToRow = 1;
    int PreviewPage = 1; // from 1
};
