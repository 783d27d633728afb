#pragma once

#include <QByteArray>
#include <QString>

// Templates for the export tests: the shipped Word template zipped from its sources as the build
// does, and small Excel workbooks as an office program saves them.
namespace OfficeTemplates {

// sourceDir: the repository, whose resources/word-template holds the parts.
QByteArray wordTemplate(const QString& sourceDir);

// A workbook with `sheets` worksheets named "Alt1".., its own bold-free styles (two fonts,
// one cell format), the title "Vorlagentitel", old cells and formulas with a calculation chain.
QByteArray excelTemplate(int sheets);

bool writeFile(const QString& fileName, const QByteArray& bytes);

} // namespace OfficeTemplates
