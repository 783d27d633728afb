#include "live/LiveConnection.h"

#include <QTcpSocket>

LiveConnection::LiveConnection(QTcpSocket* socket, const LiveLimits& limits, QObject* parent)
    : QObject(parent), m_socket(socket), m_limits(limits) {
    socket->setParent(this);
    // Bytes beyond one request stay in the kernel until this connection wants them.
    socket->setReadBufferSize(limits.maxRequestBytes);
    m_since.start();
    connect(socket, &QTcpSocket::readyRead, this, &LiveConnection::readSome);
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        m_since.restart();
        pump();
    });
    connect(socket, &QTcpSocket::disconnected, this, &LiveConnection::finish);
}

LiveConnection::~LiveConnection() = default;

qint64 LiveConnection::queuedBytes() const {
    return m_queued + m_socket->bytesToWrite();
}

void LiveConnection::enter(Phase phase) {
    m_phase = phase;
    m_since.restart();
}

void LiveConnection::readSome() {
    switch (m_phase) {
    case Phase::Streaming:
    case Phase::Closing: {
        // A stream reads no requests; what a client still sends is dropped, up to a limit.
        m_discarded += m_socket->readAll().size();
        if (m_phase == Phase::Streaming && m_discarded > m_limits.maxRequestBytes)
            close();
        return;
    }
    case Phase::Answering:
        return;
    case Phase::Waiting:
    case Phase::Reading:
        break;
    }
    const qint64 room = m_limits.maxRequestBytes + 1 - m_input.size();
    if (room > 0)
        m_input += m_socket->read(room);
    takeRequest();
}

void LiveConnection::takeRequest() {
    if (m_input.isEmpty())
        return;
    // Blank lines before a request line are allowed; they start the request's clock like any
    // other byte, and more of them never restart it.
    if (m_phase == Phase::Waiting)
        enter(Phase::Reading);
    qsizetype start = 0;
    while (start < m_input.size() && (m_input.at(start) == '\r' || m_input.at(start) == '\n'))
        ++start;
    qsizetype headEnd = -1;
    qsizetype end = -1;
    for (qsizetype at = m_input.indexOf('\n', start); at >= 0; at = m_input.indexOf('\n', at + 1)) {
        if (at + 1 < m_input.size() && m_input.at(at + 1) == '\n') {
            headEnd = at;
            end = at + 2;
            break;
        }
        if (at + 2 < m_input.size() && m_input.at(at + 1) == '\r' && m_input.at(at + 2) == '\n') {
            headEnd = at;
            end = at + 3;
            break;
        }
    }
    if (end < 0 || end > m_limits.maxRequestBytes) {
        if (end > 0 || m_input.size() > m_limits.maxRequestBytes)
            refuse("HTTP/1.1 413 Payload Too Large");
        return;
    }
    const std::optional<LiveRequest> request =
        LiveRequest::parse(m_input.mid(start, headEnd - start));
    m_input.remove(0, end);
    if (!request) {
        refuse("HTTP/1.1 400 Bad Request");
        return;
    }
    enter(Phase::Answering);
    m_keepAlive = !request->closesAfterAnswer();
    Q_EMIT requestReceived(this, *request);
}

void LiveConnection::refuse(const QByteArray& statusLine) {
    m_input.clear();
    enter(Phase::Answering);
    answer(statusLine + "\r\nContent-Type: text/plain; charset=utf-8\r\n"
                        "Content-Length: 0\r\nConnection: close\r\n\r\n",
           true);
}

void LiveConnection::answer(const QByteArray& response, bool closeAfter) {
    if (m_phase != Phase::Answering)
        return;
    m_closeAfter = closeAfter || !m_keepAlive;
    m_since.restart();
    m_queue.push_back(response);
    m_queued += response.size();
    pump();
}

void LiveConnection::startStream(const QByteArray& head) {
    if (m_phase != Phase::Answering)
        return;
    enter(Phase::Streaming);
    m_input.clear();
    m_queue.push_back(head);
    m_queued += head.size();
    pump();
}

void LiveConnection::send(const QByteArray& bytes) {
    if (m_phase != Phase::Streaming || bytes.isEmpty())
        return;
    // A stalled stream is one that does not take what waits; an empty queue waits for nothing.
    if (queuedBytes() == 0)
        m_since.restart();
    m_queue.push_back(bytes);
    m_queued += bytes.size();
    pump();
}

void LiveConnection::pump() {
    if (m_finished)
        return;
    while (!m_queue.empty() && m_socket->bytesToWrite() < m_limits.writeChunkBytes) {
        const QByteArray& front = m_queue.front();
        const qint64 size =
            qMin(front.size() - m_queueOffset, m_limits.writeChunkBytes - m_socket->bytesToWrite());
        if (m_socket->write(front.constData() + m_queueOffset, size) != size) {
            close();
            return;
        }
        m_queueOffset += size;
        m_queued -= size;
        if (m_queueOffset == front.size()) {
            m_queue.pop_front();
            m_queueOffset = 0;
        }
    }
    if (!m_queue.empty() || m_socket->bytesToWrite() > 0)
        return;
    if (m_phase == Phase::Answering) {
        if (m_closeAfter) {
            enter(Phase::Closing);
            m_socket->disconnectFromHost();
        } else {
            enter(Phase::Waiting);
            readSome();
        }
    } else if (m_phase == Phase::Streaming) {
        Q_EMIT drained(this);
    }
}

void LiveConnection::close() {
    if (m_finished)
        return;
    finish();
    m_socket->abort();
}

void LiveConnection::finish() {
    if (m_finished)
        return;
    m_finished = true;
    m_phase = Phase::Closing;
    m_queue.clear();
    m_queued = 0;
    Q_EMIT finished(this);
    deleteLater();
}
