#pragma once

#include <QString>

// One page of a printed table: which band of columns and which rows it shows, and its label.
struct PrintPage {
    int number = 1;      // counted over all pages from 1
    int band = 1;        // column band from 1
    int pageInBand = 1;  // from 1, starts again in each band
    bool banded = false; // the table needs more than one band
    int firstCol = 0;
    int lastCol = 0;
    int firstRow = 1; // data rows drawn below the header row; none when lastRow < firstRow
    int lastRow = 0;

    // "Seite 2", or "Seite 2-1" when the table is cut into bands.
    QString label() const {
        QString text = QStringLiteral("Seite ") + QString::number(pageInBand);
        if (banded)
            text += QLatin1Char('-') + QString::number(band);
        return text;
    }

    bool operator==(const PrintPage&) const = default;
};
