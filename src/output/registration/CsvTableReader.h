#pragma once

#include "output/registration/ImportReadResult.h"

#include <QByteArray>

// A delimited text file (.csv, .txt) as one sheet. The separator is the one of ";", tab and
// "," that splits the first records into the most rows of equal width; quoting follows RFC
// 4180, so quoted cells may hold separators, quotes and line breaks. The encoding is detected
// (TextEncoding).
class CsvTableReader {
public:
    static ImportReadResult read(const QByteArray& bytes, const QString& sheetName);

    // The separator of text already in UTF-8.
    static char detectSeparator(const QByteArray& utf8);
};
