#pragma once

#include "output/registration/ImportField.h"

#include <QList>
#include <QMap>
#include <QString>

// How the rows of one sheet become rows of the heat start list: which row holds the column
// names, where each column goes, which class a class text means, and whether the list is
// replaced or extended.
struct ImportMapping {
    enum class Mode { Replace, Append };
    // On append, a row whose "Nr." is already in the list.
    enum class Existing { Skip, Update };

    int sheet = 0;
    int headerRow = -1;             // index into the sheet's rows; -1 when there is none
    QList<ImportField> columns;     // one per column of the sheet
    QMap<QString, QString> classes; // class text (classKey) -> "1" to "4"
    Mode mode = Mode::Append;
    Existing existing = Existing::Skip;
    bool numberMissing = false; // rows without "Nr." numbered from firstNumber on
    int firstNumber = 1;

    ImportField field(int column) const { return columns.value(column, ImportField::Ignore); }
    // The columns assigned to the field, from left to right.
    QList<int> columnsOf(ImportField field) const;

    // Class texts compare without case and surrounding or doubled blanks.
    static QString classKey(const QString& text);
};
