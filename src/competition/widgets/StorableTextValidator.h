#pragma once

#include <QValidator>

// Keeps a heat start list cell editor to the text its column can hold: whatever is typed,
// pasted or dropped is reduced at once, so the cell never holds what the protocol file cannot
// store.
class StorableTextValidator : public QValidator {
    Q_OBJECT
public:
    StorableTextValidator(int column, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

private:
    int m_column;
};
