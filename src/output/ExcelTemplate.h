#pragma once

#include "output/ExcelWorkbook.h"

#include <QByteArray>
#include <QString>
#include <optional>

class TimeFormat;

// A workbook made from the organisers' template: the first four worksheets are renamed and
// their cells replaced by the tables; styles, further sheets, document properties and whatever
// else the template holds are kept. The template is changed as XML inside its zip, because
// libxlsxwriter only writes new workbooks.
namespace ExcelTemplate {

enum class Problem { None, Broken, FewerSheets };

struct Result {
    std::optional<QByteArray> bytes;
    Problem problem = Problem::None;
    QString reason;
};

Result fill(const QByteArray& templateBytes, const QList<ExcelWorkbook::Sheet>& sheets,
            const TimeFormat& format);

// What the operator is told when the template cannot be used.
QString problemText(Problem problem, const QString& templatePath);

// "A" for column 0, "AA" for column 26.
QString columnName(int column);

} // namespace ExcelTemplate
