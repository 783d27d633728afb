#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair: the program opens the slave's path as its serial device, the test
// writes and reads the other end as the timer or the scoreboard would.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slave; }
    int masterDescriptor() const { return m_master; }
    bool write(const QByteArray& bytes);
    // What the program wrote, waiting up to timeoutMs for the first byte.
    QByteArray read(int timeoutMs);
    // The cable pulled: the program's reads fail from now on.
    void close();

private:
    int m_master = -1;
    QString m_slave;
};
