#pragma once

#include "output/registration/ImportReadResult.h"

#include <QByteArray>
#include <QString>

// Reads a registration list for import, whatever it is: the content decides, not the name. A
// zip is read as an Excel or LibreOffice spreadsheet, anything else that is text as a CSV
// file; a file whose name says otherwise is read all the same and the workbook's notice says
// so. Old .xls files, PDF documents, Word and Writer files and binary data are refused with
// a reason the operator can act on.
class RegistrationFileReader {
public:
    static ImportReadResult readFile(const QString& path);
    // fileName only names the file in messages and decides whether the notice is needed.
    static ImportReadResult readBytes(const QByteArray& bytes, const QString& fileName);
};
