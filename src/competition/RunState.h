#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What a time cell says when a run has no time: the competitor did not start ("DNS"), did not
// arrive ("DNF") or was disqualified ("DSQ"). The texts are stored as they are, so a protocol
// file with them stays readable by anything that reads cells as text.
class RunState {
public:
    // Ordered by weight: the heaviest state is the one a total shows.
    enum Kind { DNS = 0, DNF = 1, DSQ = 2 };

    // The state a cell holds; blanks around the text are allowed, nothing else.
    static std::optional<Kind> fromText(const QString& text);
    static QString text(Kind kind);
    static bool isState(const QString& text) { return fromText(text).has_value(); }

    // The heaviest state among the cells (DSQ before DNF before DNS), if any holds one.
    static std::optional<Kind> heaviest(const QStringList& cells);
};
