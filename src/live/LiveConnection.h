#pragma once

#include "live/LiveLimits.h"
#include "live/LiveRequest.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <deque>

class QTcpSocket;

// One client's connection to the live server. It reads one request head at a time and reads
// nothing more until the answer has left, so a client that sends many requests without reading
// the answers holds one answer, never a pile of them; unread bytes stay in the kernel, whose
// window then stops the client. An event stream takes the connection for good. What waits to
// be sent is a queue of shared byte arrays, handed to the socket a chunk at a time.
class LiveConnection : public QObject {
    Q_OBJECT
public:
    enum class Phase { Waiting, Reading, Answering, Streaming, Closing };

    LiveConnection(QTcpSocket* socket, const LiveLimits& limits, QObject* parent = nullptr);
    ~LiveConnection() override;

    Phase phase() const { return m_phase; }
    // Since the phase began; for an answer or a stream, since the client last took bytes.
    qint64 phaseAgeMs() const { return m_since.elapsed(); }
    bool stalled() const { return queuedBytes() > 0; }
    // Bytes waiting for the client: queued here and in the socket.
    qint64 queuedBytes() const;
    QByteArray addressKey() const { return m_addressKey; }
    void setAddressKey(const QByteArray& key) { m_addressKey = key; }

    // The answer to the request just received. The connection closes after it when asked to,
    // and when the request wanted that or announced a body that was never read.
    void answer(const QByteArray& response, bool closeAfter);
    // The connection carries an event stream from now on; the bytes are its head.
    void startStream(const QByteArray& head);
    // Stream data.
    void send(const QByteArray& bytes);
    // Ends the connection at once, without sending what is queued.
    void close();

Q_SIGNALS:
    void requestReceived(LiveConnection* connection, const LiveRequest& request);
    // A stream's queue ran empty.
    void drained(LiveConnection* connection);
    // Sent once, when the connection is gone; the object is deleted later.
    void finished(LiveConnection* connection);

private:
    void readSome();
    void takeRequest();
    void refuse(const QByteArray& statusLine);
    void pump();
    void enter(Phase phase);
    void finish();

    QTcpSocket* m_socket;
    const LiveLimits m_limits;
    Phase m_phase = Phase::Waiting;
    QElapsedTimer m_since;
    QByteArray m_input;
    qint64 m_discarded = 0;
    std::deque<QByteArray> m_queue;
    qint64 m_queueOffset = 0;
    qint64 m_queued = 0;
    bool m_closeAfter = false;
    bool m_keepAlive = true;
    bool m_finished = false;
    QByteArray m_addressKey;
};
