#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class CompetitionTable;

// The class of a competitor as the derivations group and order it. Valid classes are the
// integers "1" to "4", but a loaded file can bring anything. The rule for the rest: a text that
// reads as a whole number is that number (so "12" and "0" form classes of their own), any other
// text is a class of its own compared exactly. Whole numbers order ascending before all texts,
// texts order by their Windows-1252 bytes. Only the classes 1 to 4 reach the final.
class ClassKey {
public:
    static ClassKey fromText(const QString& text);

    std::optional<qint64> number() const { return m_number; }
    // 1 to 4: a class that has a group in the final.
    bool isFinalClass() const { return m_number && *m_number >= 1 && *m_number <= 4; }

    bool operator==(const ClassKey& other) const;
    bool operator<(const ClassKey& other) const;

    // Every data cell of the column reads as a whole number; then numeric sorting of the
    // column already groups equal classes together.
    static bool allWholeNumbers(const CompetitionTable& grid, int column);
    // Stable reorder of the data rows by the class in the column.
    static void stableSort(CompetitionTable& grid, int column);

private:
    std::optional<qint64> m_number;
    QByteArray m_text; // Windows-1252, only when the class is not a number
};
