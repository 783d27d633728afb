#pragma once

#include <QObject>

class MainStatusBar;
class ScoreboardSession;
class TimerSession;

// What the operator must see of the professional timer in the status bar: a lost connection
// and a drifting clock in red while they last (with a warning sound), impulses from its memory
// and unreadable lines as notices.
class TimerStatusNotices : public QObject {
    Q_OBJECT
public:
    TimerStatusNotices(TimerSession& timer, ScoreboardSession& board, MainStatusBar& statusBar,
                       QObject* parent = nullptr);

    static constexpr int NoticeMs = 30000;
};
