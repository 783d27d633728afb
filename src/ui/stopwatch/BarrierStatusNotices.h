#pragma once

#include <QObject>

class LightBarrierPort;
class MainStatusBar;

// What the operator must see of the light barriers in the status bar: a lost adapter in red
// with a warning sound until it is back, its return as a notice; a line stuck at its active
// level in red until it returns.
class BarrierStatusNotices : public QObject {
    Q_OBJECT
public:
    BarrierStatusNotices(LightBarrierPort& port, MainStatusBar& statusBar,
                         QObject* parent = nullptr);

    // The topic of the red panel these failures stand under.
    static QString topic() { return QStringLiteral("Lichtschranken"); }
    static constexpr int NoticeMs = 30000;

private:
    MainStatusBar& m_statusBar;
};
