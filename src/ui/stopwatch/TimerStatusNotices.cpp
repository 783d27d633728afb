#include "ui/stopwatch/TimerStatusNotices.h"

#include "session/ScoreboardSession.h"
#include "session/TimerSession.h"
#include "ui/window/MainStatusBar.h"

#include <QApplication>

TimerStatusNotices::TimerStatusNotices(TimerSession& timer, ScoreboardSession& board,
                                       MainStatusBar& statusBar, QObject* parent)
    : QObject(parent) {
    statusBar.setLastingNotice(ScoreboardSession::topic(), board.lastingNotice());
    connect(&board, &ScoreboardSession::lastingNoticeChanged, this,
            [&statusBar](const QString& text) {
                statusBar.setLastingNotice(ScoreboardSession::topic(), text);
            });
    // The session started before the window: what holds already is shown at once.
    statusBar.setLastingNotice(TimerSession::topic(), timer.lastingNotice());
    connect(&timer, &TimerSession::lastingNoticeChanged, this, [&statusBar](const QString& text) {
        statusBar.setLastingNotice(TimerSession::topic(), text);
        if (!text.isEmpty())
            QApplication::beep();
    });
    connect(&timer, &TimerSession::notice, this,
            [&statusBar](const QString& text) { statusBar.showNotice(text, NoticeMs); });
}
