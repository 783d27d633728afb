#pragma once

#include <QByteArray>
#include <QString>

class SheetBuilder;
class XlsxCellStyles;
class XlsxSharedStrings;

// One worksheet part of a workbook into a SheetBuilder: each cell's shown text (shared or
// inline strings, numbers, dates by their style, booleans, formula results) at the position
// its reference gives, and the hidden columns.
class XlsxSheetReader {
public:
    struct Context {
        const XlsxSharedStrings& strings;
        const XlsxCellStyles& styles;
        bool date1904 = false;
    };

    // False with the reason in *error.
    static bool read(const QByteArray& xml, const QString& partName, const Context& context,
                     SheetBuilder& builder, QString* error);

    // "C12" as (column 2, line 12); false when the text is no cell reference.
    static bool parseReference(QStringView reference, int* column, int* line);
};
