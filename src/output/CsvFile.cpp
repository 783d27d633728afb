#include "output/CsvFile.h"

#include "competition/CompetitionTable.h"
#include "competition/Windows1252.h"
#include "output/AtomicFile.h"

namespace CsvFile {

QByteArray csvBytes(const CompetitionTable& table) {
    const int rows = table.rowsWithHeader();
    const int cols = table.columns();
    QString text;
    text.reserve(qsizetype(rows) * cols * 8);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const qsizetype start = text.size();
            text.append(table.cell(c, r));
            // A line break inside a cell would split the row in two.
            for (qsizetype i = start; i < text.size(); ++i) {
                if (text.at(i) == u'\r' || text.at(i) == u'\n')
                    text[i] = u' ';
            }
            if (c + 1 < cols)
                text.append(u';');
        }
        text.append(u"\r\n");
    }
    return Windows1252::encode(text);
}

FileWriteResult SaveToCsv(const CompetitionTable& table, const QString& fileName) {
    if (const auto failure = AtomicFile::write(fileName, csvBytes(table)))
        return FileWriteResult::failure(QStringLiteral("Can't write to file:\r") + fileName,
                                        failure->text());
    return FileWriteResult::success();
}

} // namespace CsvFile
