#include "ui/stopwatch/BarrierStatusNotices.h"

#include "timing/LightBarrierPort.h"
#include "timing/StuckLineWatch.h"
#include "ui/window/MainStatusBar.h"

#include <QApplication>

BarrierStatusNotices::BarrierStatusNotices(LightBarrierPort& port, MainStatusBar& statusBar,
                                           QObject* parent)
    : QObject(parent), m_statusBar(statusBar) {
    connect(&port, &LightBarrierPort::connectionLost, this, [this](const QString& device) {
        m_statusBar.setLastingNotice(topic(), LightBarrierPort::lostText(device));
        // The operator looks at the slide, not at the screen; where there is no sound
        // backend this does nothing.
        QApplication::beep();
    });
    connect(&port, &LightBarrierPort::connectionRestored, this, [this] {
        m_statusBar.setLastingNotice(topic(), QString());
        m_statusBar.showNotice(LightBarrierPort::restoredText(), NoticeMs);
    });
    connect(&port.stuckLines(), &StuckLineWatch::stuckChanged, this,
            [this](StuckLineWatch::Line line, bool stuck) {
                m_statusBar.setLastingNotice(topic() + StuckLineWatch::barrierName(line),
                                             stuck ? StuckLineWatch::stuckText(line) : QString());
            });
}
