#pragma once

#include "competition/TimeFormat.h"

#include <QDialog>
#include <functional>
#include <optional>

class JournalImpulseModel;
class QLabel;
class QPushButton;
class QTableView;

// "Zeitprotokoll": the journal's impulses and commands, newest first. The operator marks one
// as the start and one as the stop; the dialog shows the run time between their stamps and
// offers to enter it into the selected row. It starts with the newest run not yet entered
// marked, and moves on to the next such run once the marked one is entered; a run already
// entered is shown with its row and is never offered by itself.
class JournalDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog takes the model over.
    JournalDialog(JournalImpulseModel* model, const TimeFormat& format, QWidget* parent = nullptr);

    // The row the time would go into; empty when there is none, with the reason.
    void setTarget(const QString& description, const QString& whyNot = QString());
    // Shown after an entry.
    void setOutcome(const QString& text);

    JournalImpulseModel* model() const { return m_model; }
    QTableView* table() const { return m_table; }
    QPushButton* enterButton() const { return m_enter; }
    std::optional<qint64> startStamp() const;
    std::optional<qint64> stopStamp() const;
    std::optional<qint32> runTimeMs() const;
    // Why no time can be entered now; empty when one can.
    QString hintText() const;
    // Where the marked run is already entered ("Nr. 5 Berg Anna"); empty when it is not.
    QString enteredText() const;

    // Marks the shown row as start or stop (the buttons "Als Start", "Als Stopp").
    void markStart(int row);
    void markStop(int row);
    // Marks the newest run that is not entered, or nothing when there is none.
    void markNewestOpenRun();

    // Why no substitute can be had for the run begun at a start stamp yet; empty when it can.
    using Refusal = std::function<QString(qint64 startStamp)>;
    // Shows "Ersatzzeit berechnen..." and "Handzeit eintragen..." for the run of the chosen row.
    void setSubstituteOffered(bool offered, Refusal refusal = {});
    QPushButton* substituteButton() const { return m_substitute; }
    QPushButton* handTimeButton() const { return m_handTime; }
    // The start stamp of the run the chosen row belongs to; nullopt when it belongs to none.
    std::optional<qint64> chosenRunStart() const;

Q_SIGNALS:
    // "Eintragen": the run between these stamps goes into the selected row.
    void enterRequested(qint64 startStamp, qint64 stopStamp);
    // A substitute (or a hand time) for the run begun at startStamp.
    void substituteRequested(qint64 startStamp, bool handTime);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void showRunMenu(const QPoint& position);
    void runEntered(qint64 startStamp, qint64 stopStamp);
    QString entryText(std::optional<int> row) const;

    JournalImpulseModel* m_model;
    TimeFormat m_format;
    QString m_target;
    QString m_whyNoTarget;
    QTableView* m_table = nullptr;
    QLabel* m_startLabel = nullptr;
    QLabel* m_stopLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_targetLabel = nullptr;
    QLabel* m_hint = nullptr;
    QLabel* m_outcome = nullptr;
    QPushButton* m_asStart = nullptr;
    QPushButton* m_asStop = nullptr;
    QPushButton* m_enter = nullptr;
    QPushButton* m_substitute = nullptr;
    QPushButton* m_handTime = nullptr;
    Refusal m_refusal;
};
