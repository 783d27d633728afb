#pragma once

#include "output/registration/ImportField.h"
#include "output/registration/ImportWorkbook.h"

#include <QList>
#include <QTableWidget>

// The preview of a registration file's first rows under a row of assignment lists, one per
// column. The header row is shown bold, rows above it grey (they are not imported), hidden
// columns say so in their caption.
class ImportColumnTable : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kPreviewRows = 12;

    explicit ImportColumnTable(QWidget* parent = nullptr);

    void showSheet(const ImportWorkbook::Sheet& sheet, int headerRow,
                   const QList<ImportField>& fields);
    QList<ImportField> fields() const;
    // The assignment list of a column (for the keyboard and for tests).
    class QComboBox* fieldBox(int column) const;

Q_SIGNALS:
    void fieldsChanged();

private:
    static QString columnLetters(int column);
};
