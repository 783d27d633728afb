#include "competition/ColumnFit.h"

#include "competition/CompetitionTable.h"

#include <algorithm>

namespace ColumnFit {

namespace {

// Equal but for which digits stand where.
bool sameShape(const QString& text, const QString& shape) {
    if (text.size() != shape.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != shape[i] && !(text[i].isDigit() && shape[i].isDigit()))
            return false;
    }
    return true;
}

} // namespace

QList<QStringList> rowsOf(const CompetitionTable& grid) {
    QList<QStringList> rows;
    rows.reserve(grid.rowsWithHeader());
    for (int r = 0; r < grid.rowsWithHeader(); ++r)
        rows.append(grid.rowCells(r));
    return rows;
}

int widestText(const QList<QStringList>& rows, int col, const Measure& measure, int firstRow) {
    // The header is measured whatever its length; the data rows' longest text says which
    // others are worth measuring.
    qsizetype longest = 0;
    for (qsizetype r = std::max(1, firstRow); r < rows.size(); ++r) {
        if (col < rows.at(r).size())
            longest = std::max(longest, rows.at(r).at(col).size());
    }
    // Every digit stands for the widest one, so "1010" and "9999" are one measurement and the
    // result is never narrower than the text. One character less still counts: "+" or "-" may
    // be wider than a digit.
    QChar widestDigit = u'0';
    int digitWidth = -1;
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        const int width = measure(QString(QChar(d)));
        if (width > digitWidth) {
            digitWidth = width;
            widestDigit = QChar(d);
        }
    }
    const qsizetype shortest = std::max<qsizetype>(1, longest - 1);
    QList<QString> shapes;
    int widest = 0;
    for (qsizetype r = std::max(0, firstRow); r < rows.size(); ++r) {
        const QStringList& row = rows.at(r);
        if (col >= row.size() || (r > 0 && row.at(col).size() < shortest))
            continue;
        const QString& text = row.at(col);
        if (std::any_of(shapes.cbegin(), shapes.cend(),
                        [&text](const QString& shape) { return sameShape(text, shape); }))
            continue;
        QString shape = text;
        for (QChar& c : shape) {
            if (c.isDigit())
                c = widestDigit;
        }
        widest = std::max(widest, measure(shape));
        shapes.append(shape);
    }
    return widest;
}

} // namespace ColumnFit
