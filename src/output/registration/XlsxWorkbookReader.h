#pragma once

#include "output/registration/ImportReadResult.h"

class ZipPackage;

// An Excel workbook (.xlsx) from its package: every worksheet in the workbook's order, with
// the names and the hidden state the operator knows them by.
class XlsxWorkbookReader {
public:
    static bool isWorkbook(const ZipPackage& package);
    static ImportReadResult read(const ZipPackage& package);
};
