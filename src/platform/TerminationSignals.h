#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the thread that created this object, so
// that a logout or a kill ends the program through its regular shutdown (backup, then
// settings) instead of on the spot. Only one instance may exist at a time; the previous
// handlers come back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // False when the handlers could not be installed; the signals then act as before.
    bool installed() const { return m_installed; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readPending();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    bool m_installed = false;
};
