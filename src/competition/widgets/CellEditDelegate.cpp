#include "competition/widgets/CellEditDelegate.h"

#include "competition/CellEditRules.h"
#include "competition/widgets/StorableTextValidator.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <optional>

namespace {

// Where an editor keeps its column and the text the cell had when editing began.
constexpr const char* ColumnProperty = "velmoraColumn";
constexpr const char* OriginalProperty = "velmoraOriginal";

// The character a key press types, as the cell rules count keys; shortcuts and keys that type
// nothing (arrows, Delete, function keys) are none.
std::optional<QChar> typedCharacter(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Backspace:
        return QChar(u'\b');
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(u'\r');
    default:
        break;
    }
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    if (key.text().isEmpty())
        return std::nullopt;
    return key.text().front();
}

} // namespace

QWidget* CellEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setValidator(new StorableTextValidator(index.column(), editor));
    editor->setProperty(ColumnProperty, index.column());
    editor->setProperty(OriginalProperty, index.data(Qt::EditRole).toString());
    // The table follows the typing at once, as a string grid does, so whatever reads it while
    // the editor is still open (saving, the backup, closing the program) has the text as shown.
    // Validation waits until the cell is left.
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, editor, [cell](const QString& text) {
        if (cell.isValid())
            const_cast<QAbstractItemModel*>(cell.model())->setData(cell, text, Qt::EditRole);
    });
    return editor;
}

void CellEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    // Called again when the cell changes under an open editor; an equal text keeps the cursor.
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() != text)
        line->setText(text);
}

void CellEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    const QString text = line->text();
    const bool changed = text != editor->property(OriginalProperty).toString();
    model->setData(index, changed ? CellEditRules::validate(index.column(), text) : text,
                   Qt::EditRole);
}

bool CellEditDelegate::eventFilter(QObject* watched, QEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(watched);
    if (line && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // The typed text is already in the table; Escape puts the cell back as it was.
        line->setText(line->property(OriginalProperty).toString());
        Q_EMIT commitData(line);
    } else if (line && event->type() == QEvent::KeyPress) {
        const auto typed = typedCharacter(*static_cast<QKeyEvent*>(event));
        if (typed) {
            const int column = line->property(ColumnProperty).toInt();
            const CellEditRules::KeyResult result =
                CellEditRules::keyPress(column, *typed, line->text());
            switch (result.action) {
            case CellEditRules::KeyAction::Pass:
                break;
            case CellEditRules::KeyAction::Ignore:
                return true;
            case CellEditRules::KeyAction::Replace:
                line->setText(result.text);
                // The class and the mark take effect at once, not only when the cell is left.
                Q_EMIT commitData(line);
                return true;
            }
        }
    }
    return CompetitionTableDelegate::eventFilter(watched, event);
}
