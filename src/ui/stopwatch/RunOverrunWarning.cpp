#include "ui/stopwatch/RunOverrunWarning.h"

#include "timing/RunClock.h"
#include "timing/RunOverrun.h"
#include "timing/TickSource.h"
#include "ui/window/MainStatusBar.h"

#include <QLabel>

RunOverrunWarning::RunOverrunWarning(RunClock& clock, MainStatusBar& statusBar,
                                     std::function<int()> limitSeconds, QObject* parent)
    : QObject(parent), m_clock(clock), m_statusBar(statusBar), m_limit(std::move(limitSeconds)) {
    m_label = new QLabel(&m_statusBar);
    m_label->setObjectName(QStringLiteral("RunOverrun"));
    m_label->setStyleSheet(QStringLiteral(
        "QLabel { background: #D00000; color: white; font-weight: bold; padding: 1px 6px; }"));
    m_label->hide();
    m_statusBar.insertWidget(0, m_label, 1);
    m_timer.setInterval(checkIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RunOverrunWarning::check);
    connect(&m_clock, &RunClock::stateChanged, this, [this](RunClock::State state) {
        if (state == RunClock::State::Running)
            m_timer.start();
        else
            m_timer.stop();
        check();
    });
}

QString RunOverrunWarning::text() const {
    return m_label->isHidden() ? QString() : m_label->text();
}

void RunOverrunWarning::check() {
    if (m_clock.state() != RunClock::State::Running) {
        show(QString());
        return;
    }
    const qint64 elapsedMs = (m_clock.tickSource().nowMicroseconds() - m_clock.startStamp()) / 1000;
    show(RunOverrun::warning(elapsedMs, m_limit()).value_or(QString()));
}

void RunOverrunWarning::show(const QString& text) {
    m_label->setText(text);
    m_label->setVisible(!text.isEmpty());
    // The whole bar red, so the warning is seen from the corner of an eye.
    m_statusBar.setStyleSheet(
        text.isEmpty()
            ? QString()
            : QStringLiteral("QStatusBar { background: #D00000; } QLabel { color: white; }"));
}
