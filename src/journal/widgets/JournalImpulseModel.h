#pragma once

#include "competition/TimeFormat.h"
#include "journal/JournalEntry.h"
#include "journal/JournalRuns.h"

#include <QAbstractTableModel>
#include <QDate>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class JournalBackwardReader;

// The impulses and commands of the journal, newest first, for "Zeitprotokoll": it starts with
// the newest and reads older ones from the files only as the view scrolls to them, and a new
// impulse becomes the top row without the rest being touched, so its memory and its work
// follow what is shown, not the size of the journal. It knows which runs are already entered
// and carries the operator's start and stop marks.
class JournalImpulseModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Kind, Name, Source, Value, Stamp, RunTime, Entered, ColumnCount };
    // The name of the competitor with this "Nr.", for the entered runs.
    using CompetitorName = std::function<QString(const QString& number)>;

    JournalImpulseModel(std::unique_ptr<JournalBackwardReader> reader, const TimeFormat& format,
                        const QDate& today, QObject* parent = nullptr);
    ~JournalImpulseModel() override;

    void setCompetitorName(CompetitorName name) { m_competitorName = std::move(name); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // A new event as it is recorded: an impulse becomes the top row, an entry marks its run.
    void addNewer(const JournalEntry& entry);

    const JournalEntry& entry(int row) const { return m_rows[static_cast<size_t>(row)]; }
    // The run this row is the start or the stop of was entered: "Nr. 5 Berg Anna", or
    // "eingetragen" for a row without "Nr."; empty when it was not.
    QString enteredText(int row) const;
    // The same for the run from start to stop.
    QString enteredText(qint64 startStamp, qint64 stopStamp) const;

    std::optional<int> startRow() const { return rowOf(m_startId); }
    std::optional<int> stopRow() const { return rowOf(m_stopId); }
    void setStartRow(std::optional<int> row);
    void setStopRow(std::optional<int> row);
    // The newest "Stopp" whose run is not entered and the "Start" before it, reading further
    // back when needed (within a bound); nullopt when there is none.
    std::optional<std::pair<int, int>> newestOpenRun();

    int skippedLines() const;
    QStringList readErrors() const;

    // Lines read back per fetch, and how far newestOpenRun reads before it gives up.
    static constexpr int linesPerFetch = 2000;
    static constexpr int openRunSearchLines = 200000;

Q_SIGNALS:
    // A run was entered while the list was shown.
    void runEntered(qint64 startStamp, qint64 stopStamp);

private:
    std::optional<int> rowOf(std::optional<qint64> id) const;
    std::optional<qint64> idOf(std::optional<int> row) const;
    void changedRow(std::optional<int> row);
    bool isCommand(int row, const char16_t* name) const;
    QString text(int row, int column) const;
    QString numberText(const std::optional<QString>& number) const;

    std::unique_ptr<JournalBackwardReader> m_reader;
    TimeFormat m_format;
    QDate m_today;
    CompetitorName m_competitorName;
    std::deque<JournalEntry> m_rows;
    // Rows keep their id when newer rows come on top: row = m_topId - id.
    qint64 m_topId = 0;
    std::optional<qint64> m_startId;
    std::optional<qint64> m_stopId;
    JournalRuns m_entered;
    int m_linesRead = 0;
};
