#include "live/LiveTableDelta.h"

#include "live/LiveStateDocument.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// The key of each row; a start number given twice is told apart by its count.
QStringList rowKeys(const LiveSnapshot::Table& table, int keyColumn) {
    QStringList keys;
    keys.reserve(table.rows.size());
    QHash<QString, int> seen;
    for (const QStringList& row : table.rows) {
        const QString name = keyColumn >= 0 ? row.value(keyColumn) : row.join(QChar(0x1f));
        keys.append(name + QChar(0x1e) + QString::number(seen[name]++));
    }
    return keys;
}

QJsonObject changedCells(const QStringList& before, const QStringList& after) {
    QJsonObject cells;
    for (qsizetype col = 0; col < after.size(); ++col) {
        if (before.at(col) != after.at(col))
            cells.insert(QString::number(col), after.at(col));
    }
    return cells;
}

qsizetype jsonSize(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact).size();
}

} // namespace

int LiveTableDelta::keyColumn(const QStringList& header) {
    for (const QString& name : {QStringLiteral("Nr."), QStringLiteral("Verein / Ort")}) {
        const qsizetype at = header.indexOf(name);
        if (at >= 0)
            return static_cast<int>(at);
    }
    return -1;
}

QJsonObject LiveTableDelta::between(const LiveSnapshot::Table& before,
                                    const LiveSnapshot::Table& after) {
    QJsonObject delta;
    if (before.caption != after.caption)
        delta.insert(QStringLiteral("caption"), after.caption);
    if (before.header != after.header)
        delta.insert(QStringLiteral("header"), LiveStateDocument::textsJson(after.header));
    if (before.marks != after.marks)
        delta.insert(QStringLiteral("marks"), LiveStateDocument::marksJson(after.marks));
    if (before.rows == after.rows)
        return delta;

    const int key =
        keyColumn(after.header) == keyColumn(before.header) ? keyColumn(after.header) : -1;
    QHash<QString, qsizetype> oldRows;
    const QStringList oldKeys = rowKeys(before, key);
    for (qsizetype i = 0; i < oldKeys.size(); ++i)
        oldRows.insert(oldKeys.at(i), i);
    const QStringList newKeys = rowKeys(after, key);

    QJsonArray ops;
    // The run being collected: old rows copied, or old rows with one and the same cell set.
    qsizetype runStart = -1;
    qsizetype runLength = 0;
    int runColumn = -1;
    QJsonArray runValues;
    const auto endRun = [&] {
        if (runLength > 0 && runColumn < 0)
            ops.append(QJsonArray{runStart, runLength});
        else if (runLength > 0)
            ops.append(QJsonObject{{QStringLiteral("i"), runStart},
                                   {QStringLiteral("c"), runColumn},
                                   {QStringLiteral("v"), runValues}});
        runLength = 0;
        runColumn = -1;
        runValues = QJsonArray();
    };
    for (qsizetype j = 0; j < after.rows.size(); ++j) {
        const QStringList& row = after.rows.at(j);
        const auto found = oldRows.constFind(newKeys.at(j));
        const QStringList* old = found == oldRows.cend() ? nullptr : &before.rows.at(*found);
        if (!old || old->size() != row.size()) {
            endRun();
            ops.append(QJsonObject{{QStringLiteral("r"), LiveStateDocument::textsJson(row)}});
            continue;
        }
        const qsizetype i = *found;
        const QJsonObject cells = changedCells(*old, row);
        const int column = cells.size() == 1 ? cells.constBegin().key().toInt() : -1;
        const bool continues = runLength > 0 && runStart + runLength == i;
        if (cells.isEmpty() || column >= 0) {
            if (!continues || runColumn != column) {
                endRun();
                runStart = i;
                runColumn = column;
            }
            ++runLength;
            if (column >= 0)
                runValues.append(row.at(column));
            continue;
        }
        endRun();
        ops.append(QJsonObject{{QStringLiteral("i"), i}, {QStringLiteral("s"), cells}});
    }
    endRun();

    const QJsonArray rows = LiveStateDocument::tableJson(after)[QStringLiteral("rows")].toArray();
    if (jsonSize(ops) < jsonSize(rows))
        delta.insert(QStringLiteral("ops"), ops);
    else
        delta.insert(QStringLiteral("rows"), rows);
    return delta;
}
