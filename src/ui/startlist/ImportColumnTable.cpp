#include "ui/startlist/ImportColumnTable.h"

#include <QComboBox>
#include <QHeaderView>

ImportColumnTable::ImportColumnTable(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("ImportColumns"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

QString ImportColumnTable::columnLetters(int column) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

void ImportColumnTable::showSheet(const ImportWorkbook::Sheet& sheet, int headerRow,
                                  const QList<ImportField>& fields) {
    clear();
    const int previewRows = static_cast<int>(qMin<qsizetype>(sheet.rows.size(), kPreviewRows));
    setColumnCount(sheet.columnCount);
    setRowCount(previewRows + 1);
    QStringList captions;
    for (int column = 0; column < sheet.columnCount; ++column) {
        captions.append(sheet.hiddenColumns.contains(column)
                            ? columnLetters(column) + QStringLiteral(" (ausgeblendet)")
                            : columnLetters(column));
    }
    setHorizontalHeaderLabels(captions);
    QStringList lines{QStringLiteral("Spalte")};
    for (int r = 0; r < previewRows; ++r)
        lines.append(QStringLiteral("Zeile %1").arg(sheet.rows.at(r).line));
    setVerticalHeaderLabels(lines);

    for (int column = 0; column < sheet.columnCount; ++column) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("Field%1").arg(column));
        for (ImportField field : ImportFields::all())
            box->addItem(ImportFields::caption(field), static_cast<int>(field));
        box->setCurrentIndex(box->findData(static_cast<int>(fields.value(column))));
        connect(box, &QComboBox::currentIndexChanged, this, &ImportColumnTable::fieldsChanged);
        setCellWidget(0, column, box);
    }
    const QColor skipped = palette().color(QPalette::Disabled, QPalette::Text);
    for (int r = 0; r < previewRows; ++r) {
        const QStringList& cells = sheet.rows.at(r).cells;
        for (int column = 0; column < sheet.columnCount; ++column) {
            QString text = cells.value(column);
            text.replace(u'\n', u'↵');
            auto* item = new QTableWidgetItem(text);
            if (r == headerRow) {
                QFont bold = font();
                bold.setBold(true);
                item->setFont(bold);
            } else if (r < headerRow) {
                item->setForeground(skipped);
            }
            setItem(r + 1, column, item);
        }
    }
    resizeColumnsToContents();
    for (int column = 0; column < columnCount(); ++column)
        setColumnWidth(column, qBound(cellWidget(0, column)->sizeHint().width(),
                                      columnWidth(column), 20 * fontMetrics().averageCharWidth()));
}

QList<ImportField> ImportColumnTable::fields() const {
    QList<ImportField> result;
    for (int column = 0; column < columnCount(); ++column)
        result.append(static_cast<ImportField>(fieldBox(column)->currentData().toInt()));
    return result;
}

QComboBox* ImportColumnTable::fieldBox(int column) const {
    return qobject_cast<QComboBox*>(cellWidget(0, column));
}
