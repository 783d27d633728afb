#pragma once

#include <QObject>

class MainStatusBar;
class RaceSession;

// The MQTT publisher in the status bar: each new status as a notice, a failure in red until
// the publisher is connected again or switched off.
class MqttStatusNotices : public QObject {
    Q_OBJECT
public:
    MqttStatusNotices(RaceSession& session, MainStatusBar& statusBar, QObject* parent = nullptr);

    // The topic of the red panel the failures stand under.
    static QString topic() { return QStringLiteral("MQTT"); }
    static constexpr int NoticeMs = 10000;

private:
    void show(const QString& text);

    RaceSession& m_session;
    MainStatusBar& m_statusBar;
};
