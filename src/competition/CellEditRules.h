#pragma once

#include <QChar>
#include <QString>

// What the operator may type into each column of the heat start list, and how a changed cell
// is rewritten when the editor leaves it. Columns are the heat start list's (StageTables::Heat).
class CellEditRules {
public:
    enum class KeyAction {
        Pass,    // the editor handles the key as usual
        Ignore,  // the key does nothing
        Replace, // the cell's whole text becomes KeyResult::text at once
    };
    struct KeyResult {
        KeyAction action = KeyAction::Pass;
        QString text;
    };

    // The characters a key press types: Backspace is u'\b' and counts as a typed key; Enter
    // (u'\r'), Escape and Tab are the table's own keys and always pass.
    static KeyResult keyPress(int column, QChar typed, const QString& currentText);

    // The run times are never typed, so the cursor cannot rest on them.
    static bool isSelectable(int column);

    // The text a cell keeps when the editor leaves it changed ("Kl." 1 to 4, "Meister" "+").
    static QString validate(int column, const QString& text);

    // The editor's content reduced to what the column can hold and the protocol file can store
    // (pasted text included): tabs and line breaks become blanks, other characters outside the
    // code page or below the blank are dropped; "Nr." keeps digits only. Character by
    // character, so the text before a position keeps its own reduced length.
    static QString storableInput(int column, const QString& text);

    // A character that survives a round trip through the protocol file as itself.
    static bool isStorable(QChar ch);
};
