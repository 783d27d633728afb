#include "StreamClient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <cstdio>

namespace {

qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

StreamClient::StreamClient(quint16 port, const QHostAddress& from, Totals& totals)
    : m_port(port), m_from(from), m_totals(totals) {
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_socket.write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n"
                       "Accept-Encoding: gzip\r\n\r\n");
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &StreamClient::read);
    connect(&m_socket, &QTcpSocket::disconnected, this, &StreamClient::lost);
    // A connection that never came up (refused, reset, or no descriptor for the socket) sends
    // no disconnected(); without this the phone would give up for good, uncounted.
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &StreamClient::failed);
    connectNow();
}

StreamClient::~StreamClient() {
    if (m_gzip)
        inflateEnd(&m_inflate);
}

void StreamClient::connectNow() {
    m_head.clear();
    m_inBody = false;
    m_told503 = false;
    m_ended = false;
    m_text.clear();
    if (m_gzip)
        inflateEnd(&m_inflate);
    m_gzip = false;
    m_socket.abort();
    m_socket.bind(m_from);
    m_socket.connectToHost(QHostAddress::LocalHost, m_port);
}

void StreamClient::failed() {
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        return; // disconnected() follows and counts it
    lost();
}

void StreamClient::lost() {
    // Counted once, however the socket reports the end.
    if (m_ended)
        return;
    m_ended = true;
    ++m_totals.errors;
    if (!m_inBody) {
        ++m_totals.refused;
        if (m_told503)
            ++m_totals.refused503;
    }
    // As the page does: again after a pause of a second or two, spread.
    QTimer::singleShot(1000 + QRandomGenerator::global()->bounded(1000), this,
                       &StreamClient::connectNow);
}

void StreamClient::read() {
    const QByteArray bytes = m_socket.readAll();
    m_totals.wireBytes += bytes.size();
    m_wireBytes += bytes.size();
    if (m_inBody) {
        readBody(bytes);
        return;
    }
    m_head += bytes;
    const qsizetype end = m_head.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray head = m_head.left(end);
    const QByteArray rest = m_head.mid(end + 4);
    if (!head.startsWith("HTTP/1.1 200")) {
        m_told503 = head.startsWith("HTTP/1.1 503");
        // The disconnect that follows counts it as an error and tries again.
        return;
    }
    m_inBody = true;
    m_gzip = head.toLower().contains("content-encoding: gzip");
    if (m_gzip && inflateInit2(&m_inflate, 15 + 16) != Z_OK)
        m_gzip = false;
    readBody(rest);
}

void StreamClient::readBody(const QByteArray& bytes) {
    if (!m_gzip) {
        m_text += bytes;
    } else if (!bytes.isEmpty()) {
        // zlib's interface takes non-const input it never writes to.
        m_inflate.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
        m_inflate.avail_in = static_cast<uInt>(bytes.size());
        char out[65536];
        do {
            m_inflate.next_out = reinterpret_cast<Bytef*>(out);
            m_inflate.avail_out = sizeof(out);
            const int result = inflate(&m_inflate, Z_SYNC_FLUSH);
            if (result != Z_OK && result != Z_BUF_ERROR)
                break;
            m_text.append(out, static_cast<qsizetype>(sizeof(out) - m_inflate.avail_out));
        } while (m_inflate.avail_out == 0);
    }
    for (;;) {
        const qsizetype end = m_text.indexOf("\n\n");
        if (end < 0)
            return;
        QByteArray name;
        QByteArray data;
        for (const QByteArray& line : m_text.left(end).split('\n')) {
            if (line.startsWith("event: "))
                name = line.mid(7);
            else if (line.startsWith("data: "))
                data = line.mid(6);
        }
        m_text.remove(0, end + 2);
        takeEvent(name, data);
    }
}

void StreamClient::takeEvent(const QByteArray& name, const QByteArray& data) {
    QJsonObject last;
    if (name == "state") {
        if (!m_stateSeen)
            m_totals.connectBytes += m_wireBytes;
        m_stateSeen = true;
        last = QJsonDocument::fromJson(data).object()["state"].toObject()["lastResult"].toObject();
    } else if (name == "delta") {
        const QJsonObject set = QJsonDocument::fromJson(data).object()["set"].toObject();
        if (!set.contains(QStringLiteral("lastResult")))
            return;
        last = set["lastResult"].toObject();
    } else {
        return;
    }
    const QString competitor = last["competitor"].toString();
    const int run = last["run"].toInt(-1);
    if (run >= 0 && (run != m_run || competitor != m_competitor))
        std::printf("R %d %lld %s\n", run, static_cast<long long>(steadyNs()),
                    QUrl::toPercentEncoding(competitor).constData());
    m_competitor = competitor;
    m_run = run;
}
