#pragma once

#include "competition/TimeFormat.h"
#include "journal/JournalEntry.h"

#include <QDialog>
#include <QList>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

// "Zeitprotokoll": today's impulses and commands, newest first. The operator marks one as the
// start and one as the stop; the dialog shows the run time between their stamps and offers to
// enter it into the selected row. It starts with the last run (the newest stop and the start
// before it) marked.
class JournalDialog : public QDialog {
    Q_OBJECT
public:
    JournalDialog(const TimeFormat& format, QWidget* parent = nullptr);

    // The day's events, oldest first, as the journal holds them.
    void setEntries(const QList<JournalEntry>& entries);
    // The row the time would go into; empty when there is none, with the reason.
    void setTarget(const QString& description, const QString& whyNot = QString());
    // Shown after an entry.
    void setOutcome(const QString& text);

    // The list as shown, newest first.
    const QList<JournalEntry>& shown() const { return m_shown; }
    QTableWidget* table() const { return m_table; }
    QPushButton* enterButton() const { return m_enter; }
    std::optional<qint64> startStamp() const;
    std::optional<qint64> stopStamp() const;
    std::optional<qint32> runTimeMs() const;
    QString hintText() const;

    // Marks the shown row as start or stop (the buttons "Als Start", "Als Stopp").
    void markStart(int shownRow);
    void markStop(int shownRow);

    static QString stampText(qint64 stampMicroseconds);

Q_SIGNALS:
    // "Eintragen": the run between these stamps goes into the selected row.
    void enterRequested(qint64 startStamp, qint64 stopStamp);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillTable();
    void refresh();
    QString entryText(int shownRow) const;

    TimeFormat m_format;
    QList<JournalEntry> m_shown;
    std::optional<int> m_start;
    std::optional<int> m_stop;
    QString m_target;
    QString m_whyNoTarget;
    QTableWidget* m_table = nullptr;
    QLabel* m_startLabel = nullptr;
    QLabel* m_stopLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_targetLabel = nullptr;
    QLabel* m_hint = nullptr;
    QLabel* m_outcome = nullptr;
    QPushButton* m_asStart = nullptr;
    QPushButton* m_asStop = nullptr;
    QPushButton* m_enter = nullptr;
};
