#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// How a registration file's texts read as the heat start list's values.
namespace ImportValues {

// "+", "x", "ja", "1" (and a spreadsheet's "WAHR") mark a championship entrant; empty, "-",
// "0", "nein" and "FALSCH" do not; anything else is not understood.
std::optional<bool> masterMark(const QString& text);

// "1" to "4" as they are, other texts through the class table (keys ImportMapping::classKey);
// nullopt when the text names no class.
std::optional<QString> classOf(const QString& text, const QMap<QString, QString>& classes);

// A class a text names by its only digit ("Klasse 2", "K3"), or an empty text.
QString classByDigit(const QString& text);

// Digits only, at least one.
bool isNumber(const QString& text);
// A count or amount as a spreadsheet shows it ("19", "-3", "1.234", "12,5"): digits with
// signs and separators, no letter.
bool isNumeral(const QString& text);
// The text of a row that closes or heads a list rather than registering someone: one ending
// in a colon, or one starting with a word such as "Summe" or "Anzahl".
bool isLabel(const QString& text);
// The texts of a row that holds nothing but a label and numbers ("Summe Meldungen:" and "19",
// or "Summe: 19" in one cell), or an empty list.
QStringList labelAndNumbers(const QStringList& cells);
// Leading zeros dropped ("007" is 7), as the list compares numbers as texts.
QString normalizedNumber(const QString& digits);

} // namespace ImportValues
