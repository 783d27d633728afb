#pragma once

#include <QDBusVirtualObject>
#include <QStringList>
#include <vector>

// logind's Inhibit and the session's ScreenSaver Inhibit/UnInhibit, served on a test bus. Each
// sleep lock is the write end of a pipe; its read end shows when the client has closed it.
class FakeInhibitServices : public QDBusVirtualObject {
    Q_OBJECT
public:
    ~FakeInhibitServices() override;

    // Takes the two service names and objects on the connection.
    bool serveOn(QDBusConnection connection);

    // "Inhibit sleep:idle <who> <why> block", "ScreenSaver.Inhibit <who> <why>",
    // "ScreenSaver.UnInhibit <cookie>", in order of arrival.
    QStringList calls;
    int sleepLocksGiven() const { return int(m_lockReadEnds.size()); }
    // Whether every descriptor of that lock has been closed.
    bool sleepLockClosed(int index) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    std::vector<int> m_lockReadEnds;
    uint m_nextCookie = 41;
};
