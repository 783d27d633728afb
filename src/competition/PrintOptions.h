#pragma once

#include <QString>

enum PrintRange { prAll, prSelected };

// The print settings every table carries: titles, copies and the rows and page to render.
// They stay with the table from one preparation of the preview to the next.
struct PrintOptions {
    QString jobTitle;  // the document's name in the print queue
    QString pageTitle; // printed at the top of every page
    // Whether the results are official ("Ergebnisse vorläufig"), at the top of every page.
    QString releaseText;
    int copies = 1;
    PrintRange range = prAll;
    int fromRow = 1;
    int toRow = 1;
    int previewPage = 1; // from 1
};
