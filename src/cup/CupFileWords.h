#pragma once

#include "cup/CupRules.h"

#include <QList>
#include <QString>
#include <optional>

// The words and numbers of the cup file, written and read alike, so that the file says
// "Punktetabelle" where the rules hold a scoring and reads it back to the same one.
namespace CupFileWords {

inline const QString kMagic = QStringLiteral("Velmora-Cup");
constexpr int kVersion = 1;

QString scoring(CupRules::Scoring scoring);
std::optional<CupRules::Scoring> scoringFrom(const QString& word);
QString statusRule(CupRules::StatusRule rule);
std::optional<CupRules::StatusRule> statusRuleFrom(const QString& word);
QString tieBreak(CupRules::TieBreak tieBreak);
std::optional<CupRules::TieBreak> tieBreakFrom(const QString& word);
QString clubScope(CupRules::ClubScope scope);
std::optional<CupRules::ClubScope> clubScopeFrom(const QString& word);

// "12,5" for 1250 hundredths, "-3" for -300; read back with a comma or a point.
QString hundredths(qint64 value);
std::optional<qint64> hundredthsFrom(const QString& text);

// Shortest text that reads back to the same number; read with a comma or a point.
QString decimal(double value);
std::optional<double> decimalFrom(const QString& text);

// "100-80-60"; read with dashes, blanks, commas or semicolons between the numbers.
QString pointsTable(const QList<int>& table);
std::optional<QList<int>> pointsTableFrom(const QString& text);

// A text as one field: tabs and line breaks become blanks.
QString field(const QString& text);

} // namespace CupFileWords
