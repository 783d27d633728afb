#pragma once

#include <QMap>
#include <QString>
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
// Leading zeros dropped ("007" is 7), as the list compares numbers as texts.
QString normalizedNumber(const QString& digits);

} // namespace ImportValues
