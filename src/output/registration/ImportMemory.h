#pragma once

#include "output/registration/ImportMapping.h"
#include "output/registration/ImportWorkbook.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

// The operator's choices of the last import, kept for the next one as a single text (for one
// settings value): where columns of each name went, where the columns of a file without
// column names went, the class table and the options. Replacing the whole list is never
// remembered: it has to be chosen each time.
class ImportMemory {
public:
    static ImportMemory fromText(const QString& text); // anything unreadable is forgotten
    QString toText() const;

    // Takes over what the operator chose for this sheet; older column names stay known.
    void learn(const ImportWorkbook::Sheet& sheet, const ImportMapping& mapping);

    // The field a column of that name went to last time, if any.
    std::optional<ImportField> fieldForHeader(const QString& header) const;
    // Where the columns of a file without column names went, if it had this many columns.
    std::optional<QList<ImportField>> fieldsByPosition(int columnCount) const;
    const QMap<QString, QString>& classes() const { return m_classes; }
    ImportMapping::Existing existing() const { return m_existing; }
    bool numberMissing() const { return m_numberMissing; }

    // Column names compare by their letters and digits only, without case.
    static QString headerKey(const QString& header);

private:
    QHash<QString, ImportField> m_headers;
    QList<ImportField> m_positions;
    QMap<QString, QString> m_classes;
    ImportMapping::Existing m_existing = ImportMapping::Existing::Skip;
    bool m_numberMissing = false;
};
