#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Everything the live pages show, copied out of the window's state at one moment. It is a plain
// value so that the user-interface thread can hand it to the server thread and forget it; the
// texts are Qt's shared strings, so the copy costs little.
struct LiveSnapshot {
    // One table as it is on screen: the captions of the shown columns and the data rows.
    struct Table {
        QString caption;
        QStringList header;
        QList<QStringList> rows;
        // What a cell is besides its text, so that a page need not read times: a run state
        // ("DNS", "DNF", "DSQ") where the screen colours one, or "substitute" for a substitute
        // time; by index into rows, then by column. Unmarked cells are left out.
        QMap<int, QMap<int, QString>> marks;
        bool operator==(const Table&) const = default;
    };

    // The run clock in milliseconds of the program's monotonic clock; the pages run the time
    // themselves from the start and the server's clock.
    struct Clock {
        enum class State { Ready, Countdown, Running, Stopped };
        State state = State::Ready;
        double startMs = 0;
        qint32 countdownMs = 0; // the countdown's length while it runs
        qint32 readyMs = 0;     // what the display shows before a run: the countdown's length, or 0
        std::optional<qint32> stoppedMs;      // the run time once "Stopp" came
        std::optional<qint32> intermediateMs; // the intermediate time of this run
        bool operator==(const Clock&) const = default;
    };

    struct Result {
        QString competitor;
        QString club;
        QString time;
        int run = 0;      // the entries counted since the program started, so a result has a name
        QString status{}; // "DNF" for a run ended without a time; empty for a time
        bool operator==(const Result&) const = default;
    };

    // One row of the three best of a class, as the TV window shows it.
    struct Top3Row {
        QString place;
        QString number;
        QString name;
        QString klass;
        QString champion;
        QString time;
        bool operator==(const Top3Row&) const = default;
    };

    // The standings of the cup open beside the race: one table per class (place, name, club,
    // total, gap).
    struct Cup {
        QString name;
        QString unit; // "Punkte", "Zeit", "Plätze"
        QList<Table> classes;
        bool operator==(const Cup&) const = default;
    };

    // Whether the results are official ("Ergebnisse freigeben"): the line the pages show above
    // the tables ("Ergebnisse vorläufig", "Ergebnisse offiziell"; empty before any result) and
    // the state of each class that has results.
    struct ClassRelease {
        QString klass;
        bool official = false;
        bool operator==(const ClassRelease&) const = default;
    };
    struct Release {
        QString text;
        QList<ClassRelease> classes;
        bool operator==(const Release&) const = default;
    };

    QString title;
    QString competitor;
    QString club;
    Clock clock;
    std::optional<Result> lastResult;
    std::array<Table, 4> stages;
    Table teams;
    QList<Top3Row> top3;
    std::optional<Cup> cup; // none: no cup is open, and the pages show no "Cup" tab
    Release release;
    // Times on the pages are written as the tables write them: "1024" or "10,24".
    int timeFormat = 0;
    QChar decimalSeparator = u',';

    bool operator==(const LiveSnapshot&) const = default;
};
