#pragma once

#include "output/registration/ImportReadResult.h"

class ZipPackage;

// A LibreOffice spreadsheet (.ods) from its package: every table of content.xml, with
// repeated cells and rows spread out, covered cells of merged areas kept as empty places,
// and collapsed columns marked hidden.
class OdsWorkbookReader {
public:
    static bool isSpreadsheet(const ZipPackage& package);
    static ImportReadResult read(const ZipPackage& package);
};
