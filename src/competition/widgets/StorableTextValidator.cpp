#include "competition/widgets/StorableTextValidator.h"

#include "competition/CellEditRules.h"

StorableTextValidator::StorableTextValidator(int column, QObject* parent)
    : QValidator(parent), m_column(column) {}

QValidator::State StorableTextValidator::validate(QString& input, int& pos) const {
    const QString reduced = CellEditRules::storableInput(m_column, input);
    if (reduced != input) {
        // The cursor stays behind the same typed characters, wherever some were dropped.
        pos = static_cast<int>(CellEditRules::storableInput(m_column, input.left(pos)).size());
        input = reduced;
    }
    return Acceptable;
}
