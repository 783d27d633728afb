#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// What a registration file holds, as text cells: one sheet per worksheet (a CSV file has one),
// only the rows that carry something, each with the line the operator finds it under in the
// file (the CSV line its record starts on, the spreadsheet's row number).
struct ImportWorkbook {
    struct Row {
        int line = 0;
        QStringList cells; // as many as the sheet has columns
    };
    struct Sheet {
        QString name;
        bool hidden = false;
        int columnCount = 0;
        QList<Row> rows;
        QSet<int> hiddenColumns; // from 0
    };

    QString kind;   // how the file was read, for the operator ("Excel-Tabelle", ...)
    QString notice; // something the operator should know about the file, or empty
    QList<Sheet> sheets;
};
