#include "cup/CupFileWords.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <utility>

namespace CupFileWords {

namespace {

template <typename Value, size_t N>
std::optional<Value> lookUp(const std::array<std::pair<Value, const char16_t*>, N>& words,
                            const QString& word) {
    const QString wanted = word.simplified();
    for (const auto& [value, text] : words) {
        if (wanted.compare(QString::fromUtf16(text), Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

template <typename Value, size_t N>
QString nameOf(const std::array<std::pair<Value, const char16_t*>, N>& words, Value value) {
    for (const auto& [candidate, text] : words) {
        if (candidate == value)
            return QString::fromUtf16(text);
    }
    return QString();
}

using Scoring = CupRules::Scoring;
using StatusRule = CupRules::StatusRule;
using TieBreak = CupRules::TieBreak;
using ClubScope = CupRules::ClubScope;

const std::array<std::pair<Scoring, const char16_t*>, 4> kScorings{{
    {Scoring::PointsTable, u"Punktetabelle"},
    {Scoring::Formula, u"Formel"},
    {Scoring::TimeSum, u"Zeitsumme"},
    {Scoring::PlaceSum, u"Platzsumme"},
}};
const std::array<std::pair<StatusRule, const char16_t*>, 3> kStatusRules{{
    {StatusRule::NoPoints, u"keine Punkte"},
    {StatusRule::FixedPoints, u"feste Punkte"},
    {StatusRule::AfterLast, u"nach dem Letzten"},
}};
const std::array<std::pair<TieBreak, const char16_t*>, 3> kTieBreaks{{
    {TieBreak::CountedRaces, u"gezählte Läufe"},
    {TieBreak::Countback, u"bessere Plätze"},
    {TieBreak::LatestRace, u"letzter Lauf"},
}};
const std::array<std::pair<ClubScope, const char16_t*>, 2> kClubScopes{{
    {ClubScope::PerClass, u"je Klasse"},
    {ClubScope::AllClasses, u"alle Klassen"},
}};

} // namespace

QString scoring(Scoring value) {
    return nameOf(kScorings, value);
}
std::optional<Scoring> scoringFrom(const QString& word) {
    return lookUp(kScorings, word);
}
QString statusRule(StatusRule value) {
    return nameOf(kStatusRules, value);
}
std::optional<StatusRule> statusRuleFrom(const QString& word) {
    return lookUp(kStatusRules, word);
}
QString tieBreak(TieBreak value) {
    return nameOf(kTieBreaks, value);
}
std::optional<TieBreak> tieBreakFrom(const QString& word) {
    return lookUp(kTieBreaks, word);
}
QString clubScope(ClubScope value) {
    return nameOf(kClubScopes, value);
}
std::optional<ClubScope> clubScopeFrom(const QString& word) {
    return lookUp(kClubScopes, word);
}

QString hundredths(qint64 value) {
    const bool negative = value < 0;
    const quint64 magnitude =
        negative ? quint64(0) - static_cast<quint64>(value) : static_cast<quint64>(value);
    QString text = QString::number(magnitude / 100);
    const quint64 rest = magnitude % 100;
    if (rest != 0) {
        text += u',' + QStringLiteral("%1").arg(rest, 2, 10, QChar(u'0'));
        if (text.endsWith(u'0'))
            text.chop(1);
    }
    return negative ? u'-' + text : text;
}

std::optional<qint64> hundredthsFrom(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(-?)(\\d{1,15})(?:[,.](\\d{1,2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    qint64 value = match.captured(2).toLongLong() * 100;
    const QString decimals = match.captured(3);
    if (!decimals.isEmpty())
        value += decimals.size() == 1 ? decimals.toLongLong() * 10 : decimals.toLongLong();
    return match.captured(1).isEmpty() ? value : -value;
}

QString decimal(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest).replace(u'.', u',');
}

std::optional<double> decimalFrom(const QString& text) {
    bool ok = false;
    const double value = QString(text.trimmed()).replace(u',', u'.').toDouble(&ok);
    if (!ok || !qIsFinite(value))
        return std::nullopt;
    return value;
}

QString pointsTable(const QList<int>& table) {
    QStringList numbers;
    for (int points : table)
        numbers.append(QString::number(points));
    return numbers.join(u'-');
}

std::optional<QList<int>> pointsTableFrom(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[-\\s,;]+"));
    QList<int> table;
    for (const QString& number : text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int points = number.toInt(&ok);
        if (!ok || points < 0)
            return std::nullopt;
        table.append(points);
    }
    return table;
}

QString field(const QString& text) {
    QString out = text;
    for (QChar& ch : out) {
        if (ch == u'\t' || ch == u'\n' || ch == u'\r')
            ch = u' ';
    }
    return out;
}

} // namespace CupFileWords
