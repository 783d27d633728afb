#pragma once

#include <QString>
#include <memory>
#include <optional>

// A formula for a race's points from the competitor's G-Zeit t and his class's best G-Zeit
// best, both in seconds: "550 - 250 * t / best", "1000 * best / t". Numbers (with a point or
// a comma), t, best, + - * / and parentheses. Points below 0 count as 0.
class PointsFormula {
public:
    // nullopt with the reason in error ("unbekanntes Wort „x“ an Stelle 5"); at most 500
    // characters.
    static std::optional<PointsFormula> parse(const QString& text, QString* error = nullptr);

    // Points in hundredths, rounded half away from zero; a result below 0 gives 0. nullopt
    // when the formula divides by zero or does not give a finite number.
    std::optional<qint64> evaluate(double t, double best) const;

private:
    QString m_text;
    // the parsed form (private to the implementation)
    struct Node;
    std::shared_ptr<const Node> m_root;
};
