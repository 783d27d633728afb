#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class QLabel;
class MainStatusBar;
class RunClock;

// Turns the status bar red while a run has been going longer than "Max. Laufzeit": a stop
// barrier that missed the competitor is noticed at once, and F7 ends the run.
class RunOverrunWarning : public QObject {
    Q_OBJECT
public:
    static constexpr int checkIntervalMs = 250;

    // limitSeconds is read at every check, so a changed setting applies to the running run.
    RunOverrunWarning(RunClock& clock, MainStatusBar& statusBar, std::function<int()> limitSeconds,
                      QObject* parent = nullptr);

    // The warning shown, or empty.
    QString text() const;

public Q_SLOTS:
    void check();

private:
    void show(const QString& text);

    RunClock& m_clock;
    MainStatusBar& m_statusBar;
    std::function<int()> m_limit;
    QLabel* m_label = nullptr;
    QTimer m_timer;
};
